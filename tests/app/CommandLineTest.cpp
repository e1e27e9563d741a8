#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <fstream>
#include <string>
#include <vector>

#include "app/startup/CommandLine.h"
#include "app/startup/HandOverText.h"
#include "app/startup/ProgramLocation.h"
#include "foundation/PosixPath.h"

namespace {

using namespace std::string_literals;

class CommandLineText : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::path(testing::TempDir()) / ("cmdline-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_ / "sub");
    std::ofstream(folder_ / "k 1.qxf") << "x";
    std::ofstream(folder_ / "sub" / "k2.qxf") << "x";
    std::ofstream(folder_ / "k\xC3\xB8.qxf") << "x";  // UTF-8 in the name
    // The program's path form of the folder: backslashes.
    form_ = folder_.string();
    std::replace(form_.begin(), form_.end(), '/', '\\');
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  CommandLine From(std::vector<std::string> arguments) {
    return CommandLine::FromArguments(arguments, folder_.string());
  }

  std::filesystem::path folder_;
  std::string form_;
};

TEST_F(CommandLineText, ExistingFilesBecomeAbsoluteAndBlanksAreQuoted) {
  EXPECT_EQ(From({}).Text(), "");
  EXPECT_EQ(From({"k 1.qxf"}).Text(), "\"" + form_ + "\\k 1.qxf\"");
  EXPECT_EQ(From({"./sub/../sub/k2.qxf"}).Text(), form_ + "\\sub\\k2.qxf");
  EXPECT_EQ(From({(folder_ / "sub" / "k2.qxf").string()}).Text(), form_ + "\\sub\\k2.qxf");
  EXPECT_EQ(From({"k\xC3\xB8.qxf"}).Text(), form_ + "\\k\xC3\xB8.qxf");
  // Arguments that name nothing stay as they are, quoted when they hold a blank.
  EXPECT_EQ(From({"missing.qxf", "two words", "-x"}).Text(), "missing.qxf \"two words\" -x");
  EXPECT_EQ(From({"sub/k2.qxf", "k 1.qxf"}).Text(), form_ + "\\sub\\k2.qxf \"" + form_ + "\\k 1.qxf\"");
}

TEST_F(CommandLineText, HeadlessOptionsAreTakenOut) {
  const CommandLine line =
      From({"--screenshot", "out.png", "k 1.qxf", "--command", "3050", "--command", "-23"});
  EXPECT_EQ(line.Text(), "\"" + form_ + "\\k 1.qxf\"");
  EXPECT_EQ(line.ScreenshotPath(), (folder_ / "out.png").string());
  EXPECT_EQ(line.Commands(), (std::vector<int32_t>{3050, -23}));
  EXPECT_TRUE(line.Problem().empty());

  EXPECT_EQ(From({"--screenshot", "/tmp/x.png"}).ScreenshotPath(), "/tmp/x.png");
  const std::vector<std::pair<std::vector<std::string>, std::string>> faults = {
      {{"--command", "12x"}, "--command needs a whole number, not \"12x\"."},
      {{"--command", ""}, "--command needs a whole number, not \"\"."},
      {{"--command"}, "--command needs a value."},
      {{"--screenshot"}, "--screenshot needs a value."},
  };
  for (const auto& [arguments, problem] : faults) {
    const CommandLine faulty = From(arguments);
    EXPECT_EQ(faulty.Problem(), problem);
    EXPECT_TRUE(faulty.Commands().empty());
    EXPECT_TRUE(faulty.Text().empty());
  }
}

TEST(ProgramFolder, IsTheFolderOfTheProgramFileInThePathFormWithItsBackslash) {
  EXPECT_EQ(ProgramLocation::FolderOf("/opt/Planner 2/bin/planner"),
            Vcon::WString(u"\\opt\\Planner 2\\bin\\"));
  EXPECT_EQ(ProgramLocation::FolderOf("/planner"), Vcon::WString(u"\\"));
  EXPECT_EQ(ProgramLocation::FolderOf("planner"), Vcon::WString());
  // This test program's own folder, read back through the file layer, is where the program is.
  const Vcon::WString folder = ProgramLocation::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'\\');
  const std::string posix = Vcon::ResolvePosixPath(std::u16string_view(folder));
  EXPECT_TRUE(
      std::filesystem::equivalent(posix, std::filesystem::read_symlink("/proc/self/exe").parent_path()));
}

TEST(HandOverPath, IsBoundedByTheRecordAndLosesItsQuotes) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\"/d/k 1.qxf\""s, "/d/k 1.qxf"},
      {"\"/d/k 1.qxf\"\0"s, "/d/k 1.qxf"},
      {"\"/d/k.qxf"s, "/d/k.qxf"},    // only a closing double quote is dropped
      {"/d/k.qxf\""s, "/d/k.qxf\""},  // without an opening one, the text as it is
      {"\""s, ""},
      {"\"\""s, ""},
      {"a\0\"b\""s, "a"},
      {""s, ""},
  };
  for (const auto& [bytes, path] : cases) {
    plat::COPYDATASTRUCT data;
    data.cbData = plat::DWORD(bytes.size());
    data.lpData = bytes.data();
    EXPECT_EQ(HandOverText::FromCopyData(data), path) << bytes;
  }
  // No NUL within cbData: nothing after it is read (the sanitizers see a read past the block).
  const auto block = std::make_unique<char[]>(4);
  std::memcpy(block.get(), "\"ab\"", 4);
  plat::COPYDATASTRUCT data;
  data.cbData = 3;
  data.lpData = block.get();
  EXPECT_EQ(HandOverText::FromCopyData(data), "ab");
  data.lpData = nullptr;
  EXPECT_EQ(HandOverText::FromCopyData(data), "");
}

}  // namespace
