// One element in a chain of elements. A selection chain lets the information panel show the
// properties of one element, the head (the one clicked last), while an edit made there reaches every
// element of the chain, each through its own index for the same property name. Edits open and close
// batches (kBeginEdit, kEndEdit); when the last batch closes, a killer sweeper deletes the chain once
// the edit has finished. The same class, made "link only", is the link of an element's association
// list.
//
// Ownership: a holder owns the rest of its chain (deleting it deletes every holder after it); the
// elements are not owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "database/iProperty.h"
#include "foundation/ppVector3.h"
#include "framework/iUndoer.h"
#include "framework/iViewHolder.h"
#include "framework/ppRegion.h"

class qxViewHolderKillerSweeper;
class zelvproElement;

class qxViewHolder : public iProperty, public iUndoer, public iViewHolder {
 public:
  // Puts a holder for `element` in front of `next` (taken over). Unless `linkOnly`, the holder whose
  // element was clicked last becomes the head of the whole chain.
  qxViewHolder(zelvproElement* element, qxViewHolder* next, bool linkOnly);
  ~qxViewHolder() override;

  // ---- Properties: names and values from the head, writes to every element of the chain.
  // The own element's index; a name only a later element has gives that index + 1000.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  // kBeginEdit and kEndEdit open and close a batch; other indexes are set on every element.
  void SetValue(int32_t index, const ppParameter& value) override;
  void EndChange() override;

  // The undo history of the element's canvas.
  ppUndoer* GetUndoer() override;

  // Makes this chain the current one and shows the head in the information panel; the previous chain
  // is deleted unless an edit batch is still open on it.
  void Activate();
  int32_t CountChain() const;
  // Adds the window pixels the element covers to `region` (a new one when null) and returns it.
  std::unique_ptr<ppRegion> BuildRegion(std::unique_ptr<ppRegion> region);
  // The pixels of every element of the chain.
  std::unique_ptr<ppRegion> ChainRegion();
  // `point` becomes the element's position when that lies further left (x), or as far left and
  // further up (z).
  void TakeMinimumPosition(ppVector3& point) const;

  zelvproElement* Element() const { return element_; }
  qxViewHolder* Next() const { return next_; }
  qxViewHolder* Head() const { return head_; }
  // Gives up the rest of the chain (the caller owns it from now on).
  qxViewHolder* ReleaseNext();
  // Takes over `next` as the rest of the chain; the holder must have given up its former rest.
  void SetNext(qxViewHolder* next) { next_ = next; }
  int32_t BatchDepth() const { return batchDepth_; }
  // Whether a holder of the chain starting here stands for `element`.
  bool Holds(const zelvproElement* element) const;
  bool Holds(const qxViewHolder* holder) const;
  // Unlinks and deletes every holder of `chain` that stands for `element`; answers the new first one.
  static qxViewHolder* RemoveLinksTo(qxViewHolder* chain, const zelvproElement* element);

  // Turn (radians) and pivot (millimetres) the tasks give the outline feedback; the element's angle
  // and position when the holder was made.
  float angle = 0.0f;
  ppVector3 pivot;
  ppVector3 startPosition;
  // Where the element begins and ends along its run (millimetres, plan frame): its plan position and
  // that point moved by its width along its turn. A picture render of the printed pages replaces
  // them by the element's points on the picture (millimetres from the picture's left and bottom
  // edges), which the page annotations read.
  ppVector3 runStart, runEnd;
  // 0: a member of an elevation run; 1: a neighbour drawn at the run's end.
  int32_t mark = 0;

  // The current chain, null when none; it is deleted when another one is activated.
  static qxViewHolder* Current();
  // The chain of elements that no collection gathers; kept (and owned) by the worktop code, null
  // when empty.
  static qxViewHolder* ExclusionChain();
  static void SetExclusionChain(qxViewHolder* chain);
  static bool IsExcluded(const zelvproElement* element);
  // Deletes the current chain and forgets the exclusion chain (the run's reset).
  static void Reset();

 private:
  friend class qxViewHolderKillerSweeper;

  // The next holder's index recorded for `index` by IndexOf; -1 when none was recorded.
  int32_t Mapped(int32_t index) const;

  zelvproElement* element_;                      // not owned
  qxViewHolder* next_;                           // owned
  std::map<int32_t, int32_t> indexMap_;          // own index -> next holder's index
  qxViewHolder* head_ = nullptr;                 // null for a link-only holder
  int32_t batchDepth_ = 0;                       // open edit batches
  qxViewHolderKillerSweeper* killer_ = nullptr;  // the pending sweeper that will delete this chain
};
