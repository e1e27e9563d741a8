// The generated 3D objects of plan elements: layer records (TripleWithSet, built by the unit file) of
// one catalogue record. Elements of one record id share one cache object, kept in a process-wide map
// for the rest of the run; an element with a size of its own keeps a private one and deletes it. The
// cache object shares its layer records with the unit file's cache (shared_ptr).
//
// An element draws its cached objects as parts: each part names one layer record by its index here,
// with a matrix (part frame -> element frame), two value words and two masks for the render flags.
// Layer records are shared by every element showing them, so a part applies its owner, words, flags
// and kept texture names to the layers only while it draws or measures them.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/unit3d/TripleWithSet.h"
#include "foundation/ppBounds3.h"
#include "foundation/ppMatrix4.h"

class iLayerOwner;
class iRenderer;
class ppShapePrimitive;
struct ppRay;

class ElementGeometryCache {
 public:
  // One drawn part of an element.
  struct Part {
    ppMatrix4 matrix;   // part frame -> element frame; the identity for a new part
    int32_t layer = 0;  // index of the layer record; below 0: none
    int32_t reserved[3] = {0, 0, 0};
    int32_t colourA = 0;  // handed to the layers as their two value words
    int32_t colourB = 0;
    uint32_t andMask = 0xFFFF;  // the layers' render flags are ANDed with this, then ORed with orMask
    uint32_t orMask = 0;
    // The option key of the option this part shows (0: the unit's own part), lent to the layers.
    uint32_t optionNumber = 0;
    // The texture names this element's drawing kept, one per layer of the record; 0: ask again.
    std::vector<uint32_t> textureNames;
  };

  // The three words a layer record is filed under: unit id (minus it for a private record), linked
  // record (the depth record id) and catalogue.
  struct Key {
    int32_t unitId = 0;
    int32_t linked = 0;
    const zelvDatabase* database = nullptr;
    bool operator==(const Key& other) const = default;
  };

  explicit ElementGeometryCache(bool isPrivate) : isPrivate_(isPrivate) {}
  bool IsPrivate() const { return isPrivate_; }

  // The index of the record filed under `key`; -1 when none.
  int32_t IndexOf(const Key& key) const;
  // Files `record` under `key` (the key the caller asked the unit file with, so that a record the
  // unit file answers under other words, such as the empty record of unit 0, is found again).
  void Append(const Key& key, std::shared_ptr<TripleWithSet> record);
  // The record at `index`; null for an index out of range or a null record.
  TripleWithSet* RecordAt(int32_t index) const;
  size_t Count() const { return entries_.size(); }
  void Clear() { entries_.clear(); }

  // Draws every layer of the part's record through the renderer, as `owner`'s.
  void DrawPart(iRenderer& renderer, iLayerOwner& owner, Part& part) const;
  // The box (part frame) of the part's layers whose render flags have neither 0x40 nor 0x200; empty
  // unless the part's OR mask has every bit of `include`, none of `exclude`, and a layer record.
  void GetPartBounds(ppBounds3& out, iLayerOwner& owner, Part& part, uint32_t include,
                     uint32_t exclude) const;
  // The nearest hit of `ray` (part frame) on the faces of the part's layers without render flag 0x40:
  // its distance from the ray's origin when below `best`, else `best` unchanged. `hit` and `surface`
  // receive the point and the face met, in the part frame.
  float HitPart(const ppRay& ray, iLayerOwner& owner, Part& part, float best, ppVector3& hit,
                ppShapePrimitive& surface) const;

  // ---- The process-wide map from record id to the shared cache objects.
  // The shared object of the record id; null when none was made yet.
  static ElementGeometryCache* FindShared(int32_t recordId);
  // The shared object of the record id, made and filed on first use.
  static ElementGeometryCache& SharedFor(int32_t recordId);
  static size_t SharedCount();
  // Deletes every shared object (the run's reset; no element may still point at one).
  static void ResetShared();

 private:
  struct Entry {
    Key key;
    std::shared_ptr<TripleWithSet> record;
  };

  template <typename Fn>
  void WithLayers(iLayerOwner& owner, Part& part, Fn fn) const;

  bool isPrivate_;
  std::vector<Entry> entries_;
};
