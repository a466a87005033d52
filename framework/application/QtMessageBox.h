#pragma once
// Message boxes on the screen: registers the window system's presenter with
// ShowMessageBox (framework/report/MessageBox.h). A box shown before any
// application object exists makes the widget application then, when a
// display answers; without one the text goes to standard error.
//
// The framework's entry (RunEntry) and its application object register it,
// so every program on the framework shows real boxes.

void UseQtMessageBoxes();
