// The shared map from a picture key (the picture's value array) to one picture copy and to one
// shape, so that elements showing the same texture or body share them. The map owns the copies and
// the shapes it holds.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "framework/ppPicture.h"
#include "scene3d/context/ppShape3D.h"

class ppObjectMap {
 public:
  using Key = std::vector<double>;

  // Stores a copy of the picture under its key, replacing an earlier copy under the same key;
  // nothing for a null picture.
  void SetEntry(const ppPicture* picture);
  // The copy stored under the key, or null.
  ppPicture* Find(const Key& key) const;

  // Hands the shape to the map under the key, replacing an earlier one; answers the stored shape.
  ppShape3D* SetShape(const Key& key, std::unique_ptr<ppShape3D> shape);
  ppShape3D* FindShape(const Key& key) const;

 private:
  std::map<Key, std::unique_ptr<ppPicture>> pictures_;
  std::map<Key, std::unique_ptr<ppShape3D>> shapes_;
};
