#include "framework/ppShape.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kPathRecordBytes = 32;
constexpr size_t kTextOverhead = 12;  // code, length, NUL and 3 spare bytes

int32_t ReadInt(const char* at) {
  int32_t v;
  std::memcpy(&v, at, 4);
  return v;
}

float ReadFloat(const char* at) {
  float v;
  std::memcpy(&v, at, 4);
  return v;
}

// Size of the record at `at` with `available` bytes left, or 0 when it is unknown or cut short.
size_t RecordSize(const char* at, size_t available) {
  if (available < 4) return 0;
  size_t size = 0;
  switch (ReadInt(at)) {
    case ppShape::kEnd:
      size = 4;
      break;
    case ppShape::kMove:
    case ppShape::kLine:
      size = 12;
      break;
    case ppShape::kCurve:
    case ppShape::kArcAround:
    case ppShape::kArcInBox:
      size = kPathRecordBytes;
      break;
    case ppShape::kText: {
      if (available < 8) return 0;
      int32_t n = ReadInt(at + 4);
      if (n < 0) return 0;
      size = size_t(n) + kTextOverhead;
      break;
    }
    default:
      return 0;
  }
  return size <= available ? size : 0;
}

}  // namespace

ppShape::~ppShape() { FreeRecords(); }

void ppShape::FreeRecords() {
  if (records_) MemDispose(records_);
  records_ = nullptr;
}

int64_t ppShape::LastRecordOffset() const {
  if (!records_) return -1;
  const size_t total = size_t(MemGetSize(records_));
  int64_t last = -1;
  size_t at = 0;
  while (at < total) {
    size_t size = RecordSize(*records_ + at, total - at);
    if (size == 0) break;
    last = int64_t(at);
    at += size;
  }
  return last;
}

void ppShape::Reset() {
  if (!records_) {
    Vcon_HandleManager::MemNew(&records_, 0);
    return;
  }
  // Continue the previous drawing: drop its end record, but only when the drawing was ended; an
  // unfinished drawing keeps all of its records.
  int64_t last = LastRecordOffset();
  if (last >= 0 && ReadInt(*records_ + last) == kEnd) MemSetSize(records_, uint32_t(last));
}

void ppShape::Append(const void* bytes, size_t count) {
  if (!records_) Vcon_HandleManager::MemNew(&records_, 0);
  MemInsertBytes(bytes, uint32_t(count), records_, kMemAppend);
}

void ppShape::AppendPath(int32_t code, const float* values, size_t count, uint8_t flag, size_t flagAt) {
  char record[kPathRecordBytes] = {};
  std::memcpy(record, &code, 4);
  std::memcpy(record + 4, values, count * sizeof(float));
  size_t size = 4 + count * sizeof(float);
  if (code == kCurve || code == kArcAround || code == kArcInBox) {
    if (flagAt) record[flagAt] = char(flag);
    size = kPathRecordBytes;
  }
  Append(record, size);
}

void ppShape::MoveToF(float x, float y) {
  const float v[] = {x, y};
  AppendPath(kMove, v, 2, 0, 0);
}

void ppShape::LineToF(float x, float y) {
  const float v[] = {x, y};
  AppendPath(kLine, v, 2, 0, 0);
}

void ppShape::CurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
  const float v[] = {x, y, c1x, c1y, c2x, c2y};
  AppendPath(kCurve, v, 6, 0, 0);
}

void ppShape::ArcAroundTo(float cx, float cy, uint8_t clockwise, float x, float y) {
  const float v[] = {x, y, cx, cy};
  AppendPath(kArcAround, v, 4, clockwise, 28);
}

void ppShape::ArcInBoxTo(float left, float top, float right, float bottom, float x, float y,
                         uint8_t clockwise) {
  const float v[] = {x, y, left, top, right, bottom};
  AppendPath(kArcInBox, v, 6, clockwise, 28);
}

void ppShape::End() {
  const int32_t code = kEnd;
  Append(&code, 4);
}

void ppShape::SetFont(const char*, int32_t, int32_t, float) {}

void ppShape::DrawText(const char* text) {
  // The record is sized to the text, however long it is.
  const size_t n = text ? std::strlen(text) : 0;
  std::vector<char> record(n + kTextOverhead, 0);
  const int32_t code = kText;
  const int32_t length = int32_t(n);
  std::memcpy(record.data(), &code, 4);
  std::memcpy(record.data() + 4, &length, 4);
  if (n) std::memcpy(record.data() + 8, text, n);
  Append(record.data(), record.size());
}

void ppShape::Replay(iShape* target, float dx, float dy, float scale) const {
  if (!records_ || !target) return;
  const size_t total = size_t(MemGetSize(records_));
  if (total < 4 || ReadInt(*records_) == kEnd) return;
  // The target may draw into the same zone; copy the records so that moved blocks cannot bite.
  const std::vector<char> bytes(*records_, *records_ + total);
  auto px = [&](const char* at) { return ReadFloat(at) * scale + dx; };
  auto py = [&](const char* at) { return ReadFloat(at) * scale + dy; };
  target->Reset();
  size_t at = 0;
  while (at < total) {
    const char* r = bytes.data() + at;
    size_t size = RecordSize(r, total - at);
    if (size == 0) break;
    const int32_t code = ReadInt(r);
    if (code == kEnd) break;
    switch (code) {
      case kMove:
        target->MoveToF(px(r + 4), py(r + 8));
        break;
      case kLine:
        target->LineToF(px(r + 4), py(r + 8));
        break;
      case kCurve:
        target->CurveTo(px(r + 12), py(r + 16), px(r + 20), py(r + 24), px(r + 4), py(r + 8));
        break;
      case kArcAround:
        target->ArcAroundTo(px(r + 12), py(r + 16), uint8_t(r[28]), px(r + 4), py(r + 8));
        break;
      case kArcInBox:
        target->ArcInBoxTo(px(r + 12), py(r + 16), px(r + 20), py(r + 24), px(r + 4), py(r + 8),
                           uint8_t(r[28]));
        break;
      case kText:
        target->DrawText(std::string(r + 8, size_t(ReadInt(r + 4))).c_str());
        break;
    }
    at += size;
  }
  target->End();
}
