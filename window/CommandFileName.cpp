#include "window/CommandFileName.h"

const char* pfile = nullptr;
