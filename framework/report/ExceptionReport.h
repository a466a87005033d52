#pragma once
// The top-level reports of exceptions that nobody else caught: a stop-icon
// box captioned "Unhandled Exception" whose text is the exception's message,
// and, when the report asks, a line break and "OK to Resume?" with Yes and No.

#include <cstddef>
#include <exception>
#include <string>

inline constexpr char UnhandledExceptionCaption[] = "Unhandled Exception";
inline constexpr char ResumePrompt[] = "OK to Resume?";
inline constexpr char UnknownExceptionText[] = "Unknown Exception";
// The report's text holds at most this many bytes.
inline constexpr std::size_t ReportTextLimit = 255;

// The message of an exception as a report shows it: an xmsg (every
// framework error) its own message; std::bad_alloc "Out of memory";
// std::bad_cast "Bad_cast"; std::bad_typeid "Bad_typeid"; anything else an
// empty message. A null pointer gives an empty message.
std::string ExceptionMessage(std::exception_ptr error);

// The report's text: the message ("Unknown Exception" when it is empty),
// then, if `prompt` is not null, a line break and the prompt. A text longer
// than ReportTextLimit keeps the prompt whole and loses the end of the
// message, cut between UTF-8 characters.
std::string ReportText(const std::string& message, const char* prompt);

// The first `limit` bytes of `text` or fewer, never ending inside a UTF-8
// multi-byte sequence that `text` itself completes.
std::string CutAtCharacter(const std::string& text, std::size_t limit);

// Every report box: the report's text for `message` in a stop-icon box
// captioned "Unhandled Exception", with the OK button only (withPrompt
// false) or with the prompt and Yes/No. Returns 0 for Yes, -1 otherwise.
int ShowReport(const std::string& message, bool withPrompt);

// The report for an exception, where no application object is at hand;
// TModule::Error shows the same box for an xmsg.
int ReportUnhandled(std::exception_ptr error, bool withPrompt);
