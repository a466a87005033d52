#pragma once
// Every message box of the program goes through ShowMessageBox: a modal box
// with a text, a caption and the platform's style bits, answering with the
// platform's answer codes. The window system's presenter (a real box) is
// registered by the framework's application layer when a program starts;
// until then, and in programs without windows, boxes go to standard error.
// Tests replace the presenter with a scripted one.
//
// The text is shown literally, never as markup. A Yes/No box ends only by
// Yes or No: Esc and the title bar's close do nothing. An OK box ends by OK,
// Esc or close alike. Without a display the text goes to standard error and
// the answer is IDOK, or IDNO for a Yes/No box.

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
// the system's default caption. Before the box: the hook, then the echo.
int ShowMessageBox(const char* text, const char* caption, unsigned style);

// What a presenter receives: the caption already defaulted.
using MessagePresenter =
    std::function<int(const std::string& text, const std::string& caption, unsigned style)>;

// Replaces the presenter; an empty function restores the window system's.
// Returns the previous presenter.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

// Registers the window system's presenter, which an empty presenter above
// stands for; an empty function puts back TextOnlyPresenter.
void SetSystemMessagePresenter(MessagePresenter presenter);

// The box where there is no screen: "caption: text" on standard error
// (unless the echo wrote it already); IDNO for a Yes/No box, else IDOK.
int TextOnlyPresenter(const std::string& text, const std::string& caption, unsigned style);

// Called before every box is shown (also one that has only standard error
// to go to), with what it will show: the caption already defaulted. A program
// uses it to tell whoever waits on it that it now waits for the user.
using MessageBoxHook =
    std::function<void(const std::string& text, const std::string& caption, unsigned style)>;
// Installs the hook (an empty function for none); returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// While on, every box also writes "caption: text" and a line break on
// standard error (the text's own trailing line breaks left out), so a user at
// a terminal sees it too. Off at start. Returns the previous setting.
bool SetMessageEcho(bool on);
