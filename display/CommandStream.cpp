#include "display/CommandStream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "display/DisplayList.h"
#include "display/StreamHost.h"
#include "framework/TClientDC.h"
#include "framework/surface/Surface.h"
#include "items/DrawAttributes.h"
#include "items/zvItem.h"

CommandStream::CommandStream(StreamHost& h, int fd, TClientDC* dc) : host(h), conID(fd), winDC(dc) {}

void CommandStream::EvTimer(unsigned /*timerId*/) {
  host.KillPollTimer();
  for (;;) {
    ssize_t got;
    do {
      got = ::read(conID, buf + begin, static_cast<size_t>(BufSize - 1 - begin));
    } while (got < 0 && errno == EINTR);
    if (got <= 0) break;  // end of file, a full buffer, or a read error
    const int size = begin + static_cast<int>(got);
    buf[size] = '\0';
    const int pos = ParseBuffer(buf);
    if (pos == -1) {
      host.PostCloseRequest();
      return;  // polling stays stopped; the rest of the buffer is never read
    }
    begin = size - pos;
    std::memmove(buf, buf + pos, static_cast<size_t>(begin));
  }
  host.SetPollTimer();
}

int CommandStream::ParseBuffer(char* text) {
  // One working item serves the whole pass: an item that gives fewer
  // arguments than its kind uses carries those of the previous item.
  zvItem item;
  int pos = 0;
  for (int used; (used = item.Set(text + pos)) != 0;) {
    pos += used;
    switch (item.GetFunc()) {
      case ZV_INIT:
        displayList.Flush();
        InitDisplayList("Arial", 12, TColor(255, 255, 255), 1, TColor(255, 255, 255), 1, 1);
        clearDisplayList = 1;
        winDC->SetViewportOrgEx(0, host.ClientHeight());
        winDC->SetBkMode(TRANSPARENT);
        host.PostPaintRequest();
        break;
      case ZV_EXIT:
        return -1;
      case ZV_CLEAR:
        if (clearDisplayList == 1) break;
        displayList.Flush();
        host.InvalidateClient(true);
        // Before any font item there is no face name: the empty name lets
        // the platform choose the face.
        InitDisplayList(fontName ? fontName->c_str() : "", fontHeight, textColor, codeOfTextAlig(textAlig),
                        lineColor, lineWidth, codeOfLineType(lineType));
        host.PostPaintRequest();
        break;
      default:
        displayList.Add(item);
        item.Display(winDC);
        clearDisplayList = 0;
        break;
    }
  }
  return pos;
}

void CommandStream::InitDisplayList(const char* font, int height, TColor text, int alig, TColor line,
                                    int width, int type) {
  const int num = static_cast<int>(std::strlen(font));
  const int textrgb[3] = {text.Red(), text.Green(), text.Blue()};
  const int linergb[3] = {line.Red(), line.Green(), line.Blue()};
  displayList.Add(zvItem(ZV_TEXT_FONT, 1, &num, font));
  displayList.Add(zvItem(ZV_TEXT_HEIGHT, 1, &height, ""));
  displayList.Add(zvItem(ZV_TEXT_COLOR, 3, textrgb, ""));
  displayList.Add(zvItem(ZV_TEXT_ALIGN, 1, &alig, ""));
  displayList.Add(zvItem(ZV_LINE_COLOR, 3, linergb, ""));
  displayList.Add(zvItem(ZV_LINE_WIDTH, 1, &width, ""));
  displayList.Add(zvItem(ZV_LINE_TYPE, 1, &type, ""));
}
