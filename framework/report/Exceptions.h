#pragma once
// The framework's exception family. Every error the framework raises is a
// message exception (xmsg); its own errors (TXFramework and below) carry a
// resource id and, since the program has no string resources, the message
// "Exception #<id> (no message available).".

#include <exception>
#include <string>

// A message exception: the base of every exception the framework raises.
class xmsg : public std::exception {
public:
  explicit xmsg(std::string msg) : msg_(std::move(msg)) {}
  const std::string& why() const noexcept { return msg_; }
  const char* what() const noexcept override { return msg_.c_str(); }

private:
  std::string msg_;
};

class TXBase : public xmsg {
public:
  using xmsg::xmsg;
};

// Resource ids of the framework's errors.
enum : unsigned {
  IDS_GDIFAILURE = 32739,     // no handle for a device context, pen or font
  IDS_GDIDELETEFAIL = 32734,  // the system refused to delete a pen or font
  IDS_MENUFAILURE = 32744,    // invalid menu handle
  IDS_WINDOWCREATEFAIL = 32747,
  IDS_INVALIDMAINWINDOW = 32759,
};

// The text a framework error shows for a resource id it cannot look up.
std::string NoMessageText(unsigned resId);

class TXFramework : public TXBase {
public:
  explicit TXFramework(unsigned resId) : TXBase(NoMessageText(resId)), resId_(resId) {}
  unsigned ResId() const noexcept { return resId_; }

private:
  unsigned resId_;
};

// Raised by device contexts, pens and fonts; reachable as TGdiBase::TXGdi.
class TXGdi : public TXFramework {
public:
  explicit TXGdi(unsigned resId = IDS_GDIFAILURE) : TXFramework(resId) {}
};

// Raised by window creation; reachable as TWindow::TXWindow.
class TXWindow : public TXFramework {
public:
  explicit TXWindow(unsigned resId = IDS_WINDOWCREATEFAIL) : TXFramework(resId) {}
};

// Raised for an invalid menu; reachable as TMenu::TXMenu.
class TXMenu : public TXFramework {
public:
  explicit TXMenu(unsigned resId = IDS_MENUFAILURE) : TXFramework(resId) {}
};

// Raised when InitMainWindow leaves no main window; reachable as
// TApplication::TXInvalidMainWindow.
class TXInvalidMainWindow : public TXFramework {
public:
  TXInvalidMainWindow() : TXFramework(IDS_INVALIDMAINWINDOW) {}
};
