#include "exchange/MailProvider.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "exchange/MailMessageFile.h"
#include "foundation/CurrentFolder.h"
#include "foundation/FileOperations.h"
#include "foundation/OwnedHandle.h"
#include "foundation/PosixPath.h"
#include "foundation/ShellOpen.h"
#include "platform/LocalDate.h"

namespace {

constexpr const char16_t* kOutbox = u"settings\\outbox\\";

// The bytes of the attachment; false when it cannot be read. An empty file is an empty attachment.
bool ReadAttachment(const Vcon::WString& path, std::string& bytes) {
  try {
    OwnedHandle file(ReadFileToHandle(ppFileSpec(path)));
    bytes = file.Get() == nullptr ? std::string() : std::string(*file.Get(), size_t(MemGetSize(file.Get())));
    return true;
  } catch (int32_t) {
    return false;
  }
}

// Creates the message file new, under the first free name of the moment; answers its path, or
// empty when none could be made.
Vcon::WString CreateMessageFile(const Vcon::WString& folder) {
  plat::SYSTEMTIME now{};
  plat::GetLocalTime(&now);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "order-%04u%02u%02u-%02u%02u%02u", unsigned(now.wYear),
                unsigned(now.wMonth), unsigned(now.wDay), unsigned(now.wHour), unsigned(now.wMinute),
                unsigned(now.wSecond));
  for (int counter = 1; counter < 1000; ++counter) {
    std::string name = stamp;
    if (counter > 1) name += "-" + std::to_string(counter);
    ppFileSpec file(folder + Vcon::WString(Vcon::Utf16FromUtf8(name + ".eml")));
    try {
      FileCreate(file);
      return file.path;
    } catch (int32_t error) {
      if (error != kFileErrExists) return {};
    }
  }
  return {};
}

}  // namespace

bool MailProvider::Hand(const MailMessage& message, plat::HWND owner) {
  std::string attachment;
  if (!message.attachmentPath.empty() && !ReadAttachment(message.attachmentPath, attachment)) return false;

  const Vcon::WString folder = GetCurrentDir() + Vcon::WString(kOutbox);
  std::error_code ignored;
  std::filesystem::create_directories(Vcon::ResolvePosixPath(std::u16string_view(folder)), ignored);
  const Vcon::WString path = CreateMessageFile(folder);
  if (path.empty()) return false;

  const std::string bytes = MailMessageFile::Compose(message, attachment);
  ppFileSpec file;
  try {
    FileOpen(file, ppFileSpec(path), false);
    FileWrite(file, bytes.data(), uint32_t(bytes.size()), 0);
    FileFlush(file);
    FileClose(file);
  } catch (int32_t) {
    // A half-written draft must not be opened, nor stay behind.
    if (file.IsOpen()) {
      try {
        FileClose(file);
      } catch (int32_t) {
      }
    }
    ppFileSpec doomed(path);
    try {
      FileDelete(doomed);
    } catch (int32_t) {
    }
    return false;
  }
  lastFile_ = path;
  Vcon::WString command = Vcon::WString(u"open \"") + path + Vcon::WString(u"\"");
  ShellExecuteCommand(command, owner);
  return true;
}
