// The run-time references of calculation lines: kept beside the lines through inserts, deletes and
// writes, never stored, and the element keys of the lines' element lists.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <set>

#include "calculation/CalculationTestSupport.h"
#include "catalogue/records/RecordField.h"
#include "elements/base/zelvproElement.h"

namespace {

using calctest::CalculationTest;

TEST_F(CalculationTest, ReferencesStayWithTheirLinesAndAreNeverStored) {
  std::vector<std::unique_ptr<zelvproElement>> elements;
  for (int32_t i = 0; i < 20; ++i)
    elements.push_back(std::make_unique<zelvproElement>(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0));
  zelvproCalculatorFil& calc = Calc();
  const RecordField number(calc, "number"), databaseId(calc, "databaseID"), list(calc, "elements");
  std::mt19937 random(82);
  calc.BeginAccess();
  // A line names its element by index in `number`, and its database by identifier.
  auto fill = [&](char* buffer) {
    calc.ClearRecordBuffer(buffer);
    char* record = buffer != nullptr ? buffer : calc.GetRecordBuffer();
    const int32_t element = int32_t(random() % elements.size());
    const int32_t database = 1 + int32_t(random() % 2);
    number.SetLong(record, element);
    databaseId.SetLong(record, database);
    const int32_t key = calc.ElementKey(elements[size_t(element)].get());
    Handle words = list.Data(record);
    MemSetSize(words, 4);
    std::memcpy(*words, &key, 4);
    calc.BufferRefs(buffer) = {elements[size_t(element)].get(), &Db(database)};
  };
  char* scratch = calc.ScratchBuffer();
  for (int32_t step = 0; step < 1000; ++step) {
    const int32_t count = calc.GetRecordCount();
    const uint32_t action = random() % 3;
    if (action == 0 || count == 0) {
      fill(scratch);
      calc.InsertRecordAt(int32_t(random() % uint32_t(count + 2)) - 1, scratch);
    } else if (action == 1) {
      calc.DeleteRecordAt(int32_t(random() % uint32_t(count)));
    } else {
      fill(nullptr);
      calc.WriteRecordAt(int32_t(random() % uint32_t(count)), nullptr);
    }
  }
  calc.SaveToBlob();
  ASSERT_GT(calc.GetRecordCount(), 0);
  std::set<int32_t> keysInUse;
  for (int32_t i = 0; i < calc.GetRecordCount(); ++i) {
    calc.ReadRecordAt(i, nullptr);
    const char* b = calc.GetRecordBuffer();
    zelvproElement* element = elements[size_t(number.Long(b))].get();
    EXPECT_EQ(calc.LineRefsAt(i).element, element) << i;
    EXPECT_EQ(calc.LineRefsAt(i).db, &Db(databaseId.Long(b))) << i;
    EXPECT_EQ(calc.BufferRefs(nullptr).element, element) << i;
    const std::vector<int32_t> keys = list.Words(b);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(calc.ElementOfKey(keys[0]), element) << i;
    keysInUse.insert(keys[0]);
    EXPECT_EQ(Stored(i, "db").ToLong(), 0) << i;
    EXPECT_EQ(Stored(i, "element").ToLong(), 0) << i;
  }
  // Keys of elements that left their last line are forgotten; the rest are exactly those in use.
  EXPECT_EQ(calc.References().KnownKeys(), int32_t(keysInUse.size()));
}

TEST(CalculationLineRefs, KeysAreHandedOutOncePerElementAndForgottenWithTheirLastLine) {
  CalculationLineRefs refs;
  auto* a = reinterpret_cast<zelvproElement*>(uintptr_t{0x1000});
  auto* b = reinterpret_cast<zelvproElement*>(uintptr_t{0x2000});
  const int32_t keyA = refs.KeyOf(a), keyB = refs.KeyOf(b);
  EXPECT_NE(keyA, keyB);
  EXPECT_EQ(refs.KeyOf(a), keyA);
  EXPECT_EQ(refs.KeyOf(nullptr), 0);
  refs.Insert(0, {a, nullptr}, {keyA, keyB, keyA});
  refs.Insert(5, {b, nullptr}, {keyB});  // past the end: appended
  ASSERT_EQ(refs.Count(), 2);
  EXPECT_EQ(refs.At(1).element, b);
  EXPECT_EQ(refs.KeysAt(0), (std::vector<int32_t>{keyA, keyB}));
  refs.Write(0, {a, nullptr}, {keyA});  // b leaves line 0 but keeps line 1
  EXPECT_EQ(refs.ElementOfKey(keyB), b);
  refs.Erase(1);
  EXPECT_EQ(refs.ElementOfKey(keyB), nullptr);
  refs.Erase(0);
  EXPECT_EQ(refs.ElementOfKey(keyA), nullptr);
  // A forgotten element gets a new key, never an old one.
  const int32_t again = refs.KeyOf(a);
  EXPECT_NE(again, keyA);
  EXPECT_NE(again, keyB);
  EXPECT_EQ(refs.At(7).element, nullptr);
}

}  // namespace
