// The placement-warning rules file: its line grammar, numbers, line ends and the start-up read from
// the program folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/warnings/WarningRules.h"
#include "elements/base/iElementHost.h"
#include "platform/HeadlessDriver.h"

namespace {

namespace fs = std::filesystem;

// A temporary program folder with settings\warnings\ in it, current while the object lives.
class ProgramFolder {
 public:
  ProgramFolder() : saved_(fs::current_path()) {
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() /
            ("planner_warnings_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(root_);
    fs::create_directories(root_ / "settings" / "warnings");
    fs::current_path(root_);
  }
  ~ProgramFolder() {
    fs::current_path(saved_);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  fs::path Warnings() const { return root_ / "settings" / "warnings"; }
  void WriteRules(const std::string& bytes) const {
    std::ofstream out(Warnings() / "warnings.txt", std::ios::binary);
    out << bytes;
  }

 private:
  fs::path saved_, root_;
};

std::vector<WarningRule> Read(const std::string& bytes) {
  ProgramFolder folder;
  folder.WriteRules(bytes);
  WarningRules rules(Vcon::WString(WarningRules::kRulesPath));
  return {rules.Rules().begin(), rules.Rules().end()};
}

WarningRule Rule(uint32_t a, uint32_t b, uint32_t warning) { return WarningRule{0, a, b, 0, warning}; }

class WarningRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::HeadlessDriver::Reset(); }
  void TearDown() override { plat::HeadlessDriver::Reset(); }
};

TEST_F(WarningRulesTest, OneLineReadsAsTheGrammarSays) {
  const WarningRule rule127 = Rule(1, 2, 7);
  struct Case {
    const char* line;
    std::vector<WarningRule> rules;
  };
  const Case cases[] = {
      {"i o:1,o:2 s w:7\n", {rule127}},
      {"intersect option : 1 , option : 2 show warning : 7\n", {rule127}},
      {"intersect\toption:1,\toption:2\tshow\twarning:7\n", {rule127}},
      {"Intersect option:1, option:2 show warning:7\n", {}},  // keywords are case-sensitive
      {"intersect option:1 option:2 show warning:7\n", {}},   // the comma is missing
      {"intersect option:1, option:2 show warning:7 extra words\n", {rule127}},
      {"intersect option:x, option:2 show warning:7\n", {Rule(0xFFFFFFFFu, 2, 7)}},
      {"intersect option:-3, option:12abc show warning:7\n", {Rule(0xFFFFFFFDu, 12, 7)}},
      {"i o:1,o:2 s w:7", {rule127}},  // the last line needs no line end
      {"i o:1,o:2 s w:7\r\n", {rule127}},
      {"i o:1,o:2 s w:7\r", {rule127}},
      {"   \n\t\n", {}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.line), c.rules) << c.line;
}

TEST_F(WarningRulesTest, ARefusedLineLeavesTheNextLineToBeReadAlone) {
  // A rule split over two lines is refused at its line end, and its second half is no rule either.
  EXPECT_EQ(Read("i o:1,o:2\ns w:7\ni o:3,o:4 s w:8\n"), (std::vector<WarningRule>{Rule(3, 4, 8)}));
  // A rule broken off right before its warning number must not swallow the next line.
  EXPECT_EQ(Read("i o:1,o:2 s w:\ni o:3,o:4 s w:8\n"), (std::vector<WarningRule>{Rule(3, 4, 8)}));
  EXPECT_EQ(Read("i o:1,o:2 s w:"), (std::vector<WarningRule>{}));
  // Refused lines, blank lines and comments in between cost nothing but themselves.
  EXPECT_EQ(Read("# comment\ni o:1,o:2 s w:7\n\n\n  \nnonsense here\r\ni o:2,o:1 s w:9 trailing\n"),
            (std::vector<WarningRule>{Rule(1, 2, 7), Rule(2, 1, 9)}));
}

TEST_F(WarningRulesTest, RulesKeepFileOrderAndRepeatsAndTheSetNamesBothSides) {
  ProgramFolder folder;
  folder.WriteRules("i o:12,o:40 s w:3\ni o:12,o:40 s w:3\ni o:40,o:12 s w:5\ni o:7,o:7 s w:1\n");
  WarningRules rules(Vcon::WString(WarningRules::kRulesPath));
  EXPECT_EQ(rules.Rules().size(), 4u);
  EXPECT_EQ(rules.Rules()[2], Rule(40, 12, 5));
  EXPECT_EQ(rules.WarningOptions(), (std::set<uint32_t>{7, 12, 40}));
  // Loading again starts afresh.
  folder.WriteRules("i o:1,o:2 s w:7\n");
  rules.Load(Vcon::WString(WarningRules::kRulesPath));
  EXPECT_EQ(rules.Rules().size(), 1u);
  EXPECT_EQ(rules.WarningOptions(), (std::set<uint32_t>{1, 2}));
}

TEST_F(WarningRulesTest, AWideFileReadsAsWellAsANarrowOne) {
  const std::u16string text = u"\xFEFFi o:1,o:2 s w:7\r\n";
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  EXPECT_EQ(Read(bytes), (std::vector<WarningRule>{Rule(1, 2, 7)}));
}

TEST_F(WarningRulesTest, WithoutAFileThereAreNoRulesAndStartUpReadsTheProgramFolder) {
  {
    ProgramFolder folder;  // settings\warnings\ exists, warnings.txt does not
    WarningRules rules(Vcon::WString(WarningRules::kRulesPath));
    EXPECT_TRUE(rules.Rules().empty());
    rules.Load(Vcon::WString(WarningRules::kRulesPath));
    EXPECT_TRUE(rules.WarningOptions().empty());
    WarningRules::ReadAtStartup();
    EXPECT_TRUE(WarningRules::Program().Rules().empty());
  }
  ProgramFolder folder;
  folder.WriteRules("i o:1,o:2 s w:7\n");
  WarningRules::ReadAtStartup();
  EXPECT_EQ(WarningRules::Program().Rules().size(), 1u);
  // The desktop's reset forgets them, as a fresh process would have none before start-up.
  plat::HeadlessDriver::Reset();
  EXPECT_TRUE(WarningRules::Program().Rules().empty());
}

}  // namespace
