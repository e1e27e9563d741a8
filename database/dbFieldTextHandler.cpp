#include "database/dbFieldTextHandler.h"

#include <new>
#include <type_traits>

#include "database/dbRecordPacking.h"
#include "foundation/VconString.h"

namespace {

template <typename TextType>
constexpr uint32_t kCharSize = uint32_t(sizeof(typename TextType::value_type));

// A character's code, without the sign a narrow char may carry.
template <typename Char>
uint32_t CodeOf(Char c) {
  return uint32_t(std::make_unsigned_t<Char>(c));
}

}  // namespace

template <typename TextType>
TextType& dbFieldTextHandler<TextType>::Text(char* field) {
  return *std::launder(reinterpret_cast<TextType*>(field));
}

template <typename TextType>
const TextType& dbFieldTextHandler<TextType>::Text(const char* field) {
  return *std::launder(reinterpret_cast<const TextType*>(field));
}

template <typename TextType>
char* dbFieldTextHandler<TextType>::InitField(char* field) {
  new (field) TextType();
  return field + Width();
}

template <typename TextType>
char* dbFieldTextHandler<TextType>::DisposeField(char* field) {
  Text(field).~TextType();
  return field + Width();
}

template <typename TextType>
char* dbFieldTextHandler<TextType>::ClearField(char* field) {
  Text(field).clear();
  return field + Width();
}

template <typename TextType>
int32_t dbFieldTextHandler<TextType>::PackedSize(const char* field) const {
  const TextType& text = Text(field);
  // tag and length words, then the characters and their terminating 0
  return text.empty() ? 0 : int32_t(db::AlignTo4((uint32_t(text.size()) + 1) * kCharSize<TextType> + 8));
}

template <typename TextType>
uint32_t dbFieldTextHandler<TextType>::PackPayload(uint8_t* base, uint32_t pos, const char* field) const {
  const TextType& text = Text(field);
  pos = db::PutU32(base, pos, (uint32_t(text.size()) + 1) * kCharSize<TextType>);
  for (size_t i = 0; i <= text.size(); ++i) {  // the terminating 0 included
    const uint32_t c = CodeOf(text.c_str()[i]);
    for (uint32_t b = 0; b < kCharSize<TextType>; ++b) base[pos++] = uint8_t(c >> (8 * b));
  }
  return pos;
}

template <typename TextType>
uint32_t dbFieldTextHandler<TextType>::UnpackPayload(char* field, const uint8_t* base, uint32_t pos,
                                                     uint32_t size) {
  uint32_t n = 0;
  pos = db::GetU32(base, pos, size, n);
  db::RequireBytes(pos, n, size);
  TextType& text = Text(field);
  text.clear();
  for (uint32_t i = 0; i + kCharSize<TextType> <= n; i += kCharSize<TextType>) {  // up to the first 0
    uint32_t c = 0;
    for (uint32_t b = 0; b < kCharSize<TextType>; ++b) c |= uint32_t(base[pos + i + b]) << (8 * b);
    if (c == 0) break;
    text.push_back(typename TextType::value_type(c));
  }
  return pos + n;
}

template class dbFieldTextHandler<Vcon::String>;
template class dbFieldTextHandler<Vcon::WString>;
