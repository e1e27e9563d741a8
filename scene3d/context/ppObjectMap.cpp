#include "scene3d/context/ppObjectMap.h"

void ppObjectMap::SetEntry(const ppPicture* picture) {
  if (picture == nullptr) return;
  pictures_[picture->GetValues()] = std::make_unique<ppPicture>(*picture);
}

ppPicture* ppObjectMap::Find(const Key& key) const {
  auto it = pictures_.find(key);
  return it == pictures_.end() ? nullptr : it->second.get();
}

ppShape3D* ppObjectMap::SetShape(const Key& key, std::unique_ptr<ppShape3D> shape) {
  std::unique_ptr<ppShape3D>& slot = shapes_[key];
  slot = std::move(shape);
  return slot.get();
}

ppShape3D* ppObjectMap::FindShape(const Key& key) const {
  auto it = shapes_.find(key);
  return it == shapes_.end() ? nullptr : it->second.get();
}
