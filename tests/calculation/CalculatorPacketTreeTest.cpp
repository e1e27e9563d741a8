// Packets: lines of packet units split into pieces, grouped by family, colour and tag, formed into
// the cheapest packets and written back as lines; and the bounded search of one group.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>
#include <vector>

#include "calculation/CalculatorPacketTree.h"
#include "calculation/CalculationTestSupport.h"
#include "elements/ElementTestSupport.h"
#include "catalogue/records/zelvproPacketFil.h"
#include "elements/base/zelvproLayerPalette.h"

namespace {

using calctest::Amount;

class PaletteHost : public calctest::TagHost {
 public:
  zelvproLayerPalette* LayerPalette() override { return &palette; }
  zelvproLayerPalette palette;
};

// Unit, packet flag, quantity and missing count of a line.
using Line = std::tuple<int32_t, int32_t, double, int32_t>;

class CalculatorPacketTreeTest : public calctest::CalculationTest {
 protected:
  static constexpr int32_t kFamily = 7;

  void SetUp() override {
    CalculationTest::SetUp();
    packetHost_.tags = tags_.get();
    iElementHost::Install(&packetHost_);
    zelvDatabase& db = Db(1);
    a_ = Unit("A");
    b_ = Unit("B");
    c_ = Unit("C");
    loose_ = Unit("X");
    included_ = Unit("I");
    ab_ = Unit("PAB", {{"pricingIncludes", {}}});
    bc_ = Unit("PBC");
    aa_ = Unit("PAA");
    red_ = cattest::AddRecord(db.ColorCatalogFile(), {{"name", "Red"}});
    blue_ = cattest::AddRecord(db.ColorCatalogFile(), {{"name", "Blue"}});
    for (auto [unit, price] : {std::pair{a_, 100.0}, {b_, 60.0}, {c_, 30.0}, {loose_, 5.0}, {included_, 7.0}})
      prices_[unit] = Price(unit, price);
    // Three packets of one family; only priced packets are ever formed.
    Packet(ab_, {a_, 0, 1, b_, 0, 1});
    Packet(bc_, {b_, 0, 1, c_, 0, 1});
    Packet(aa_, {a_, 0, 2});
  }

  int32_t Unit(const char* number, std::initializer_list<eltest::BlobField> blobs = {}) {
    return eltest::AddRecordWith(Db(1).UnitFile(), {{"number1", number}}, blobs);
  }
  int32_t Price(int32_t unit, double amount, int32_t colour = 0) {
    return cattest::AddRecord(Db(1).PriceFile(), {{"module", unit},
                                                  {"color", colour},
                                                  {"price", Amount(amount)},
                                                  {"orderno", "P"},
                                                  {"SKU", unit == ab_ ? "Packet AB" : ""}});
  }
  void Packet(int32_t unit, std::vector<int32_t> items, int32_t flags = 0) {
    zelvproPacketFil& packets = Db(1).PacketFile();
    packets.ClearRecordBuffer(nullptr);
    cattest::SetField(packets, "unitID", unit);
    cattest::SetField(packets, "level", kFamily);
    cattest::SetField(packets, "flags", flags);
    cattest::SetWords(packets, "items", items);
    int32_t id = 0;
    packets.AddRecord(&id, nullptr);
  }
  // A plan line of `unit` as the elements add it: its catalogue price, colour and tag.
  void PlanLine(int32_t unit, double pcs, int32_t colour = 0, int32_t tag = 0) {
    AddLine({{"type", 1},
             {"unitID", unit},
             {"priceID", prices_[unit]},
             {"price", Amount(PriceOf(unit))},
             {"colorID", colour},
             {"tag", tag},
             {"pcs", DecimalNumber(pcs)},
             {"databaseID", 1}},
            {nullptr, &Db(1)});
  }
  double PriceOf(int32_t unit) {
    Db(1).PriceFile().ReadRecord(prices_[unit], nullptr);
    return double(RecordField(Db(1).PriceFile(), "price").MoneyRaw(Db(1).PriceFile().GetRecordBuffer())) /
           double(ppMoney::kScale);
  }

  // The packet pass over every line not made by a packet, as a rebuild runs it.
  void RunPackets(int64_t budget = PacketGroup::kDefaultBudget) {
    zelvproCalculatorFil& calc = Calc();
    calc.BeginAccess();
    CalculatorPacketTree tree(Db(1));
    tree.SetBudget(budget);
    char* b = calc.NewRecordBuffer();
    const RecordField packet(calc, "packet");
    for (int32_t i = 0; i < calc.GetRecordCount(); ++i) {
      calc.ReadRecordAt(i, b);
      if (packet.Long(b) != 0) continue;
      tree.AddLine(calc, i, b);
      calc.WriteRecordAt(i, b);
    }
    calc.ForgetBuffer(b);
    calc.DisposeRecordBuffer(b);
    tree.Resolve();
    tree.Emit(calc);
    calc.SaveToBlob();
  }
  // The lines a bill shows: those with a quantity (the rebuild drops the others).
  std::vector<Line> Bill() {
    std::vector<Line> lines;
    zelvproCalculatorFil& calc = Calc();
    calc.BeginAccess();
    for (int32_t i = 0; i < calc.GetRecordCount(); ++i) {
      calc.ReadRecordAt(i, nullptr);
      const char* r = calc.GetRecordBuffer();
      const double pcs = RecordField(calc, "pcs").Quantity(r).ToDouble();
      if (pcs == 0.0) continue;
      lines.emplace_back(RecordField(calc, "unitID").Long(r), RecordField(calc, "packet").Long(r), pcs,
                         RecordField(calc, "missing").Long(r));
    }
    return lines;
  }

  PaletteHost packetHost_;
  int32_t a_ = 0, b_ = 0, c_ = 0, loose_ = 0, included_ = 0, ab_ = 0, bc_ = 0, aa_ = 0, red_ = 0, blue_ = 0;
  std::map<int32_t, int32_t> prices_;  // unit -> its price record
};

TEST_F(CalculatorPacketTreeTest, APacketIsFormedWhenItCostsNoMoreThanItsUnits) {
  struct Case {
    double packetPrice;
    std::vector<Line> bill;
  } cases[] = {
      {150.0, {{ab_, 1, 1.0, 0}}},
      {160.0, {{ab_, 1, 1.0, 0}}},  // an equal total replaces the best one
      {170.0, {{a_, 0, 1.0, 0}, {b_, 0, 1.0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.packetPrice);
    Calc().BeginAccess();
    while (Calc().GetRecordCount() > 0) Calc().DeleteRecordAt(0);
    Calc().SaveToBlob();
    const int32_t price = Price(ab_, c.packetPrice);
    PlanLine(a_, 1.0);
    PlanLine(b_, 1.0);
    RunPackets();
    EXPECT_EQ(Bill(), c.bill);
    if (c.packetPrice == 150.0) {
      // An item line priced by the packet unit's price record.
      Calc().BeginAccess();
      Calc().ReadRecordAt(Calc().GetRecordCount() - 1, nullptr);
      const char* line = Calc().GetRecordBuffer();
      EXPECT_EQ(RecordField(Calc(), "type").Long(line), 1);
      EXPECT_EQ(RecordField(Calc(), "priceID").Long(line), price);
      EXPECT_EQ(RecordField(Calc(), "price").MoneyRaw(line), Amount(150.0).Raw());
      EXPECT_EQ(RecordField(Calc(), "ttext").WideText(line).Narrow(), "Packet AB");
    }
    Db(1).PriceFile().DeleteRecord(price);
  }
}

TEST_F(CalculatorPacketTreeTest, APacketWithAMissingUnitIsFormedWhenCheaperThanTheUnitAlone) {
  Price(ab_, 90.0);
  PlanLine(a_, 1.0);
  PlanLine(loose_, 3.0);
  RunPackets();
  EXPECT_EQ(Bill(), (std::vector<Line>{{loose_, 0, 3.0, 0}, {ab_, 1, 1.0, 1}}));
}

TEST_F(CalculatorPacketTreeTest, UnitsOfOtherColoursOrTagsNeverShareAPacket) {
  // Prices are looked up by colour: every unit and the packet have one in red and in blue.
  for (int32_t colour : {red_, blue_}) {
    Price(ab_, 10.0, colour);
    Price(a_, 100.0, colour);
    Price(b_, 60.0, colour);
  }
  struct Case {
    int32_t colourA, colourB, tagA, tagB;
  } cases[] = {{red_, blue_, 0, 0}, {red_, red_, 5, 9}};
  for (const Case& c : cases) {
    Calc().BeginAccess();
    while (Calc().GetRecordCount() > 0) Calc().DeleteRecordAt(0);
    Calc().SaveToBlob();
    PlanLine(a_, 1.0, c.colourA, c.tagA);
    PlanLine(b_, 1.0, c.colourB, c.tagB);
    RunPackets();
    // Each unit forms a packet with a missing unit on its own: they never meet in one.
    const std::vector<Line> bill = Bill();
    ASSERT_EQ(bill.size(), 2u);
    for (const Line& line : bill) EXPECT_EQ(line, (Line{ab_, 1, 1.0, 1}));
  }
}

TEST_F(CalculatorPacketTreeTest, OnlyWholePiecesGoIntoPacketsAndTheFractionStaysOnTheLine) {
  Price(ab_, 95.0);
  // The tree on its own: 2.5 pieces give two entries and leave 0.5 on the line.
  {
    Calc().BeginAccess();
    PlanLine(a_, 2.5);
    Calc().BeginAccess();
    CalculatorPacketTree tree(Db(1));
    Calc().ReadRecordAt(0, nullptr);
    tree.AddLine(Calc(), 0, Calc().GetRecordBuffer());
    EXPECT_DOUBLE_EQ(RecordField(Calc(), "pcs").Quantity(Calc().GetRecordBuffer()).ToDouble(), 0.5);
    tree.Resolve();
    ASSERT_EQ(tree.Groups().size(), 1u);
    EXPECT_EQ(tree.Groups()[0]->entries.size(), 2u);
  }
  RunPackets();
  // Two packets (one A missing in each) and the half piece of A still billed.
  EXPECT_EQ(Bill(), (std::vector<Line>{{a_, 0, 0.5, 0}, {ab_, 1, 2.0, 2}}));
}

TEST_F(CalculatorPacketTreeTest, PacketsOfSeveralKindsAreMixed) {
  // A A B C: AA at 150 and BC at 80 (230) beat the 290 of the units; AB has no price and is never
  // formed.
  Price(bc_, 80.0);
  Price(aa_, 150.0);
  PlanLine(a_, 2.0);
  PlanLine(b_, 1.0);
  PlanLine(c_, 1.0);
  RunPackets();
  std::vector<Line> bill = Bill();
  std::sort(bill.begin(), bill.end());
  EXPECT_EQ(bill, (std::vector<Line>{{bc_, 1, 1.0, 0}, {aa_, 1, 1.0, 0}}));
}

TEST_F(CalculatorPacketTreeTest, APacketUnitsIncludedUnitGetsALineWithTheNextRunningId) {
  zelvproUnitFil& units = Db(1).UnitFile();
  units.ReadRecord(ab_, nullptr);
  const int32_t unpriced = Unit("Z");
  cattest::SetWords(units, "pricingIncludes", {unpriced, 0, included_, 0});
  units.WriteRecord(ab_, nullptr);
  Price(ab_, 100.0);
  PlanLine(a_, 1.0);
  PlanLine(b_, 1.0);
  for (int32_t n = 0; n < 4; ++n) packetHost_.palette.NextId();
  RunPackets();
  EXPECT_EQ(Bill(), (std::vector<Line>{{ab_, 1, 1.0, 0}, {unpriced, 1, 1.0, 0}, {included_, 1, 1.0, 0}}));
  Calc().BeginAccess();
  const int32_t last = Calc().GetRecordCount() - 1;
  // An included unit without a price shows nothing of the packet line made before it.
  Calc().ReadRecordAt(last - 1, nullptr);
  const char* line = Calc().GetRecordBuffer();
  EXPECT_EQ(RecordField(Calc(), "id").Long(line), 5);
  EXPECT_EQ(RecordField(Calc(), "priceID").Long(line), 0);
  EXPECT_EQ(RecordField(Calc(), "ttext").WideText(line).Narrow(), "");
  Calc().ReadRecordAt(last, nullptr);
  EXPECT_EQ(RecordField(Calc(), "id").Long(line), 6);
  EXPECT_EQ(RecordField(Calc(), "priceID").Long(line), prices_[included_]);
  EXPECT_EQ(RecordField(Calc(), "price").MoneyRaw(line), Amount(7.0).Raw());
}

TEST_F(CalculatorPacketTreeTest, AUnitInNoFamilyKeepsItsLine) {
  Price(ab_, 1.0);
  PlanLine(loose_, 3.0);
  RunPackets();
  EXPECT_EQ(Bill(), (std::vector<Line>{{loose_, 0, 3.0, 0}}));
  Calc().BeginAccess();
  EXPECT_EQ(Calc().GetRecordCount(), 1);
}

// ---- The search of one group.

struct GroupShape {
  std::vector<std::pair<int32_t, int64_t>> units;  // unit and raw price of each entry
  struct Packet {
    std::vector<int32_t> required;
    int64_t price;
  };
  std::vector<Packet> packets;
};

std::unique_ptr<PacketGroup> MakeGroup(const GroupShape& shape) {
  auto group = std::make_unique<PacketGroup>();
  for (auto [unit, price] : shape.units) {
    auto entry = std::make_unique<PacketEntry>();
    entry->unit = unit;
    entry->price = ppMoney::FromRaw(price);
    group->entries.push_back(std::move(entry));
  }
  int32_t packetUnit = 1000;
  for (const GroupShape::Packet& p : shape.packets) {
    auto candidate = std::make_unique<PacketCandidate>();
    candidate->packetUnit = ++packetUnit;
    candidate->required = p.required;
    candidate->price = ppMoney::FromRaw(p.price);
    group->candidates.push_back(std::move(candidate));
  }
  return group;
}

// What a choice left: the best total, every candidate's count and the entries left by position.
std::tuple<int64_t, std::vector<int32_t>, std::vector<size_t>> Outcome(const PacketGroup& group) {
  std::vector<int32_t> counts;
  for (const auto& c : group.candidates) counts.push_back(c->Count());
  std::vector<size_t> left;
  for (size_t i = 0; i < group.entries.size(); ++i)
    if (!group.entries[i]->taken) left.push_back(i);
  return {group.bestTotal, counts, left};
}

TEST(PacketGroupTest, TheBoundedSearchChoosesAsTheFullSearchOnSmallFamilies) {
  std::mt19937 random(83);
  for (int32_t round = 0; round < 400; ++round) {
    GroupShape shape;
    const int32_t kinds = 1 + int32_t(random() % 4);
    const int32_t count = 1 + int32_t(random() % 8);
    for (int32_t i = 0; i < count; ++i)
      shape.units.emplace_back(1 + int32_t(random() % kinds), int64_t(1 + random() % 20) * 10000);
    const int32_t packets = 1 + int32_t(random() % 4);
    for (int32_t p = 0; p < packets; ++p) {
      GroupShape::Packet packet;
      const int32_t size = 1 + int32_t(random() % 3);
      for (int32_t k = 0; k < size; ++k) packet.required.push_back(1 + int32_t(random() % kinds));
      packet.price = int64_t(1 + random() % 40) * 10000;
      shape.packets.push_back(packet);
    }
    auto bounded = MakeGroup(shape), full = MakeGroup(shape);
    bounded->Choose();
    full->Choose(0);
    EXPECT_FALSE(bounded->OutOfBudget());
    EXPECT_EQ(Outcome(*bounded), Outcome(*full)) << "round " << round;
    // Never dearer than forming nothing.
    int64_t plain = 0;
    for (auto [unit, price] : shape.units) plain += price;
    EXPECT_LE(std::get<0>(Outcome(*full)), plain);
  }
}

// Six packets over 30 pieces of three units whose full search tries about 1,840,000 packets.
GroupShape LargeFamily() {
  GroupShape shape;
  const int32_t units[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2,
                           2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
  const int64_t prices[] = {9, 4, 2,  12, 15, 3, 7, 18, 4, 3, 18, 13, 17, 17, 18,
                            6, 1, 20, 8,  11, 5, 9, 13, 9, 4, 20, 7,  14, 10, 10};
  for (size_t i = 0; i < 30; ++i) shape.units.emplace_back(units[i], prices[i] * 10000);
  shape.packets = {{{3}, 50000},    {{3, 1}, 110000}, {{1, 3}, 160000},
                   {{1, 1}, 40000}, {{3}, 120000},    {{2, 3, 3, 3}, 130000}};
  return shape;
}

TEST(PacketGroupTest, ABudgetStopsTheSearchAndKeepsTheBestCountsFound) {
  const GroupShape shape = LargeFamily();
  int64_t plain = 0;
  for (auto [unit, price] : shape.units) plain += price;
  auto small = MakeGroup(shape), standard = MakeGroup(shape);
  small->Choose(2000);
  standard->Choose();
  for (const PacketGroup* group : {small.get(), standard.get()}) {
    EXPECT_TRUE(group->OutOfBudget());
    for (const auto& c : group->candidates) EXPECT_EQ(c->Count(), c->best);
  }
  EXPECT_EQ(small->Tried(), 2000);
  EXPECT_EQ(standard->Tried(), PacketGroup::kDefaultBudget);
  // The search only ever lowers its best total: a larger budget finds no dearer choice.
  EXPECT_LE(standard->bestTotal, small->bestTotal);
  EXPECT_LT(small->bestTotal, plain);
}

}  // namespace
