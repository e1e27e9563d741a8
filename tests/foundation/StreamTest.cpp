#include "foundation/ppStringStream.h"

#include <gtest/gtest.h>

namespace {

TEST(StringStream, ReadsToTheEndThenGivesZero) {
  ppStringStream s("ab");
  EXPECT_FALSE(s.AtEnd());
  EXPECT_EQ(s.ReadByte(), 'a');
  EXPECT_EQ(s.ReadChar(), 'b');
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(s.ReadByte(), 0);
  EXPECT_EQ(s.Tell(), 2);
  s.SeekBack(5);
  EXPECT_EQ(s.Tell(), 0);
  EXPECT_EQ(s.ReadByte(), 'a');
  s.Seek(7);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(s.ReadByte(), 0);
}

TEST(StringStream, WritesOnlyInAppendMode) {
  ppStringStream s("ab");
  s.WriteByte('x');
  EXPECT_EQ(s.Text(), "ab");
  s.Seek(static_cast<uint32_t>(ppStringStream::kAppend));
  EXPECT_TRUE(s.AtEnd()) << "append mode counts as the end";
  EXPECT_EQ(s.ReadByte(), 0);
  s.WriteChar('c');
  s.Seek(0);  // does not leave append mode
  s.WriteText(Vcon::String("de"));
  EXPECT_EQ(s.Text(), "abcde");

  s.SeekBack(1);  // leaves append mode at 0
  EXPECT_EQ(s.Tell(), 0);
  s.WriteByte('z');
  EXPECT_EQ(s.Text(), "abcde");
  s.Seek(3);
  s.Close();
  EXPECT_EQ(s.Tell(), 0);
}

TEST(StringStream, SixteenBitValuesAreLowByteFirst) {
  ppStringStream s(Vcon::String("\x34\x12\x41", 3));
  EXPECT_EQ(s.ReadShort(), 0x1234);
  EXPECT_EQ(s.ReadShort(), 0x0041) << "a missing high byte reads as 0";
  EXPECT_FALSE(s.IsWide());

  ppStringStream out("");
  out.Seek(static_cast<uint32_t>(ppStringStream::kAppend));
  out.WriteShort(0x1234);
  out.WriteWideText(Vcon::WString(u"A\u20ac"));
  EXPECT_EQ(out.Text(), std::string("\x34\x12"
                                    "A\0\xac\x20",
                                    6));

  ppStringStream back(Vcon::String("abcdef"));
  back.Seek(5);
  back.SeekBackWide(2);
  EXPECT_EQ(back.Tell(), 1);
}

}  // namespace
