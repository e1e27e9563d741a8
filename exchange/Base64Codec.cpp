#include "exchange/Base64Codec.h"

#include <cstring>

namespace {
constexpr int32_t kLineLength = 76;
}  // namespace

Base64Codec::Base64Codec() {
  std::memcpy(alphabet_, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/", 65);
}

Vcon::String Base64Codec::Encode(const char* bytes, int32_t count) const {
  Vcon::String text;
  if (count <= 0 || bytes == nullptr) return text;
  const size_t groups = (size_t(count) + 2) / 3;
  text.reserve(groups * 4 + (groups * 4 / kLineLength + 1) * 2);
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  int32_t line = 0;
  int32_t i = 0;
  for (; count - i >= 3; i += 3) {
    const uint32_t v = uint32_t(in[i]) << 16 | uint32_t(in[i + 1]) << 8 | in[i + 2];
    text += alphabet_[v >> 18];
    text += alphabet_[(v >> 12) & 63];
    text += alphabet_[(v >> 6) & 63];
    text += alphabet_[v & 63];
    line += 4;
    if (line >= kLineLength) {
      text += "\r\n";
      line = 0;
    }
  }
  // A last single byte or pair; its group stays under a line's length (whole groups fill a line), so
  // no line break can come between it and its padding.
  const int32_t left = count - i;
  if (left == 1) {
    text += alphabet_[in[i] >> 2];
    text += alphabet_[(in[i] & 3) << 4];
    text += "==";
  } else if (left == 2) {
    text += alphabet_[in[i] >> 2];
    text += alphabet_[((in[i] & 3) << 4) | (in[i + 1] >> 4)];
    text += alphabet_[(in[i + 1] & 15) << 2];
    text += '=';
  }
  return text;
}

int32_t Base64Codec::Decode(const Vcon::String& text, char* out) const {
  int32_t written = 0;
  for (size_t at = 0; at + 4 <= text.size(); at += 4) {
    const int32_t a = ValueOf(text[at]);
    const int32_t b = ValueOf(text[at + 1]);
    if (a == 64 || b == 64) return -1;
    const int32_t c = ValueOf(text[at + 2]);
    const int32_t d = ValueOf(text[at + 3]);
    out[written++] = char(uint8_t((a << 2) + (b >> 4)));
    if (text[at + 2] == '=') return written;
    out[written++] = char(uint8_t(((b & 15) << 4) + (c >> 2)));
    if (text[at + 3] == '=') continue;
    out[written++] = char(uint8_t(((c & 3) << 6) + (d & 63)));
  }
  return written;
}

int32_t Base64Codec::ValueOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  if (c == '=') return 61;
  return 64;
}
