// The File menu's two writers of outside files, as a user runs them on the demo: "Print with DXF
// Drawing" prints the plan from the Colors view with Line Drawing ticked and leaves its drawing as
// zelvo.dxf in the temporary folder (a plain Print leaves none), and "Save Order as Text File..." asks for a
// file and writes the order into it, the parts of a unit priced through its parts on lines of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "StartedProgram.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/base/iApplicationSettings.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "framework/ppPrintingAbortDialog.h"
#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/Dialog.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kDanish = 1030;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of a text, without their CR LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

// The fields of a TAB-separated line.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out(1);
  for (const char c : line)
    if (c == '\t')
      out.emplace_back();
    else
      out.back() += c;
  return out;
}

// One setting of the environment for one test, put back afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* previous = std::getenv(name)) {
      had_ = true;
      previous_ = previous;
    }
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (had_)
      ::setenv(name_, previous_.c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string previous_;
};

class FileMenuExportsTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    cancelsDialogs_ = false;
    temporary_ = demo_.Root() / "tmp";
    documents_ = demo_.Root() / "documents";
    fs::create_directories(temporary_);
    fs::create_directories(documents_);
    plat::ClearMessageBoxLog();
    plat::ClearShellExecuteLog();
  }

  // The File menu's items, id and text, in their order (no separators).
  std::vector<std::pair<int32_t, std::string>> FileMenu() {
    std::vector<std::pair<int32_t, std::string>> out;
    const plat::HMENU file = plat::GetSubMenu(plat::GetMenu(app_->Frame()), 0);
    for (int32_t i = 0; i < plat::GetMenuItemCount(file); ++i) {
      if ((plat::GetMenuState(file, plat::UINT(i), plat::MF_BYPOSITION) & plat::MF_SEPARATOR) != 0) continue;
      char16_t text[256] = {};
      plat::GetMenuStringW(file, plat::UINT(i), text, 256, plat::MF_BYPOSITION);
      out.emplace_back(int32_t(int16_t(plat::GetMenuItemID(file, i) & 0xFFFF)),
                       Vcon::Utf8FromUtf16(std::u16string(text)));
    }
    return out;
  }
  // Chooses the File menu's item with `text`, as a click on it does; false when there is none.
  bool Choose(const std::string& text) {
    for (const auto& [id, item] : FileMenu())
      if (item == text) {
        Send(id);
        return true;
      }
    return false;
  }

  // Every dialog the program opens is answered as a user would: a file dialog with `fileName` (empty:
  // the name it proposes) and Enter, any other (the print dialog, the drawing scale) with OK; the print's own
  // box is left alone.
  void AnswerDialogs(std::u16string fileName = u"") {
    plat::HeadlessDriver::SetIdleScript([this, fileName] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app_->Frame() || box == ppPrintingAbortDialog::Instance().Window())
        return false;
      if (plat::GetDlgItem(box, plat::kFileNameItem) != nullptr) {
        if (!fileName.empty()) plat::SetDlgItemTextW(box, plat::kFileNameItem, fileName.c_str());
        plat::SetFocus(plat::GetDlgItem(box, plat::kFileNameItem));
        plat::Desktop::Key(plat::VK_RETURN, true);
        return true;
      }
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDOK, 0) != 0;
    });
  }

  int32_t FilesIn(const fs::path& folder) const {
    int32_t n = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(folder)) ++n;
    return n;
  }

  fs::path temporary_, documents_;
};

TEST_F(FileMenuExportsTest, TheFileMenuOffersTheDrawingPrintAndTheOrderTextInEnglishAndDanish) {
  Start();
  const auto menu = FileMenu();
  std::vector<int32_t> ids;
  for (const auto& item : menu) ids.push_back(item.first);
  // The order text stands with the other exports below Save As, Line Drawing and the drawing print
  // below the prints.
  EXPECT_EQ(ids, (std::vector<int32_t>{11, 12, 14, 15, -31, -32, -16, 16, 3050, 18, 19, 3052, -21, -22, 20}));
  const auto text = [&](int32_t id) {
    for (const auto& item : menu)
      if (item.first == id) return item.second;
    return std::string();
  };
  EXPECT_EQ(text(16), "Save Order as Text File...");
  EXPECT_EQ(text(-22), "Print with DXF Drawing");
  EXPECT_EQ(text(3052), "Line Drawing");
  iTextSource* texts = CurrentTextSource();
  ASSERT_NE(texts, nullptr);
  Vcon::WString danish;
  ASSERT_TRUE(texts->GetString(16, danish, kDanish));
  EXPECT_EQ(danish, Vcon::WString(u"Gem ordren som tekstfil..."));
  ASSERT_TRUE(texts->GetString(-22, danish, kDanish));
  EXPECT_EQ(danish, Vcon::WString(u"Udskriv med DXF-tegning"));
  ASSERT_TRUE(texts->GetString(3052, danish, kDanish));
  EXPECT_EQ(danish, Vcon::WString(u"Stregtegning"));
}

TEST_F(FileMenuExportsTest, PrintingWithTheDrawingFromTheColorsViewLeavesZelvoDxfInTheTemporaryFolder) {
  const ScopedEnvironment tmp("TMPDIR", temporary_.string());
  const ScopedEnvironment docs("XDG_DOCUMENTS_DIR", documents_.string());
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  const uint32_t flags2 = iApplicationSettings::Current().flags2;
  EXPECT_EQ(flags2 & 0x2000u, 0u) << "every plan print would write the drawing";
  const fs::path drawing = temporary_ / "zelvo.dxf";

  // Line Drawing chosen first: the drawing is written only with the plan printed as lines.
  ASSERT_TRUE(Choose("Line Drawing"));
  AnswerDialogs();
  ASSERT_TRUE(Choose("Print with DXF Drawing"));
  EXPECT_EQ(FilesIn(documents_), 1) << "the plan was not printed";
  ASSERT_TRUE(fs::exists(drawing)) << "no drawing in " << temporary_;
  const std::string dxf = ReadWhole(drawing);
  // The two layers of the tables, the walls on the room's and every unit a block of its own.
  EXPECT_NE(dxf.find("AcDbLayerTableRecord\n  2\nROOM\n"), std::string::npos);
  EXPECT_NE(dxf.find("AcDbLayerTableRecord\n  2\nFURNITURE\n"), std::string::npos);
  EXPECT_NE(dxf.find("\n  8\nROOM\n"), std::string::npos) << "no entity on the room layer";
  for (const char* block : {"ZELVO-1\n", "ZELVO-2\n", "ZELVO-3\n"})
    EXPECT_NE(dxf.find(block), std::string::npos) << block;
  EXPECT_EQ(dxf.substr(dxf.size() - 4), "EOF\n");
  EXPECT_EQ(iApplicationSettings::Current().flags2, flags2);

  // A plain Print prints the plan and writes no drawing.
  fs::remove(drawing);
  fs::remove_all(documents_);
  fs::create_directories(documents_);
  Send(19);
  EXPECT_EQ(FilesIn(documents_), 1) << "the plan was not printed";
  EXPECT_FALSE(fs::exists(drawing));
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

TEST_F(FileMenuExportsTest, TheOrderTextNamesEachPartOfThe200Worktop) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  const zelvproElement* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  const int32_t before = plan->Subviews().Count();
  // In the middle of the room, clear of the start plan's units along its walls.
  zelvproTopViewFil& views = MainCatalogDatabase->TopViewFile();
  views.SelectAll();
  for (int32_t i = 0; i < views.GetSelectedCount(); ++i) {
    views.ReadRecordAt(i, nullptr);
    if (std::string(RecordField(views, "Name").Text(views.GetRecordBuffer()).c_str()) != "WT200") continue;
    views.CreateElement(views.RecordIdAt(i), plat::RECT{3000, 3000, 3060, 3060},
                        app_->DocumentWindow()->TopCanvas());
  }
  ASSERT_EQ(plan->Subviews().Count(), before + 1) << "no Worktop 200 in the plan";

  // Enter takes the name the dialog proposes: the plan's, as a text file beside it; the plan's file
  // stays as it was.
  const fs::path planFile = demo_.Root() / "user" / "new.qxf";
  const std::string planBytes = ReadWhole(planFile);
  const fs::path order = demo_.Root() / "user" / "new.txt";
  AnswerDialogs();
  ASSERT_TRUE(Choose("Save Order as Text File..."));
  EXPECT_EQ(ReadWhole(planFile), planBytes) << "the order was written over the plan";
  ASSERT_TRUE(fs::exists(order)) << "no order text";
  const std::vector<std::string> lines = Lines(ReadWhole(order));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(Fields(lines[0])[0], "ORDRE");
  // The start plan's three units and the worktop, each a module with its parts below it.
  std::vector<std::string> modules;
  std::vector<std::string> worktopParts;
  for (const std::string& line : lines) {
    const std::vector<std::string> f = Fields(line);
    if (f[0] == "MODUL") modules.push_back(f.size() > 4 ? f[4] : "");
    if (f[0] == "KOMPONENT" && !modules.empty() && modules.back() == "VH-WT200") worktopParts.push_back(f[3]);
  }
  EXPECT_EQ(modules.size(), 4u);
  ASSERT_EQ(modules.back(), "VH-WT200");
  // Its edging and its board, one line each whatever the quantity.
  EXPECT_EQ(worktopParts, (std::vector<std::string>{"VH-WE100", "VH-WB200"}));
  // The file is shown to the user once written.
  const auto shell = plat::ShellExecuteLog();
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].verb, u"open");
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

}  // namespace
