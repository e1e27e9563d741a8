// The catalogue worktops that cover the worktop runs, read once at start-up from the text file
// ".\settings\info\worktops.txt" under the program folder. Each line holds a catalogue identifier
// and a stored top-view "ID", separated by a TAB; entries keep the file's order (the covering takes
// the first wide enough, so the file lists them by ascending width).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ppVector3.h"

class zelvDatabase;

struct WorktopInfo {
  zelvDatabase* db = nullptr;  // not owned
  int32_t recordId = 0;        // of the top-view record in db
  ppVector3 size;              // the record's width, height and depth, millimetres
};

class WorktopTable {
 public:
  // One piece of a covering: the table entry it is made from and the length it is cut to.
  struct Cut {
    size_t entry = 0;
    float length = 0.0f;
  };

  // Replaces the table with the file's entries (see ReadText). A file that cannot be read gives an
  // empty table, without a message.
  static void ReadWorktopInfo();
  // Replaces the table with the entries of `text`. A line whose catalogue is not open or whose
  // record is missing adds nothing; a line with a single field ends the reading.
  static void ReadText(const std::string& text);
  static const std::vector<WorktopInfo>& Entries();
  static void Clear();

  // Coverings of more pieces than this are none: no kitchen has such a run, and a damaged plan's
  // length of 1e34 millimetres would otherwise never end.
  static constexpr size_t kMostPieces = 1000;

  // The pieces that cover `length` with entries of these widths: the first entry at least as wide
  // takes the rest; while none is, a piece of the last entry's width is cut. A last entry of width
  // 0 or less cannot cover anything and ends the covering. Empty for no widths or no length, and for
  // a length that would take more than kMostPieces pieces.
  static std::vector<Cut> Cover(const std::vector<float>& widths, float length);
};
