#include "stream/CommandStream.h"

#include <cstring>

#include "stream/DisplayState.h"
#include "stream/PipedRead.h"
#include "stream/StreamHost.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/Surface.h"
#include "items/ItemDisplay.h"
#include "items/zvItem.h"

CommandStream::CommandStream(StreamHost& h, DisplayState& s, int fd, TClientDC* dc)
    : host(h), state(s), winDC(dc), reader(fd) {}

void CommandStream::EvTimer(unsigned /*timerId*/) {
  host.KillPollTimer();
  stepping = true;
  runSlice();
}

void CommandStream::ContinueStep() {
  if (stepping) runSlice();
}

void CommandStream::runSlice() {
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + sliceLength;
  const bool slices = host.SlicesSteps();
  CommandReader::Outcome outcome;
  try {
    if (slices)
      outcome = reader.Read(*this, [until] { return Clock::now() >= until; });
    else
      outcome = piped ? ReadPiped(reader, *this) : reader.Read(*this);
  } catch (...) {
    // A failure inside the step ends it; polling stays stopped.
    endStep();
    throw;
  }
  if (outcome == CommandReader::Outcome::Paused) {
    host.PostStepContinuation();
    return;
  }
  endStep();
  if (outcome == CommandReader::Outcome::Stopped)
    host.PostCloseRequest();  // polling stays stopped; the rest is never read
  else
    host.SetPollTimer();
}

void CommandStream::endStep() {
  stepping = false;
  std::vector<Request> requests;
  requests.swap(deferred);
  for (Request r : requests) {
    if (r == Request::Invalidate)
      host.InvalidateClient(true);
    else
      host.PostPaintRequest();
  }
}

void CommandStream::request(Request r) {
  if (stepping) {
    deferred.push_back(r);
  } else if (r == Request::Invalidate) {
    host.InvalidateClient(true);
  } else {
    host.PostPaintRequest();
  }
}

bool CommandStream::TakeItem(zvItem& item) {
  switch (item.GetFunc()) {
    case ZV_INIT:
      state.RestartList();
      InitDisplayList("Arial", 12, TColor(255, 255, 255), 1, TColor(255, 255, 255), 1, 1);
      state.clearDisplayList = 1;
      winDC->SetViewportOrgEx(0, host.ClientHeight());
      winDC->SetBkMode(TRANSPARENT);
      state.transparentText = true;
      // The live context takes the seven defaults too, exactly as the replay
      // will: the items drawn before that replay then use them, and are not
      // drawn once in the old attributes and again in the new.
      drawDefaults();
      request(Request::Paint);
      break;
    case ZV_EXIT:
      return false;
    case ZV_CLEAR:
      if (state.clearDisplayList == 1) break;
      state.RestartList();
      request(Request::Invalidate);
      // Before any font item there is no face name: the empty name lets
      // the platform choose the face.
      InitDisplayList(state.fontName ? state.fontName->c_str() : "", state.fontHeight, state.textColor,
                      codeOfTextAlig(state.textAlig), state.lineColor, state.lineWidth,
                      codeOfLineType(state.lineType));
      request(Request::Paint);
      break;
    default:
      state.displayList.Add(item);
      item.Display(winDC, state);
      state.clearDisplayList = 0;
      break;
  }
  return true;
}

void CommandStream::drawDefaults() {
  DisplayTarget target{winDC, &state};
  state.displayList.ForEach(DisplayItem, &target, 0, kDefaultItems);
}

void CommandStream::InitDisplayList(const char* font, int height, TColor text, int alig, TColor line,
                                    int width, int type) {
  const int num = static_cast<int>(std::strlen(font));
  const int textrgb[3] = {text.Red(), text.Green(), text.Blue()};
  const int linergb[3] = {line.Red(), line.Green(), line.Blue()};
  state.displayList.Add(zvItem(ZV_TEXT_FONT, 1, &num, font));
  state.displayList.Add(zvItem(ZV_TEXT_HEIGHT, 1, &height, ""));
  state.displayList.Add(zvItem(ZV_TEXT_COLOR, 3, textrgb, ""));
  state.displayList.Add(zvItem(ZV_TEXT_ALIGN, 1, &alig, ""));
  state.displayList.Add(zvItem(ZV_LINE_COLOR, 3, linergb, ""));
  state.displayList.Add(zvItem(ZV_LINE_WIDTH, 1, &width, ""));
  state.displayList.Add(zvItem(ZV_LINE_TYPE, 1, &type, ""));
}
