// Menu resources: the text form, DRAW_MENU, and the enabling of items.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "tests/framework/FrameworkTestSupport.h"
#include "framework/resources/TMenu.h"

namespace {

std::string describe(const std::vector<TMenuItem>& items) {
  std::string out;
  for (const TMenuItem& item : items) {
    if (!out.empty()) out += ", ";
    switch (item.kind) {
      case TMenuItem::Command:
        out += std::to_string(item.id) + " " + item.text;
        for (std::size_t k = 0; k < item.keys.size(); ++k) out += (k ? "|" : "[") + item.keys[k];
        if (!item.keys.empty()) out += "]";
        break;
      case TMenuItem::Separator:
        out += "-";
        break;
      case TMenuItem::Popup:
        out += item.text + "(" + describe(item.items) + ")";
        break;
    }
  }
  return out;
}

TEST(MenuText, DescriptionsParseOrAreRejectedAsAnInvalidMenu) {
  struct Case {
    const char* text;
    const char* parsed;  // null: rejected
  };
  const Case cases[] = {
      {"", ""},
      {"# only a comment\n\n", ""},
      {"popup \"A\"\nend\n", "A()"},
      {"popup \"&File\"\n item \"&Open\" 1\n separator\n item \"E&xit\" 65535\nend",
       "&File(1 &Open, -, 65535 E&xit)"},
      {"item \"Bar command\" 7\n", "7 Bar command"},
      {"popup \"Out\"\npopup \"In\"\nitem \"x\" 3\nend\nend\n", "Out(In(3 x))"},
      {"popup \"Q \\\"quoted\\\" \\\\ \"\r\nend\r\n", "Q \"quoted\" \\ ()"},
      {"popup \"caf\xC3\xA9\" # trailing comment\nend", "caf\xC3\xA9()"},
      {"item \"Zoom\" 102 key \"Ctrl++\" key \"Ctrl+=\" key \"Num++\"\n", "102 Zoom[Ctrl++|Ctrl+=|Num++]"},
      {"item \"x\" 5 key \"Ctrl+C\"\n", "5 x[Ctrl+C]"},
      {"item \"x\" 5 key\n", nullptr},               // a key without its sequence
      {"item \"x\" 5 keys \"C\"\n", nullptr},        // not the word key
      {"item \"x\" 5 key \"\"\n", nullptr},          // an empty sequence
      {"item \"x\" 5 key a key b key c key d key e\n", nullptr},  // more than four
      {"popup \"A\"\n", nullptr},     // no end
      {"end\n", nullptr},             // end of nothing
      {"separator\n", nullptr},       // a separator on the bar
      {"popup \"A\nend\n", nullptr},  // unterminated text
      {"popup \"A\"\nitem \"x\" 65536\nend\n", nullptr},
      {"popup \"A\"\nitem \"x\" -1\nend\n", nullptr},
      {"popup \"A\"\nitem \"x\" 1 2\nend\n", nullptr},
      {"popup \"A\"\nitem \"x\"\nend\n", nullptr},
      {"menu \"A\"\n", nullptr},
      {"ppppppppp\n", nullptr},
  };
  for (const Case& c : cases) {
    if (c.parsed) {
      EXPECT_EQ(describe(TMenu::Parse(c.text)), c.parsed) << c.text;
    } else {
      try {
        TMenu::Parse(c.text);
        ADD_FAILURE() << "accepted: " << c.text;
      } catch (const TMenu::TXMenu& x) {
        EXPECT_EQ(x.ResId(), 32744u);
        EXPECT_EQ(x.why(), "Exception #32744 (no message available).");
      }
    }
  }
}

TEST(MenuText, PopupsNestAtMostEightDeep) {
  std::string deep;
  for (int i = 0; i < 8; ++i) deep += "popup \"p\"\n";
  for (int i = 0; i < 8; ++i) deep += "end\n";
  EXPECT_NO_THROW(TMenu::Parse(deep));
  EXPECT_THROW(TMenu::Parse("popup \"p\"\n" + deep + "end\n"), TXMenu);
}

TEST(MenuResource, DrawMenuHoldsEditAndHelp) {
  EXPECT_EQ(describe(TMenu::Load("DRAW_MENU")),
            "&Edit(100 &Copy to clipboard[Ctrl+C], 101 Save picture &as\xE2\x80\xA6[Ctrl+S], -, 24310 &Exit), "
            "&View(102 Zoom &in[Ctrl++|Ctrl+=|Num++|Ctrl+Num++], 103 Zoom &out[Ctrl+-|Num+-|Ctrl+Num+-], "
            "104 &Actual size[Ctrl+0], 105 &Fit picture[Ctrl+F], -, 106 Show &coordinates), "
            "&Help(24346 &About...)");
  EXPECT_THROW(TMenu::Load("NO_SUCH_MENU"), TXMenu);
  EXPECT_THROW(TMenu::Load(""), TXMenu);
  EXPECT_THROW(TMenu::Load("../DRAW_MENU"), TXMenu);
}

// An application that handles one command itself and decides another's
// state with a command-enabling row.
class TCommandApp : public TTestApp {
public:
  bool Find(TEventInfo& info) override { return SearchEntries(Rows, info) || TTestApp::Find(info); }
  void CmApp() { ++appCommands; }
  void CeForced(TCommandEnabler& ce) { ce.Enable(forcedOn); }
  int appCommands = 0;
  bool forcedOn = false;

private:
  static const TResponseTableEntry Rows[];
};
const TResponseTableEntry TCommandApp::Rows[] = {
    {0, 500, v_Dispatch<&TCommandApp::CmApp>},
    {WM_COMMAND_ENABLE, 24346, v_CommandEnable_Dispatch<&TCommandApp::CeForced>},
    {0, 0, nullptr},
};

QAction* findAction(QMenuBar* bar, const QString& text, QMenu** owner = nullptr) {
  for (QMenu* menu : bar->findChildren<QMenu*>()) {
    for (QAction* action : menu->actions()) {
      if (action->text() == text) {
        if (owner) *owner = menu;
        return action;
      }
    }
  }
  return nullptr;
}

TEST(MenuEnabling, ItemsWithoutACommandRowAreGreyedWhenTheirMenuOpens) {
  ScriptedBoxes boxes;
  TCommandApp app;
  auto window = std::make_unique<TRecordingWindow>("Menu");
  window->Attr.Style &= ~WS_VISIBLE;
  window->AssignMenu("DRAW_MENU");
  window->Create();
  QMenuBar* bar = window->TopLevelWidget()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  QMenu* edit = nullptr;
  QMenu* help = nullptr;
  QAction* copy = findAction(bar, "&Copy to clipboard", &edit);
  QAction* exitItem = findAction(bar, "&Exit");
  QAction* about = findAction(bar, "&About...", &help);
  ASSERT_TRUE(copy && exitItem && about && edit && help);

  emit edit->aboutToShow();
  emit help->aboutToShow();
  EXPECT_FALSE(copy->isEnabled());     // id 100: no row anywhere
  EXPECT_TRUE(exitItem->isEnabled());  // the basic window's CmExit row
  EXPECT_FALSE(about->isEnabled());    // the application's enabler says no
  app.forcedOn = true;
  emit help->aboutToShow();
  EXPECT_TRUE(about->isEnabled());
}

TEST(MenuEnabling, CommandsReachTheWindowThenTheApplicationAndDisabledOnesAreIgnored) {
  ScriptedBoxes boxes;
  TCommandApp app;
  app.forcedOn = true;
  auto* window = new TRecordingWindow("Commands");
  window->AssignMenu("DRAW_MENU");
  app.makeMain = [window] { return window; };
  Watchdog watchdog(app);
  Soon([&] {
    QMenuBar* bar = window->TopLevelWidget()->findChild<QMenuBar*>();
    findAction(bar, "&Copy to clipboard")->trigger();  // no row: ignored
    findAction(bar, "&About...")->trigger();
    EXPECT_EQ(window->aboutCommands, 1);
    window->HandleMessage(WM_COMMAND, 500, 0);  // the application's row
    EXPECT_EQ(app.appCommands, 1);
    app.forcedOn = false;
    findAction(bar, "&About...")->trigger();  // now disabled: ignored
    EXPECT_EQ(window->aboutCommands, 1);
    findAction(bar, "&Exit")->trigger();
  });
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.canCloseCalls, 1);
  EXPECT_EQ(window->HWindow, nullptr);
}

TEST(MenuEnabling, AMissingMenuResourceFailsTheCreationWithException32744) {
  ScriptedBoxes boxes;
  TTestApp app;
  auto* window = new TRecordingWindow("No menu");
  window->AssignMenu("MISSING_MENU");
  app.makeMain = [window] { return window; };
  Watchdog watchdog(app);
  EXPECT_EQ(app.Run(), -1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Exception #32744 (no message available).");
  EXPECT_EQ(boxes.shown[0].style, MB_OK | MB_ICONSTOP);
  EXPECT_EQ(window->HWindow, nullptr);
}

}  // namespace
