// The browser's text format and the trees built from it, without windows: which entries land where,
// what malformed text does, and the order of the catalogs folder's files (the look-up's speed is
// measured by bench/browser).
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "catalogue/browser/CatalogTrees.h"

namespace {

using browsertest::ChildNames;
using browsertest::FindNode;
using Names = std::vector<std::string>;

class CatalogTreesTest : public browsertest::BrowserTest {
 protected:
  void Parse(const std::string& text) { trees_.ParseText(text.data(), text.size()); }
  CatalogTrees trees_;
};

TEST_F(CatalogTreesTest, EntriesLandUnderTheirParentsWithTheirImages) {
  texts_.texts[5107] = "Unterschrank";
  Parse(
      "GROUP\tB\t0\tBase;5107\tROOM\r\n"
      "GROUP\tW\t0\tWall;5999\tB\n"
      "GROUP\tW\t0\tWall again\tB\n"
      "GROUP\tE\t0\tEmpty parent\t\n"
      "ITEM\tB30\t1\tBase 30\tW\n"
      "ITEM\tX1\t7\tNot open\tW\n"
      "ITEM\tNONE\t1\tMissing\tW\n"
      "GROUP\tW\t0\tSame name, other tree\tZELVO\n"
      "ITEM\tB40\t1\tBase 40\tW");
  const qxTopNode& room = trees_.Top(0);
  EXPECT_EQ(ChildNames(room), (Names{"B", "E"}));
  const qxNode* base = room.FirstChild();
  EXPECT_EQ(base->DisplayText(), u"Unterschrank");
  EXPECT_EQ(std::pair(base->ClosedImage(), base->OpenImage()), std::pair(2, 3));
  EXPECT_EQ(ChildNames(*base), (Names{"W"}));
  const qxNode* wall = base->FirstChild();
  EXPECT_EQ(wall->DisplayText(), u"Wall");  // no text 5999: the default part
  EXPECT_EQ(std::pair(wall->ClosedImage(), wall->OpenImage()), std::pair(0, 1));
  // The item of a catalogue that is not open is dropped; one whose ID matches nothing stays with id 0;
  // the last line, without a line end, is read; "W" under "ZELVO" is not the "W" of ROOM.
  EXPECT_EQ(ChildNames(*wall), (Names{"B30", "NONE", "B40"}));
  EXPECT_EQ(wall->FirstChild()->ItemRecordId(), itemIds_["B30"]);
  EXPECT_EQ(wall->FirstChild()->NextSibling()->ItemRecordId(), 0);
  EXPECT_EQ(wall->FirstChild()->ClosedImage(), 4);
  EXPECT_EQ(ChildNames(trees_.Top(1)), (Names{"W"}));
}

// A line is an entry only when it has five fields and begins with GROUP or ITEM; anything else is
// skipped to the line end, and the entries after it still count.
TEST_F(CatalogTreesTest, MalformedLinesAreSkippedWhole) {
  const std::string longName(300, 'n');
  std::string deep = "GROUP\tL1\t0\tL\tROOM\n";
  for (int32_t level = 2; level <= CatalogTrees::kDepthLimit + 1; ++level)
    deep += "GROUP\tL" + std::to_string(level) + "\t0\tL\tL" + std::to_string(level - 1) + "\n";
  const struct {
    const char* what;
    std::string text;
    Names room;
  } cases[] = {
      {"empty text", "", {}},
      {"blank lines only", "\n\r\n\n", {}},
      {"comment and blank lines", "# groups\n\nGROUP\tA\t0\tA\tROOM\n", {"A"}},
      {"four fields", "GROUP\tA\t0\tA\nGROUP\tB\t0\tB\tROOM\n", {"B"}},
      {"fields after the fifth", "GROUP\tA\t0\tA\tROOM\t\tx\nGROUP\tB\t0\tB\tROOM\n", {"A", "B"}},
      {"trailing TABs", "GROUP\tA\t0\tA\tROOM\t\nGROUP\tB\t0\tB\tROOM\t\t\r\n", {"A", "B"}},
      {"an empty parent before CR LF, LF or the end",
       "GROUP\tA\t0\tA\t\r\nGROUP\tB\t0\tB\t\nGROUP\tC\t0\tC\t",
       {"A", "B", "C"}},
      {"lower-case keyword", "group\tA\t0\tA\tROOM\n", {}},
      {"unknown parent, and its child", "GROUP\tA\t0\tA\tNOWHERE\nGROUP\tB\t0\tB\tA\n", {}},
      {"text after a NUL is not read",
       std::string("GROUP\tA\t0\tA\tROOM\n\0GROUP\tB\t0\tB\tROOM\n", 35),
       {"A"}},
      {"an ITEM's children are dropped", "ITEM\tB30\t1\tI\tROOM\nGROUP\tG\t0\tG\tB30\n", {"B30"}},
      {"an empty name is its top node's duplicate", "GROUP\t\t0\tA\tROOM\n", {}},
      {"long fields are cut at 255 bytes", "GROUP\t" + longName + "\t0\tA\tROOM\n", {std::string(255, 'n')}},
  };
  for (const auto& c : cases) {
    trees_.Clear();
    Parse(c.text);
    EXPECT_EQ(ChildNames(trees_.Top(0)), c.room) << c.what;
  }
  trees_.Clear();
  Parse(deep);  // one level too many
  const std::string last = "L" + std::to_string(CatalogTrees::kDepthLimit);
  ASSERT_NE(FindNode(trees_.Top(0), last), nullptr);
  EXPECT_EQ(FindNode(trees_.Top(0), last)->FirstChild(), nullptr);
}

TEST_F(CatalogTreesTest, OnlyNamesEndingInDotTxtAreReadInByteOrder) {
  WriteText("b.txt", "GROUP\tB\t0\tB\tA\n");  // needs A, which a.txt defines
  WriteText("a.txt", "GROUP\tA\t0\tA\tROOM\n");
  WriteText("c.TXT", "GROUP\tC\t0\tC\tROOM\n");
  WriteText("d.txt.bak", "GROUP\tD\t0\tD\tROOM\n");
  WriteText("Z.txt", "GROUP\tZ\t0\tZ\tROOM\n");  // upper case sorts before lower case
  std::filesystem::create_directory(root_ / "settings" / "catalogs" / "e.txt");  // cannot be read
  trees_.LoadFiles(u".\\settings\\catalogs\\");
  EXPECT_EQ(ChildNames(trees_.Top(0)), (Names{"Z", "A"}));
  EXPECT_EQ(ChildNames(*FindNode(trees_.Top(0), "A")), (Names{"B"}));

  trees_.Clear();
  trees_.LoadFiles(u".\\settings\\no such folder\\");
  EXPECT_EQ(trees_.Top(0).FirstChild(), nullptr);
}

}  // namespace
