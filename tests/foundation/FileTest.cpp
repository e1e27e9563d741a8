#include "foundation/FileFaultHook.h"
#include "foundation/FileOperations.h"
#include "foundation/PosixPath.h"
#include "foundation/ppFile.h"
#include "foundation/ppTokenizer.h"
#include "foundation/FileRecord.h"
#include "foundation/Zone.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed with everything in it afterwards.
class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "planner-file-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder = pattern;
  }
  void TearDown() override {
    SetFileErrorObserver(nullptr);
    Vcon::SetFileFaultHook(nullptr);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  std::string PathOf(const std::string& name) const { return folder + "/" + name; }
  ppFileSpec FileSpecFor(const std::string& name) const {
    return ppFileSpec(Vcon::WString(PathOf(name).c_str()));
  }

  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::string folder;
};

int32_t ThrownBy(const std::function<void()>& call) {
  try {
    call();
  } catch (int32_t error) {
    return error;
  }
  return 0;
}

// Runs `body` in a forked child and returns its exit status (-1 when it did not exit normally).
int InChild(const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<int32_t> gSites;
void RecordSite(int32_t site) { gSites.push_back(site); }

TEST_F(FileTest, OpenAndCreateFailuresGiveTheirNumbers) {
  gSites.clear();
  SetFileErrorObserver(RecordSite);
  ppFileSpec missing = FileSpecFor("missing.dat"), opened;
  EXPECT_EQ(ThrownBy([&] { FileOpen(opened, missing, true); }), kFileErrCannotOpen);
  EXPECT_EQ(gSites, std::vector<int32_t>{kFileSiteOpen});
  EXPECT_FALSE(opened.IsOpen());
  EXPECT_EQ(opened.path, missing.path) << "the names are copied even when the open fails";

  ppFileSpec fileSpec = FileSpecFor("new.dat");
  FileCreate(fileSpec);
  EXPECT_FALSE(fileSpec.IsOpen());
  EXPECT_TRUE(fs::exists(PathOf("new.dat")));
  EXPECT_EQ(ThrownBy([&] { FileCreate(fileSpec); }), kFileErrExists);
  ppFileSpec inMissingFolder = FileSpecFor("nowhere/x.dat");
  EXPECT_EQ(ThrownBy([&] { FileCreate(inMissingFolder); }), 3);

  // A folder is not a file to open.
  fs::create_directory(PathOf("sub"));
  ppFileSpec sub = FileSpecFor("sub");
  EXPECT_EQ(ThrownBy([&] { FileOpen(opened, sub, true); }), kFileErrCannotOpen);
  EXPECT_EQ(ThrownBy([&] { FileDelete(sub); }), kFileErrCannotOpen);
}

TEST_F(FileTest, ReadsAndWritesAtOffsetsAndTheCurrentPosition) {
  Put("a.dat", "0123456789abcdefghij");
  ppFileSpec fileSpec;
  FileOpen(fileSpec, FileSpecFor("a.dat"), false);
  char buffer[11] = {};
  EXPECT_EQ(FileRead(fileSpec, buffer, 10, 0), 10u);
  EXPECT_STREQ(buffer, "0123456789");
  FileRead(fileSpec, buffer, 10, kFileCurrentPosition);
  EXPECT_STREQ(buffer, "abcdefghij");
  FileRead(fileSpec, buffer, 3, 0);
  EXPECT_STREQ(buffer, "012defghij") << "offset 0 reads from the start again";

  // A short read at the end keeps the rest of the buffer.
  std::memset(buffer, '.', 10);
  EXPECT_EQ(FileRead(fileSpec, buffer, 10, 18), 2u);
  EXPECT_STREQ(buffer, "ij........");
  EXPECT_EQ(FileRead(fileSpec, buffer, 10, kFileCurrentPosition), 0u);

  FileWrite(fileSpec, "XY", 2, 4);
  FileWrite(fileSpec, "Z", 1, kFileCurrentPosition);
  FileWrite(fileSpec, "end", 3, 20);
  FileClose(fileSpec);
  EXPECT_EQ(Get("a.dat"), "0123XYZ789abcdefghijend");
}

TEST_F(FileTest, SetSizeTruncatesExtendsAndLeavesThePositionAtTheEnd) {
  Put("s.dat", "abcdef");
  ppFileSpec fileSpec;
  FileOpen(fileSpec, FileSpecFor("s.dat"), false);
  uint32_t size = 99;
  FileGetSize(fileSpec, size);
  EXPECT_EQ(size, 6u);

  uint32_t zero = 0;
  FileSetSize(fileSpec, &zero);
  FileGetSize(fileSpec, size);
  EXPECT_EQ(size, 0u);

  uint32_t larger = 4;
  FileSetSize(fileSpec, &larger);
  FileWrite(fileSpec, "!", 1, kFileCurrentPosition);
  FileClose(fileSpec);
  EXPECT_EQ(Get("s.dat"), std::string("\0\0\0\0!", 5));

  // A read-only open refuses size changes and writes instead of losing them quietly.
  FileOpen(fileSpec, FileSpecFor("s.dat"), true);
  EXPECT_EQ(ThrownBy([&] { FileSetSize(fileSpec, &zero); }), kFileErrBadCall);
  EXPECT_EQ(ThrownBy([&] { FileWrite(fileSpec, "x", 1, 0); }), kFileErrBadCall);
  FileClose(fileSpec);
  EXPECT_EQ(Get("s.dat").size(), 5u);
}

TEST_F(FileTest, CloseAndCopiesOfAnOpenFileRecord) {
  Put("c.dat", "data");
  ppFileSpec fileSpec;
  FileOpen(fileSpec, FileSpecFor("c.dat"), true);
  fileSpec.word2 = 0x41424344;
  ppFileSpec copy = fileSpec;
  EXPECT_FALSE(copy.IsOpen());
  EXPECT_EQ(copy.word2, 0x41424344u);
  EXPECT_EQ(ThrownBy([&] { FileClose(copy); }), kFileErrBadCall);

  ppFileSpec assigned;
  assigned = fileSpec;
  EXPECT_FALSE(assigned.IsOpen());

  // Moving takes the file along; the source is closed afterwards.
  ppFileSpec moved(std::move(fileSpec));
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_FALSE(fileSpec.IsOpen());

  FileClose(moved);
  EXPECT_FALSE(moved.IsOpen());
  EXPECT_EQ(ThrownBy([&] { FileClose(moved); }), kFileErrBadCall) << "a second close is refused";
  uint32_t size = 0;
  EXPECT_EQ(ThrownBy([&] { FileGetSize(moved, size); }), kFileErrBadCall);
}

TEST_F(FileTest, OpenFilesAreExclusiveWithinAndAcrossProcesses) {
  Put("x.dat", "x");
  ppFileSpec first, second;
  FileOpen(first, FileSpecFor("x.dat"), true);
  EXPECT_EQ(ThrownBy([&] { FileOpen(second, FileSpecFor("x.dat"), true); }), kFileErrCannotOpen);
  EXPECT_EQ(ThrownBy([&] { FileOpen(second, FileSpecFor("x.dat"), false); }), kFileErrCannotOpen);

  auto openInChild = [&] {
    ppFileSpec other;
    return ThrownBy([&] {
             FileOpen(other, FileSpecFor("x.dat"), false);
             FileClose(other);
           }) == kFileErrCannotOpen
               ? 1
               : 0;
  };
  EXPECT_EQ(InChild(openInChild), 1) << "another process cannot open it";

  ppFileSpec victim = FileSpecFor("x.dat");
  EXPECT_EQ(ThrownBy([&] { FileDelete(victim); }), kFileErrCannotOpen);
  EXPECT_TRUE(fs::exists(PathOf("x.dat")));

  FileClose(first);
  EXPECT_EQ(InChild(openInChild), 0) << "closing frees the file";
  FileOpen(second, FileSpecFor("x.dat"), false);
  FileClose(second);
  FileDelete(victim);
  EXPECT_FALSE(fs::exists(PathOf("x.dat")));
  EXPECT_EQ(ThrownBy([&] { FileDelete(victim); }), kFileErrCannotOpen);
}

TEST_F(FileTest, AFileHeldByAnotherProcessCannotBeOpened) {
  Put("y.dat", "y");
  int toParent[2], toChild[2];
  ASSERT_EQ(::pipe(toParent), 0);
  ASSERT_EQ(::pipe(toChild), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    ppFileSpec held;
    char c = 0;
    int ok = ThrownBy([&] { FileOpen(held, FileSpecFor("y.dat"), true); }) == 0;
    (void)!::write(toParent[1], "r", 1);
    (void)!::read(toChild[0], &c, 1);
    if (ok) FileClose(held);
    ::_exit(ok ? 0 : 1);
  }
  char c = 0;
  ASSERT_EQ(::read(toParent[0], &c, 1), 1);
  ppFileSpec fileSpec;
  EXPECT_EQ(ThrownBy([&] { FileOpen(fileSpec, FileSpecFor("y.dat"), false); }), kFileErrCannotOpen);
  ppFileSpec victim = FileSpecFor("y.dat");
  EXPECT_EQ(ThrownBy([&] { FileDelete(victim); }), kFileErrCannotOpen);
  ASSERT_EQ(::write(toChild[1], "g", 1), 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) ::close(fd);
  FileOpen(fileSpec, FileSpecFor("y.dat"), false);
  FileClose(fileSpec);
}

TEST_F(FileTest, WindowsStylePathsFindFilesInAnyCase) {
  fs::create_directories(PathOf("Settings/Warnings"));
  Put("Settings/Warnings/rules.TXT", "r");
  std::string windows = folder + "\\settings\\WARNINGS\\Rules.txt";
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  ppFileSpec source(Vcon::WString(windows.c_str())), fileSpec;
  FileOpen(fileSpec, source, true);
  char c = 0;
  FileRead(fileSpec, &c, 1, 0);
  EXPECT_EQ(c, 'r');
  FileClose(fileSpec);

  // Creating keeps the new name but finds the folders; a name differing only in case exists.
  ppFileSpec fresh(Vcon::WString((folder + "\\SETTINGS\\new.dat").c_str()));
  FileCreate(fresh);
  EXPECT_TRUE(fs::exists(PathOf("Settings/new.dat")));
  ppFileSpec again(Vcon::WString((folder + "\\settings\\NEW.DAT").c_str()));
  EXPECT_EQ(ThrownBy([&] { FileCreate(again); }), kFileErrExists);

  // Of names that differ only in case, the first in byte order is taken, whatever the folder order.
  Put("Settings/ab.txt", "2");
  Put("Settings/AB.txt", "1");
  Put("Settings/aB.txt", "3");
  EXPECT_EQ(Vcon::ResolvePosixPath(folder + "/settings/Ab.txt"), PathOf("Settings/AB.txt"));
}

TEST(PosixPath, Utf16BecomesUtf8) {
  EXPECT_EQ(Vcon::Utf8FromUtf16(u"a\u00e9\u20ac"), "a\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Vcon::Utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Vcon::Utf8FromUtf16(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(Vcon::SlashedPath(".\\settings\\x.cdb"), "./settings/x.cdb");
}

TEST(PosixPath, Utf8BecomesUtf16AndBadBytesAreReplaced) {
  EXPECT_EQ(Vcon::Utf16FromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"a\u00e9\u20ac\U0001F600");
  EXPECT_EQ(Vcon::Utf16FromUtf8("\xC3x"), u"\uFFFDx");          // a sequence cut short
  EXPECT_EQ(Vcon::Utf16FromUtf8("\xE2\x82"), u"\uFFFD\uFFFD");  // cut short at the end
  EXPECT_EQ(Vcon::Utf16FromUtf8("\xFFz"), u"\uFFFDz");          // no sequence starts so
}

std::vector<Vcon::FileOp> gOps;
void RecordOp(Vcon::FileOp op, const char*) { gOps.push_back(op); }

TEST_F(FileTest, FaultHookSeesEveryChangeBeforeItHappens) {
  using Vcon::FileOp;
  gOps.clear();
  Vcon::SetFileFaultHook(RecordOp);
  ppFileSpec name = FileSpecFor("h.dat"), fileSpec;
  FileCreate(name);
  FileOpen(fileSpec, name, false);
  FileWrite(fileSpec, "ab", 2, 0);
  uint32_t one = 1;
  FileSetSize(fileSpec, &one);
  FileFlush(fileSpec);
  FileFlushData(fileSpec);
  FileClose(fileSpec);
  FileDelete(name);
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(gOps, (std::vector<FileOp>{FileOp::Create, FileOp::Write, FileOp::SetSize, FileOp::Flush,
                                       FileOp::Flush, FileOp::Close, FileOp::Delete}));
}

int gWritesBeforeCrash = 0;
void CrashAtSecondWrite(Vcon::FileOp op, const char*) {
  if (op == Vcon::FileOp::Write && ++gWritesBeforeCrash == 2) ::_exit(42);
}

TEST_F(FileTest, FaultHookCanEndAChildBeforeAWrite) {
  Put("crash.dat", "");
  int status = InChild([&] {
    Vcon::SetFileFaultHook(CrashAtSecondWrite);
    ppFileSpec fileSpec;
    FileOpen(fileSpec, FileSpecFor("crash.dat"), false);
    FileWrite(fileSpec, "first", 5, 0);
    FileWrite(fileSpec, "second", 6, kFileCurrentPosition);
    return 0;
  });
  EXPECT_EQ(status, 42);
  EXPECT_EQ(Get("crash.dat"), "first");
}

TEST_F(FileTest, WholeFileIntoAHandle) {
  Put("w.txt", "hello");
  Handle h = ReadFileToHandle(FileSpecFor("w.txt"));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(std::string(*h, MemGetSize(h)), "hello");
  MemDispose(h);

  Put("empty.txt", "");
  EXPECT_EQ(ReadFileToHandle(FileSpecFor("empty.txt")), nullptr);
  EXPECT_EQ(ThrownBy([&] { ReadFileToHandle(FileSpecFor("none.txt")); }), kFileErrCannotOpen);
  // The file is closed again: it can be opened at once.
  ppFileSpec fileSpec;
  FileOpen(fileSpec, FileSpecFor("w.txt"), false);
  FileClose(fileSpec);

  // Where a missing file is expected, it is no failure; a name that cannot name a file still is.
  Handle present = ReadFileToHandleIfPresent(FileSpecFor("W.TXT"));
  ASSERT_NE(present, nullptr);
  EXPECT_EQ(std::string(*present, MemGetSize(present)), "hello");
  MemDispose(present);
  EXPECT_EQ(ReadFileToHandleIfPresent(FileSpecFor("none.txt")), nullptr);
  EXPECT_EQ(ReadFileToHandleIfPresent(FileSpecFor("no folder/none.txt")), nullptr);
  EXPECT_EQ(ThrownBy([&] { ReadFileToHandleIfPresent(FileSpecFor("w.txt/inside.txt")); }),
            kFileErrCannotOpen);
}

std::vector<std::string> gCreated;
void RecordCreate(Vcon::FileOp op, const char* path) {
  if (op == Vcon::FileOp::Create) gCreated.emplace_back(path);
}

TEST_F(FileTest, OpenOrCreateMakesAMissingFileWhereItIsFoundAndOpensItForWriting) {
  fs::create_directory(PathOf("Settings"));
  gCreated.clear();
  Vcon::SetFileFaultHook(RecordCreate);
  const ppFileSpec source(Vcon::WString((folder + "\\SETTINGS\\colors.dat").c_str()));
  ppFileSpec file, other;
  EXPECT_TRUE(FileOpenOrCreate(file, source));
  EXPECT_EQ(gCreated, std::vector<std::string>{PathOf("Settings/colors.dat")});
  FileWrite(file, "abc", 3, 0);
  // Held like any open file: creating it anew fails as creating an existing file does.
  EXPECT_EQ(ThrownBy([&] { FileOpenOrCreate(other, source); }), kFileErrExists);
  EXPECT_FALSE(other.IsOpen());

  // An open destination is closed first; an existing file is opened, not created.
  gCreated.clear();
  EXPECT_FALSE(FileOpenOrCreate(file, FileSpecFor("Settings/COLORS.DAT")));
  EXPECT_TRUE(gCreated.empty());
  FileWrite(file, "d", 1, 3);
  FileClose(file);
  EXPECT_EQ(Get("Settings/colors.dat"), "abcd");

  gSites.clear();
  SetFileErrorObserver(RecordSite);
  EXPECT_EQ(ThrownBy([&] { FileOpenOrCreate(file, FileSpecFor("nowhere/x.dat")); }), 3);
  EXPECT_EQ(gSites, (std::vector<int32_t>{kFileSiteOpen, kFileSiteCreate}));
  EXPECT_FALSE(file.IsOpen());
}

// A file the handle zone cannot hold is refused as a file that cannot be opened, before a byte of
// it is read or kept, and closed again; the caller's failure path follows instead of the zone's fatal
// box. Sizes count all their bits: a file of 4 GiB and 5 bytes is no 5-byte file.
TEST_F(FileTest, AWholeFileTheZoneCannotHoldIsRefusedAsAnUnreadableOne) {
  Vcon::Zone* const zone = Vcon::Zone::Current();
  ASSERT_NE(zone, nullptr);
  const uint32_t freeMasterPointers = zone->FreeMasterPointerCount();
  gSites.clear();
  SetFileErrorObserver(RecordSite);
  for (const uint64_t size : {uint64_t(50'000'000), uint64_t(1) << 30, (uint64_t(1) << 32) + 5}) {
    SCOPED_TRACE(size);
    Put("big.dat", "");
    fs::resize_file(PathOf("big.dat"), size);  // sparse: nothing is written
    EXPECT_EQ(ThrownBy([&] { ReadFileToHandle(FileSpecFor("big.dat")); }), kFileErrCannotOpen);
    EXPECT_EQ(ThrownBy([&] { ReadFileToHandleIfPresent(FileSpecFor("big.dat")); }), kFileErrCannotOpen);
    EXPECT_EQ(zone->FreeMasterPointerCount(), freeMasterPointers);
    ppFileSpec closed;  // closed again: it can be opened at once
    FileOpen(closed, FileSpecFor("big.dat"), false);
    FileClose(closed);
  }
  EXPECT_EQ(gSites, std::vector<int32_t>(6, 1041));  // the site of a file too large for the zone
}

// In a small zone: the largest file it opens is its free space; one byte more is refused, and the
// zone is as it was.
TEST_F(FileTest, AWholeFileFillsTheZoneToTheLastByteItHolds) {
  std::unique_ptr<Vcon::Zone> small = Vcon::Zone::Create(4096, 4);
  Vcon::Zone* const kept = Vcon::Zone::Install(small.get());
  const uint32_t room = small->Blocks().back().header.size;
  Put("fits.dat", std::string(room, 'f'));
  Put("over.dat", std::string(room + 1, 'o'));
  EXPECT_EQ(ThrownBy([&] { ReadFileToHandle(FileSpecFor("over.dat")); }), kFileErrCannotOpen);
  EXPECT_EQ(small->Blocks().size(), 2u);
  Handle h = ReadFileToHandle(FileSpecFor("fits.dat"));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(std::string(*h, MemGetSize(h)), std::string(room, 'f'));
  MemDispose(h);
  Vcon::Zone::Install(kept);
}

TEST_F(FileTest, WholeFilesAndFolderNamesInAnyCase) {
  fs::create_directory(PathOf("Info"));
  Put("Info/Worktops.txt", "w1");
  const ppFileSpec source(Vcon::WString((folder + "\\info\\WORKTOPS.TXT").c_str()));
  Handle h = ReadFileToHandle(source);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(std::string(*h, MemGetSize(h)), "w1");
  MemDispose(h);
  ppFileSpec held;
  FileOpen(held, source, true);
  EXPECT_EQ(ThrownBy([&] { ReadFileToHandle(source); }), kFileErrCannotOpen);
  FileClose(held);

  const std::vector<Vcon::String> names = ListFolderNames(Vcon::WString((folder + "\\INFO\\").c_str()));
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(std::string(names[0].c_str()), "Worktops.txt");
  EXPECT_TRUE(ListFolderNames(Vcon::WString((folder + "\\Info\\Worktops.txt").c_str())).empty());
}

Handle HandleWithText(const std::string& text, bool terminated = true) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, static_cast<uint32_t>(text.size() + (terminated ? 1 : 0)));
  std::memcpy(*h, text.c_str(), text.size() + (terminated ? 1 : 0));
  return h;
}

std::string TextOf(Handle h) { return std::string(*h, MemGetSize(h)); }

TEST(ReplaceText, ReplacesEveryOccurrenceAndResizes) {
  Handle h = HandleWithText("x%%y%%z");
  ReplaceTextInHandle(h, "%%", "-");
  EXPECT_EQ(TextOf(h), std::string("x-y-z\0", 6));

  // A replacement holding the searched text ends, and longer replacements grow the handle.
  ReplaceTextInHandle(h, "-", "<->");
  EXPECT_EQ(TextOf(h), std::string("x<->y<->z\0", 10));

  // Only the text before the terminator is searched.
  Handle tail = HandleWithText(std::string("ab\0ab", 5), false);
  ReplaceTextInHandle(tail, "ab", "c");
  EXPECT_EQ(TextOf(tail), std::string("c\0ab", 4));

  ReplaceTextInHandle(h, "", "q");
  EXPECT_EQ(MemGetSize(h), 10);
  MemDispose(h);
  MemDispose(tail);
}

TEST(ReplaceText, WithAHandle) {
  Handle h = HandleWithText("[NAME] and [NAME]");
  Handle name = HandleWithText("Ann [NAME]", false);
  ReplaceTextWithHandle(h, "[NAME]", name);
  EXPECT_EQ(TextOf(h), std::string("Ann [NAME] and Ann [NAME]\0", 26));
  ReplaceTextWithHandle(h, " [NAME]", nullptr);
  EXPECT_EQ(TextOf(h), std::string("Ann and Ann\0", 12));
  MemDispose(h);
  MemDispose(name);
}

// The file stream: the byte-order mark probe of text files, reading to the end, writing.
class FileStreamTest : public FileTest {
 protected:
  Vcon::WString WidePath(const std::string& name) const { return Vcon::WString(PathOf(name).c_str()); }
};

TEST_F(FileStreamTest, TextFileWithByteOrderMarkIsWide) {
  Put("wide.txt", std::string("\xFF\xFE\x41\x00\xAC\x20", 6));
  ppFile f(WidePath("wide.txt"), false);
  EXPECT_TRUE(f.IsWide());
  EXPECT_EQ(f.Tell(), 2) << "positioned after the mark";
  EXPECT_EQ(f.ReadShort(), 0x0041);
  EXPECT_EQ(f.ReadShort(), 0x20AC);
  EXPECT_FALSE(f.AtEnd());
  EXPECT_EQ(f.ReadByte(), 0);
  EXPECT_TRUE(f.AtEnd());
}

TEST_F(FileStreamTest, OtherFilesAreReadFromTheStart) {
  Put("half.txt", "\xFF\x41");
  ppFile half(WidePath("half.txt"), false);
  EXPECT_FALSE(half.IsWide());
  EXPECT_EQ(half.ReadByte(), 0xFF);
  EXPECT_EQ(half.ReadByte(), 0x41);

  Put("marked.dat", "\xFF\xFE\x41\x00");
  ppFile notText(WidePath("marked.dat"), false);
  EXPECT_FALSE(notText.IsWide()) << "only .txt files are probed";
  EXPECT_EQ(notText.ReadByte(), 0xFF);

  Put("empty.txt", "");
  ppFile empty(WidePath("empty.txt"), false);
  EXPECT_FALSE(empty.IsWide());
  EXPECT_TRUE(empty.AtEnd()) << "the probe found nothing";
}

TEST_F(FileStreamTest, ReadAllSeekBackAndEnd) {
  Put("all.txt", "\xFF\xFEx\0");
  ppFile f(WidePath("all.txt"), false);
  Vcon::String all;
  f.ReadAll(all);
  EXPECT_EQ(all, std::string("\xFF\xFEx\0", 4));
  f.Seek(2);
  EXPECT_EQ(f.ReadByte(), 'x');
  f.SeekBack(10);
  EXPECT_EQ(f.Tell(), 0);
  f.SeekBackWide(0);
  EXPECT_EQ(f.ReadShort(), 0xFEFF);
  f.Close();
  f.Close();  // harmless
}

TEST_F(FileStreamTest, CreatingReplacesTheFileAndWrites) {
  Put("out.txt", "old content");
  {
    ppFile f(WidePath("out.txt"), true);
    EXPECT_FALSE(f.IsWide());
    f.WriteShort(0xFEFF);
    f.WriteWideText(Vcon::WString(u"Hi"));
    f.WriteText(Vcon::String("!"));
  }
  EXPECT_EQ(Get("out.txt"), std::string("\xFF\xFEH\0i\0!", 7));
  ppFile reread(WidePath("out.txt"), false);
  EXPECT_TRUE(reread.IsWide());

  // Read-only streams refuse writes, and an open file cannot be replaced or opened again.
  EXPECT_EQ(ThrownBy([&] { reread.WriteByte('x'); }), kFileErrBadCall);
  EXPECT_EQ(ThrownBy([&] { ppFile again(WidePath("out.txt"), true); }), kFileErrExists);
  EXPECT_EQ(ThrownBy([&] { ppFile again(WidePath("out.txt"), false); }), kFileErrCannotOpen);
  EXPECT_EQ(ThrownBy([&] { ppFile missing(WidePath("missing.txt"), false); }), kFileErrCannotOpen);
}

TEST_F(FileStreamTest, TokenizingAFileReadsEachTokenOnce) {
  Put("rules.txt", "a\r\n\r\nb:\n");
  ppFile f(WidePath("rules.txt"), false);
  ppTokenizer t(f, u":,", u" \t", u"\n\r", ppTokenizer::kAskStream, true);
  std::vector<std::u16string> tokens;
  Vcon::WString token;
  while (!t.AtEnd()) tokens.push_back(t.GetToken(token));
  EXPECT_EQ(tokens, (std::vector<std::u16string>{u"a", u"\n", u"b", u":", u"\n"}));

  // A wide file is read in 16-bit units after its mark.
  Put("wide.txt", std::string("\xFF\xFEx\0 \0\xAC\x20", 8));
  ppFile w(WidePath("wide.txt"), false);
  ppTokenizer wide(w, u":", u" ", u"\n", ppTokenizer::kAskStream, true);
  EXPECT_EQ(std::u16string(wide.GetToken(token)), u"x");
  EXPECT_EQ(std::u16string(wide.GetToken(token)), u"\u20ac") << "no stray NUL from the end";
  EXPECT_TRUE(wide.GetToken(token).empty());
  EXPECT_TRUE(wide.AtEnd());
}

}  // namespace
