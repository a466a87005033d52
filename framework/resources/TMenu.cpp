#include "framework/resources/TMenu.h"

#include <QFile>
#include <QString>

#include "framework/resources/TResources.h"

namespace {

class Lines {
public:
  explicit Lines(std::string_view text) : text(text) {}

  // Splits the next line into words; false at the end of the text.
  bool Next(std::vector<std::string>& words) {
    if (pos >= text.size()) return false;
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
      const char c = line[i];
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
      } else if (c == '#') {
        break;
      } else if (c == '"') {
        std::string word;
        ++i;
        bool closed = false;
        while (i < line.size()) {
          char d = line[i++];
          if (d == '"') {
            closed = true;
            break;
          }
          if (d == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) d = line[i++];
          word += d;
        }
        if (!closed) throw TXMenu();
        words.push_back(std::move(word));
      } else {
        std::string word;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"')
          word += line[i++];
        words.push_back(std::move(word));
      }
    }
    return true;
  }

private:
  std::string_view text;
  std::size_t pos = 0;
};

unsigned parseId(const std::string& word) {
  if (word.empty() || word.size() > 5) throw TXMenu();
  unsigned value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') throw TXMenu();
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > 65535) throw TXMenu();
  return value;
}

// Reads items into `into` up to the `end` that closes it (depth > 0) or to
// the end of the text (depth 0).
void parseItems(Lines& lines, std::vector<TMenuItem>& into, int depth) {
  std::vector<std::string> words;
  while (lines.Next(words)) {
    if (words.empty()) continue;
    const std::string& keyword = words[0];
    if (keyword == "popup" && words.size() == 2) {
      if (depth >= TMenu::MaxDepth) throw TXMenu();
      TMenuItem popup;
      popup.kind = TMenuItem::Popup;
      popup.text = words[1];
      parseItems(lines, popup.items, depth + 1);
      into.push_back(std::move(popup));
    } else if (keyword == "item" && words.size() >= 3 && words.size() % 2 == 1 &&
               (words.size() - 3) / 2 <= TMenu::MaxKeys) {
      TMenuItem item;
      item.text = words[1];
      item.id = parseId(words[2]);
      for (std::size_t k = 3; k < words.size(); k += 2) {
        if (words[k] != "key" || words[k + 1].empty()) throw TXMenu();
        item.keys.push_back(words[k + 1]);
      }
      into.push_back(std::move(item));
    } else if (keyword == "separator" && words.size() == 1 && depth > 0) {
      TMenuItem item;
      item.kind = TMenuItem::Separator;
      into.push_back(std::move(item));
    } else if (keyword == "end" && words.size() == 1 && depth > 0) {
      return;
    } else {
      throw TXMenu();
    }
  }
  if (depth > 0) throw TXMenu();  // a popup without its end
}

}  // namespace

std::vector<TMenuItem> TMenu::Parse(std::string_view text) {
  Lines lines(text);
  std::vector<TMenuItem> items;
  parseItems(lines, items, 0);
  return items;
}

std::vector<TMenuItem> TMenu::Load(const std::string& name) {
  const std::string path = TResources::MenuPath(name);
  QFile file(QString::fromStdString(path));
  if (path.empty() || !file.open(QIODevice::ReadOnly)) throw TXMenu();
  const QByteArray bytes = file.readAll();
  return Parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
