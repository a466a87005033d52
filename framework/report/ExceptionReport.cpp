#include "framework/report/ExceptionReport.h"

#include <new>
#include <typeinfo>

#include "framework/report/Exceptions.h"
#include "framework/report/MessageBox.h"

std::string ExceptionMessage(std::exception_ptr error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const xmsg& x) {
    return x.why();
  } catch (const std::bad_alloc&) {
    return "Out of memory";
  } catch (const std::bad_cast&) {
    return "Bad_cast";
  } catch (const std::bad_typeid&) {
    return "Bad_typeid";
  } catch (...) {
  }
  return {};
}

std::string CutAtCharacter(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t cut = limit;
  // Step back over continuation bytes to the lead byte of the character the
  // cut falls into; drop that character only if it is a real multi-byte one
  // (its lead byte announces the continuation bytes found).
  std::size_t lead = cut;
  while (lead > 0 && lead + 4 > cut && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80) --lead;
  const unsigned char c = static_cast<unsigned char>(text[lead]);
  std::size_t length = 1;
  if ((c & 0xE0) == 0xC0)
    length = 2;
  else if ((c & 0xF0) == 0xE0)
    length = 3;
  else if ((c & 0xF8) == 0xF0)
    length = 4;
  if (length > 1 && lead < cut && lead + length > cut) cut = lead;
  return text.substr(0, cut);
}

std::string ReportText(const std::string& message, const char* prompt) {
  const std::string shown = message.empty() ? std::string(UnknownExceptionText) : message;
  if (!prompt) return CutAtCharacter(shown, ReportTextLimit);
  std::string tail = std::string("\n") + prompt;
  if (tail.size() >= ReportTextLimit) return CutAtCharacter(tail, ReportTextLimit);
  return CutAtCharacter(shown, ReportTextLimit - tail.size()) + tail;
}

int ShowReport(const std::string& message, bool withPrompt) {
  const std::string text = ReportText(message, withPrompt ? ResumePrompt : nullptr);
  const int answer =
      ShowMessageBox(text.c_str(), UnhandledExceptionCaption, MB_ICONSTOP | (withPrompt ? MB_YESNO : MB_OK));
  return withPrompt && answer == IDYES ? 0 : -1;
}

int ReportUnhandled(std::exception_ptr error, bool withPrompt) {
  return ShowReport(ExceptionMessage(error), withPrompt);
}
