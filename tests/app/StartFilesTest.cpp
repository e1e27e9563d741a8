#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/startup/EscapedFieldReader.h"
#include "app/startup/StartFiles.h"
#include "foundation/CurrentFolder.h"

namespace {

using namespace std::string_literals;

// Every field of `bytes` with its line end, and whether each read said that another field follows.
struct Read {
  std::string field;
  bool lineEnded;
  bool more;
};
std::vector<Read> AllFields(std::string_view bytes) {
  EscapedFieldReader reader(bytes);
  std::vector<Read> out;
  for (int i = 0; i < 20; ++i) {
    std::string field;
    bool lineEnded = false;
    const bool more = reader.Next(field, lineEnded);
    out.push_back({field, lineEnded, more});
    if (!more) break;
  }
  return out;
}

TEST(EscapedFields, SeparatorsEscapesAndLineEnds) {
  struct Case {
    std::string bytes;
    std::vector<std::string> fields;
    std::vector<bool> lineEnds;  // of every field but the last
  };
  const std::vector<Case> cases = {
      {"a\tb\r\nc", {"a", "b", "c"}, {false, true}},
      {"a\nb\rc\t\nd", {"a", "b", "c", "d"}, {true, false, true}},
      {"A\\tB\\nC\\rD\\\\E", {"A\tB\nC\rD\\E"}, {}},
      {"A\\\tB\tC", {"A\tB", "C"}, {false}},  // an escaped TAB does not end the field
      {"A\\0B\tC", {"A", "C"}, {false}},      // "\0" ends the text, the field runs on to the TAB
      {"\\q\\\"x\\", {"q\"x"}, {}},           // any other character is itself; a final backslash nothing
      {"a\0b\tc"s, {"a"}, {}},                // a NUL byte ends the data
      {"", {""}, {}},
      {"a\r\n", {"a"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    const std::vector<Read> read = AllFields(c.bytes);
    ASSERT_EQ(read.size(), c.fields.size());
    for (size_t i = 0; i < read.size(); ++i) {
      EXPECT_EQ(read[i].field, c.fields[i]) << i;
      EXPECT_EQ(read[i].more, i + 1 < read.size()) << i;
      if (i + 1 < read.size()) EXPECT_EQ(read[i].lineEnded, c.lineEnds[i]) << i;
    }
  }
}

TEST(EscapedFields, AFieldKeeps255CharactersAndTheRestIsSkipped) {
  const std::string longField(300, 'k');
  const std::vector<Read> read = AllFields("x\t" + longField + "\\t\tnext");
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[1].field, std::string(255, 'k'));
  EXPECT_EQ(read[2].field, "next");
  EXPECT_EQ(AllFields(std::string(255, 'k'))[0].field.size(), 255u);
}

TEST(StartFile, NamesTheInstanceFromTheSecondField) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"x\tKitchen 2\r\n", "Kitchen 2"},
      {"x\r\nKitchen 2", "Kitchen 2"},
      {"x\tA\\tB", "A\tB"},
      {"x\tA\\0B", "A"},
      {"x\tKitchen 2\tmore\r\nlines", "Kitchen 2"},
      {"x", "Zelvo Pro"},
      {"x\r\n", "Zelvo Pro"},
      {"x\t\\0", "Zelvo Pro"},
      {"", "Zelvo Pro"},
      {"x\t" + std::string(400, 'n'), std::string(255, 'n')},
  };
  for (const auto& [bytes, name] : cases) EXPECT_EQ(StartFiles::InstanceNameFromText(bytes), name) << bytes;
}

TEST(ConfigFile, SetsTheScreenModeInUpperCaseOnlyAndTheLastEntryWins) {
  const std::vector<std::tuple<std::string, int32_t, int32_t>> cases = {
      {"MULTISCREEN\tRIGHT\r\n", 0, 2},
      {"MULTISCREEN\tLEFT", 0, 1},
      {"MULTISCREEN\tNO\r\n", 2, 0},
      {"MULTISCREEN\t\"RIGHT\"\r\n", 0, 2},  // the value is a settings field: quotes are dropped
      {"multiscreen\tRIGHT\r\n", 0, 0},
      {"MULTISCREEN\tright\r\n", 1, 1},
      {"MULTISCREEN\tLEFT\r\nMULTISCREEN\tRIGHT\r\n", 0, 2},
      {"MULTISCREEN\tRIGHT\r\nMULTISCREEN\tLEFT\r\n", 0, 1},
      {"OTHER\tx\r\nMULTISCREEN\r\nRIGHT", 0, 2},  // lines do not matter
      {"MULTISCREEN", 1, 1},
      {"RIGHT\tMULTISCREEN", 0, 0},
      {"", 2, 2},
  };
  for (const auto& [bytes, before, after] : cases)
    EXPECT_EQ(StartFiles::ScreenModeFromText(bytes, before), after) << bytes;
}

TEST(StartFilesOnDisk, AreReadRelativeToTheCurrentFolderAndMissingOnesGiveDefaults) {
  const Vcon::WString saved = GetCurrentDir();
  const std::filesystem::path folder =
      std::filesystem::path(testing::TempDir()) / ("startfiles-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "Settings");
  std::filesystem::current_path(folder);
  EXPECT_EQ(StartFiles::ReadInstanceName(), "Zelvo Pro");
  EXPECT_EQ(StartFiles::ReadScreenMode(1), 1);
  std::ofstream(folder / "Settings" / "start.txt", std::ios::binary) << "x\tKitchen 2\r\n";
  std::ofstream(folder / "Settings" / "Config.TXT", std::ios::binary) << "MULTISCREEN\tRIGHT\r\n";
  EXPECT_EQ(StartFiles::ReadInstanceName(), "Kitchen 2");  // letter case of the names does not matter
  EXPECT_EQ(StartFiles::ReadScreenMode(0), 2);
  SetCurrentDir(saved);
  std::filesystem::remove_all(folder);
}

}  // namespace
