// The worktop code of the units: turns the worktop parts of base units into worktop runs (the top
// canvas's worktop pass calls it unit by unit in numbering order), removes runs and generated
// pieces, and covers every run with catalogue worktop pieces when the price list is rebuilt.
//
// The generated pieces are children of the canvas, listed in the element exclusion chain
// (qxViewHolder::ExclusionChain) so that no selection gathers them; that chain is owned here.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "elements/base/iWorktopBuilder.h"

class ppView;
class zelvproWorkTopElement;

class WorktopBuilder : public iWorktopBuilder {
 public:
  // ---- iWorktopBuilder.
  void RemoveGeneratedElements(zelvproCanvas& canvas) override;
  zelvproElement* NewWorktop() override;
  zelvproElement* BuildWorktopsOfUnit(zelvproElement& unit, zelvproElement* run) override;

  // Installs the process's worktop builder as the current one.
  static void InstallDefault();

  // Each worktop element (kind 17) of `canvas` is detached and deleted.
  static void RemoveWorktopRuns(ppView& canvas);
  // Each generated piece is deleted (its calculation lines with it); the list becomes empty.
  static void RemoveGeneratedPieces();
  static bool IsGeneratedPiece(const zelvproElement* element);
  // Removes the pieces, then covers every run of `canvas` with pieces from the worktop table.
  static void GenerateWorktopPieces(ppView& canvas);

  // The runs one unit made (`made`, taken over; only the first two are used, the others deleted)
  // carried on from `current` (taken over): finished runs are attached to `canvas`, dropped ones
  // deleted; answers the run to continue with.
  static zelvproWorkTopElement* CombineRuns(zelvproWorkTopElement* current,
                                            std::vector<zelvproWorkTopElement*> made, ppView& canvas);
  // The colour mask of a piece's colour index (1-based); an index below 1 gives the first bit.
  static int32_t MaskOfColourIndex(int32_t index);
};
