#include "tools/rescomp/ScriptCompiler.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "tools/rescomp/AnsiText.h"

namespace rescomp {
namespace {

enum class TokenKind { Word, Number, Text };

struct Token {
  TokenKind kind;
  std::string text;  // a Text token holds its unescaped UTF-8 content
};

// Splits one line into tokens; a '#' outside quotes ends the line.
class LineLexer {
 public:
  LineLexer(const std::string& file, int line) : file_(file), line_(line) {}

  std::vector<Token> Split(std::string_view s) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < s.size()) {
      char c = s[i];
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
        continue;
      }
      if (c == '#') break;
      if (c == '"') {
        tokens.push_back({TokenKind::Text, QuotedText(s, i)});
        continue;
      }
      size_t start = i;
      while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])) && s[i] != '"' && s[i] != '#')
        ++i;
      std::string word(s.substr(start, i - start));
      bool numeric = std::isdigit(static_cast<unsigned char>(word[0])) ||
                     ((word[0] == '-' || word[0] == '+') && word.size() > 1);
      tokens.push_back({numeric ? TokenKind::Number : TokenKind::Word, word});
    }
    return tokens;
  }

 private:
  std::string QuotedText(std::string_view s, size_t& i) {
    std::string out;
    ++i;  // opening quote
    while (i < s.size() && s[i] != '"') {
      char c = s[i++];
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (i >= s.size()) break;
      char e = s[i++];
      switch (e) {
        case 'n':
          out.push_back('\n');
          break;
        case 'r':
          out.push_back('\r');
          break;
        case 't':
          out.push_back('\t');
          break;
        case '0':
          out.push_back('\0');
          break;
        case '\\':
          out.push_back('\\');
          break;
        case '"':
          out.push_back('"');
          break;
        case 'x':
          out.push_back(static_cast<char>(HexByte(s, i)));
          break;
        default:
          throw ScriptError(file_, line_, std::string("unknown escape \\") + e);
      }
    }
    if (i >= s.size()) throw ScriptError(file_, line_, "unterminated text");
    ++i;  // closing quote
    return out;
  }

  int HexByte(std::string_view s, size_t& i) {
    int value = 0;
    for (int k = 0; k < 2; ++k) {
      if (i >= s.size() || !std::isxdigit(static_cast<unsigned char>(s[i])))
        throw ScriptError(file_, line_, "\\x needs two hexadecimal digits");
      char d = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i++])));
      value = value * 16 + (std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : d - 'a' + 10);
    }
    return value;
  }

  const std::string& file_;
  int line_;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Compiles statement by statement; one instance per script.
class Compiler {
 public:
  Compiler(const std::filesystem::path& path) : path_(path), file_(path.string()) {}

  CompiledScript Run(const std::string& text) {
    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
      ++line_;
      LineLexer lexer(file_, line_);
      std::vector<Token> tokens = lexer.Split(raw);
      if (!tokens.empty()) Statement(tokens);
    }
    if (block_ != Block::None)
      Fail("missing \"end\" for the block opened on line " + std::to_string(blockLine_));
    return std::move(out_);
  }

 private:
  enum class Block { None, StringArray, StringTable, Binary, Dialog, Menu, Cursor };

  // A dialog block collects its header and controls, then writes them at "end".
  struct DialogItem {
    uint32_t style = 0, exStyle = 0;
    int64_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t id = 0;
    std::string className, text;  // texts already in Windows-1252
  };
  struct DialogBlock {
    uint32_t style = 0x80C80080;  // popup, caption, system menu, modal frame
    uint32_t exStyle = 0;
    int64_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t points = 8;
    std::string face = "MS Sans Serif";
    std::string caption;
    std::vector<DialogItem> items;
  };

  [[noreturn]] void Fail(const std::string& what) const { throw ScriptError(file_, line_, what); }

  void Statement(const std::vector<Token>& t) {
    if (t[0].kind == TokenKind::Word && Lower(t[0].text) == "end") {
      if (t.size() != 1) Fail("\"end\" stands alone on its line");
      if (block_ == Block::Menu && EndMenuLevel()) return;
      if (block_ == Block::None) Fail("\"end\" without an open block");
      if (block_ == Block::Dialog) WriteDialog();
      if (block_ == Block::Cursor) WriteCursor();
      if (block_ != Block::StringTable) Finish();
      block_ = Block::None;
      return;
    }
    switch (block_) {
      case Block::None:
        TopLevel(t);
        break;
      case Block::StringArray:
        StringArrayLine(t);
        break;
      case Block::StringTable:
        StringTableLine(t);
        break;
      case Block::Binary:
        BinaryLine(t);
        break;
      case Block::Dialog:
        DialogLine(t);
        break;
      case Block::Menu:
        MenuLine(t);
        break;
      case Block::Cursor:
        CursorLine(t);
        break;
    }
  }

  void TopLevel(const std::vector<Token>& t) {
    if (t[0].kind != TokenKind::Word) Fail("a statement starts with a keyword");
    std::string keyword = Lower(t[0].text);
    if (keyword == "stringarray") {
      Expect(t, 2, "stringarray <id>");
      Begin("STRINGARRAY", t[1]);
      Open(Block::StringArray);
    } else if (keyword == "text") {
      Expect(t, 3, "text <id> \"...\"");
      Begin("TXET", t[1]);
      AppendText(t[2], true);
      Finish();
    } else if (keyword == "stringtable") {
      Expect(t, 1, "stringtable");
      Open(Block::StringTable);
    } else if (keyword == "bitmap") {
      Expect(t, 3, "bitmap <id|name> \"file.bmp\"");
      Begin("#2", t[1]);
      Bitmap(t[2]);
      Finish();
    } else if (keyword == "cursor") {
      Expect(t, 4, "cursor <id|name> <hot x> <hot y>");
      Begin("#1", t[1]);
      cursor_ = CursorBlock{};
      cursor_.hotX = Integer(t[2], 0, kCursorSide - 1), cursor_.hotY = Integer(t[3], 0, kCursorSide - 1);
      Open(Block::Cursor);
    } else if (keyword == "dialog") {
      Expect(t, 7, "dialog <id|name> <x> <y> <width> <height> \"caption\"");
      Begin("DIALOG", t[1]);
      dialog_ = DialogBlock{};
      dialog_.x = Integer(t[2], -0x8000, 0x7FFF), dialog_.y = Integer(t[3], -0x8000, 0x7FFF);
      dialog_.cx = Integer(t[4], 0, 0x7FFF), dialog_.cy = Integer(t[5], 0, 0x7FFF);
      dialog_.caption = Ansi(t[6]);
      Open(Block::Dialog);
    } else if (BinaryKindBlock(keyword, t)) {
      // a menu or accelerator table, written field by field like a binary resource
    } else if (keyword == "resource") {
      Expect(t, 3, "resource <TYPE> <id|name>");
      if (t[1].kind != TokenKind::Word) Fail("a resource type is a word such as DICT");
      Begin(t[1].text, t[2]);
      Open(Block::Binary);
    } else {
      Fail("unknown statement \"" + t[0].text + "\"");
    }
  }

  // "accelerators <id|name>": a binary block of the platform's numeric kind (a type such as "#9"
  // cannot be written after "resource", where '#' starts a comment). "menu <id|name>": a menu tree.
  bool BinaryKindBlock(const std::string& keyword, const std::vector<Token>& t) {
    if (keyword != "menu" && keyword != "accelerators") return false;
    Expect(t, 2, keyword + " <id|name>");
    Begin(keyword == "menu" ? "#4" : "#9", t[1]);
    if (keyword == "menu") {
      menu_.assign(1, {});
      Open(Block::Menu);
    } else {
      Open(Block::Binary);
    }
    return true;
  }

  // A menu block holds lines "item <id> \"text\" [grayed|disabled|checked]...", "separator" and
  // "popup \"text\" [grayed|disabled]" ... "end"; the block's own "end" writes the tree in the form of
  // platform/MenuResource.h: per item u16 flags, u16 id (not for a popup), the text and its NUL, a
  // popup's items right after it, and 0x80 on the last item of every level.
  struct MenuEntry {
    uint16_t flags = 0;
    uint16_t id = 0;
    std::string text;
    std::vector<MenuEntry> items;
  };
  static constexpr uint16_t kMenuPopup = 0x10, kMenuEnd = 0x80, kMenuSeparator = 0x800;

  void MenuLine(const std::vector<Token>& t) {
    if (t[0].kind != TokenKind::Word) Fail("a menu line starts with item, popup or separator");
    std::string kind = Lower(t[0].text);
    MenuEntry entry;
    size_t states = 0;
    if (kind == "item") {
      if (t.size() < 3) Fail("expected item <id> \"text\" [grayed|disabled|checked]...");
      entry.id = static_cast<uint16_t>(Integer(t[1], 0, 0xFFFF));
      entry.text = Ansi(t[2]);
      states = 3;
    } else if (kind == "popup") {
      if (t.size() < 2) Fail("expected popup \"text\" [grayed|disabled]");
      entry.flags = kMenuPopup;
      entry.text = Ansi(t[1]);
      states = 2;
    } else if (kind == "separator") {
      Expect(t, 1, "separator");
      entry.flags = kMenuSeparator;
      states = 1;
    } else {
      Fail("unknown menu line \"" + t[0].text + "\"");
    }
    for (size_t i = states; i < t.size(); ++i) {
      std::string state = t[i].kind == TokenKind::Word ? Lower(t[i].text) : "";
      if (state == "grayed")
        entry.flags |= 0x1;
      else if (state == "disabled")
        entry.flags |= 0x2;
      else if (state == "checked" && kind == "item")
        entry.flags |= 0x8;
      else
        Fail("unknown item state \"" + t[i].text + "\"");
    }
    menu_.back().items.push_back(std::move(entry));
    if (kind == "popup") menu_.push_back({});  // its items follow until its "end"
  }

  // Closes an open popup; answers false at the menu's own end, after writing it.
  bool EndMenuLevel() {
    if (menu_.back().items.empty()) Fail("a menu or popup holds at least one item");
    if (menu_.size() > 1) {
      MenuEntry level = std::move(menu_.back());
      menu_.pop_back();
      menu_.back().items.back().items = std::move(level.items);
      return true;
    }
    WriteMenuLevel(menu_.back().items);
    menu_.clear();
    return false;
  }

  void WriteMenuLevel(const std::vector<MenuEntry>& items) {
    auto u16 = [this](uint16_t v) {
      current_.bytes.push_back(static_cast<uint8_t>(v & 0xFF));
      current_.bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    for (size_t i = 0; i < items.size(); ++i) {
      const MenuEntry& e = items[i];
      u16(static_cast<uint16_t>(e.flags | (i + 1 == items.size() ? kMenuEnd : 0)));
      if (!(e.flags & kMenuPopup)) u16(e.id);
      current_.bytes.insert(current_.bytes.end(), e.text.begin(), e.text.end());
      current_.bytes.push_back(0);
      if (e.flags & kMenuPopup) WriteMenuLevel(e.items);
    }
  }

  std::string Ansi(const Token& token) const {
    if (token.kind != TokenKind::Text) Fail("expected a quoted text");
    auto ansi = Utf8ToAnsi(token.text);
    if (!ansi) Fail("the text holds a character that Windows-1252 cannot store");
    return std::string(ansi->begin(), ansi->end());
  }

  void DialogLine(const std::vector<Token>& t) {
    if (t[0].kind != TokenKind::Word) Fail("a dialog line starts with style, exstyle, font or control");
    std::string kind = Lower(t[0].text);
    if (!dialog_.items.empty() && kind != "control")
      Fail("the dialog's " + kind + " comes before its controls");
    if (kind == "style" || kind == "exstyle") {
      Expect(t, 2, kind + " <n>");
      (kind == "style" ? dialog_.style : dialog_.exStyle) =
          static_cast<uint32_t>(Integer(t[1], 0, 0xFFFFFFFFLL));
    } else if (kind == "font") {
      Expect(t, 3, "font <points> \"face\"");
      dialog_.points = static_cast<uint16_t>(Integer(t[1], 1, 0xFFFF));
      dialog_.face = Ansi(t[2]);
    } else if (kind == "control") {
      if (t.size() != 9 && t.size() != 10)
        Fail("expected control <id> \"class\" \"text\" <x> <y> <width> <height> <style> [<exstyle>]");
      if (dialog_.items.size() == 0xFFFF) Fail("a dialog holds at most 65535 controls");
      DialogItem item;
      item.id = static_cast<uint16_t>(Integer(t[1], -1, 0xFFFF));  // -1: a static without id
      item.className = Ansi(t[2]);
      if (item.className.empty()) Fail("a control names its class");
      item.text = Ansi(t[3]);
      item.x = Integer(t[4], -0x8000, 0x7FFF), item.y = Integer(t[5], -0x8000, 0x7FFF);
      item.cx = Integer(t[6], 0, 0x7FFF), item.cy = Integer(t[7], 0, 0x7FFF);
      item.style = static_cast<uint32_t>(Integer(t[8], 0, 0xFFFFFFFFLL));
      if (t.size() == 10) item.exStyle = static_cast<uint32_t>(Integer(t[9], 0, 0xFFFFFFFFLL));
      dialog_.items.push_back(std::move(item));
    } else {
      Fail("unknown dialog line \"" + t[0].text + "\"");
    }
  }

  // The layer's template form: "DLG1", header, controls (see platform/DialogTemplate.h).
  void WriteDialog() {
    auto text = [this](const std::string& s) {
      current_.bytes.insert(current_.bytes.end(), s.begin(), s.end());
      current_.bytes.push_back(0);
    };
    for (char c : std::string("DLG1")) current_.bytes.push_back(static_cast<uint8_t>(c));
    PutLittleEndian(dialog_.style, 4);
    PutLittleEndian(dialog_.exStyle, 4);
    for (int64_t v : {dialog_.x, dialog_.y, dialog_.cx, dialog_.cy})
      PutLittleEndian(static_cast<uint64_t>(v), 2);
    PutLittleEndian(dialog_.points, 2);
    text(dialog_.face);
    text(dialog_.caption);
    PutLittleEndian(dialog_.items.size(), 2);
    for (const DialogItem& item : dialog_.items) {
      PutLittleEndian(item.style, 4);
      PutLittleEndian(item.exStyle, 4);
      for (int64_t v : {item.x, item.y, item.cx, item.cy}) PutLittleEndian(static_cast<uint64_t>(v), 2);
      PutLittleEndian(item.id, 2);
      text(item.className);
      text(item.text);
    }
  }

  // A cursor block: one quoted row of pixels a line, '.' clear, 'X' black, 'o' white.
  static constexpr int64_t kCursorSide = 64;
  struct CursorBlock {
    int64_t hotX = 0, hotY = 0;
    std::vector<std::string> rows;
  };

  void CursorLine(const std::vector<Token>& t) {
    if (t.size() != 1 || t[0].kind != TokenKind::Text) Fail("a cursor holds one quoted row of pixels a line");
    const std::string& row = t[0].text;
    if (row.empty() || static_cast<int64_t>(row.size()) > kCursorSide)
      Fail("a cursor row is 1 to " + std::to_string(kCursorSide) + " pixels");
    if (!cursor_.rows.empty() && row.size() != cursor_.rows[0].size())
      Fail("the cursor's rows differ in width");
    if (row.find_first_not_of(".Xo") != std::string::npos) Fail("a cursor pixel is '.', 'X' or 'o'");
    if (static_cast<int64_t>(cursor_.rows.size()) == kCursorSide)
      Fail("a cursor is at most " + std::to_string(kCursorSide) + " rows");
    cursor_.rows.push_back(row);
  }

  // u16 hot x, hot y, width, height, then a byte a pixel row by row: 0 clear, 1 black, 2 white.
  void WriteCursor() {
    if (cursor_.rows.empty()) Fail("a cursor has at least one row");
    const auto width = static_cast<int64_t>(cursor_.rows[0].size());
    const auto height = static_cast<int64_t>(cursor_.rows.size());
    if (cursor_.hotX >= width || cursor_.hotY >= height) Fail("the cursor's hot spot lies outside its rows");
    PutLittleEndian(static_cast<uint64_t>(cursor_.hotX), 2);
    PutLittleEndian(static_cast<uint64_t>(cursor_.hotY), 2);
    PutLittleEndian(static_cast<uint64_t>(width), 2);
    PutLittleEndian(static_cast<uint64_t>(height), 2);
    for (const std::string& row : cursor_.rows)
      for (char c : row) current_.bytes.push_back(c == '.' ? 0 : c == 'X' ? 1 : 2);
  }

  void StringArrayLine(const std::vector<Token>& t) {
    if (t.size() != 1 || t[0].kind != TokenKind::Text) Fail("a string array holds one quoted text a line");
    AppendText(t[0], true);
  }

  void StringTableLine(const std::vector<Token>& t) {
    if (t.size() != 2 || t[0].kind != TokenKind::Number || t[1].kind != TokenKind::Text)
      Fail("a string table line is <id> \"text\"");
    Begin("#6", t[0]);
    AppendText(t[1], true);
    Finish();
  }

  void BinaryLine(const std::vector<Token>& t) {
    if (t[0].kind != TokenKind::Word) Fail("a field starts with its kind, such as u32 or cstr");
    std::string kind = Lower(t[0].text);
    if (kind == "u8") return Integers(t, 1, 0, 0xFF);
    if (kind == "u16") return Integers(t, 2, 0, 0xFFFF);
    if (kind == "u32") return Integers(t, 4, 0, 0xFFFFFFFFLL);
    if (kind == "u64") return Integers(t, 8, 0, std::numeric_limits<int64_t>::max());
    if (kind == "i8") return Integers(t, 1, -0x80, 0x7F);
    if (kind == "i16") return Integers(t, 2, -0x8000, 0x7FFF);
    if (kind == "i32") return Integers(t, 4, -0x80000000LL, 0x7FFFFFFF);
    if (kind == "i64")
      return Integers(t, 8, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
    if (kind == "f32" || kind == "f64") return Floats(t, kind == "f32");
    if (kind == "str" || kind == "cstr") {
      Expect(t, 2, kind + " \"...\"");
      return AppendText(t[1], kind == "cstr");
    }
    if (kind == "fixed") return Fixed(t);
    if (kind == "hex") return Hex(t);
    if (kind == "zeros") {
      Expect(t, 2, "zeros <n>");
      current_.bytes.resize(current_.bytes.size() + static_cast<size_t>(Integer(t[1], 0, 1 << 24)), 0);
      return;
    }
    if (kind == "file") {
      Expect(t, 2, "file \"path\"");
      std::vector<uint8_t> data = ReadInput(t[1]);
      current_.bytes.insert(current_.bytes.end(), data.begin(), data.end());
      return;
    }
    Fail("unknown field kind \"" + t[0].text + "\"");
  }

  void Expect(const std::vector<Token>& t, size_t count, const std::string& form) const {
    if (t.size() != count) Fail("expected " + form);
  }

  void Open(Block block) {
    block_ = block;
    blockLine_ = line_;
  }

  // Starts a resource named by an id or a name token.
  void Begin(const std::string& type, const Token& idOrName) {
    current_ = Resource{};
    current_.type = type;
    current_.line = line_;
    if (idOrName.kind == TokenKind::Number) {
      current_.id = static_cast<uint16_t>(Integer(idOrName, 0, 0xFFFF));
    } else {
      if (idOrName.text.empty()) Fail("a resource name is not empty");
      current_.name = idOrName.text;
    }
  }

  void Finish() {
    std::string key = Lower(current_.type) + "/" +
                      (current_.name.empty() ? std::to_string(current_.id) : "'" + Lower(current_.name));
    if (!seen_.insert(key).second)
      Fail("resource " + current_.type + " " +
           (current_.name.empty() ? std::to_string(current_.id) : current_.name) + " is defined twice");
    out_.resources.push_back(std::move(current_));
    current_ = Resource{};
  }

  void AppendText(const Token& token, bool withNul) {
    if (token.kind != TokenKind::Text) Fail("expected a quoted text");
    auto ansi = Utf8ToAnsi(token.text);
    if (!ansi) Fail("the text holds a character that Windows-1252 cannot store");
    current_.bytes.insert(current_.bytes.end(), ansi->begin(), ansi->end());
    if (withNul) current_.bytes.push_back(0);
  }

  int64_t Integer(const Token& token, int64_t lo, int64_t hi) const {
    if (token.kind != TokenKind::Number) Fail("expected a number, found \"" + token.text + "\"");
    std::string_view s = token.text;
    bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
      base = 16;
      s.remove_prefix(2);
    }
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size()) Fail("\"" + token.text + "\" is not a number");
    if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1u : 0u))
      Fail(token.text + " is out of range");
    int64_t value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    if (value < lo || value > hi) Fail(token.text + " is out of range");
    return value;
  }

  void PutLittleEndian(uint64_t value, int size) {
    for (int k = 0; k < size; ++k) current_.bytes.push_back(static_cast<uint8_t>(value >> (8 * k)));
  }

  void Integers(const std::vector<Token>& t, int size, int64_t lo, int64_t hi) {
    if (t.size() < 2) Fail("expected at least one number after " + t[0].text);
    for (size_t k = 1; k < t.size(); ++k) PutLittleEndian(static_cast<uint64_t>(Integer(t[k], lo, hi)), size);
  }

  void Floats(const std::vector<Token>& t, bool single) {
    if (t.size() < 2) Fail("expected at least one number after " + t[0].text);
    for (size_t k = 1; k < t.size(); ++k) {
      if (t[k].kind != TokenKind::Number) Fail("expected a number, found \"" + t[k].text + "\"");
      double value = 0;
      auto [end, ec] = std::from_chars(t[k].text.data(), t[k].text.data() + t[k].text.size(), value);
      if (ec != std::errc() || end != t[k].text.data() + t[k].text.size())
        Fail("\"" + t[k].text + "\" is not a number");
      if (single) {
        float f = static_cast<float>(value);
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        PutLittleEndian(bits, 4);
      } else {
        uint64_t bits;
        std::memcpy(&bits, &value, 8);
        PutLittleEndian(bits, 8);
      }
    }
  }

  void Fixed(const std::vector<Token>& t) {
    if (t.size() != 3 && !(t.size() == 5 && Lower(t[3].text) == "fill"))
      Fail("expected fixed <n> \"...\" [fill \"c\"]");
    size_t size = static_cast<size_t>(Integer(t[1], 1, 1 << 20));
    uint8_t fill = 0;
    if (t.size() == 5) {
      auto f = t[4].kind == TokenKind::Text ? Utf8ToAnsi(t[4].text) : std::nullopt;
      if (!f || f->size() != 1) Fail("the fill is one quoted character");
      fill = static_cast<uint8_t>((*f)[0]);
    }
    size_t start = current_.bytes.size();
    AppendText(t[2], true);
    if (current_.bytes.size() - start > size)
      Fail("the text does not fit in " + std::to_string(size) + " bytes");
    current_.bytes.resize(start + size, fill);
  }

  void Hex(const std::vector<Token>& t) {
    if (t.size() < 2) Fail("expected hexadecimal bytes after hex");
    for (size_t k = 1; k < t.size(); ++k) {
      const std::string& s = t[k].text;
      if (t[k].kind == TokenKind::Text || s.size() % 2 != 0)
        Fail("\"" + s + "\" is not a run of hexadecimal bytes");
      for (size_t i = 0; i < s.size(); i += 2) {
        unsigned value = 0;
        auto [end, ec] = std::from_chars(s.data() + i, s.data() + i + 2, value, 16);
        if (ec != std::errc() || end != s.data() + i + 2)
          Fail("\"" + s + "\" is not a run of hexadecimal bytes");
        current_.bytes.push_back(static_cast<uint8_t>(value));
      }
    }
  }

  std::vector<uint8_t> ReadInput(const Token& token) {
    if (token.kind != TokenKind::Text) Fail("expected a quoted file path");
    std::filesystem::path file = path_.parent_path() / token.text;
    std::ifstream in(file, std::ios::binary);
    if (!in) Fail("cannot read \"" + file.string() + "\"");
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    out_.inputs.push_back(file);
    return data;
  }

  // A .bmp file is a 14-byte file header ("BM", size, reserved, offset of the pixels) and then the
  // device-independent bitmap that the program's bitmap resources hold.
  void Bitmap(const Token& token) {
    std::vector<uint8_t> data = ReadInput(token);
    if (data.size() < 14 + 12 || data[0] != 'B' || data[1] != 'M')
      Fail("\"" + token.text + "\" is not a .bmp file");
    current_.bytes.assign(data.begin() + 14, data.end());
  }

  std::filesystem::path path_;
  std::string file_;
  int line_ = 0;
  Block block_ = Block::None;
  DialogBlock dialog_;
  CursorBlock cursor_;
  std::vector<MenuEntry> menu_;  // the levels of the open menu block, outermost first
  int blockLine_ = 0;
  Resource current_;
  CompiledScript out_;
  std::set<std::string> seen_;
};

}  // namespace

ScriptError::ScriptError(const std::string& f, int l, const std::string& what)
    : std::runtime_error(f + ":" + std::to_string(l) + ": " + what), file(f), line(l) {}

CompiledScript CompileScript(const std::filesystem::path& path, const std::string& text) {
  return Compiler(path).Run(text);
}

CompiledScript CompileScriptFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScriptError(path.string(), 0, "cannot read the script");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return CompileScript(path, text);
}

}  // namespace rescomp
