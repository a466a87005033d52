#include "app/Globals.h"

const char* pfile = nullptr;
