#pragma once
// The two plain-text files the program entry reads before anything else, both relative to the
// program folder (the current folder by then), in the field syntax of EscapedFieldReader:
//
//   ".\settings\start.txt": field 1 (ignored), field 2 the instance name, fields counted across line
//   ends. The name keys the single instance and titles the frame. Without a non-empty field 2 the
//   name stays kDefaultInstanceName.
//   ".\settings\config.txt": a "MULTISCREEN" field followed by the value "NO" (screen mode 0), "LEFT"
//   (1) or "RIGHT" (2), read as a settings field (it may be quoted). Keyword and value match in upper
//   case only; any other value changes nothing; a later entry wins.
//
// A missing, unreadable or short file gives the defaults silently. Stateless; any thread.

#include <cstdint>
#include <string>
#include <string_view>

class StartFiles {
 public:
  static constexpr const char* kDefaultInstanceName = "Zelvo Pro";
  static constexpr std::u16string_view kStartFilePath = u".\\settings\\start.txt";
  static constexpr std::u16string_view kConfigFilePath = u".\\settings\\config.txt";
  // No start file needs more: the rest of a longer file is not read.
  static constexpr size_t kMaxFileBytes = 1 << 20;

  // The instance name of start.txt's bytes.
  static std::string InstanceNameFromText(std::string_view bytes);
  // The screen mode of config.txt's bytes; `mode` when they set none.
  static int32_t ScreenModeFromText(std::string_view bytes, int32_t mode);

  // The same from the files, `path` in the program's path form (backslashes, any letter case).
  static std::string ReadInstanceName(std::u16string_view path = kStartFilePath);
  static int32_t ReadScreenMode(int32_t mode, std::u16string_view path = kConfigFilePath);

  // At most kMaxFileBytes of the file at `path` (program's path form); empty when it cannot be read.
  static std::string ReadWholeFile(std::u16string_view path);
};
