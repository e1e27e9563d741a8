// The data unit of the service line's unit selector: lists every node of the unit tree in pre-order
// (the root first) and writes a chosen unit into two properties of the target, the catalogue
// identifier and then the unit record id (for a calculation line "databaseID" and "unitID", whose
// rules fill the price and texts). A value is a node's identity (ppTreeViewNode::Identity).
//
// Columns of item i: 1 the node's identity; 2 and 3 the unit's "tnumber" and "tname" when the node
// names a unit record; 4 empty. A negative or too large item gives nothing. The unit records are read
// through views of the query's own, so the catalogue's unit table keeps its selection.
//
// Owns its node list, not the nodes (the tree outlives the query); the target is not owned and must
// outlive it. After every write it broadcasts its message, when it was given one, on the named
// channel of the global switchboard. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "calculation/CalculationCatalogViews.h"
#include "framework/ppSelectorQuery.h"

class iProperty;
class qxUnitTreeNode;

class qxUnitTreeQuery : public ppSelectorQuery {
 public:
  // `target` and `root` may be null; the property names are looked up once, with a target.
  qxUnitTreeQuery(iProperty* target, qxUnitTreeNode* root, const Vcon::String& databaseProperty,
                  const Vcon::String& unitProperty);
  ~qxUnitTreeQuery() override;

  // The name of the message broadcast after a write; empty (the start): none.
  void SetMessage(const std::string& name) { message_ = name; }

  // `value` names a node by its identity; anything else writes nothing.
  void SetValue(const ppParameter& value, bool notify) override;
  // The node of the target's unit (found by the unit record's id from the root) when its catalogue
  // is open and the unit id is above 0; otherwise `out` stays as it is.
  void GetValue(ppParameter& out) override;
  Vcon::String GetName() override { return Vcon::String(); }

  int32_t GetItemCount() override { return int32_t(nodes_.size()); }
  void GetColumn1(int32_t item, ppParameter& out) override;
  void GetColumn2(int32_t item, ppParameter& out) override;
  void GetColumn3(int32_t item, ppParameter& out) override;
  void GetColumn4(int32_t item, ppParameter& out) override;
  ppTreeViewNode* GetTreeRoot() override;

  const std::vector<qxUnitTreeNode*>& Nodes() const { return nodes_; }

 private:
  qxUnitTreeNode* NodeAt(int32_t item) const;
  // The unit record of `node` read into its view; null when the node names none that can be read.
  CalculationCatalogViews::Views* UnitOf(qxUnitTreeNode* node);

  iProperty* target_;
  qxUnitTreeNode* root_;
  int32_t databaseIndex_ = -1, unitIndex_ = -1;
  std::vector<qxUnitTreeNode*> nodes_;
  CalculationCatalogViews views_;
  std::string message_;
};
