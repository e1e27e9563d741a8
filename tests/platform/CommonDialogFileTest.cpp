#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <cstdlib>

#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/FileDialog.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

std::u16string Backslashed(const fs::path& p) {
  std::u16string s = p.u16string();
  for (char16_t& c : s) {
    if (c == u'/') c = u'\\';
  }
  if (s.back() != u'\\') s += u'\\';
  return s;
}

// A folder with plan.qxf, notes.txt and the subfolder "sub" holding other.qxf.
class FileDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ClearMessageBoxLog();
    root_ = fs::temp_directory_path() /
            ("filedialog-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "sub");
    std::ofstream(root_ / "plan.qxf") << "x";
    std::ofstream(root_ / "notes.txt") << "y";
    std::ofstream(root_ / "sub" / "other.qxf") << "z";
    folder_ = Backslashed(root_);
    info_.lpstrFilter = u"Plans (*.qxf)\0*.qxf\0All files\0*.*\0";
    info_.lpstrFile = file_;
    info_.nMaxFile = 260;
    info_.lpstrFileTitle = title_;
    info_.nMaxFileTitle = 64;
    info_.lpstrInitialDir = folder_.c_str();
    info_.lpstrDefExt = u"qxf";
  }
  void TearDown() override {
    HeadlessDriver::Reset();
    ClearMessageBoxLog();
    fs::remove_all(root_);
  }
  // Each time the dialog waits, the next step runs with the dialog window.
  void Script(std::vector<std::function<void(HWND)>> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    HeadlessDriver::SetIdleScript([this] {
      if (next_ == steps_.size()) return false;
      steps_[next_++](GetActiveWindow());
      return true;
    });
  }
  static std::function<void(HWND)> TypeName(const char16_t* name) {
    return [name](HWND d) {
      SetDlgItemTextW(d, kFileNameItem, name);
      SetFocus(GetDlgItem(d, kFileNameItem));
      Desktop::Key(VK_RETURN, true);
    };
  }
  static std::function<void(HWND)> Cancel() {
    return [](HWND) { Desktop::Key(VK_ESCAPE, true); };
  }
  std::vector<std::u16string> Listed(HWND d) {
    std::vector<std::u16string> out;
    LRESULT n = SendDlgItemMessageW(d, kFileListItem, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      char16_t text[128];
      SendDlgItemMessageW(d, kFileListItem, LB_GETTEXT, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(text));
      out.push_back(text);
    }
    return out;
  }

  fs::path root_;
  std::u16string folder_;
  char16_t file_[260] = {};
  char16_t title_[64] = {};
  OPENFILENAMEW info_;
  std::vector<std::function<void(HWND)>> steps_;
  size_t next_ = 0;
};

TEST_F(FileDialogs, FiltersParseAndMatchWithoutRegardToCase) {
  auto filters = FileDialog::ParseFilters(u"Plans\0*.qxf;*.QXB\0All\0*.*\0");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, u"Plans");
  EXPECT_EQ(filters[0].patterns, (std::vector<std::u16string>{u"*.qxf", u"*.QXB"}));
  EXPECT_TRUE(FileDialog::Matches(u"*.qxf", u"Plan.QXF"));
  EXPECT_TRUE(FileDialog::Matches(u"p?an*.*", u"plan.old.qxf"));
  EXPECT_FALSE(FileDialog::Matches(u"*.qxf", u"plan.qxf.bak"));
  EXPECT_TRUE(FileDialog::Matches(u"*", u""));
  EXPECT_TRUE(FileDialog::ParseFilters(nullptr).empty());
}

TEST_F(FileDialogs, OpenListsMatchesAndGivesThePathNameAndOffsets) {
  std::vector<std::u16string> listed;
  HWND hookParent = nullptr, dialogSeen = nullptr;
  info_.Flags = OFN_FILEMUSTEXIST | OFN_ENABLEHOOK;
  static HWND* gHookParent;
  gHookParent = &hookParent;
  info_.lpfnHook = [](HWND hook, UINT message, WPARAM, LPARAM) -> uintptr_t {
    if (message == WM_INITDIALOG) *gHookParent = GetParent(hook);
    return 0;
  };
  Script({[&](HWND d) {
    dialogSeen = d;
    listed = Listed(d);
    TypeName(u"plan")(d);
  }});
  ASSERT_TRUE(GetOpenFileNameW(&info_));
  EXPECT_EQ(hookParent, dialogSeen) << "the hook's window is a child of the dialog";
  EXPECT_EQ(listed, (std::vector<std::u16string>{u"../", u"sub/", u"plan.qxf"}));
  EXPECT_EQ(std::u16string(file_), folder_ + u"plan.qxf");
  EXPECT_EQ(std::u16string(file_ + info_.nFileOffset), u"plan.qxf");
  EXPECT_EQ(std::u16string(file_ + info_.nFileExtension), u"qxf");
  EXPECT_EQ(std::u16string(title_), u"plan.qxf");
  EXPECT_EQ(info_.nFilterIndex, 1u);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(FileDialogs, OpenRefusesMissingFilesAndGoesIntoFolders) {
  info_.Flags = OFN_FILEMUSTEXIST;
  std::u16string chosenFromList;
  Script({TypeName(u"missing.qxf"),
          [&](HWND d) {
            // Choosing the folder in the list names it; Open goes into it.
            SetFocus(GetDlgItem(d, kFileListItem));
            Desktop::Key(VK_DOWN, true);  // the parent folder's entry
            Desktop::Key(VK_DOWN, true);  // "sub/"
          },
          [&](HWND d) {
            char16_t name[32];
            GetDlgItemTextW(d, kFileNameItem, name, 32);
            chosenFromList = name;
            SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
          },
          TypeName(u"other")});
  ASSERT_TRUE(GetOpenFileNameW(&info_));
  EXPECT_EQ(chosenFromList, u"sub/");
  EXPECT_EQ(std::u16string(file_), folder_ + u"sub\\other.qxf");
  auto boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(u"missing.qxf"), std::u16string::npos);
  EXPECT_NE(boxes[0].text.find(u"File not found"), std::u16string::npos);
}

TEST_F(FileDialogs, SaveAsksBeforeReplacingAndCancelGivesNothing) {
  info_.Flags = OFN_OVERWRITEPROMPT;
  QueueMessageBoxAnswer(IDNO);
  QueueMessageBoxAnswer(IDYES);
  Script({TypeName(u"plan.qxf"), TypeName(u"plan.qxf")});
  ASSERT_TRUE(GetSaveFileNameW(&info_));
  EXPECT_EQ(MessageBoxLog().size(), 2u) << "asked twice: refused, then accepted";
  EXPECT_EQ(std::u16string(file_), folder_ + u"plan.qxf");

  file_[0] = 0;
  Script({Cancel()});
  EXPECT_FALSE(GetSaveFileNameW(&info_));
  EXPECT_EQ(file_[0], 0);
  EXPECT_EQ(CommDlgExtendedError(), 0u) << "a cancel is no failure";
}

TEST_F(FileDialogs, TooSmallBuffersAndNarrowRecordsAreHandled) {
  info_.nMaxFile = 8;
  Script({TypeName(u"plan.qxf")});
  EXPECT_FALSE(GetOpenFileNameW(&info_));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);

  char narrow[260] = "notes";
  std::string folder(folder_.begin(), folder_.end());  // the temporary folder's name is ASCII
  OPENFILENAMEA a;
  a.lpstrFilter = "Text\0*.txt\0";
  a.lpstrFile = narrow;
  a.nMaxFile = sizeof narrow;
  a.lpstrInitialDir = folder.c_str();
  a.lpstrDefExt = "txt";
  Script({[](HWND d) { Desktop::Key(VK_RETURN, true), (void)d; }});
  ASSERT_TRUE(GetOpenFileNameA(&a));
  EXPECT_EQ(std::string(narrow), folder + "notes.txt");
  EXPECT_EQ(std::string(narrow + a.nFileOffset), "notes.txt");
}

// A folder with more entries than the list shows: every folder and every matching file is listed
// under a scroll bar, the folder is written with slashes, a double click on a file far down takes it,
// and a name in a missing folder is refused in a box that names the path.
TEST_F(FileDialogs, AFullFolderIsListedWholeUnderAScrollBar) {
  for (int i = 0; i < 30; ++i) fs::create_directories(root_ / ("folder" + std::to_string(10 + i)));
  std::ofstream(root_ / "plan1.qxf") << "p";
  info_.Flags = OFN_FILEMUSTEXIST;
  std::vector<std::u16string> listed;
  std::u16string folderShown, boxText;
  bool barShown = false;
  LRESULT topAfterEnd = -1;
  std::vector<std::u16string> inFolder;
  std::u16string folderAfterBack;
  Script({[&](HWND d) {
            listed = Listed(d);
            folderShown = WindowText(GetDlgItem(d, kFileFolderItem));
            HWND list = GetDlgItem(d, kFileListItem);
            for (HWND child : ChildWindows(list))
              barShown |= HasClass(child, "SCROLLBAR") && IsWindowVisible(child);
            TypeName(u"nowhere/plan.qxf")(d);
          },
          [&](HWND d) {
            // The box of the refused name was answered; End goes to the end of the list.
            SetFocus(GetDlgItem(d, kFileListItem));
            Desktop::Key(VK_END, true);
          },
          [&](HWND d) {
            HWND list = GetDlgItem(d, kFileListItem);
            topAfterEnd = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
            // A double click on the first entry shown, a folder, opens it: two clicks as the user makes them.
            RECT row;
            SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(topAfterEnd),
                         reinterpret_cast<LPARAM>(&row));
            POINT at{row.left + 10, (row.top + row.bottom) / 2};
            ClientToScreen(list, &at);
            Desktop::Click(at);
            Desktop::Click(at);
          },
          [&](HWND d) {
            inFolder = Listed(d);
            SendDlgItemMessageW(d, kFileListItem, LB_SETTOPINDEX, 0, 0);
            // Back up, then plan1.qxf is taken with a double click.
            TypeName(u"..")(d);
          },
          [&](HWND d) {
            folderAfterBack = WindowText(GetDlgItem(d, kFileFolderItem));
            HWND list = GetDlgItem(d, kFileListItem);
            SendMessageW(list, LB_SETTOPINDEX, 100, 0);
            RECT row;
            SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(SendMessageW(list, LB_GETCOUNT, 0, 0) - 1),
                         reinterpret_cast<LPARAM>(&row));
            POINT at{row.left + 10, (row.top + row.bottom) / 2};
            ClientToScreen(list, &at);
            Desktop::Click(at);
            Desktop::Click(at);
          }});
  ASSERT_TRUE(GetOpenFileNameW(&info_));
  ASSERT_EQ(listed.size(), 1u + 31u + 2u) << "the parent, 31 folders, plan.qxf and plan1.qxf";
  EXPECT_EQ(listed[1], u"folder10/");
  EXPECT_EQ(listed[31], u"sub/");
  EXPECT_EQ(listed.back(), u"plan1.qxf");
  EXPECT_TRUE(barShown);
  EXPECT_EQ(folderShown.find(u'\\'), std::u16string::npos) << "the folder as the system writes it";
  EXPECT_EQ(folderShown.back(), u'/');
  EXPECT_EQ(folderAfterBack, folderShown) << "back up through .., written without it";
  EXPECT_GT(topAfterEnd, 0);
  EXPECT_EQ(inFolder, (std::vector<std::u16string>{u"../"})) << "the double-clicked folder, empty";
  EXPECT_EQ(std::u16string(file_), folder_ + u"plan1.qxf");
  auto boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find(u"nowhere/plan.qxf"), std::u16string::npos)
      << "the path as the system writes it";
  EXPECT_NE(boxes[0].text.find(u"Path does not exist"), std::u16string::npos);
}

// With no initial folder, or one that went away, the dialog starts in the user's documents folder.
TEST_F(FileDialogs, AFirstDialogStartsInTheDocumentsFolder) {
  fs::path documents = root_ / "sub";
  ::setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
  std::u16string gone = folder_ + u"gone\\";
  for (const char16_t* initial : {static_cast<const char16_t*>(nullptr), gone.c_str()}) {
    info_.lpstrInitialDir = initial;
    std::vector<std::u16string> listed;
    Script({[&](HWND d) {
      listed = Listed(d);
      Desktop::Key(VK_ESCAPE, true);
    }});
    EXPECT_FALSE(GetOpenFileNameW(&info_));
    EXPECT_EQ(listed, (std::vector<std::u16string>{u"../", u"other.qxf"}));
  }
  ::unsetenv("XDG_DOCUMENTS_DIR");
}

}  // namespace
}  // namespace plat
