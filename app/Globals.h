#pragma once
// Program-wide state of the entry function: the command file's name.

#include "display/CommandFileName.h"
