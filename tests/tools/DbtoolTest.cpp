// The database tool driven as a program: tables round-trip through text, listings and dumps, and
// damaged or missing files give a message and a failing status, never a crash.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#ifdef DBTOOL_PATH

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  std::string out, err;
};

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class DbtoolTest : public ::testing::Test {
 protected:
  DbtoolTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("planner_dbtool_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~DbtoolTest() override { fs::remove_all(dir_); }

  fs::path Path(const std::string& name) const { return dir_ / name; }

  ToolRun Tool(const std::string& arguments) {
    const std::string command = std::string("cd '") + dir_.string() + "' && '" + DBTOOL_PATH + "' " +
                                arguments + " >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    ToolRun run;
    if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    run.out = Read(Path("out.txt"));
    run.err = Read(Path("err.txt"));
    return run;
  }

  fs::path dir_;
};

const char* const kColors = "1\tBlue\t255\r\n2\tGreen\t65280\r\n3\tRed\t16711680\r\n";

TEST_F(DbtoolTest, TableRoundTripsThroughText) {
  ASSERT_EQ(Tool("create a.cdb").status, 0);
  EXPECT_EQ(Tool("create a.cdb").status, 1);  // never overwrites a database
  // Lines in any order; the export follows the id index.
  Write(Path("in.txt"), "3\tRed\t16711680\r\n1\tBlue\t255\r\n2\tGreen\t65280\r\n");
  const ToolRun imported = Tool("import a.cdb qxColor in.txt --map id:0:1,name,rgba");
  ASSERT_EQ(imported.status, 0) << imported.err;
  const ToolRun exported = Tool("export a.cdb qxColor exp.txt --map id:0:1,name,rgba");
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(Read(Path("exp.txt")), kColors);

  // Importing the export again updates by key instead of adding.
  ASSERT_EQ(Tool("import a.cdb qxColor exp.txt --map id:0:1,name,rgba").status, 0);
  ASSERT_EQ(Tool("export a.cdb qxColor exp2.txt --map 0:0:1,1,2").status, 0);
  EXPECT_EQ(Read(Path("exp2.txt")), kColors);

  const ToolRun tables = Tool("tables a.cdb");
  EXPECT_EQ(tables.status, 0);
  EXPECT_EQ(tables.out, "qxColor\t3\n");
  const ToolRun index = Tool("index a.cdb qxColor name");
  EXPECT_EQ(index.status, 0) << index.err;
  EXPECT_NE(index.out.find("3 keys"), std::string::npos);
  EXPECT_LT(index.out.find("Blue"), index.out.find("Green"));
  EXPECT_LT(index.out.find("Green"), index.out.find("Red"));
}

TEST_F(DbtoolTest, DumpShowsHeaderRecordMapAndFreeExtents) {
  ASSERT_EQ(Tool("create a.cdb").status, 0);
  Write(Path("in.txt"), kColors);
  ASSERT_EQ(Tool("import a.cdb qxColor in.txt").status, 0);  // every field, in layout order
  const ToolRun dump = Tool("dump a.cdb");
  ASSERT_EQ(dump.status, 0) << dump.err;
  EXPECT_NE(dump.out.find("growth unit\t2048\n"), std::string::npos);
  EXPECT_NE(dump.out.find("format\t3\n"), std::string::npos);
  EXPECT_NE(dump.out.find("records (number, position, length)\n1\t"), std::string::npos);
  EXPECT_NE(dump.out.find("free extents (position, length)\n"), std::string::npos);
  const ToolRun noIndex = Tool("index a.cdb qxColor rgba");
  EXPECT_EQ(noIndex.status, 1);
  EXPECT_NE(noIndex.err.find("no index"), std::string::npos);
}

TEST_F(DbtoolTest, DamagedAndMissingFilesFailWithAMessage) {
  ASSERT_EQ(Tool("create a.cdb").status, 0);
  Write(Path("in.txt"), kColors);
  ASSERT_EQ(Tool("import a.cdb qxColor in.txt --map id:0:1,name,rgba").status, 0);
  const std::string good = Read(Path("a.cdb"));

  std::string truncated = good.substr(0, 3000);
  std::string zeroedMap = good;
  std::fill(zeroedMap.begin() + 4096, zeroedMap.begin() + 6144, '\0');
  std::string garbledHeader = good;
  for (size_t i = 1024; i < 1536; ++i) garbledHeader[i] = char(i * 37 + 11);
  // Opening and reading a table each meet the damage; one command per damaged copy keeps it quick.
  const std::pair<std::string, const char*> cases[] = {{truncated, "dump d.cdb"},
                                                       {zeroedMap, "export d.cdb qxColor x.txt"},
                                                       {garbledHeader, "tables d.cdb"},
                                                       {"junk", "index d.cdb qxColor id"}};
  for (const auto& [damaged, arguments] : cases) {
    Write(Path("d.cdb"), damaged);
    const ToolRun run = Tool(arguments);
    EXPECT_EQ(run.status, 1) << arguments << " on " << damaged.size() << " bytes: " << run.err;
    EXPECT_NE(run.err.find("dbtool: d.cdb: "), std::string::npos) << run.err;
  }

  const ToolRun missing = Tool("tables none.cdb");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no such database file"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("none.cdb")));  // looking does not create
  EXPECT_EQ(Tool("import a.cdb qxColor in.txt --map nosuchfield").status, 1);
  EXPECT_EQ(Tool("import a.cdb qxColor in.txt --map id:x").status, 1);
  EXPECT_EQ(Tool("export a.cdb qxNoSuchLayout x.txt").status, 1);
  EXPECT_EQ(Tool("frobnicate a.cdb").status, 2);
  EXPECT_EQ(Tool("").status, 2);
  EXPECT_EQ(Tool("import a.cdb qxColor in.txt --mop x").status, 2);
}

}  // namespace

#endif
