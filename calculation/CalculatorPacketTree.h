// The packets of one catalogue database in one rebuild of the price list: the lines of units that
// belong to a packet family are split into single pieces, grouped by family, colour and tag, formed
// into the packets that give the lowest total price, and written back as packet lines and lines of
// the units left over.
//
// A line gives up only its whole pieces: a quantity of 2.5 makes two entries and leaves 0.5 on the
// line, so no part of a piece drops out of the bill. The search of each group is bounded (see
// PacketGroup).
//
// Owns its own views of the database's price, packet, unit, colour and group tables, its entries,
// groups and candidates; the database must outlive the tree. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "calculation/PacketEntry.h"
#include "calculation/PacketGroup.h"

class ppDatafile;
class zelvDatabase;
class zelvproCalculatorFil;
class zelvproColorCatalogFil;
class zelvproPacketFil;
class zelvproPriceFil;
class zelvproUnitFil;

class CalculatorPacketTree {
 public:
  // Reads the database's units and packet records and the family of every unit.
  explicit CalculatorPacketTree(zelvDatabase& db);
  ~CalculatorPacketTree();
  CalculatorPacketTree(const CalculatorPacketTree&) = delete;
  CalculatorPacketTree& operator=(const CalculatorPacketTree&) = delete;

  // The packet family ("level") of unit `unit`; -1 when it is in none (or not in the database).
  int32_t FamilyOf(int32_t unit) const;
  // Takes the whole pieces of the line in `buffer` (a buffer of `lines`, line `position`) into
  // entries when its unit is in a family, and lowers the line's quantity by them; the caller writes
  // the line back. Other lines are left as they are.
  void AddLine(zelvproCalculatorFil& lines, int32_t position, char* buffer);
  // Groups the entries and chooses the packets of every group.
  void Resolve();
  // Adds the lines of every group to `lines` through its unit pricing: each formed packet, then each
  // unit left, with a line for each of the unit's included units.
  void Emit(zelvproCalculatorFil& lines);

  // Packets a group's search may try to form (0: no bound); PacketGroup::kDefaultBudget unless set.
  void SetBudget(int64_t budget) { budget_ = budget; }
  const std::vector<std::unique_ptr<PacketGroup>>& Groups() const { return groups_; }

 private:
  struct PacketRecord {
    int32_t unit = 0, level = 0, flags = 0;
    std::vector<int32_t> required;
  };
  struct PriceFound {
    int32_t id = 0;
    ppMoney price = ppMoney::FromRaw(ppMoney::kNoValue), price2 = ppMoney::FromRaw(ppMoney::kNoValue);
  };

  // The first price record of unit `unit` by colour, or by the colour's group; id 0 when none.
  PriceFound LookupPrice(int32_t unit, int32_t colour, bool byColourGroup);
  int32_t ColourGroupOf(int32_t colour);
  void MakeCandidates(PacketGroup& group);
  void EmitLine(zelvproCalculatorFil& lines, const PacketEntry& entry);
  // "group" and "tcolorText" of the line in the current buffer of `lines` for unit `unit`; answers
  // the unit's "flags".
  int32_t UnitTexts(zelvproCalculatorFil& lines, int32_t unit, int32_t colour);
  void PriceFields(zelvproCalculatorFil& lines, const PriceFound& price);

  zelvDatabase& db_;
  std::unique_ptr<zelvproPriceFil> prices_;
  std::unique_ptr<zelvproPacketFil> packets_;
  std::unique_ptr<zelvproUnitFil> units_;
  std::unique_ptr<zelvproColorCatalogFil> colours_;
  std::unique_ptr<ppDatafile> catalogueGroups_;
  std::vector<std::unique_ptr<PacketGroup>> groups_;
  std::vector<int32_t> unitIds_;   // the unit file's records in record order
  std::vector<int32_t> families_;  // per unit of unitIds_: its packet level or -1
  std::unordered_map<int32_t, size_t> unitPosition_;
  std::vector<PacketRecord> packetRecords_;            // in record order
  std::vector<std::unique_ptr<PacketEntry>> entries_;  // sorted, see AddLine
  int64_t budget_ = PacketGroup::kDefaultBudget;
};
