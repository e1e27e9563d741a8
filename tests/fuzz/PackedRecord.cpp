// Packed records as tables store them. The first byte chooses the layout: even, a layout with one
// field of every stored type; odd, layout bytes taken from the input (a little-endian 16-bit length,
// then the bytes), as a stored layout read from a file. The rest is one packed record. An accepted
// record has every field read, and packing it must be stable: unpacking its packed form and packing
// again gives the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "database/LayoutTestSupport.h"
#include "database/dbRecordLayout.h"
#include "foundation/ppParameter.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes& EveryType() {
  static const Bytes layout = dbtest::MakeLayout(1, {{"text", 1},
                                                     {"long", 2},
                                                     {"money", 3},
                                                     {"code", 15},
                                                     {"double", 4},
                                                     {"bool", 7},
                                                     {"date", 5},
                                                     {"float", 13},
                                                     {"wide", 14},
                                                     {"blob", 10},
                                                     {"pict", 11},
                                                     {"quantity", 17},
                                                     {"time", 6},
                                                     {"link", 8}});
  return layout;
}

Bytes Packed(const dbRecordLayout& layout, const char* record) {
  Bytes bytes(layout.PackedSize(record));
  if (layout.Pack(bytes.data(), record) != bytes.size()) __builtin_trap();
  return bytes;
}

// Unpacks, reads every field and checks that packing is stable. A damaged record throws.
void Exercise(const dbRecordLayout& layout, const uint8_t* packed, size_t size) {
  auto dispose = [&layout](char* record) { layout.DisposeRecord(record); };
  std::unique_ptr<char, decltype(dispose)> record(layout.NewRecord(), dispose);
  std::unique_ptr<char, decltype(dispose)> again(layout.NewRecord(), dispose);
  layout.Unpack(record.get(), packed, uint32_t(size));
  for (int32_t field = 0; field < layout.FieldCount(); ++field) {
    ppParameter value;
    layout.GetField(field, &value, record.get());
    value.AsString();
  }
  const Bytes first = Packed(layout, record.get());
  layout.Unpack(again.get(), first.data(), uint32_t(first.size()));
  if (Packed(layout, again.get()) != first) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  if (size < 1) return 0;
  try {
    if ((data[0] & 1) == 0) {
      static const dbRecordLayout layout(EveryType().data(), uint32_t(EveryType().size()));
      Exercise(layout, data + 1, size - 1);
    } else {
      if (size < 3) return 0;
      const size_t length = std::min<size_t>(data[1] | data[2] << 8, size - 3);
      const dbRecordLayout layout(data + 3, uint32_t(length));
      Exercise(layout, data + 3 + length, size - 3 - length);
    }
  } catch (int32_t) {
    // An error number is the answer to damaged bytes.
  }
  return 0;
}
