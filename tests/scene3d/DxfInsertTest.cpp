// An INSERT entity byte for byte: its position, its three scales in x, y, z order and its rotation,
// each with its own group code, in ENTITIES or in the block being defined.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "foundation/FileOperations.h"
#include "scene3d/dxf/DxfWriter.h"

namespace {

class DxfInsertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "dxf_insert_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".dxf";
    DxfWriter::SetOutputPath(Vcon::WString(path_.c_str()));
    DxfWriter::OpenOutputFile(file_);
    writer_ = std::make_unique<DxfWriter>(file_);
    writer_->SetTitle("t");
    writer_->BeginTables();
    writer_->EndTables();
    writer_->BeginBlocks();
    writer_->EndBlocks();
    writer_->BeginEntities();
  }
  void TearDown() override {
    writer_.reset();
    if (file_.IsOpen()) FileClose(file_);
    DxfWriter::SetOutputPath(Vcon::WString());
    std::remove(path_.c_str());
  }
  // Ends the page and answers the file's text.
  std::string Finish() {
    writer_->EndEntities();
    writer_->WriteObjects();
    writer_->EndObjects();
    writer_->WriteFile();
    FileClose(file_);
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string path_;
  ppFileSpec file_;
  std::unique_ptr<DxfWriter> writer_;
};

// The INSERT's lines from its layer on (its handle depends on what came before).
std::string InsertAfterHandle(const std::string& file, size_t from = 0) {
  const size_t start = file.find("  0\nINSERT\n", from);
  if (start == std::string::npos) return "";
  const size_t layer = file.find("100\nAcDbEntity\n", start);
  const size_t end = file.find("  0\n", layer);
  return file.substr(layer, end - layer);
}

TEST_F(DxfInsertTest, ScalesAreWrittenInXYZOrderAfterThePosition) {
  writer_->WriteInsert("CUPBOARD", "FURNITURE", 12.5f, -40, 7, 2, 3, 0.5f, 90);
  writer_->BeginBlock("INNER", "0", 0, 0, 0, false);
  writer_->WriteInsert("CUPBOARD", "0", 1, 2, 3, -1, 4, 5, -45.25f);
  writer_->EndBlock();
  writer_->LeaveBlock();
  const std::string file = Finish();
  const std::string entities = file.substr(file.find("  2\nENTITIES\n"));
  EXPECT_EQ(InsertAfterHandle(entities),
            "100\nAcDbEntity\n  8\nFURNITURE\n100\nAcDbBlockReference\n  2\nCUPBOARD\n"
            " 10\n12.5\n 20\n-40\n 30\n7\n 41\n2\n 42\n3\n 43\n0.5\n 50\n90\n");
  const std::string blocks = file.substr(file.find("  2\nBLOCKS\n"));
  EXPECT_EQ(InsertAfterHandle(blocks),
            "100\nAcDbEntity\n  8\n0\n100\nAcDbBlockReference\n  2\nCUPBOARD\n"
            " 10\n1\n 20\n2\n 30\n3\n 41\n-1\n 42\n4\n 43\n5\n 50\n-45.25\n");
}

}  // namespace
