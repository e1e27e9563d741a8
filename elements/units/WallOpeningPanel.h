// The configurator tab of an element that stands in a wall (door, room window, structure element):
// a caption with the unit's name, the size fields of the axes the element stretches along and, for
// windows, the height above the floor, with numbered customisation texts between them. One tab,
// built from scratch each time; the builder keeps nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "elements/topview/iConfigurator.h"

class zelvproParametricElement;

class WallOpeningPanel {
 public:
  // Which rows a kind of element shows; the text ids are numbers of the text database.
  struct Layout {
    const char* tabName;
    int32_t captionText;  // the caption of an element without a unit
    std::vector<int32_t> textsBeforeSizes, textsAfterSizes;
    bool aboveFloor;  // the "AboveFloor" row, then textsAfterAboveFloor
    std::vector<int32_t> textsAfterAboveFloor;
  };
  static const Layout kDoor, kWindow, kStructure;

  static void Build(zelvproParametricElement& element, const Layout& layout);

 private:
  WallOpeningPanel(zelvproParametricElement& element, ConfigPanel& panel)
      : element_(element), panel_(panel) {}
  // The unit's name; without a unit, text `textId` (`fallback` when the text database has none).
  void AddCaption(int32_t textId, const char* fallback);
  void AddTexts(const std::vector<int32_t>& ids);
  void AddSizeFields();
  void AddAboveFloor();
  ConfigField& AddEdit(const char* property, int32_t labelText, const char* fallback, bool undoable);

  zelvproParametricElement& element_;
  ConfigPanel& panel_;
};
