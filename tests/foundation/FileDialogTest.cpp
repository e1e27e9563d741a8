#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "foundation/CurrentFolder.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "foundation/ShellOpen.h"
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/Shell.h"
#include "platform/WindowApi.h"

namespace {

namespace fs = std::filesystem;

Vcon::WString Backslashed(const fs::path& p) {
  std::u16string s = p.u16string();
  for (char16_t& c : s) {
    if (c == u'/') c = u'\\';
  }
  if (s.back() != u'\\') s += u'\\';
  return Vcon::WString(s);
}

// A program folder P (the current folder during the test) and a document folder F with plan.qxf.
class FileDialogParts : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::ClearShellExecuteLog();
    saved_ = fs::current_path();
    base_ = fs::temp_directory_path() /
            ("filedialogs-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(base_);
    fs::create_directories(base_ / "program");
    fs::create_directories(base_ / "documents");
    std::ofstream(base_ / "documents" / "plan.qxf") << "plan";
    std::ofstream(base_ / "documents" / "list.txt") << "one\ntwo";
    fs::current_path(base_ / "program");
    ProgramFolder = Backslashed(base_ / "program");
    LastDialogFolder.clear();
    documents_ = Backslashed(base_ / "documents");
  }
  void TearDown() override {
    plat::HeadlessDriver::Reset();
    fs::current_path(saved_);
    fs::remove_all(base_);
    ProgramFolder.clear();
    LastDialogFolder.clear();
  }
  // The user opens the folder F in the dialog, then types `name` and presses Enter (or Esc when the
  // name is empty); the dialog also moves the current folder, as a careless dialog would.
  void Answer(const char16_t* name) {
    steps_ = {[this](plat::HWND d) {
                fs::current_path(base_);
                plat::SetDlgItemTextW(d, plat::kFileNameItem, documents_.c_str());
                plat::SetFocus(plat::GetDlgItem(d, plat::kFileNameItem));
                plat::Desktop::Key(plat::VK_RETURN, true);
              },
              [name](plat::HWND d) {
                plat::SetDlgItemTextW(d, plat::kFileNameItem, name);
                plat::Desktop::Key(*name ? plat::VK_RETURN : plat::VK_ESCAPE, true);
              }};
    next_ = 0;
    plat::HeadlessDriver::SetIdleScript([this] {
      if (next_ == steps_.size()) return false;
      steps_[next_++](plat::GetActiveWindow());
      return true;
    });
  }

  fs::path saved_, base_;
  Vcon::WString documents_;
  std::vector<std::function<void(plat::HWND)>> steps_;
  size_t next_ = 0;
};

TEST_F(FileDialogParts, ChosenFileGivesPathNameNextFolderAndProgramFolderBack) {
  for (bool save : {false, true}) {
    ppFileSpec fileSpec;
    fileSpec.filter = Vcon::WString(u"Plans {*.qxf}\\0*.qxf\\0\\0");
    fileSpec.name = Vcon::WString(u"qxf");
    LastDialogFolder.clear();
    Answer(u"plan.qxf");
    ASSERT_TRUE(save ? RunSaveFileDialog(fileSpec) : RunOpenFileDialog(fileSpec)) << save;
    EXPECT_EQ(fileSpec.path, documents_ + u"plan.qxf");
    EXPECT_EQ(fileSpec.name, Vcon::WString(u"plan.qxf"));
    EXPECT_EQ(LastDialogFolder, documents_) << "the next dialog starts in F";
    EXPECT_EQ(GetCurrentDir(), ProgramFolder);
  }
}

TEST_F(FileDialogParts, CancelledSaveLeavesAnEmptyPathAndFolder) {
  ppFileSpec fileSpec(Vcon::WString(u"old.qxf"));
  LastDialogFolder = documents_;
  Answer(u"");
  EXPECT_FALSE(RunSaveFileDialog(fileSpec));
  EXPECT_TRUE(fileSpec.path.empty());
  EXPECT_TRUE(LastDialogFolder.empty());
  EXPECT_EQ(GetCurrentDir(), ProgramFolder);
  // A cancelled open changes nothing but the current folder, which goes back to the program's.
  ppFileSpec open(Vcon::WString(u"kept.qxf"));
  LastDialogFolder = documents_;
  Answer(u"");
  EXPECT_FALSE(RunOpenFileDialog(open));
  EXPECT_EQ(open.path, Vcon::WString(u"kept.qxf"));
  EXPECT_EQ(LastDialogFolder, documents_);
  EXPECT_EQ(GetCurrentDir(), ProgramFolder);
}

TEST_F(FileDialogParts, TextFilesAreReadWholeOrCreatedEmpty) {
  Answer(u"list");
  Handle text = ReadFileWithOpenDialog(132);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(*text, MemGetSize(text)), "one\ntwo");
  MemDispose(text);

  ppFileSpec out, fileSpec;
  Answer(u"list.txt");
  ASSERT_TRUE(CreateFileWithSaveDialog(out, fileSpec));
  EXPECT_TRUE(out.IsOpen());
  uint32_t size = 99;
  FileGetSize(out, size);
  EXPECT_EQ(size, 0u) << "an existing file is emptied";
  FileClose(out);

  ppFileSpec none, cancelled;
  Answer(u"");
  EXPECT_FALSE(CreateFileWithSaveDialog(none, cancelled));
  EXPECT_FALSE(none.IsOpen());
}

TEST(FileDialogText, FiltersCompactTheirEscapes) {
  std::u16string wide;
  FileFilterFromWString(Vcon::WString(u"Text files {*.txt}\\0*.txt\\0\\0"), wide);
  EXPECT_EQ(wide, std::u16string(u"Text files {*.txt}\0*.txt\0\0\0", 27));
  std::string narrow;
  FileFilterFromString(Vcon::WString(u"A\\0*.a\\x\\0"), narrow);
  EXPECT_EQ(narrow, std::string("A\0*.a\0\0", 7)) << "a backslash and its character vanish";
  FileFilterFromString(Vcon::WString(u"trailing\\"), narrow);
  EXPECT_EQ(narrow, std::string("trailing\0", 9));
}

TEST(FileDialogText, DirectoryOfPathReplacesTheLastComponent) {
  Vcon::WString path(u"C:\\x\\a.txt");
  DirectoryOfPath(Vcon::WString(u"b.txt"), path);
  EXPECT_EQ(path, Vcon::WString(u"C:\\x\\b.txt"));
  Vcon::WString bare(u"a.txt");
  DirectoryOfPath(Vcon::WString(u"b.txt"), bare);
  EXPECT_EQ(bare, Vcon::WString(u"b.txt"));
  Vcon::WString folder(u"C:\\a\\b\\plan.qxf");
  DirectoryOfPath(Vcon::WString(), folder);
  EXPECT_EQ(folder, Vcon::WString(u"C:\\a\\b\\"));
}

TEST_F(FileDialogParts, CurrentFolderEndsInOneBackslash) {
  SetCurrentDir(Vcon::WString(u"\\"));
  EXPECT_EQ(GetCurrentDir(), Vcon::WString(u"\\"));
  SetCurrentDir(documents_);
  EXPECT_EQ(GetCurrentDir(), documents_);
  SetCurrentDir(documents_ + u"missing\\");
  EXPECT_EQ(GetCurrentDir(), documents_) << "a folder that is not there changes nothing";
}

TEST_F(FileDialogParts, ShellCommandsSplitVerbTargetAndFolder) {
  Vcon::WString command(u"open \"C:\\doc\\x.pdf\"");
  ShellExecuteCommand(command, nullptr);
  Vcon::WString link(u"open \"https://example.com/a b\"");
  ShellExecuteCommand(link, nullptr);
  Vcon::WString withFolder(u"C:\\tools\\open \"x.txt\"");
  ShellExecuteCommand(withFolder, nullptr);
  auto log = plat::ShellExecuteLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].verb, u"open");
  EXPECT_EQ(log[0].file, u"C:\\doc\\x.pdf");
  EXPECT_EQ(log[0].directory, u"");
  EXPECT_EQ(log[0].show, plat::SW_SHOWNORMAL);
  EXPECT_EQ(log[1].file, u"https://example.com/a b");
  EXPECT_EQ(log[2].verb, u"open");
  EXPECT_EQ(log[2].directory, u"C:\\tools\\");
  EXPECT_EQ(command, Vcon::WString(u"open")) << "the command is left holding the verb";
}

TEST_F(FileDialogParts, HookCentresTheDialogOverItsOwner) {
  plat::WNDCLASSA wc;
  wc.lpfnWndProc = plat::DefWindowProcW;
  wc.lpszClassName = "HookOwner";
  plat::RegisterClassA(&wc);
  plat::HWND owner = plat::CreateWindowExA(0, "HookOwner", "", plat::WS_OVERLAPPEDWINDOW | plat::WS_VISIBLE,
                                           100, 50, 601, 401, nullptr, nullptr, nullptr, nullptr);
  plat::HWND dialog = plat::CreateWindowExA(0, "HookOwner", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 200,
                                            100, owner, nullptr, nullptr, nullptr);
  plat::HWND hook = plat::CreateWindowExA(0, "HookOwner", "", plat::WS_CHILD, 0, 0, 1, 1, dialog, nullptr,
                                          nullptr, nullptr);
  EXPECT_EQ(CenterDialogHook(hook, plat::WM_INITDIALOG, 0, 0), 0u);
  plat::RECT r;
  plat::GetWindowRect(dialog, &r);
  EXPECT_EQ(r.left, 100 + (601 - 200) / 2);
  EXPECT_EQ(r.top, 50 + (401 - 100) / 2);
  EXPECT_EQ(r.right - r.left, 200);
}

// An open dialog asked for without an owner belongs to the window in front: that window takes no
// input (no second command starts under the dialog) until the dialog is gone.
TEST_F(FileDialogParts, AnOpenDialogWithoutOwnerHoldsTheWindowInFront) {
  plat::WNDCLASSA wc;
  wc.lpfnWndProc = plat::DefWindowProcW;
  wc.lpszClassName = "FrontWindow";
  plat::RegisterClassA(&wc);
  plat::HWND front = plat::CreateWindowExA(0, "FrontWindow", "", plat::WS_OVERLAPPEDWINDOW | plat::WS_VISIBLE,
                                           0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  plat::SetActiveWindow(front);
  ASSERT_EQ(plat::GetForegroundWindow(), front);
  bool frontEnabled = true;
  plat::HeadlessDriver::SetIdleScript([&] {
    if (!frontEnabled) return false;
    frontEnabled = plat::IsWindowEnabled(front) != 0;
    plat::Desktop::Key(plat::VK_ESCAPE, true);
    return true;
  });
  ppFileSpec fileSpec;
  fileSpec.filter = Vcon::WString(u"Plans {*.qxf}\\0*.qxf\\0\\0");
  EXPECT_FALSE(RunOpenFileDialog(fileSpec));
  EXPECT_FALSE(frontEnabled);
  EXPECT_TRUE(plat::IsWindowEnabled(front));
}

}  // namespace
