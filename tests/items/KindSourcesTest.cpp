// The kind table (items/ItemKinds.h) against the places outside the daemon
// that know the kinds: the C library's header and kind codes, the Python
// library's Kind constants, the manual page's table of kinds and the shared
// byte cases both client libraries' tests run. Each must name every kind
// with its table code, call and arguments, and nothing else.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "clients/tests/ItemBytesCases.h"
#include "items/ItemKinds.h"

namespace {

std::string source(const std::string& path) {
  std::ifstream in(ZORVA_SOURCE_DIR "/" + path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

std::vector<std::string> words(std::string_view s) {
  std::vector<std::string> out;
  std::istringstream in{std::string(s)};
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The integer arguments a client passes itself: a string kind's length is
// the string's, which the client counts.
std::vector<std::string> passedArgs(const ItemKind& k) {
  std::vector<std::string> names = words(k.args);
  if (k.string) names.pop_back();
  return names;
}

// Every match of `pattern` in `text`: its first group mapped to its second.
std::map<std::string, std::string> matches(const std::string& text, const std::string& pattern) {
  std::map<std::string, std::string> out;
  const std::regex re(pattern);
  for (auto m = std::sregex_iterator(text.begin(), text.end(), re); m != std::sregex_iterator(); ++m)
    out[(*m)[1]] = (*m)[2];
  return out;
}

// Compares code-by-name maps with the table's, each name made by `name`.
template <class Name>
void expectCodes(const std::map<std::string, std::string>& found, Name name, const char* where) {
  std::map<std::string, std::string> expected;
  for (const ItemKind& k : itemKinds) expected[name(k)] = std::to_string(k.code);
  EXPECT_EQ(found, expected) << where;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

TEST(KindSources, TheCHeaderDeclaresACallForEveryKind) {
  const std::string header = source("clients/c/include/zorva/zorva.h");
  const auto declared = matches(header, R"(ZORVA_API int zorva_(\w+)\(zorva\* z((?:, [^)]*)?)\);)");
  for (const ItemKind& k : itemKinds) {
    SCOPED_TRACE(std::string(k.constant));
    std::string params;
    for (const std::string& name : passedArgs(k)) params += ", int " + name;
    const auto call = declared.find(std::string(k.call));
    ASSERT_TRUE(call != declared.end()) << "no zorva_" << k.call;
    if (!k.string) {
      EXPECT_EQ(call->second, params);
      continue;
    }
    // A string kind: the string after the integers, and a counted form
    // whose length is the table's last argument.
    EXPECT_TRUE(std::regex_match(call->second, std::regex(params + R"(, const char\* \w+)"))) << call->second;
    const auto counted = declared.find(std::string(k.call) + "n");
    ASSERT_TRUE(counted != declared.end()) << "no zorva_" << k.call << "n";
    EXPECT_TRUE(
        std::regex_match(counted->second, std::regex(params + R"(, const char\* \w+, size_t length)")))
        << counted->second;
  }
}

TEST(KindSources, TheCLibraryWritesTheTablesCodes) {
  const std::string items = source("clients/c/src/items.c");
  const std::size_t from = items.find("enum kind {");
  ASSERT_NE(from, std::string::npos);
  const std::string list = items.substr(from, items.find("};", from) - from);
  expectCodes(
      matches(list, R"((ZV_\w+) = (\d+))"), [](const ItemKind& k) { return std::string(k.constant); },
      "items.c");
}

TEST(KindSources, ThePythonKindsAreTheTablesCalls) {
  const std::string py = source("clients/python/src/zorva/_items.py");
  const std::size_t from = py.find("class Kind(enum.IntEnum):\n");
  ASSERT_NE(from, std::string::npos);
  const std::string body = py.substr(from, py.find("\n\n", from) - from);
  expectCodes(
      matches(body, R"(\n    (\w+) = (\d+))"), [](const ItemKind& k) { return upper(k.call); }, "_items.py");
}

TEST(KindSources, TheManualPageListsEveryKindWithItsFields) {
  const std::string page = source("man/zorvad.1");
  const std::size_t intro = page.find("Each kind, the name of the client library call");
  ASSERT_NE(intro, std::string::npos);
  const std::size_t from = page.find(".nf\n", intro) + 4;
  std::istringstream rows(page.substr(from, page.find(".fi\n", from) - from));
  // code, call, then the fields: their names (or "none") and either the end
  // of the row or a remark after ":", ";" or ",".
  const std::regex row(R"( *(\d+)  +(\S+)  +(.*?)(?:[:;,] .*)?)");
  int n = 0;
  for (std::string line; std::getline(rows, line); ++n) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, row)) << line;
    ASSERT_LT(n, itemKindCount) << "a row beyond the table: " << line;
    const ItemKind& k = itemKinds[n];
    EXPECT_EQ(m[1].str(), std::to_string(k.code)) << line;
    EXPECT_EQ(m[2].str(), k.call) << line;
    EXPECT_EQ(m[3].str(), k.args.empty() ? std::string("none") : std::string(k.args)) << line;
  }
  EXPECT_EQ(n, itemKindCount);
}

// The text form of a call with these arguments, from the table alone.
std::string expectedBytes(const ItemKind& k, const itembytes::Case& c) {
  std::string out = std::to_string(k.code) + ' ' + std::to_string(k.fileCount()) + ' ';
  for (int a : c.ints) out += std::to_string(a) + ' ';
  if (c.str) out += std::to_string(c.str->size()) + ' ' + *c.str;
  return out + '\n';
}

TEST(KindSources, TheByteCasesCoverEveryKindAsTheTableSays) {
  std::map<std::string, int> cases;
  for (const itembytes::Case& c : itembytes::readCases()) {
    SCOPED_TRACE("item_bytes.txt line " + std::to_string(c.line));
    const ItemKind* kind = nullptr;
    for (const ItemKind& k : itemKinds)
      if (k.call == c.call) kind = &k;
    ASSERT_NE(kind, nullptr) << "no kind is written by " << c.call;
    ++cases[c.call];
    EXPECT_EQ(c.ints.size(), passedArgs(*kind).size());
    EXPECT_EQ(c.str.has_value(), kind->string);
    EXPECT_EQ(c.bytes, expectedBytes(*kind, c));
  }
  for (const ItemKind& k : itemKinds) EXPECT_GT(cases[std::string(k.call)], 0) << "no case for " << k.call;
}

}  // namespace
