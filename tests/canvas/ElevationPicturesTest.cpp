// The top canvas's elevation pictures: the plan split into runs, one BMP file per run named through
// a scripted save dialog, the files read back byte by byte, a cancelled dialog and a failed write.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "elements/base/qxPrintPictures.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewTestSupport.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "framework/ppPicture.h"
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kImageSize = 1024 * 768 * 3;

class RunElement : public zelvproElement {
 public:
  RunElement(ppView* parent, const ppVector3& at, float turn)
      : zelvproElement(0, parent, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    position = at;
    angle = turn;
    dimensions = ppVector3(600, 720, 560);
  }
};

// Answers a 1024 x 768, 24-bit picture whose pixels count the runs drawn (first byte of every pixel);
// `sizeField` false leaves the header's image size 0, as some renderers do.
class PictureDouble : public qxPrintPictures {
 public:
  qxPictureResult Plan(qxPictureItem*, std::vector<qxPictureMark>*, const plat::RECT&) override { return {}; }
  qxPictureResult Group(qxPictureItem* items, const plat::RECT& target) override {
    int32_t count = 0;
    for (qxPictureItem* i = items; i != nullptr; i = i->next) ++count;
    runs.push_back(count);
    targets.push_back(target);
    qxPictureResult result;
    if (noPicture) return result;
    std::vector<uint8_t> packed(40 + kImageSize, uint8_t(runs.size()));
    plat::BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = 1024;
    header.biHeight = 768;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = sizeField ? kImageSize : 0;
    std::memcpy(packed.data(), &header, 40);
    result.picture =
        std::make_unique<ppPicture>(reinterpret_cast<const plat::BITMAPINFOHEADER*>(packed.data()));
    return result;
  }
  std::vector<int32_t> runs;
  std::vector<plat::RECT> targets;
  bool sizeField = true;
  bool noPicture = false;
};

Vcon::WString Backslashed(const fs::path& p) {
  std::u16string s = p.u16string();
  for (char16_t& c : s) {
    if (c == u'/') c = u'\\';
  }
  if (s.back() != u'\\') s += u'\\';
  return Vcon::WString(s);
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ElevationPicturesTest : public tvtest::TopViewTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::ClearMessageBoxLog();
    TopViewTest::SetUp();
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, nullptr);
    host_.pictures = &pictures_;
    saved_ = fs::current_path();
    base_ = fs::path(::testing::TempDir()) /
            ("elevation-pictures-" + std::to_string(::getpid()) + "-" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(base_);
    fs::create_directories(base_ / "program");
    fs::create_directories(base_ / "documents");
    fs::current_path(base_ / "program");
    ProgramFolder = Backslashed(base_ / "program");
    LastDialogFolder.clear();
  }
  void TearDown() override {
    host_.pictures = nullptr;
    canvas_.reset();
    plat::HeadlessDriver::Reset();
    fs::current_path(saved_);
    fs::remove_all(base_);
    ProgramFolder.clear();
    LastDialogFolder.clear();
    plat::ClearMessageBoxLog();
    TopViewTest::TearDown();
  }

  // The save dialogs to come: each opens the documents folder, then types its name and presses
  // Enter, or Esc for an empty name. Answers how many dialogs were shown once the export ran.
  int32_t Export(std::vector<std::u16string> names) {
    std::vector<std::function<void(plat::HWND)>> steps;
    const Vcon::WString folder = Backslashed(base_ / "documents");
    for (const std::u16string& name : names) {
      steps.push_back([folder](plat::HWND d) {
        plat::SetDlgItemTextW(d, plat::kFileNameItem, folder.c_str());
        plat::SetFocus(plat::GetDlgItem(d, plat::kFileNameItem));
        plat::Desktop::Key(plat::VK_RETURN, true);
      });
      steps.push_back([name](plat::HWND d) {
        plat::SetDlgItemTextW(d, plat::kFileNameItem, name.c_str());
        plat::Desktop::Key(name.empty() ? plat::VK_ESCAPE : plat::VK_RETURN, true);
      });
    }
    size_t next = 0;
    plat::HeadlessDriver::SetIdleScript([&] {
      if (next == steps.size()) return false;
      steps[next++](plat::GetActiveWindow());
      return true;
    });
    canvas_->ExportElevationPictures();
    plat::HeadlessDriver::SetIdleScript(nullptr);
    return int32_t(next / 2);
  }
  std::vector<std::string> Files() {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(base_ / "documents"))
      out.push_back(entry.path().filename());
    std::sort(out.begin(), out.end());
    return out;
  }
  RunElement* At(float x, float z, float turn = 0.0f) {
    return new RunElement(canvas_.get(), ppVector3(x, 0, z), turn);
  }

  PictureDouble pictures_;
  std::unique_ptr<zelvproTopCanvas> canvas_;
  fs::path saved_, base_;
};

TEST_F(ElevationPicturesTest, APlanWithoutElementsShowsNoDialogAndWritesNothing) {
  EXPECT_EQ(Export({u"plan.bmp"}), 0);
  EXPECT_TRUE(pictures_.runs.empty());
  EXPECT_TRUE(Files().empty());
}

TEST_F(ElevationPicturesTest, UnitsJoinARunByDistanceAcrossItsLineAndByTurn) {
  struct Case {
    const char* name;
    float across, turn;
    std::vector<std::string> files;
  } cases[] = {
      {"99 across", 99.0f, 0.0f, {"plan.bmp"}},
      {"100 across", 100.0f, 0.0f, {"plan.bmp", "plan_2.bmp"}},
      {"turned 0.4", 0.0f, 0.4f, {"plan.bmp"}},
      {"turned 0.6", 0.0f, 0.6f, {"plan.bmp", "plan_2.bmp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, nullptr);
    fs::remove_all(base_ / "documents");
    fs::create_directories(base_ / "documents");
    pictures_.runs.clear();
    At(0, 0);
    At(600, c.across, c.turn);
    EXPECT_EQ(Export({u"plan.bmp"}), 1);  // one dialog, later runs are named after it
    EXPECT_EQ(Files(), c.files);
    EXPECT_EQ(pictures_.runs.size(), c.files.size());
  }
}

TEST_F(ElevationPicturesTest, EachFileIsTheHeadersAndPixelsOfItsRunsPicture) {
  for (bool sizeField : {true, false}) {
    SCOPED_TRACE(sizeField);
    canvas_ = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, nullptr);
    fs::remove_all(base_ / "documents");
    fs::create_directories(base_ / "documents");
    pictures_.runs.clear();
    pictures_.targets.clear();
    pictures_.sizeField = sizeField;
    At(0, 0);
    At(0, 3000, 1.5f);
    ASSERT_EQ(Export({u"wall.v1.bmp"}), 1);
    ASSERT_EQ(Files(), (std::vector<std::string>{"wall.v1.bmp", "wall.v1_2.bmp"}));
    ASSERT_EQ(pictures_.targets.size(), 2u);
    EXPECT_EQ(pictures_.targets[0].right, 1024);
    EXPECT_EQ(pictures_.targets[0].bottom, 768);
    int32_t run = 0;
    for (const char* name : {"wall.v1.bmp", "wall.v1_2.bmp"}) {
      ++run;
      const std::string bytes = Slurp(base_ / "documents" / name);
      ASSERT_EQ(bytes.size(), 2359350u) << name;
      uint32_t size = 0, offset = 0, headerSize = 0, imageField = 0;
      std::memcpy(&size, bytes.data() + 2, 4);
      std::memcpy(&offset, bytes.data() + 10, 4);
      std::memcpy(&headerSize, bytes.data() + 14, 4);
      std::memcpy(&imageField, bytes.data() + 34, 4);
      EXPECT_EQ(bytes.substr(0, 2), "BM");
      EXPECT_EQ(size, 2359350u);
      EXPECT_EQ(std::string(bytes.data() + 6, 4), std::string(4, '\0'));
      EXPECT_EQ(offset, 54u);
      EXPECT_EQ(headerSize, 40u);
      EXPECT_EQ(imageField, kImageSize);  // the picture's header (the picture fills in a size of 0)
      // Every pixel byte is the run's number.
      EXPECT_EQ(bytes.find_first_not_of(char(run), 54), std::string::npos) << name;
    }
  }
}

TEST_F(ElevationPicturesTest, ACancelledDialogSkipsItsRunAndTheNextRunAsksAgain) {
  At(0, 0);
  At(0, 3000, 1.5f);
  At(0, 6000, 3.0f);
  EXPECT_EQ(Export({u"", u"second.bmp"}), 2);
  // The first run drawn was skipped; the second is the chosen file, the third its "_2".
  EXPECT_EQ(Files(), (std::vector<std::string>{"second.bmp", "second_2.bmp"}));
  EXPECT_EQ(pictures_.runs.size(), 3u);
}

TEST_F(ElevationPicturesTest, ARunWithoutPictureWritesNothingAndAsksNothing) {
  At(0, 0);
  pictures_.noPicture = true;
  EXPECT_EQ(Export({u"plan.bmp"}), 0);
  EXPECT_TRUE(Files().empty());
}

TEST_F(ElevationPicturesTest, AFailedWriteShowsOneMessageAndWritesNoFurtherFile) {
  At(0, 0);
  At(0, 3000, 1.5f);
  At(0, 6000, 3.0f);
  // The first file is held open elsewhere: it cannot be opened for writing.
  std::ofstream(base_ / "documents" / "plan.bmp") << "held";
  ppFileSpec held;
  FileOpen(held, ppFileSpec(Vcon::WString((base_ / "documents" / "plan.bmp").string().c_str())), true);
  EXPECT_EQ(Export({u"plan.bmp"}), 1);
  FileClose(held);
  EXPECT_EQ(Files(), (std::vector<std::string>{"plan.bmp"}));
  EXPECT_EQ(Slurp(base_ / "documents" / "plan.bmp"), "held");
  // The dialog's own question about replacing the file aside, one box.
  std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
  std::erase_if(boxes, [](const plat::MessageBoxRecord& b) { return b.caption == u"Save As"; });
  ASSERT_EQ(boxes.size(), 1u);
  const std::string text(boxes[0].text.begin(), boxes[0].text.end());
  EXPECT_NE(text.find((base_ / "documents" / "plan.bmp").string()), std::string::npos)
      << "the path is not shown as the user's system writes it: " << text;
  EXPECT_NE(text.find("-38"), std::string::npos) << text;
}

}  // namespace
