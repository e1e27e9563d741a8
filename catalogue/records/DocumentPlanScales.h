// The plan editor's two scales as a document file keeps them: not in fields of their own but in the
// 24 payload bytes of "viewPointXLast", "viewPointYLast" and "viewPointZLast" taken in field order (8
// bytes each, little-endian, an absent field counting as 8 zero bytes). Bytes 4 to 11 hold the
// horizontal scale and bytes 12 to 19 the vertical scale, each an IEEE 754 double; bytes 0 to 3 and 20
// to 23 belong to whatever wrote the file and are kept.
//
// Store and Read are the only code that knows the byte positions; every save, open and room-file
// path goes through them, and through Bytes/SetBytes for the record's three fields.
#pragma once

#include <array>
#include <cstdint>

class ppDatafile;

class DocumentPlanScales {
 public:
  using Payload = std::array<uint8_t, 24>;

  double horizontal = 0.0;
  double vertical = 0.0;

  // Writes both scales into bytes 4 to 19; the other bytes stay.
  void Store(Payload& bytes) const;
  static DocumentPlanScales Read(const Payload& bytes);

  // The three fields' payload bytes in the record (a "qxDocument" buffer of `file`), and back.
  static Payload Bytes(const ppDatafile& file, const char* record);
  static void SetBytes(const ppDatafile& file, char* record, const Payload& bytes);
};
