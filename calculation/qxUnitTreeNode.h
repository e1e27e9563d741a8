// One node of the unit tree that the service lines of the price list choose their catalogue unit
// from: a group (no database, the text read from the tree file) or a unit (a catalogue database and
// the unit's record id; the text is the unit's name). The node id is the number the tree file gives;
// for a unit it is also the unit's record id in its database. The root has id 0 and an empty text.
//
// Every child of a unit tree node is a unit tree node (AddChild takes only those). Children are owned
// and destroyed with the node. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "controls/ppTreeViewNode.h"

class CalculationCatalogViews;
class zelvDatabase;

class qxUnitTreeNode : public ppTreeViewNode {
 public:
  // Longest field of a tree file, bytes; longer fields are cut to it.
  static constexpr size_t kFieldLimit = 255;

  qxUnitTreeNode();
  ~qxUnitTreeNode() override;

  int32_t Id() const { return id_; }
  void SetId(int32_t id) { id_ = id; }
  // The unit's catalogue database; null for a group. Not owned.
  zelvDatabase* Database() const { return database_; }
  // The unit's record id in Database(); 0 when the node names no unit record.
  int32_t UnitRecordId() const { return unitRecordId_; }
  // Levels below the root (the root and a node not yet in a tree: 0).
  int32_t Depth() const { return depth_; }

  // Appends `child` after the others and answers it.
  qxUnitTreeNode* AddChild(std::unique_ptr<qxUnitTreeNode> child);
  size_t ChildCount() const { return Children().size(); }
  qxUnitTreeNode* ChildAt(size_t i) const;
  // The first node of id `id` in pre-order from this node (this node first), or null. A linear walk
  // without recursion.
  qxUnitTreeNode* FindById(int32_t id);

  // Reads fields 2 to 4 of a tree file record from `position` (inside a NUL-terminated text): the
  // node id (a number as the user's locale writes it), the catalogue identifier of a unit node
  // (empty for a group) and the text of a group. A unit found in its database takes the unit's
  // "tname" (read through `views`, so the catalogue's own unit table keeps its selection); a unit id
  // missing from its database leaves the text empty and the record id 0; an identifier that names no
  // open catalogue makes a group with the field's text ("Doors;123": text 123 of the user's
  // language, "Doors" without it). Fields longer than kFieldLimit bytes are cut.
  // Answers where field 5 starts; null when the text ended before it. `lineEnded` is set when the
  // line ended before field 5 (the record is short), else left as it is.
  virtual const char* ParseLine(const char* position, CalculationCatalogViews& views, bool& lineEnded);

 private:
  int32_t id_ = 0;
  zelvDatabase* database_ = nullptr;
  int32_t unitRecordId_ = 0;
  int32_t depth_ = 0;
};
