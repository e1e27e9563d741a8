// The catalogue classes on a copy of the demo settings: the catalogues open without preparation,
// the list opens them from the application record as the program does at start, and opening and
// closing every settings database with its class writes nothing but the commit record.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "CatalogueTestSupport.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/databases/qxResourcedb.h"
#include "catalogue/databases/qxSkindb.h"
#include "support/DemoSettings.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kCommitRecord = 1536, kCommitRecordEnd = 1546;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

ppFileSpec SpecOf(const fs::path& path) { return ppFileSpec(Vcon::WString(path.string().c_str())); }

template <typename T>
std::unique_ptr<T> OpenAs(const fs::path& path) {
  ppFileSpec fileRecord = SpecOf(path);
  return std::make_unique<T>(fileRecord);
}

class DemoSettingsTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    Preferences().languageCode = 1033;
    ApplyDerivedSettings();
    gStartupWindow = &progress_;
  }

  DemoSettings demo_;
  cattest::ProgressLog progress_;
};

TEST_F(DemoSettingsTest, BothCataloguesOpenWithoutPreparation) {
  for (auto [file, identifier] :
       {std::pair{"catalogs/kitchen.cdb", 1}, std::pair{"catalogs/extras.cdb", 2}}) {
    progress_.lines.clear();
    auto db = OpenAs<zelvDatabase>(demo_.File(file));
    EXPECT_EQ(db->Identifier(), identifier) << file;
    EXPECT_EQ(db->SettingsFile().LanguageId(), 1033) << file;
    ASSERT_EQ(progress_.lines.size(), 1u) << file;
    EXPECT_EQ(progress_.lines[0].rfind("Opening ", 0), 0u) << progress_.lines[0];
  }
}

// Makes a folder current for its lifetime.
class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& folder) : saved_(fs::current_path()) { fs::current_path(folder); }
  ~CurrentFolder() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

TEST_F(DemoSettingsTest, TheListOpensTheCataloguesTheApplicationRecordNames) {
  CurrentFolder root(demo_.Root());  // the function records name ".\settings\catalogs\..."
  {
    auto application = OpenAs<qxApplicationdb>(demo_.File("zadezodid.cdb"));
    Vcon::WString text(u"default");
    EXPECT_TRUE(GetTextById(6261, text));
    EXPECT_EQ(text, u"File error");

    CatalogDatabaseList list;
    ASSERT_EQ(list.Count(), 1);
    ASSERT_NE(list.DatabaseAt(0), nullptr);
    EXPECT_EQ(list.DatabaseAt(0)->Identifier(), 1);
    EXPECT_EQ(MainCatalogDatabase, list.DatabaseAt(0));
    ASSERT_NE(ExtrasCatalogDatabase, nullptr);
    EXPECT_EQ(ExtrasCatalogDatabase->Identifier(), 2);
  }
}

// Opening and closing each settings database with its class changes no byte outside the commit
// record.
TEST_F(DemoSettingsTest, OpeningEachSettingsDatabaseWritesOnlyTheCommitRecord) {
  const std::pair<const char*, std::function<void(const fs::path&)>> kDatabases[] = {
      {"zadezodid.cdb", [](const fs::path& p) { OpenAs<qxApplicationdb>(p); }},
      {"resources.cdb", [](const fs::path& p) { OpenAs<qxResourcedb>(p); }},
      {"skin.cdb", [](const fs::path& p) { OpenAs<qxSkindb>(p); }},
      {"catalogs/kitchen.cdb", [](const fs::path& p) { OpenAs<zelvDatabase>(p); }},
      {"catalogs/extras.cdb", [](const fs::path& p) { OpenAs<zelvDatabase>(p); }},
  };
  for (const auto& [name, open] : kDatabases) {
    const fs::path path = demo_.File(name);
    const std::string before = ReadBytes(path);
    try {
      open(path);
    } catch (int32_t error) {
      ADD_FAILURE() << name << ": error " << error;
    }
    const std::string after = ReadBytes(path);
    ASSERT_EQ(after.size(), before.size()) << name;
    std::string masked = before;
    for (size_t i = kCommitRecord; i < kCommitRecordEnd; ++i) masked[i] = after[i];
    EXPECT_TRUE(masked == after) << name << " changed outside the commit record";
  }
}

}  // namespace
