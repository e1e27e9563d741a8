// A catalogue element whose size may change along chosen axes after it was placed: its outlines,
// snap anchors and sub-element entries follow the size by per-axis stretch rules, measured against
// the catalogue size (the reference size). It is the base of the door, the room window and the
// structure element. Lengths are millimetres; x is the width, y the height, z the depth.
//
// Ownership: as the top-view element; the reference anchors are a copy the element owns.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "elements/base/SnapAnchor.h"
#include "elements/topview/zelvproTopViewElement.h"

class zelvproParametricElement : public zelvproTopViewElement {
 public:
  static constexpr int32_t kType = 12;
  // Stretch flags of the element flags word.
  static constexpr uint32_t kStretchWidth = 0x20000000, kStretchHeight = 0x40000000;
  static constexpr uint32_t kStretchDepth = 0x80000000, kNoDepthRatio = 0x08000000;
  // Lower-half anchor flags: the anchor that starts a run of linked elements, and the run's ends
  // (which also keep the anchor out of the rescale).
  static constexpr uint32_t kRunStart = 0x100, kRunEnd = 0x200;
  // The code an anchor takes while its axis is stretched.
  static constexpr int32_t kDisabledCode = 0x7FFFFFFF;

  zelvproParametricElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                           zelvproShapeFil& shapes);
  zelvproParametricElement(ppView* parent, ppDatafile& module, bool refresh);

  // size - reference size, and size / reference size; an axis whose reference is 0 has factor 1
  // and offset 0 (a catalogue item without that size cannot be stretched along it).
  ppVector3 SizeOffset() const;
  ppVector3 SizeFactor() const;

  // The outline's modified points stretched by the depth ratio and the stretch flags, in the
  // element's frame; the caller owns the handle.
  virtual Handle MakeScaledTransform(const zelvproShape& outline);
  // The unit's own pieces are stretched as the outlines are.
  Handle UnitPiecePoints(const zelvproShape& piece) override { return MakeScaledTransform(piece); }
  // Anchors whose upper flag half asks for it are re-derived from the catalogue record's anchors.
  void RefreshSnapEntries();
  // The stretch rules of a sub-element entry (flags & 0x777) applied to its placement point.
  void AdjustSubElementEntry(ppVector3& point, uint32_t entryFlags) const;
  float GetCurrentDepth() const { return currentDepth; }

  // The generated 3D parts follow the element's size on the axes it stretches along.
  ppVector3 GetOwnSize() override { return dimensions; }
  bool AcceptsChild(int32_t kind, zelvproElement* /*element*/) override { return kind == -1; }
  // After the top-view element's handling, links the deepest depth record that fits the run of
  // elements this one starts.
  void PushAccessRequest(int32_t key, int32_t level, uint32_t anchorFlags,
                         zelvproElement* neighbour) override;
  // After the top-view element's commit, the anchors follow the stretched axes.
  void CommitEdits() override;
  // A size written by name (the panel's Width, Height and Depth fields) reaches the outlines drawn and
  // hit on the plan and the anchors before the element snaps again.
  void ScheduleUpdate() override;
  // The outline caches are refilled with the stretched outlines, so that drawing, hit tests and
  // the plan figure all see the stretched element.
  void InvalidateGeometry() override;
  // Selecting, moving and dropping the element bring its anchors up to its size again.
  void Select(bool refresh) override;
  void AfterMove() override;
  // A configuration change re-derives the anchors too.
  void RunConfigurationPass() override;
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  void SetLinkedRecord(int32_t id) override;

  // The "points" blob: per outline a u32 byte length and its (x, z) float points; a u32 0 ends it.
  static std::vector<uint8_t> EncodeOutlines(const zelvproShape* first);
  // Puts the blob's blocks into the outlines in order. An empty blob is no data; the reading stops
  // at a zero length, at the end of the blob or of the outline list, and at a block whose length
  // passes the blob's end or is no multiple of 8. Answers the number of blocks taken.
  static int32_t DecodeOutlines(const uint8_t* bytes, size_t size, zelvproShape* first);

  ppVector3 referenceSize;
  std::vector<SnapAnchor> referenceSnaps;
  float catalogDepth = 0.0f, currentDepth = 0.0f;

  // Flag-word bits of the depth cut a grid container makes.
  static constexpr uint32_t kPanelPart = 0x1000, kFullDepthPart = 0x400000;
  // The nearest enclosing element with a grid; null when there is none.
  zelvproTopViewElement* GridContainer() const;
  // How much of a linked depth the container's position sheet takes off this part (mm): a panel
  // part in a cell, or an inset part of a container that has a depth record, loses the sheet's
  // full-depth cut when it stands inside a compartment and says so, else one step cut per step.
  float ContainerDepthCut(zelvproTopViewElement& container);
  // The same choice given the sheet's full-depth cut and step cut (mm).
  float DepthCut(zelvproTopViewElement& container, double fullCut, double stepCut);

 protected:
  // The run's summed length, from the first own anchor that starts one; an element met twice ends it.
  float RunLength() const;
  void RefillOutlineCaches();
  // The anchors at the stretched axes' share of the reference anchors.
  void RescaleAnchors();
};
