#include "catalogue/records/DocumentPlanScales.h"

#include <cstring>

#include "catalogue/records/RecordField.h"

namespace {

constexpr uint32_t kHorizontalAt = 4, kVerticalAt = 12;
constexpr const char* kFields[] = {"viewPointXLast", "viewPointYLast", "viewPointZLast"};

}  // namespace

void DocumentPlanScales::Store(Payload& bytes) const {
  std::memcpy(bytes.data() + kHorizontalAt, &horizontal, sizeof horizontal);
  std::memcpy(bytes.data() + kVerticalAt, &vertical, sizeof vertical);
}

DocumentPlanScales DocumentPlanScales::Read(const Payload& bytes) {
  DocumentPlanScales scales;
  std::memcpy(&scales.horizontal, bytes.data() + kHorizontalAt, sizeof scales.horizontal);
  std::memcpy(&scales.vertical, bytes.data() + kVerticalAt, sizeof scales.vertical);
  return scales;
}

DocumentPlanScales::Payload DocumentPlanScales::Bytes(const ppDatafile& file, const char* record) {
  Payload bytes{};
  for (size_t i = 0; i < 3; ++i) {
    const int64_t bits = RecordField(file, kFields[i]).Raw64(record);
    std::memcpy(bytes.data() + i * 8, &bits, 8);  // the program runs little-endian only
  }
  return bytes;
}

void DocumentPlanScales::SetBytes(const ppDatafile& file, char* record, const Payload& bytes) {
  for (size_t i = 0; i < 3; ++i) {
    int64_t bits = 0;
    std::memcpy(&bits, bytes.data() + i * 8, 8);
    RecordField(file, kFields[i]).SetRaw64(record, bits);
  }
}
