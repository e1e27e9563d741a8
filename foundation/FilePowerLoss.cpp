#include "foundation/FilePowerLoss.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <vector>

#include "platform/ResetList.h"

namespace Vcon {

namespace {

constexpr int64_t kSector = 512;

// One write or size change made since the file's last flush.
struct Change {
  bool isWrite = false;
  int64_t offset = 0;  // a write's first byte
  int64_t count = 0;   // bytes written
  int64_t sizeBefore = 0;
  int64_t sizeAfter = 0;
  std::vector<char> old;  // what the change overwrote or cut off, as far as the file held bytes there

  // The bytes whose content the change decided: those written, or those a shrink cut off.
  int64_t Begin() const { return isWrite ? offset : sizeAfter; }
  int64_t End() const { return isWrite ? offset + count : std::max(sizeBefore, sizeAfter); }
  char OldByte(int64_t at) const {
    const int64_t i = at - Begin();
    return i < int64_t(old.size()) ? old[size_t(i)] : 0;
  }
};

struct FileLog {
  int64_t flushedSize = 0;
  std::vector<Change> changes;
};

// Owned by the test's main thread; the mutex only guards against a stray writer thread.
std::mutex gMutex;
std::atomic<bool> gRecording{false};
std::map<std::string, FileLog> gFiles;
[[maybe_unused]] const bool kReset = plat::ResetList::Add("file power loss", [] { FilePowerLoss::Stop(); });

int64_t SizeOf(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 ? int64_t(st.st_size) : 0;
}

std::vector<char> ReadAt(int fd, int64_t offset, int64_t count) {
  std::vector<char> bytes(size_t(std::max<int64_t>(count, 0)));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, off_t(offset + int64_t(done)));
    if (n <= 0) break;
    done += size_t(n);
  }
  bytes.resize(done);
  return bytes;
}

FileLog& LogFor(int fd, const std::string& path) {
  auto found = gFiles.find(path);
  if (found != gFiles.end()) return found->second;
  FileLog& log = gFiles[path];
  log.flushedSize = SizeOf(fd);
  return log;
}

// What the cut decided for one file.
struct Fate {
  std::vector<bool> kept;
  size_t torn = SIZE_MAX;  // index of the torn write
  int64_t tearAt = 0;      // its bytes from here on stay old
  int64_t finalSize = 0;
};

Fate ChooseFate(const FileLog& log, std::mt19937_64& random) {
  Fate fate;
  const double keepChance = std::uniform_real_distribution<double>(0, 1)(random);
  for (size_t i = 0; i < log.changes.size(); ++i)
    fate.kept.push_back(std::uniform_real_distribution<double>(0, 1)(random) < keepChance);
  std::vector<size_t> tearable;
  for (size_t i = 0; i < log.changes.size(); ++i) {
    const Change& c = log.changes[i];
    if (fate.kept[i] && c.isWrite && (c.offset / kSector + 1) * kSector < c.offset + c.count)
      tearable.push_back(i);
  }
  if (!tearable.empty() && random() % 2 == 0) {
    fate.torn = tearable[random() % tearable.size()];
    const Change& c = log.changes[fate.torn];
    const int64_t first = c.offset / kSector + 1;
    const int64_t last = (c.offset + c.count - 1) / kSector;
    fate.tearAt = (first + int64_t(random() % uint64_t(last - first + 1))) * kSector;
  }
  fate.finalSize = log.flushedSize;
  for (size_t i = log.changes.size(); i-- > 0;) {
    const Change& c = log.changes[i];
    if (fate.kept[i] && c.sizeAfter != c.sizeBefore) {
      fate.finalSize = c.sizeAfter;
      break;
    }
  }
  return fate;
}

// The file as the disk holds it after the cut: walking back from the newest change, a byte a kept
// change wrote is settled; a byte of a lost change not yet settled gets what it held before.
std::vector<char> ImageAfterCut(int fd, const FileLog& log, const Fate& fate) {
  int64_t extent = std::max(SizeOf(fd), fate.finalSize);
  for (const Change& c : log.changes) extent = std::max({extent, c.End(), c.sizeBefore});
  std::vector<char> image = ReadAt(fd, 0, extent);
  image.resize(size_t(extent), 0);
  std::vector<bool> settled(size_t(extent), false);
  for (size_t i = log.changes.size(); i-- > 0;) {
    const Change& c = log.changes[i];
    if (!c.isWrite && c.sizeAfter > c.sizeBefore) continue;  // growth adds zeros: nothing to undo
    const int64_t keptEnd = !fate.kept[i] ? c.Begin() : i == fate.torn ? fate.tearAt : c.End();
    for (int64_t at = c.Begin(); at < c.End(); ++at) {
      if (settled[size_t(at)]) continue;
      if (at < keptEnd)
        settled[size_t(at)] = true;
      else
        image[size_t(at)] = c.OldByte(at);
    }
  }
  image.resize(size_t(fate.finalSize));
  return image;
}

void WriteImage(const std::string& path, const std::vector<char>& image) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return;  // deleted since: nothing of it is left to lose
  size_t done = 0;
  while (done < image.size()) {
    const ssize_t n = ::pwrite(fd, image.data() + done, image.size() - done, off_t(done));
    if (n <= 0) break;
    done += size_t(n);
  }
  if (::ftruncate(fd, off_t(image.size())) != 0) done = 0;
  ::close(fd);
}

}  // namespace

void FilePowerLoss::Start() {
  std::lock_guard<std::mutex> guard(gMutex);
  gFiles.clear();
  gRecording = true;
}

void FilePowerLoss::Stop() {
  std::lock_guard<std::mutex> guard(gMutex);
  gRecording = false;
  gFiles.clear();
}

bool FilePowerLoss::Recording() { return gRecording.load(std::memory_order_acquire); }

std::string FilePowerLoss::Cut(uint64_t seed) {
  std::lock_guard<std::mutex> guard(gMutex);
  std::mt19937_64 random(seed);
  std::ostringstream said;
  for (const auto& [path, log] : gFiles) {
    const Fate fate = ChooseFate(log, random);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    const std::vector<char> image = ImageAfterCut(fd, log, fate);
    ::close(fd);
    WriteImage(path, image);
    said << path << ": " << std::count(fate.kept.begin(), fate.kept.end(), true) << " of "
         << log.changes.size() << " unflushed changes kept (";
    for (size_t i = 0; i < fate.kept.size(); ++i)
      if (fate.kept[i]) said << ' ' << i;
    said << " )";
    if (fate.torn != SIZE_MAX) said << ", change " << fate.torn << " torn at byte " << fate.tearAt;
    said << ", size " << fate.finalSize << "; ";
  }
  gFiles.clear();
  return said.str();
}

void FilePowerLoss::NoteWrite(int fd, const std::string& path, int64_t offset, uint32_t count) {
  std::lock_guard<std::mutex> guard(gMutex);
  FileLog& log = LogFor(fd, path);
  Change c;
  c.isWrite = true;
  c.offset = offset;
  c.count = count;
  c.sizeBefore = SizeOf(fd);
  c.sizeAfter = std::max(c.sizeBefore, offset + int64_t(count));
  c.old = ReadAt(fd, offset, std::min<int64_t>(count, c.sizeBefore - offset));
  log.changes.push_back(std::move(c));
}

void FilePowerLoss::NoteSetSize(int fd, const std::string& path, uint32_t size) {
  std::lock_guard<std::mutex> guard(gMutex);
  FileLog& log = LogFor(fd, path);
  Change c;
  c.sizeBefore = SizeOf(fd);
  c.sizeAfter = size;
  if (c.sizeAfter < c.sizeBefore) c.old = ReadAt(fd, c.sizeAfter, c.sizeBefore - c.sizeAfter);
  log.changes.push_back(std::move(c));
}

void FilePowerLoss::NoteFlush(int, const std::string& path) {
  std::lock_guard<std::mutex> guard(gMutex);
  gFiles.erase(path);
}

}  // namespace Vcon
