// A registry of renderers by name. Callers receive a fresh renderer they own; the registered ones
// are never handed out. Every operation goes through the virtual slots, so a registry that answers
// another count, name or creation changes the search too. Here: no renderers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "scene3d/context/iRenderer.h"

class iRenderFactory {
 public:
  virtual ~iRenderFactory() = default;

  virtual int32_t GetCount() const { return 0; }
  // The name at `index`; "" out of range.
  virtual std::string GetName(int32_t /*index*/) const { return std::string(); }
  // A copy of the renderer at `index`; null out of range.
  virtual std::unique_ptr<iRenderer> CreateByIndex(int32_t /*index*/) const { return nullptr; }
  // A copy of the renderer whose name equals `name` exactly (letter case counts); null for none.
  virtual std::unique_ptr<iRenderer> FindByName(const std::string& name) const;
};
