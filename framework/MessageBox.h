#pragma once
// Every message box of the program goes through ShowMessageBox: a modal box
// with a text, a caption and the platform's style bits, answering with the
// platform's answer codes. Tests replace the presenter with a scripted one.

#include <functional>
#include <string>

enum : unsigned {
  MB_OK = 0x00,
  MB_YESNO = 0x04,
  MB_ICONSTOP = 0x10,
  MB_ICONEXCLAMATION = 0x30,
};

enum : int { IDOK = 1, IDYES = 6, IDNO = 7 };

// Shows a box and returns the answer code. A null caption shows "Error",
// the system's default caption.
int ShowMessageBox(const char* text, const char* caption, unsigned style);

// What a presenter receives: the caption already defaulted.
using MessagePresenter =
    std::function<int(const std::string& text, const std::string& caption, unsigned style)>;

// Replaces the presenter; an empty function restores the Qt one. Returns the
// previous presenter.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);
