// 3D shape records: the meshes and bodies of units.
// The table of a catalogue database bound to layout "qx3DShape".
//
// A current mesh (bit 0 of "flags" set) keeps in "data1" 36-byte vertices: position x, y, z, texture
// u, v, normal x, y, z (32-bit floats, millimetres) and a 32-bit 0. A legacy mesh (bit 0 clear) kept
// positions (12 bytes), texture coordinates (8 bytes) and normals (12 bytes) in "data1", "data3" and
// "data4"; it is converted to the current form whenever it is read, keeping the part-kind bits of
// "flags" (0x20, 0x40, 0x80 stretch along x, y, z; 0x2000 a keyed part).
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproShape3DFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5430;
  static constexpr const char* kLayout = "qx3DShape";
  static constexpr int32_t kCurrentForm = 1, kNoNormals = 2, kNoTexture = 4, kConverted = 9;
  // The bits the conversion sets from the mesh; every other bit of "flags" is kept.
  static constexpr int32_t kFormBits = 0xF;

  explicit zelvproShape3DFil(ppDatabase& database);

  // Converts a legacy mesh in the buffer (the stored record stays as it is).
  void AfterRead(char* buffer) override;
  // The record's "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // Mode 0: rewrites every record in the current form, in one transaction; other modes do nothing.
  virtual void ConvertAll(int32_t mode);

 private:
  void Convert(char* record) const;

  RecordField name_, data1_, data3_, data4_, flags_;
};
