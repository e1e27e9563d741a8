#include "tools/dbtool/DbToolMaps.h"

#include <charconv>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "database/dbDatafile.h"
#include "database/ppDatafile.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

bool ParseNumber(const std::string& text, int32_t& out) {
  const char* end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, out);
  return error == std::errc() && at == end && !text.empty();
}

int32_t FieldOf(const std::string& text, const dbDatafile& file) {
  int32_t field = 0;
  if (ParseNumber(text, field)) {
    if (field < 0 || field >= file.FieldCount())
      throw std::runtime_error("field number " + text + " is outside the layout");
    return field;
  }
  field = file.Layout().FieldIndex(text);
  if (field < 0) throw std::runtime_error("the layout has no field \"" + text + "\"");
  return field;
}

int32_t NumberOf(const std::string& text) {
  int32_t n = 0;
  if (!ParseNumber(text, n)) throw std::runtime_error("\"" + text + "\" is not a number");
  return n;
}

Handle HandleOfEntries(const std::vector<int32_t>& words) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(words.size() * sizeof(int32_t)));
  if (!words.empty()) std::memcpy(*h, words.data(), words.size() * sizeof(int32_t));
  return h;
}

}  // namespace

Handle ParseFieldMap(const std::string& text, const dbDatafile& file) {
  std::vector<int32_t> words;
  for (const std::string& entry : Split(text, ',')) {
    const std::vector<std::string> parts = Split(entry, ':');
    if (parts.size() > 3) throw std::runtime_error("map entry \"" + entry + "\" has too many parts");
    words.push_back(FieldOf(parts[0], file));
    words.push_back(parts.size() > 1 ? NumberOf(parts[1]) : 0);
    words.push_back(parts.size() > 2 ? NumberOf(parts[2]) : 0);
  }
  return HandleOfEntries(words);
}

Handle DefaultFieldMap(const char (&type)[5], const ppDatafile& view) {
  if (Handle map = view.LoadFieldMap(type)) return map;
  std::vector<int32_t> words;
  for (int32_t field = 0; field < view.FieldCount(); ++field) words.insert(words.end(), {field, 0, 0});
  return HandleOfEntries(words);
}
