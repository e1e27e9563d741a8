#include "elements/base/ElementGeometryCache.h"

#include <map>

#include "foundation/ppRay.h"
#include "platform/ResetList.h"
#include "scene3d/context/iRenderer.h"
#include "scene3d/context/ppShapePrimitive.h"
#include "scene3d/objects/iLayerOwner.h"

namespace {

// Render-flag bits: a layer that takes no part in picking (0x40), or in boxes (0x40 and 0x200).
constexpr uint32_t kNotPicked = 0x40;
constexpr uint32_t kNotMeasured = 0x240;

// The shared cache objects by record id; user-interface thread only.
std::map<int32_t, std::unique_ptr<ElementGeometryCache>> gGeometryCaches;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("element geometry caches", [] { ElementGeometryCache::ResetShared(); });

// What a part lends a shared layer while it draws or measures it; put back on leaving.
class LayerLoan {
 public:
  LayerLoan(qxUnitLayer3D& layer, iLayerOwner& owner, const ElementGeometryCache::Part& part,
            uint32_t& textureName)
      : layer_(layer), saved_(layer), textureName_(textureName) {
    layer.owner = &owner;
    layer.valueA = uint32_t(part.colourA);
    layer.valueB = uint32_t(part.colourB);
    layer.optionNumber = part.optionNumber;
    layer.renderFlags = (layer.renderFlags & part.andMask) | part.orMask;
    layer.textureName = textureName;
  }
  ~LayerLoan() {
    textureName_ = layer_.textureName;
    layer_.owner = saved_.owner;
    layer_.valueA = saved_.valueA;
    layer_.valueB = saved_.valueB;
    layer_.optionNumber = saved_.optionNumber;
    layer_.renderFlags = saved_.renderFlags;
    layer_.textureName = saved_.textureName;
  }
  LayerLoan(const LayerLoan&) = delete;
  LayerLoan& operator=(const LayerLoan&) = delete;

 private:
  struct Saved {
    explicit Saved(const qxUnitLayer3D& l)
        : owner(l.owner),
          valueA(l.valueA),
          valueB(l.valueB),
          optionNumber(l.optionNumber),
          renderFlags(l.renderFlags),
          textureName(l.textureName) {}
    iLayerOwner* owner;
    uint32_t valueA, valueB, optionNumber, renderFlags, textureName;
  };
  qxUnitLayer3D& layer_;
  Saved saved_;
  uint32_t& textureName_;
};

}  // namespace

int32_t ElementGeometryCache::IndexOf(const Key& key) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].key == key) return int32_t(i);
  return -1;
}

void ElementGeometryCache::Append(const Key& key, std::shared_ptr<TripleWithSet> record) {
  entries_.push_back(Entry{key, std::move(record)});
}

TripleWithSet* ElementGeometryCache::RecordAt(int32_t index) const {
  if (index < 0 || size_t(index) >= entries_.size()) return nullptr;
  return entries_[size_t(index)].record.get();
}

template <typename Fn>
void ElementGeometryCache::WithLayers(iLayerOwner& owner, Part& part, Fn fn) const {
  TripleWithSet* record = RecordAt(part.layer);
  if (record == nullptr) return;
  part.textureNames.resize(record->layers.size(), 0);
  for (size_t i = 0; i < record->layers.size(); ++i) {
    LayerLoan loan(record->layers[i], owner, part, part.textureNames[i]);
    fn(record->layers[i]);
  }
}

void ElementGeometryCache::DrawPart(iRenderer& renderer, iLayerOwner& owner, Part& part) const {
  WithLayers(owner, part, [&](qxUnitLayer3D& layer) { layer.Render(renderer); });
}

void ElementGeometryCache::GetPartBounds(ppBounds3& out, iLayerOwner& owner, Part& part, uint32_t include,
                                         uint32_t exclude) const {
  out = ppBounds3();
  if ((part.orMask & exclude) != 0 || (part.orMask & include) != include) return;
  WithLayers(owner, part, [&](qxUnitLayer3D& layer) {
    if ((layer.GetRenderFlags() & kNotMeasured) != 0) return;
    out.AddBox(layer.faces.GetBounds());
    out.AddBox(layer.edges.GetBounds());
  });
}

float ElementGeometryCache::HitPart(const ppRay& ray, iLayerOwner& owner, Part& part, float best,
                                    ppVector3& hit, ppShapePrimitive& surface) const {
  WithLayers(owner, part, [&](qxUnitLayer3D& layer) {
    if ((layer.GetRenderFlags() & kNotPicked) != 0) return;
    ppVector3 point;
    const ppShapePrimitive* face = nullptr;
    if (!layer.faces.HitTest(ray, &point, &face)) return;
    const float d = ray.origin.Distance(point);
    if (d >= best) return;
    best = d;
    hit = point;
    if (face != nullptr) surface = *face;
  });
  return best;
}

ElementGeometryCache* ElementGeometryCache::FindShared(int32_t recordId) {
  auto found = gGeometryCaches.find(recordId);
  return found != gGeometryCaches.end() ? found->second.get() : nullptr;
}

ElementGeometryCache& ElementGeometryCache::SharedFor(int32_t recordId) {
  std::unique_ptr<ElementGeometryCache>& slot = gGeometryCaches[recordId];
  if (slot == nullptr) slot = std::make_unique<ElementGeometryCache>(false);
  return *slot;
}

size_t ElementGeometryCache::SharedCount() { return gGeometryCaches.size(); }

void ElementGeometryCache::ResetShared() { gGeometryCaches.clear(); }
