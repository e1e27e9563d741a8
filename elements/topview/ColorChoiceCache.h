// The colours allowed at a colour position of a top-view element, as FillColorChoices worked them
// out, kept for the whole run: the information panel asks for every position of every selected
// element whenever it is built. Nothing is ever dropped; a key worked out again replaces its list.
// Equal lists of one catalogue share one stored list.
//
// One process-wide cache, user-interface thread only.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ColorChoiceCache {
 public:
  using Colours = std::vector<int32_t>;  // colour record ids in selection order

  struct Key {
    int32_t settingsId = 0;  // the catalogue settings record's "identifier"
    int32_t topView = 0;     // the element's top-view record id
    int32_t position = 0;    // colour position, from 1
    int32_t depth = 0;       // the element's depth record id
    bool withChildren = false;
    std::string text;  // what else the answer depends on: option key, unit, chosen options, children
    auto operator<=>(const Key&) const = default;
  };

  // The list stored under `key`, or null.
  static std::shared_ptr<const Colours> Lookup(const Key& key);
  // Stores `colours` under `key`, sharing an equal list already stored for the same catalogue.
  static void Store(const Key& key, const Colours& colours);

  static size_t KeyCount();
  // The distinct lists stored.
  static size_t ListCount();
  static void Clear();
};
