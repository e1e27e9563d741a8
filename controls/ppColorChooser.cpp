#include "controls/ppColorChooser.h"

#include "foundation/FileOperations.h"
#include "foundation/ProcessServices.h"
#include "foundation/ResourceAccess.h"
#include "platform/CommonDialogs.h"
#include "platform/ResetList.h"

namespace {

constexpr uint16_t kFileNameList = 132;  // the program's settings and data files
constexpr int32_t kCustomColorEntry = 19;
constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kTableBytes = 16 * 4;

std::array<uint32_t, 16> gCustomColors{};
ppFileSpec gCustomColorFile;
// Set at start: the table has not been loaded by a chooser yet.
bool gNotLoaded = true;

// Owned by the user-interface thread.
[[maybe_unused]] const bool kReset = plat::ResetList::Add("controls: custom colour table and file", [] {
  gCustomColors.fill(0);
  gCustomColorFile = ppFileSpec();
  gNotLoaded = true;
});

// Opens the file, creating it when it cannot be opened; true when it is new.
bool OpenOrCreate(ppFileSpec& file) { return FileOpenOrCreate(file, gCustomColorFile); }

void ToBytes(uint8_t* bytes) {
  for (size_t i = 0; i < gCustomColors.size(); ++i) {
    for (size_t b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<uint8_t>(gCustomColors[i] >> (8 * b));
  }
}

void FromBytes(const uint8_t* bytes) {
  for (size_t i = 0; i < gCustomColors.size(); ++i) {
    uint32_t word = 0;
    for (size_t b = 0; b < 4; ++b) word |= static_cast<uint32_t>(bytes[i * 4 + b]) << (8 * b);
    gCustomColors[i] = word;
  }
}

// Closes `file` when open, keeping the first error; never throws twice.
void CloseQuietly(ppFileSpec& file) {
  if (!file.IsOpen()) return;
  try {
    FileClose(file);
  } catch (int32_t) {
  }
}

}  // namespace

std::array<uint32_t, 16>& CustomColors() { return gCustomColors; }
ppFileSpec& CustomColorFile() { return gCustomColorFile; }

void InitCustomColorFile() {
  Vcon::WString directory;
  GetStartupDirectory(directory);
  Vcon::WString name;
  GetStringArrayText(name, kFileNameList, kCustomColorEntry);
  gCustomColorFile = ppFileSpec(directory + name);
}

void LoadCustomColors() {
  ppFileSpec file;
  const bool created = OpenOrCreate(file);
  gCustomColors.fill(kWhite);
  uint8_t bytes[kTableBytes];
  try {
    if (created) {
      ToBytes(bytes);
      FileWrite(file, bytes, kTableBytes, 0);
    } else {
      // A short file leaves the rest of the table white.
      ToBytes(bytes);
      FileRead(file, bytes, kTableBytes, 0);
      FromBytes(bytes);
    }
  } catch (int32_t) {
    CloseQuietly(file);
    throw;
  }
  FileClose(file);
}

void SaveCustomColors() {
  ppFileSpec file;
  OpenOrCreate(file);
  uint8_t bytes[kTableBytes];
  ToBytes(bytes);
  try {
    FileWrite(file, bytes, kTableBytes, 0);
  } catch (int32_t) {
    CloseQuietly(file);
    throw;
  }
  FileClose(file);
}

bool ppColorChooser::Choose(ppRGBColor& color) {
  // A file that can be neither opened nor created must not end the program from inside a dialog:
  // the dialog then works with the table in memory.
  if (gNotLoaded) {
    try {
      LoadCustomColors();
    } catch (int32_t) {
    }
    gNotLoaded = false;
  }
  plat::CHOOSECOLORA info;
  info.lStructSize = 36;
  info.hwndOwner = owner_;
  info.rgbResult = static_cast<plat::COLORREF>(PercentToByte(color.red) | (PercentToByte(color.green) << 8) |
                                               (PercentToByte(color.blue) << 16));
  info.lpCustColors = reinterpret_cast<plat::COLORREF*>(gCustomColors.data());
  info.Flags = plat::CC_RGBINIT | plat::CC_FULLOPEN;
  const bool confirmed = plat::ChooseColorA(&info) != 0;
  if (confirmed) {
    color.red = ByteToPercent(static_cast<int32_t>(info.rgbResult & 0xFF));
    color.green = ByteToPercent(static_cast<int32_t>((info.rgbResult >> 8) & 0xFF));
    color.blue = ByteToPercent(static_cast<int32_t>((info.rgbResult >> 16) & 0xFF));
  }
  try {
    SaveCustomColors();
  } catch (int32_t) {
  }
  return confirmed;
}
