#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/rescomp/CodeEmitter.h"
#include "tools/rescomp/ScriptCompiler.h"

namespace {

using rescomp::CompileScript;
using rescomp::ScriptError;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(Rescomp, StringArrayIsItsTextsEachWithItsNul) {
  auto compiled = CompileScript("a.res", "stringarray 132\n  \"a\"\n  \"\"\n  \"c\"\nend\n");
  ASSERT_EQ(compiled.resources.size(), 1u);
  EXPECT_EQ(compiled.resources[0].type, "STRINGARRAY");
  EXPECT_EQ(compiled.resources[0].id, 132);
  EXPECT_EQ(compiled.resources[0].bytes, Bytes(std::string("a\0\0c\0", 5)));
}

TEST(Rescomp, FieldsCommentsAndEscapes) {
  auto compiled = CompileScript("b.res",
                                "# a layout\n"
                                "resource DICT 5417   # trailing comment\n"
                                "  u16 1 0xFFFF\n"
                                "  i32 -1\n"
                                "  f32 1.0\n"
                                "  hex 4142 0a\n"
                                "  str \"q\\\"#\\x01\"\n"
                                "  zeros 2\n"
                                "end\n"
                                "text 7 \"\\t\"\n");
  ASSERT_EQ(compiled.resources.size(), 2u);
  std::vector<uint8_t> expected{1,    0,   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x80,
                                0x3F, 'A', 'B',  0x0A, 'q',  '"',  '#',  1,    0, 0};
  EXPECT_EQ(compiled.resources[0].bytes, expected);
  EXPECT_EQ(compiled.resources[1].type, "TXET");
  EXPECT_EQ(compiled.resources[1].bytes, Bytes(std::string("\t\0", 2)));
}

TEST(Rescomp, StringTableEntriesAreSeparateResources) {
  auto compiled = CompileScript("s.res", "stringtable\n 128 \"One\"\n 129 \"Two\"\nend\n");
  ASSERT_EQ(compiled.resources.size(), 2u);
  EXPECT_EQ(compiled.resources[1].type, "#6");
  EXPECT_EQ(compiled.resources[1].id, 129);
}

TEST(Rescomp, MenuAndAcceleratorBlocksAreTheirNumericKinds) {
  auto compiled = CompileScript("m.res",
                                "menu \"MAIN\"\n"
                                "  popup \"&File\"\n"
                                "    item 11 \"&New\" checked\n"
                                "    separator\n"
                                "    item 20 \"E&xit\" grayed\n"
                                "  end\n"
                                "  item 49 \"Help\"\n"
                                "end\n"
                                "accelerators 7\n  u16 0x89 0x5A 31 0\nend\n");
  ASSERT_EQ(compiled.resources.size(), 2u);
  EXPECT_EQ(compiled.resources[0].type, "#4");
  EXPECT_EQ(compiled.resources[0].name, "MAIN");
  std::string bytes(
      "\x10\0&File\0"        // a popup: no id, its items follow
      "\x08\0\x0b\0&New\0"   // checked
      "\0\x08\0\0\0"         // separator, id 0, empty text
      "\x81\0\x14\0E&xit\0"  // grayed, the popup's last item
      "\x80\0\x31\0Help\0",  // the menu's last item
      41);
  EXPECT_EQ(compiled.resources[0].bytes, Bytes(bytes));
  EXPECT_EQ(compiled.resources[1].type, "#9");
  EXPECT_EQ(compiled.resources[1].id, 7);
  EXPECT_EQ(compiled.resources[1].bytes.size(), 8u);
  EXPECT_THROW(CompileScript("m.res", "menu\n"), ScriptError);
  EXPECT_THROW(CompileScript("m.res", "menu 1\nend\n"), ScriptError);                      // empty
  EXPECT_THROW(CompileScript("m.res", "menu 1\n popup \"a\"\n end\nend\n"), ScriptError);  // empty popup
  EXPECT_THROW(CompileScript("m.res", "menu 1\n item 1 \"a\" bold\nend\n"), ScriptError);
  EXPECT_THROW(CompileScript("m.res", "menu 1\n popup \"a\"\n  item 1 \"b\"\nend\n"),
               ScriptError);  // open popup
}

TEST(Rescomp, DialogBlocksWriteTheTemplateForm) {
  // The same template as a dialog block and field by field.
  auto dialog = CompileScript("d.res",
                              "dialog 201 0 0 225 118 \"Printing\"\n"
                              "  font 8 \"MS Sans Serif\"\n"
                              "  control 2 \"BUTTON\" \"Cancel\" 89 97 50 14 0x50010001\n"
                              "  control -1 \"STATIC\" \"No message!\" 13 13 199 72 0x50000000 0x4\n"
                              "end\n");
  auto fields =
      CompileScript("f.res",
                    "resource DIALOG 201\n"
                    "  str \"DLG1\"\n  u32 0x80C80080 0\n  i16 0 0 225 118\n  u16 8\n"
                    "  cstr \"MS Sans Serif\"\n  cstr \"Printing\"\n  u16 2\n"
                    "  u32 0x50010001 0\n  i16 89 97 50 14\n  u16 2\n  cstr \"BUTTON\"\n  cstr \"Cancel\"\n"
                    "  u32 0x50000000 4\n  i16 13 13 199 72\n  u16 0xFFFF\n  cstr \"STATIC\"\n"
                    "  cstr \"No message!\"\n"
                    "end\n");
  ASSERT_EQ(dialog.resources.size(), 1u);
  EXPECT_EQ(dialog.resources[0].type, "DIALOG");
  EXPECT_EQ(dialog.resources[0].id, 201);
  EXPECT_EQ(dialog.resources[0].bytes, fields.resources[0].bytes);

  for (const char* bad : {"dialog 1 0 0 10 10\nend\n",                                        // no caption
                          "dialog 1 0 0 10 10 \"x\"\n  control 1 \"B\" \"\" 0 0 1 1\nend\n",  // no style
                          "dialog 1 0 0 10 10 \"x\"\n  control 1 \"B\" \"\" 0 0 1 1 0\n  style 0\nend\n",
                          "dialog 1 0 0 10 10 \"x\"\n  control 1 \"\" \"\" 0 0 1 1 0\nend\n",
                          "dialog 1 0 0 10 10 \"x\"\n  control 70000 \"B\" \"\" 0 0 1 1 0\nend\n",
                          "dialog 1 0 0 10 10 \"x\"\n"}) {
    EXPECT_THROW(CompileScript("bad.res", bad), ScriptError) << bad;
  }
}

// Every malformed script names its file and the line of the fault.
TEST(Rescomp, MalformedScriptsNameFileAndLine) {
  struct Case {
    const char* text;
    int line;
  };
  const Case cases[] = {
      {"stringarray 1\n\"a\"\n", 2},                   // block never ended (reported at the end)
      {"\n\nbogus 1\n", 3},                            // unknown statement
      {"resource DICT 1\n u8 256\nend\n", 2},          // out of range
      {"resource DICT 1\n u32 12x\nend\n", 2},         // not a number
      {"text 1 \"open\n", 1},                          // unterminated text
      {"text 70000 \"a\"\n", 1},                       // id beyond 16 bits
      {"text 1 \"a\"\ntext 1 \"b\"\n", 2},             // defined twice
      {"resource DICT 1\n fixed 2 \"ab\"\nend\n", 2},  // text and NUL do not fit
      {"text 1 \"\xE2\x82\xAC \xE2\x98\x83\"\n", 1},   // a snowman has no place in Windows-1252
      {"end\n", 1},
      {"bitmap 1 \"missing.bmp\"\n", 1},
      {"cursor 139 0 0\n\"X.\"\n\"X\"\nend\n", 3},   // rows of different widths
      {"cursor 139 0 0\n\"X#\"\nend\n", 2},          // a pixel that is neither '.', 'X' nor 'o'
      {"cursor 139 0 5\n\"X.\"\n\"oX\"\nend\n", 4},  // the hot spot below the rows
  };
  for (const Case& c : cases) {
    try {
      CompileScript("dir/bad.res", c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.line, c.line) << c.text;
      EXPECT_EQ(std::string(e.what()).rfind("dir/bad.res:" + std::to_string(c.line) + ": ", 0), 0u)
          << e.what();
    }
  }
}

// A cursor: its hot spot, size and a byte a pixel (0 clear, 1 black, 2 white), row by row.
TEST(Rescomp, CursorBlocksAreTheirPixelsUnderTheHotSpot) {
  auto compiled = CompileScript("c.res", "cursor 140 1 0  # blocked\n  \"X.o\"\n  \"oX.\"\nend\n");
  ASSERT_EQ(compiled.resources.size(), 1u);
  EXPECT_EQ(compiled.resources[0].type, "#1");
  EXPECT_EQ(compiled.resources[0].id, 140);
  EXPECT_EQ(compiled.resources[0].bytes, (std::vector<uint8_t>{1, 0, 0, 0, 3, 0, 2, 0, 1, 0, 2, 2, 1, 0}));
}

TEST(Rescomp, BitmapDropsTheFileHeader) {
  auto dir = std::filesystem::temp_directory_path() / "rescomp_bitmap_test";
  std::filesystem::create_directories(dir);
  std::string bmp = "BM" + std::string(12, '\x01') + std::string(40, '\x02') + "px";
  std::ofstream(dir / "p.bmp", std::ios::binary) << bmp;
  auto compiled = CompileScript(dir / "x.res", "bitmap Factory \"p.bmp\"\n");
  ASSERT_EQ(compiled.resources.size(), 1u);
  EXPECT_EQ(compiled.resources[0].type, "#2");
  EXPECT_EQ(compiled.resources[0].name, "Factory");
  EXPECT_EQ(compiled.resources[0].bytes, Bytes(bmp.substr(14)));
  ASSERT_EQ(compiled.inputs.size(), 1u);
  EXPECT_NE(rescomp::EmitDepfile("o.cpp", dir / "x.res", compiled).find("p.bmp"), std::string::npos);
  std::filesystem::remove_all(dir);
}

std::string RunTool(const std::string& args, int& status) {
  std::string command = std::string(RESCOMP_PATH) + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  std::array<char, 256> buf{};
  while (pipe && fgets(buf.data(), buf.size(), pipe)) output += buf.data();
  status = pipe ? pclose(pipe) : -1;
  return output;
}

TEST(Rescomp, ToolStopsOnAMalformedScriptAndWritesNothing) {
  auto dir = std::filesystem::temp_directory_path() / "rescomp_tool_test";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "bad.res") << "stringarray 5\n  \"ok\"\n  42\nend\n";
  int status = 0;
  std::string out = RunTool((dir / "bad.res").string() + " " + (dir / "bad.cpp").string(), status);
  EXPECT_NE(status, 0);
  EXPECT_NE(out.find("bad.res:3: "), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(dir / "bad.cpp"));
  std::filesystem::remove_all(dir);
}

}  // namespace
