#include "framework/report/MessageBox.h"

#include <cstdio>

namespace {

bool echo = false;

MessageBoxHook& hook() {
  static MessageBoxHook current;
  return current;
}

// "caption: text" on one line of standard error, the text's own line breaks
// at its end left out.
void writeToStderr(const std::string& text, const std::string& caption) {
  std::string shown = text;
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), shown.c_str());
  std::fflush(stderr);
}

MessagePresenter& systemPresenter() {
  static MessagePresenter current = TextOnlyPresenter;
  return current;
}

// Forwards to whatever the window system's presenter is at the moment of
// the box, so that a presenter handed back by SetMessagePresenter follows a
// window system set up later.
int systemBox(const std::string& text, const std::string& caption, unsigned style) {
  return systemPresenter()(text, caption, style);
}

MessagePresenter& presenter() {
  static MessagePresenter current = systemBox;
  return current;
}

}  // namespace

int TextOnlyPresenter(const std::string& text, const std::string& caption, unsigned style) {
  // The echo has written it already.
  if (!echo) writeToStderr(text, caption);
  return (style & 0x0F) == MB_YESNO ? IDNO : IDOK;
}

int ShowMessageBox(const char* text, const char* caption, unsigned style) {
  const std::string shownText = text ? text : "";
  const std::string shownCaption = caption ? caption : "Error";
  if (hook()) hook()(shownText, shownCaption, style);
  if (echo) writeToStderr(shownText, shownCaption);
  return presenter()(shownText, shownCaption, style);
}

MessagePresenter SetMessagePresenter(MessagePresenter p) {
  MessagePresenter previous = presenter();
  presenter() = p ? std::move(p) : MessagePresenter(systemBox);
  return previous;
}

void SetSystemMessagePresenter(MessagePresenter p) {
  systemPresenter() = p ? std::move(p) : MessagePresenter(TextOnlyPresenter);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook h) {
  MessageBoxHook previous = std::move(hook());
  hook() = std::move(h);
  return previous;
}

bool SetMessageEcho(bool on) {
  const bool previous = echo;
  echo = on;
  return previous;
}
