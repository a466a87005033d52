#include "display/CommandFileName.h"

const char* pfile = nullptr;
