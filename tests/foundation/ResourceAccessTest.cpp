#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/ResourceAccess.h"
#include "platform/MessageBox.h"
#include "platform/ResourceRegistry.h"

namespace {

// tests/resources/registry.res: string list 60001 = "a", "", "c"; text 60002.
constexpr uint16_t kList = 60001;
constexpr uint16_t kText = 60002;
constexpr uint16_t kMissing = 60999;

// Typed resources of a four-letter type, registered by the tests themselves.
constexpr uint8_t kBlob[] = {1, 2, 3, 4, 5};
constexpr uint32_t kBlobType = ResourceTypeCode("Tblb");

class ResourceAccessTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    plat::ResourceRegistry& registry = plat::ResourceRegistry::Instance();
    registry.Add("TBLB", 60010, {kBlob, sizeof kBlob});
    registry.Add("TBLB", 60011, {kBlob, 0});
    registry.Add("TBLB", "Blob60010", {kBlob, sizeof kBlob});
  }
  void SetUp() override { plat::ClearMessageBoxLog(); }

  // The one box shown, as "caption|text".
  static std::u16string OnlyBox() {
    const auto boxes = plat::MessageBoxLog();
    if (boxes.size() != 1) return u"boxes: " + std::u16string(1, char16_t(u'0' + boxes.size()));
    EXPECT_EQ(boxes[0].style, plat::MB_ICONHAND | plat::MB_TASKMODAL);
    EXPECT_EQ(boxes[0].owner, nullptr);
    return boxes[0].caption + u"|" + boxes[0].text;
  }

  template <typename F>
  static int32_t Thrown(F f) {
    try {
      f();
    } catch (int32_t e) {
      return e;
    }
    return 0;
  }
};

std::string Bytes(Handle h) { return std::string(*h, MemGetSize(h)); }

TEST_F(ResourceAccessTest, TypeCodeSpellsTheNameInMemoryOrder) {
  EXPECT_EQ(ResourceTypeCode("Impt"), 0x74706D49u);
}

TEST_F(ResourceAccessTest, TypedResourcesCopyIntoCallerOwnedHandles) {
  Handle byId = LoadResourceById(ResourceTypeCode("tblb"), 60010 + 0x10000);  // low 16 bits only
  EXPECT_EQ(Bytes(byId), std::string("\1\2\3\4\5", 5));
  Handle byName = LoadResourceHandle(kBlobType, "blob60010");
  EXPECT_EQ(Bytes(byName), Bytes(byId));
  Handle byIntName = LoadResourceHandle(kBlobType, 60010);
  EXPECT_EQ(Bytes(byIntName), Bytes(byId));
  Handle empty = LoadResourceById(kBlobType, 60011);
  EXPECT_EQ(MemGetSize(empty), 0);
  for (Handle h : {byId, byName, byIntName, empty}) ReleaseResourceHandle(h);
  ReleaseResourceHandle(nullptr);
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

TEST_F(ResourceAccessTest, MissingTypedResourcesThrowAndOnlyTheIdLoaderShowsABox) {
  EXPECT_EQ(Thrown([] { LoadResourceHandle(kBlobType, "nothing"); }), -1);
  EXPECT_EQ(Thrown([] { LoadResourceHandle(kBlobType, int32_t(kMissing)); }), -1);
  EXPECT_EQ(Thrown([] { LoadResourceHandle(kBlobType, nullptr); }), -1);
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  EXPECT_EQ(Thrown([] { LoadResourceById(kBlobType, kMissing); }), -1);
  EXPECT_EQ(OnlyBox(), u"Memory Error|A Memory Error occured : 1050");
}

TEST_F(ResourceAccessTest, TextResourcesNarrowAndWide) {
  Vcon::String narrow;
  GetTextResourceNarrow(kText, narrow);
  EXPECT_EQ(narrow,
            "V\xE6gt p\xE5 \xE5"
            "ben l\xE5ge");  // Windows-1252
  EXPECT_EQ(GetTextResource(kText), u"Vægt på åben låge");
  EXPECT_EQ(Thrown([] { GetTextResource(kMissing); }), -1);
  EXPECT_EQ(OnlyBox(), u"Memory Error|A Memory Error occured : 1050");
}

TEST_F(ResourceAccessTest, StringArrayItemsCountFromOneAndEndEmpty) {
  Vcon::String s;
  Vcon::WString w;
  const std::pair<int32_t, const char*> cases[] = {{-3, "a"}, {0, "a"}, {1, "a"},  {2, ""},
                                                   {3, "c"},  {4, ""},  {1000, ""}};
  for (const auto& [n, expected] : cases) {
    GetStringArrayItemNarrow(s, kList, n);
    EXPECT_EQ(s, expected) << n;
    GetStringArrayText(w, kList, n);
    EXPECT_EQ(w, WideFromNarrow(expected)) << n;
  }
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  GetStringArrayItemC(buffer, kList, 3);
  EXPECT_STREQ(buffer, "c");
  GetStringArrayItemC(buffer, 1, kList, 3);  // room for the NUL only
  EXPECT_STREQ(buffer, "");
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

TEST_F(ResourceAccessTest, MissingStringArrayShowsItsOwnCodeAndThrows) {
  Vcon::WString w = u"kept";
  EXPECT_EQ(Thrown([&] { GetStringArrayText(w, kMissing, 1); }), -1);
  EXPECT_EQ(w, u"kept");
  EXPECT_EQ(OnlyBox(), u"Memory Error|A Memory Error occured : 1052");
  char buffer[4];
  EXPECT_EQ(Thrown([&] { GetStringArrayItemC(buffer, kMissing, 1); }), -1);
}

}  // namespace
