// Every text the program asks for by number is in the demo's texts, in its start language and in
// English, so that no window, panel, box or print of the demo shows a field name or another
// language's default in its place.
//
// The numbers are found in the program's sources, so that a text added to the code is walked without
// a list to keep: every call of GetTextById, TextById and GetTextByIdStatic whose first argument is
// - a number written out (TextById(6202, "Tag")), or
// - a name given a number in the same file, in the header or source beside it, in a header of the
//   program it includes, or in the header of the class that qualifies it (kTitleText,
//   DocumentFileOperations::kSaveFilter): "kName = 6213", also inside a list such as "kSaveFailedText = 6270,
//   kSaveFailedAdvice = 6271";
// and, in the same way, every call of a function or lambda of the same file that hands its first
// parameter, "int32_t number", on to one of them (Text(6302, "Scale: ")).
// Numbers built at run time (8000 + a field, a base plus an index) or handed in by a caller are not
// seen here; the price list's column captions and its line panels' captions are walked against the
// same texts by MkcatalogTest and CalculatorLinePanelTest.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/RecordField.h"
#include "foundation/FileRecord.h"
#include "support/DemoSettings.h"

namespace {

namespace fs = std::filesystem;

// The program's own folders (tests, tools and benches ask for no text of the running program).
constexpr const char* kFolders[] = {"platform", "foundation", "database", "framework", "controls",
                                    "scene3d",  "catalogue",  "elements", "room",      "calculation",
                                    "canvas",   "exchange",   "app"};
// Texts the demo leaves out on purpose: 6315 names the calculation's panel "Calculation" and every
// other canvas's panel "Canvas" by the program's default of each, which one text would overrule;
// 7100 to 7106 are notes an element's panel shows only in a language that has them; 7511 would name
// the document server's path, which the demo's address file names (7510, the host's text there too,
// is the item sheet's total caption).
const std::set<int32_t> kLeftOut = {6315, 7100, 7101, 7102, 7103, 7104, 7105, 7106, 7511};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A name, maybe qualified by its class: kTitleText, DocumentFileOperations::kSaveFilter.
bool IsName(const std::string& text) {
  if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0])) != 0) return false;
  for (char c : text)
    if (!IsNameChar(c) && c != ':') return false;
  return true;
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return false;
  return true;
}

// The number `name` is given in `text` ("name = 123" or "name{123}"), or -1.
int32_t NumberOf(const std::string& text, const std::string& name) {
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    if (at > 0 && IsNameChar(text[at - 1])) continue;
    size_t p = at + name.size();
    if (p < text.size() && IsNameChar(text[p])) continue;
    while (p < text.size() && text[p] == ' ') ++p;
    if (p >= text.size() || (text[p] != '=' && text[p] != '{')) continue;
    if (text[p] == '=' && p + 1 < text.size() && text[p + 1] == '=') continue;
    ++p;
    while (p < text.size() && text[p] == ' ') ++p;
    size_t end = p;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) ++end;
    if (end > p && (end == text.size() || !IsNameChar(text[end]))) return std::stoi(text.substr(p, end - p));
  }
  return -1;
}

struct Asked {
  std::map<int32_t, std::set<std::string>> where;  // text number -> files that ask for it
  int notSeen = 0;                                 // calls whose number is built at run time
};

// One source file with the texts beside it that may give its names their numbers.
struct Source {
  std::string relative, text, beside;
  const std::map<std::string, fs::path>* headers;
};

// The number of the first argument `argument` of a call, or -1 when it is built at run time.
int32_t ArgumentNumber(const Source& source, const std::string& argument) {
  if (AllDigits(argument)) return std::stoi(argument);
  if (!IsName(argument) || (argument[0] != 'k' && argument.find("::") == std::string::npos)) return -1;
  const size_t qualified = argument.rfind("::");
  const std::string name = qualified == std::string::npos ? argument : argument.substr(qualified + 2);
  int32_t number = NumberOf(source.beside, name);
  if (number < 0 && qualified != std::string::npos) {
    const size_t scope = argument.rfind("::", qualified - 1);
    const size_t from = scope == std::string::npos ? 0 : scope + 2;
    const auto header = source.headers->find(argument.substr(from, qualified - from));
    if (header != source.headers->end()) number = NumberOf(ReadText(header->second), name);
  }
  EXPECT_GE(number, 0) << source.relative << ": no number found for " << argument;
  return number;
}

// The function of `text` whose first parameter is "int32_t parameter" and whose body holds `at`: a
// named function or a lambda kept in a variable; "" when there is none.
std::string Wrapper(const std::string& text, size_t at, const std::string& parameter) {
  const size_t declared = text.rfind("int32_t " + parameter, at);
  if (declared == std::string::npos) return "";
  size_t open = text.find_last_not_of(" ", declared - 1);
  if (open != std::string::npos && text.compare(open - 4, 5, "const") == 0)
    open = text.find_last_not_of(" ", open - 5);
  if (open == std::string::npos || text[open] != '(') return "";
  size_t end = text.find_last_not_of(" ", open - 1);
  if (end != std::string::npos && text[end] == ']') {  // a lambda: "auto name = [&](int32_t ..."
    const size_t equals = text.rfind('=', end);
    if (equals == std::string::npos) return "";
    end = text.find_last_not_of(" ", equals - 1);
  }
  size_t begin = end;
  while (begin > 0 && IsNameChar(text[begin - 1])) --begin;
  return end == std::string::npos ? "" : text.substr(begin, end - begin + 1);
}

// Every call of `name` in `source` whose first argument has a number; `name` = "" walks the three
// lookups and then, once, the file's own functions that hand their first parameter to one of them.
void Walk(const Source& source, const std::string& name, Asked& asked) {
  const std::string& text = source.text;
  const std::string key = name.empty() ? "TextById" : name;
  std::set<std::string> wrappers;
  for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
    size_t open = at + key.size();
    size_t start = at;
    if (name.empty()) {
      if (text.compare(open, 6, "Static") == 0) open += 6;
      if (at >= 3 && text.compare(at - 3, 3, "Get") == 0) start = at - 3;
    }
    while (open < text.size() && text[open] == ' ') ++open;
    if (open >= text.size() || text[open] != '(' || (start > 0 && IsNameChar(text[start - 1]))) continue;
    const size_t comma = text.find_first_of(",)", open);
    const std::string argument = Trimmed(text.substr(open + 1, comma - open - 1));
    // The declarations and definitions themselves.
    if (argument.find("int32_t") != std::string::npos) continue;
    const int32_t number = ArgumentNumber(source, argument);
    if (number >= 0) {
      asked.where[number].insert(source.relative);
      continue;
    }
    const std::string wrapper = name.empty() && IsName(argument) ? Wrapper(text, at, argument) : "";
    if (wrapper.empty()) {
      ++asked.notSeen;
    } else {
      wrappers.insert(wrapper);
    }
  }
  for (const std::string& wrapper : wrappers) Walk(source, wrapper, asked);
}

// Every number the program's sources ask for (see the top of this file).
Asked AskedTexts(const fs::path& root) {
  std::map<std::string, fs::path> headers;  // "Class" -> its header
  std::vector<fs::path> files;
  for (const char* folder : kFolders)
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / folder)) {
      const fs::path& path = entry.path();
      if (path.extension() != ".cpp" && path.extension() != ".h") continue;
      files.push_back(path);
      if (path.extension() == ".h") headers[path.stem().string()] = path;
    }
  Asked asked;
  for (const fs::path& path : files) {
    Source source{fs::relative(path, root).string(), ReadText(path), "", &headers};
    source.beside = source.text;
    for (const char* extension : {".h", ".cpp"}) {
      fs::path other = path;
      other.replace_extension(extension);
      if (other != path && fs::exists(other)) source.beside += ReadText(other);
    }
    // The program's headers it includes: a member function finds its class's numbers there.
    for (size_t at = source.text.find("#include \""); at != std::string::npos;
         at = source.text.find("#include \"", at + 1)) {
      const size_t end = source.text.find('"', at + 10);
      const fs::path header = root / source.text.substr(at + 10, end - at - 10);
      if (end != std::string::npos && fs::exists(header)) source.beside += ReadText(header);
    }
    Walk(source, "", asked);
  }
  return asked;
}

TEST(ProgramTextsTest, EveryTextTheProgramAsksForByNumberIsInTheDemo) {
  const Asked asked = AskedTexts(PLANNER_SOURCE_DIR);
  // A scan that finds next to nothing has stopped understanding the sources.
  ASSERT_GT(asked.where.size(), 50u);
  ASSERT_TRUE(asked.where.count(6302) == 1 && asked.where.count(6245) == 1) << "the scan misses named texts";

  DemoSettings demo;
  ppFileSpec file(Vcon::WString(Vcon::String(demo.File("zadezodid.cdb").string())));
  qxApplicationdb texts(file);
  // 0: the start language of a first start; 1033: English and 1030: Danish chosen in the preferences
  // (a text is looked up in the current language only).
  for (const int32_t language : {0, 1033, 1030}) {
    for (const auto& [number, files] : asked.where) {
      if (kLeftOut.count(number) != 0) continue;
      Vcon::WString text;
      EXPECT_TRUE(texts.GetString(number, text, language) && !text.empty())
          << "language " << language << " has no text " << number << ", asked for in " << *files.begin();
    }
  }
  for (const int32_t number : kLeftOut) {
    Vcon::WString text;
    EXPECT_FALSE(texts.GetString(number, text, 0)) << number << " is left out on purpose";
    EXPECT_EQ(asked.where.count(number), 1u)
        << number << " is no longer asked for: leave it in the demo's texts";
  }
}

TEST(ProgramTextsTest, EveryEnglishTextHasADanishOneThatNamesTheDemo) {
  DemoSettings demo;
  ppFileSpec file(Vcon::WString(Vcon::String(demo.File("zadezodid.cdb").string())));
  qxApplicationdb texts(file);
  ppDatafile& table = texts.StringFile();
  const RecordField id(table, "id"), language(table, "languageCode");
  std::set<int32_t> english;
  table.SelectAll();
  for (int32_t i = 0; i < table.GetSelectedCount(); ++i) {
    table.ReadRecordAt(i, nullptr);
    if (language.Long(table.GetRecordBuffer()) == 1033) english.insert(id.Long(table.GetRecordBuffer()));
  }
  ASSERT_GT(english.size(), 150u);
  // The program's own default names another product; the demo's texts name the demo in both languages.
  const Vcon::WString otherName(u"Zelvo");
  for (const int32_t number : english) {
    Vcon::WString en, da;
    ASSERT_TRUE(texts.GetString(number, en, 1033));
    EXPECT_TRUE(texts.GetString(number, da, 1030)) << "no Danish text " << number << ": " << en.Narrow();
    EXPECT_EQ(da.empty(), en.empty()) << number;
    EXPECT_EQ(da.find(otherName), Vcon::WString::npos) << number << ": " << da.Narrow();
    EXPECT_EQ(en.find(otherName), Vcon::WString::npos) << number << ": " << en.Narrow();
  }
  // Among them the preferences' title, Help > About and the price list's captions of the article
  // number, the price and the total.
  for (const int32_t number : {6213, 1, 8052, 8053, 8073}) EXPECT_EQ(english.count(number), 1u) << number;
}

// The browser's trees and the panels' tabs and hints carry their text's number after their English
// ("Price summary;9040"): each has a Danish text, so that choosing Danish turns them too.
TEST(ProgramTextsTest, EveryBrowserAndPanelTextHasADanishOne) {
  const fs::path demoSources = fs::path(PLANNER_SOURCE_DIR) / "data" / "demo";
  std::map<int32_t, std::string> numbered;
  for (const fs::path& folder : {demoSources / "application" / "panels", demoSources / "catalogs"}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string text = ReadText(entry.path());
      for (size_t at = text.find(';'); at != std::string::npos; at = text.find(';', at + 1)) {
        size_t end = at + 1;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) ++end;
        if (end - at == 5) numbered[std::stoi(text.substr(at + 1, 4))] = entry.path().filename().string();
      }
    }
  }
  ASSERT_GE(numbered.size(), 20u) << "the scan no longer finds the numbered texts";
  DemoSettings demo;
  ppFileSpec file(Vcon::WString(Vcon::String(demo.File("zadezodid.cdb").string())));
  qxApplicationdb texts(file);
  for (const auto& [number, where] : numbered) {
    Vcon::WString text;
    EXPECT_TRUE(texts.GetString(number, text, 1030) && !text.empty())
        << "no Danish text " << number << ", named in " << where;
  }
}

}  // namespace
