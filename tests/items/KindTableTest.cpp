// Every row of the kind table (items/ItemKinds.h) against the item's own
// code: the reader reads each kind's text form, the dump shows each kind
// that is not a control item, and the rendering draws each drawing kind and
// applies each attribute kind. A kind added to the table and forgotten in
// one of them fails here.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "framework/gdi/TClientDC.h"
#include "framework/report/MessageBox.h"
#include "framework/surface/RecordingSurface.h"
#include "items/DrawAttributes.h"
#include "items/ItemDisplay.h"
#include "items/ItemReader.h"
#include "tests/items/zvItemProbe.h"

namespace {

using P = zvItemProbe;

// One item of a kind with every argument its row names: the integers 2, 3,
// 4... (values that differ from every attribute's start value), a string
// kind's length last, and "a b" as its string.
struct Sample {
  std::vector<int> args;
  std::string str;
  std::string text;  // its text form in the command file
};

Sample sample(const ItemKind& k) {
  Sample s;
  if (k.string) s.str = "a b";
  for (int i = 0; i < k.intArgs(); ++i) s.args.push_back(i + 2);
  if (k.string) s.args.back() = static_cast<int>(s.str.size());
  s.text = std::to_string(k.code) + ' ' + std::to_string(k.fileCount()) + ' ';
  for (int a : s.args) s.text += std::to_string(a) + ' ';
  s.text += s.str;
  return s;
}

zvItem itemOf(const ItemKind& k) {
  const Sample s = sample(k);
  return zvItem(k.code, k.intArgs(), s.args.data(), s.str.c_str());
}

void expectSample(const zvItem& item, const ItemKind& k) {
  const Sample s = sample(k);
  EXPECT_EQ(P::func(item), k.code);
  EXPECT_EQ(P::count(item), k.intArgs());
  for (int i = 0; i < k.intArgs(); ++i) EXPECT_EQ(P::args(item)[static_cast<std::size_t>(i)], s.args[i]) << i;
  EXPECT_EQ(P::str(item), s.str);
}

TEST(KindTable, TheReaderReadsEveryKindsTextForm) {
  for (const ItemKind& k : itemKinds) {
    SCOPED_TRACE(std::string(k.constant));
    const Sample s = sample(k);
    // The space after the last integer is not part of an item; a string is.
    const int whole = static_cast<int>(s.text.size()) - (k.string ? 0 : 1);
    zvItem item;
    EXPECT_EQ(item.Set(s.text.c_str()), whole) << s.text;
    expectSample(item, k);
    for (std::size_t n = 0; n < s.text.size(); ++n)
      EXPECT_EQ(zvItem().Set(s.text.substr(0, n).c_str()), 0) << "prefix " << n << " of " << s.text;

    // Byte by byte, as a long item arrives: complete with its last byte (a
    // string's, or the space after the last integer).
    zvItem pieces;
    ItemReader reader;
    int used = 0;
    for (std::size_t i = 0; i < s.text.size(); ++i) {
      EXPECT_FALSE(reader.Done()) << "done before byte " << i;
      const char piece[2] = {s.text[i], '\0'};
      used += reader.Read(pieces, piece);
    }
    EXPECT_TRUE(reader.Done());
    EXPECT_EQ(used, whole);
    expectSample(pieces, k);
  }
}

TEST(KindTable, StringKindsAreTheRowsThatSaySo) {
  for (int code : {INT_MIN, -1, 16, 31, 32, 33, 99, INT_MAX}) EXPECT_FALSE(carriesString(code)) << code;
  for (const ItemKind& k : itemKinds) {
    EXPECT_EQ(carriesString(k.code), k.string) << k.constant;
    EXPECT_EQ(findItemKind(k.code), &k);
  }
  EXPECT_EQ(findItemKind(itemKindCount), nullptr);
  EXPECT_EQ(findItemKind(-1), nullptr);
}

TEST(KindTable, TheDumpShowsEveryKindButControlItems) {
  std::vector<std::string> boxes;
  const MessagePresenter previous =
      SetMessagePresenter([&](const std::string& text, const std::string& caption, unsigned) {
        EXPECT_EQ(caption, "DEBUG");
        boxes.push_back(text);
        return IDOK;
      });
  for (const ItemKind& k : itemKinds) {
    SCOPED_TRACE(std::string(k.constant));
    boxes.clear();
    itemOf(k).debugDisp();
    EXPECT_EQ(boxes.empty(), k.itemClass == ItemClass::Control);
    if (k.string) {
      ASSERT_FALSE(boxes.empty());
      EXPECT_NE(boxes[0].find("Xa bX"), std::string::npos) << boxes[0];
    }
  }
  SetMessagePresenter(previous);
}

bool sameAttributes(const DrawAttributes& a, const DrawAttributes& b) {
  return a.fontName == b.fontName && a.fontHeight == b.fontHeight && a.textAlig == b.textAlig &&
         a.lineWidth == b.lineWidth && a.lineType == b.lineType && a.lineColor == b.lineColor &&
         a.textColor == b.textColor;
}

TEST(KindTable, TheRenderingDrawsOrAppliesEveryKindButControlItems) {
  for (const ItemKind& k : itemKinds) {
    SCOPED_TRACE(std::string(k.constant));
    DrawAttributes attributes;
    std::ostringstream trace;
    {
      RecordingSurface surface(trace);
      TClientDC dc(surface);
      itemOf(k).Display(&dc, attributes);
    }
    const std::string calls = trace.str();
    bool drew = false;
    for (const char* call : {"MoveToEx(", "LineTo(", "TextOutA(", "Arc("})
      drew |= calls.find(call) != std::string::npos;
    const bool applied = !sameAttributes(attributes, DrawAttributes());
    EXPECT_EQ(drew, k.itemClass == ItemClass::Drawing) << calls;
    EXPECT_EQ(applied, k.itemClass == ItemClass::Attribute) << calls;
    if (k.itemClass == ItemClass::Control) {
      EXPECT_EQ(calls, "");
    }
  }
}

}  // namespace
