// The DXF dump as the print driver and the room and furniture print drawing use it. Whole files are
// compared with the hand-written files under tests/fixtures/dxf/.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/FileOperations.h"
#include "scene3d/dxf/DxfExportState.h"
#include "scene3d/dxf/DxfWriter.h"

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Fixture(const char* name) {
  return ReadWholeFile(std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/dxf/" + name);
}

// The text of one section from its name line up to and including its ENDSEC.
std::string Section(const std::string& file, const std::string& name) {
  const size_t start = file.find("  0\nSECTION\n  2\n" + name + "\n");
  if (start == std::string::npos) return "";
  const size_t end = file.find("  0\nENDSEC\n", start);
  return file.substr(start, end + 11 - start);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Plays the print driver for one page: opens the output file, makes the writer current, writes the
// fixed sections, lets the test draw, then finishes and writes the file.
class PageDump {
 public:
  explicit PageDump(float floorHeight = 0.0f, const char* title = "Zelvo Demonstration") {
    DxfWriter::OpenOutputFile(file);
    writer = new DxfWriter(file);
    DxfWriter::SetCurrent(writer);
    DxfExportState::Shared().Start(floorHeight);
    writer->SetTitle(title);
    writer->BeginTables();
    writer->AddLayer("ROOM", "1");
    writer->AddLayer("FURNITURE", "2");
    writer->EndTables();
    writer->BeginBlocks();
    writer->EndBlocks();
    writer->BeginEntities();
  }
  ~PageDump() { Close(); }

  DxfWriter& Writer() { return *writer; }

  // The room print drawing: one LINE per straight edge, y mirrored.
  void DrawRoom(const std::vector<ppVector2>& corners) {
    const DxfExportState& state = DxfExportState::Shared();
    for (size_t i = 0; i + 1 < corners.size(); ++i) {
      if (DxfWriter* current = DxfWriter::Current()) {
        current->WriteLine(state.Flip(corners[i]), state.Flip(corners[i + 1]), "ROOM");
      }
    }
  }

  // The furniture print drawing of one element: a numbered block of closed outlines and its INSERT.
  void DrawFurniture(const std::vector<std::vector<ppVector2>>& outlines) {
    DxfWriter* current = DxfWriter::Current();
    DxfExportState& state = DxfExportState::Shared();
    if (current == nullptr || !state.IsActive()) return;
    const Vcon::String name = state.NextBlockName();
    current->BeginBlock(name, "0", 0, 0, 0, false);
    for (const std::vector<ppVector2>& outline : outlines) {
      std::vector<ppVector2> flipped;
      for (const ppVector2& p : outline) flipped.push_back(state.Flip(p));
      current->WritePolyline(static_cast<int32_t>(flipped.size()), flipped, "FURNITURE", true);
    }
    current->EndBlock();
    current->LeaveBlock();
    current->WriteInsert(name, "FURNITURE", 0, 0, 0, 1, 1, 1, 0);
  }

  // Ends the page as the driver does and returns the file's text.
  std::string Finish() {
    writer->EndEntities();
    writer->WriteObjects();
    writer->EndObjects();
    writer->WriteFile();
    const std::string path = file.openPath;
    Close();
    return ReadWholeFile(path);
  }

 private:
  void Close() {
    if (file.IsOpen()) FileClose(file);
    if (writer == nullptr) return;
    DxfExportState::Shared().Stop();
    DxfWriter::SetCurrent(nullptr);
    delete writer;
    writer = nullptr;
  }

  ppFileSpec file;
  DxfWriter* writer = nullptr;
};

class DxfWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = ::testing::TempDir() + "dxf_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           ".dxf";
    DxfWriter::SetOutputPath(Vcon::WString(path.c_str()));
  }
  void TearDown() override {
    DxfWriter::SetOutputPath(Vcon::WString());
    std::remove(path.c_str());
  }

  // A 4-point outline on the page; with the floor height 3000 the dump's points are (100, 2800),
  // (712.25, 2800), (712.25, 2187.5) and (100, 2187.5).
  const std::vector<ppVector2> cabinet{{100, 200}, {712.25f, 200}, {712.25f, 812.5f}, {100, 812.5f}};
  std::string path;
};

TEST_F(DxfWriterTest, PageWithoutRoomOrFurnitureIsTheFixedFile) {
  const std::string file = PageDump().Finish();
  EXPECT_EQ(file, Fixture("empty_page.dxf"));
  // The fixture itself against the landmarks it must hold.
  EXPECT_EQ(file.rfind("  0\nSECTION\n  2\nHEADER\n999\nZelvo Demonstration\n999\nEmulating ACAD version 14\n"
                       "  9\n$ACADVER\n  1\nAC1014\n",
                       0),
            0u);
  EXPECT_NE(file.find("$HANDSEED\n  5\n24\n"), std::string::npos);
  EXPECT_EQ(Section(file, "ENTITIES"), "  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n");
  EXPECT_TRUE(file.ends_with("  0\nENDSEC\n  0\nEOF\n"));
}

TEST_F(DxfWriterTest, OneFurnitureElementIsABlockAndItsInsert) {
  PageDump page(3000.0f);
  page.DrawFurniture({cabinet});
  EXPECT_EQ(page.Finish(), Fixture("one_furniture.dxf"));
}

TEST_F(DxfWriterTest, RealsHaveFourDecimalsRoundedAwayFromZeroWithoutTrailingZeros) {
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {2.5f, "2.5\n"},        {100.0f, "100\n"},        {-0.25f, "-0.25\n"},      {123.45678f, "123.4568\n"},
      {0.99999f, "1\n"},      {0.00001f, "0\n"},        {-0.00001f, "-0\n"},      {0.00004f, "0\n"},
      {-0.00004f, "-0\n"},    {0.0000009f, "0\n"},      {-0.0000009f, "0\n"},     {0.0f, "0\n"},
      {7.0f, "7\n"},          {0.5f, "0.5\n"},          {12.34567f, "12.3457\n"}, {-2187.5f, "-2187.5\n"},
      {0.15625f, "0.1563\n"}, {-0.15625f, "-0.1563\n"}, {1e6f, "1000000\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(DxfWriter::RealText(c.value), c.text) << c.value;
}

TEST_F(DxfWriterTest, PolylineFlagsAndCountsNeverReadPastThePoints) {
  PageDump page;
  const std::vector<ppVector2> two{{1, 2}, {3, 4}};
  page.Writer().WritePolyline(2, two, "L", false);
  page.Writer().WritePolyline(0, two, "L", true);
  page.Writer().WritePolyline(-3, two, "L", true);
  page.Writer().WritePolyline(5, two, "L", true);  // the count overstates the points
  const std::string entities = Section(page.Finish(), "ENTITIES");

  const std::string head = "100\nAcDb2dPolyline\n 66\n 1\n 10\n0\n 20\n0\n 30\n0\n";
  const std::string open = "  0\nPOLYLINE\n  5\n1A\n100\nAcDbEntity\n  8\nL\n" + head + " 70\n 0\n";
  EXPECT_TRUE(entities.starts_with("  0\nSECTION\n  2\nENTITIES\n" + open));
  const std::string empty = "  0\nPOLYLINE\n  5\n1E\n100\nAcDbEntity\n  8\nL\n" + head +
                            " 70\n 1\n  0\nSEQEND\n  5\n1F\n100\nAcDbEntity\n  8\nL\n";
  EXPECT_NE(entities.find(empty), std::string::npos);
  const std::string negative = "  0\nPOLYLINE\n  5\n20\n100\nAcDbEntity\n  8\nL\n" + head +
                               " 70\n 1\n  0\nSEQEND\n  5\n21\n100\nAcDbEntity\n  8\nL\n";
  EXPECT_NE(entities.find(negative), std::string::npos);
  EXPECT_EQ(Count(entities, "VERTEX"), 4u);  // two of the first polyline, two of the last
  EXPECT_NE(entities.find("  0\nSEQEND\n  5\n25\n"), std::string::npos);
}

TEST_F(DxfWriterTest, PaperSpaceBlockBegunAfterTheBlocksSectionStillStandsInIt) {
  PageDump page;
  page.Writer().BeginBlock("SHEET", "0", 1.5f, 0, 0, true);
  page.Writer().WriteLine({0, 0}, {1, 1}, "ROOM");
  page.Writer().EndBlock();
  page.Writer().LeaveBlock();
  page.Writer().WriteLine({2, 2}, {3, 3}, "ROOM");
  const std::string file = page.Finish();

  const std::string blocks = Section(file, "BLOCKS");
  const size_t head = blocks.find(
      "  0\nBLOCK\n  5\n1B\n100\nAcDbEntity\n 67\n 1\n  8\n0\n100\nAcDbBlockBegin\n  2\nSHEET\n 70\n 0\n"
      " 10\n1.5\n 20\n0\n 30\n0\n  3\nSHEET\n  1\n \n  0\nLINE\n  5\n1C\n");
  const size_t end =
      blocks.find("  0\nENDBLK\n  5\n1D\n100\nAcDbEntity\n 67\n 1\n  8\n0\n100\nAcDbBlockEnd\n");
  ASSERT_NE(head, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  EXPECT_TRUE(blocks.ends_with("AcDbBlockEnd\n  0\nENDSEC\n"));
  EXPECT_EQ(Count(blocks, "LINE\n"), 1u);
  EXPECT_NE(Section(file, "ENTITIES").find("  0\nLINE\n  5\n1E\n"), std::string::npos);

  const std::string tables = Section(file, "TABLES");
  const size_t model = tables.find("  2\n*MODEL_SPACE\n");
  const size_t paper = tables.find("  2\n*PAPER_SPACE\n");
  const size_t sheet = tables.find(
      "  0\nBLOCK_RECORD\n  5\n1A\n100\nAcDbSymbolTableRecord\n"
      "100\nAcDbBlockTableRecord\n  2\nSHEET\n  0\nENDTAB\n");
  EXPECT_LT(model, paper);
  EXPECT_LT(paper, sheet);
  EXPECT_NE(sheet, std::string::npos);
}

TEST_F(DxfWriterTest, EmptyTitleAndLineBreaksInNamesKeepTheLineStructure) {
  EXPECT_TRUE(PageDump(0, "").Finish().starts_with("  0\nSECTION\n  2\nHEADER\n999\n\n999\nEmulating"));

  PageDump page(0, "two\r\nlines");
  page.Writer().WriteLine({0, 0}, {1, 0}, "RO\nOM");
  page.Writer().WriteInsert("B\rX", "F\nU", 0, 0, 0, 1, 1, 1, 0);
  const std::string file = page.Finish();
  EXPECT_TRUE(file.starts_with("  0\nSECTION\n  2\nHEADER\n999\ntwo  lines\n999\n"));
  EXPECT_NE(file.find("  8\nRO OM\n100\nAcDbLine\n"), std::string::npos);
  EXPECT_NE(file.find("  8\nF U\n100\nAcDbBlockReference\n  2\nB X\n"), std::string::npos);
}

TEST_F(DxfWriterTest, EachDumpNumbersItsFurnitureBlocksFromOne) {
  for (int dump = 0; dump < 2; ++dump) {
    PageDump page(3000.0f);
    page.DrawFurniture({cabinet});
    page.DrawFurniture({});  // an element without outlines still gives a block and its INSERT
    const std::string file = page.Finish();
    const std::string entities = Section(file, "ENTITIES");
    EXPECT_EQ(Count(entities, "  0\nINSERT\n"), 2u);
    EXPECT_NE(entities.find("  2\nZELVO-1\n"), std::string::npos);
    EXPECT_NE(entities.find("  2\nZELVO-2\n"), std::string::npos);
    EXPECT_EQ(Count(Section(file, "BLOCKS"), "  0\nBLOCK\n"), 4u);
    EXPECT_EQ(file.find("ZELVO-3"), std::string::npos);
  }
}

TEST_F(DxfWriterTest, RoomLineIsTheFirstEntity) {
  PageDump page(3000.0f);
  page.DrawRoom({{0, 0}, {4000, 0}});
  EXPECT_EQ(Section(page.Finish(), "ENTITIES"),
            "  0\nSECTION\n  2\nENTITIES\n"
            "  0\nLINE\n  5\n1A\n100\nAcDbEntity\n  8\nROOM\n100\nAcDbLine\n 10\n0\n 20\n3000\n 11\n4000\n "
            "21\n3000\n"
            "  0\nENDSEC\n");
}

TEST_F(DxfWriterTest, UncreatableOutputFileLetsThePagePrintAndIsReported) {
  const std::string folder = ::testing::TempDir() + "dxf_no_such_folder";
  DxfWriter::SetOutputPath(Vcon::WString((folder + "/zelvo.dxf").c_str()));
  ::testing::internal::CaptureStderr();
  {
    PageDump page;
    page.DrawFurniture({cabinet});
    page.Finish();
  }
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("DXF dump was not written"), std::string::npos) << report;
  EXPECT_NE(report.find(folder + "/zelvo.dxf"), std::string::npos) << report;
  EXPECT_EQ(DxfWriter::Current(), nullptr);
}

TEST_F(DxfWriterTest, DefaultOutputIsInTheTemporaryFolder) {
  const char* saved = std::getenv("TMPDIR");
  const std::string savedText = saved ? saved : "";
  DxfWriter::SetOutputPath(Vcon::WString());
  setenv("TMPDIR", "/var/tmp/planner", 1);
  EXPECT_EQ(DxfWriter::OutputPath(), u"/var/tmp/planner/zelvo.dxf");
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(DxfWriter::OutputPath(), u"/tmp/zelvo.dxf");
  if (saved) {
    setenv("TMPDIR", savedText.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
}

}  // namespace
