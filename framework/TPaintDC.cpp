#include "framework/TPaintDC.h"

#include "framework/TWindow.h"

TPaintDC::TPaintDC(TWindow& window) : window(window), rect(window.BeginPaint()) {}

TPaintDC::~TPaintDC() { window.EndPaint(); }
