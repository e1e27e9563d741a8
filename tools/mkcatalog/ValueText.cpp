#include "tools/mkcatalog/ValueText.h"

#include <charconv>

namespace mkcatalog {

namespace {
constexpr uint32_t kOpaquePercent = 100;
}  // namespace

std::optional<int32_t> ParseWord(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  int base = 10;
  bool negative = false;
  if (first != last && *first == '-') {
    negative = true;
    ++first;
  }
  if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
    if (negative) return std::nullopt;
    base = 16;
    first += 2;
  }
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value, base);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  if (negative) {
    if (value > 0x80000000ull) return std::nullopt;
    return int32_t(-int64_t(value));
  }
  if (value > 0xFFFFFFFFull) return std::nullopt;
  return int32_t(uint32_t(value));
}

std::optional<double> ParseReal(const std::string& text) {
  double value = 0;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, value);
  if (text.empty() || error != std::errc() || end != last) return std::nullopt;
  return value;
}

std::optional<int64_t> ParseMoney(const std::string& text) {
  const size_t dot = text.find('.');
  const std::string whole = text.substr(0, dot);
  std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
  if (whole.empty() || whole == "-" || fraction.size() > 4 || (dot != std::string::npos && fraction.empty()))
    return std::nullopt;
  for (char c : fraction) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  int64_t units = 0;
  const char* last = whole.data() + whole.size();
  const auto [end, error] = std::from_chars(whole.data(), last, units);
  if (error != std::errc() || end != last || units > 100'000'000'000'000ll || units < -100'000'000'000'000ll)
    return std::nullopt;
  fraction.resize(4, '0');
  const int64_t part = std::stoll(fraction);
  return units * 10000 + (whole[0] == '-' ? -part : part);
}

std::optional<int32_t> ParsePercentColour(const std::string& text) {
  // "rgb:" is opaque: the renderers read the low byte as the alpha percentage, and a colour left at
  // 0 there draws see-through wherever its texture is modulated.
  const bool withAlpha = text.rfind("rgba:", 0) == 0;
  if (!withAlpha && text.rfind("rgb:", 0) != 0) return std::nullopt;
  uint32_t packed = withAlpha ? 0 : kOpaquePercent;
  const int lastShift = withAlpha ? 0 : 8;
  size_t start = withAlpha ? 5 : 4;
  for (int shift = 24; shift >= lastShift; shift -= 8) {
    const size_t comma = text.find(',', start);
    if ((shift == lastShift) != (comma == std::string::npos)) return std::nullopt;
    const std::optional<int32_t> part = ParseWord(text.substr(start, comma - start));
    if (!part || *part < 0 || *part > 100) return std::nullopt;
    packed |= uint32_t(*part) << shift;
    start = comma + 1;
  }
  return int32_t(packed);
}

std::optional<uint32_t> ParseFourCharCode(const std::string& text) {
  if (text.size() != 4) return std::nullopt;
  uint32_t code = 0;
  for (char c : text) code = (code << 8) | uint8_t(c);
  return code;
}

}  // namespace mkcatalog
