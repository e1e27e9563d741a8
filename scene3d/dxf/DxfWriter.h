#pragma once
// The diagnostic DXF dump of one printed plan page, in the AutoCAD Release 14 text dialect.
//
// The print driver opens the output file, makes a writer on it the current one and lets the page
// draw itself; the room and furniture print drawing send their lines, polylines and blocks to the
// current writer. Every section but HEADER is kept in a text buffer of its own until WriteFile, so
// a block defined while the entities are being drawn still lands in BLOCKS, ahead of ENTITIES, and
// the HEADER's $HANDSEED can name the handle after every other one.
//
// Calling order for one page (the driver's protocol):
//   SetTitle; BeginTables, AddLayer..., EndTables; BeginBlocks, EndBlocks; BeginEntities;
//   entity and block calls while the page draws; EndEntities; WriteObjects, EndObjects; WriteFile.
// AddLayer works only between BeginTables and EndTables; blocks may be begun at any time before
// WriteFile. Entities go into the block being defined from BeginBlock until LeaveBlock (or
// BeginEntities), otherwise into ENTITIES.
//
// Text is single-byte and written as the callers pass it, except that a carriage return or line
// feed in a title, name, layer or colour becomes a blank, so it cannot break the line structure.
// Lines end with one line feed. No operation reports an error to its caller; a file that could not
// be created or written is reported on standard error by WriteFile.

#include <cstdint>
#include <span>

#include "foundation/FileRecord.h"
#include "foundation/VconString.h"
#include "foundation/ppVector2.h"

class DxfWriter {
 public:
  // `file` is the output file, opened for writing by the driver (OpenOutputFile), or closed when it
  // could not be created; the driver keeps ownership and closes it after WriteFile.
  explicit DxfWriter(ppFileSpec& file);
  DxfWriter(const DxfWriter&) = delete;
  DxfWriter& operator=(const DxfWriter&) = delete;

  // The text of the first HEADER comment.
  void SetTitle(const Vcon::String& text);

  // TABLES: VPORT and LTYPE, the LAYER table with layer "0" (colour "7"), the BLOCK_RECORD head.
  void BeginTables();
  // One LAYER entry; `colour` is an AutoCAD colour index as text. Every layer is CONTINUOUS.
  void AddLayer(const Vcon::String& name, const Vcon::String& colour);
  // Closes LAYER with its entry count and adds STYLE, VIEW, UCS, APPID and DIMSTYLE.
  void EndTables();

  // BLOCKS with the two standard blocks "*MODEL_SPACE" and "*PAPER_SPACE".
  void BeginBlocks();
  // A BLOCK_RECORD entry and the BLOCK head; later entities go into this block. Blocks do not nest.
  void BeginBlock(const Vcon::String& name, const Vcon::String& layer, float x, float y, float z,
                  bool paperSpace);
  // The ENDBLK of the block being defined; entities still go into BLOCKS until LeaveBlock.
  void EndBlock();
  void LeaveBlock();
  void EndBlocks();

  void BeginEntities();
  // A LINE in the plane.
  void WriteLine(const ppVector2& from, const ppVector2& to, const Vcon::String& layer);
  // A POLYLINE of the first `count` points with its VERTEX entities and SEQEND. At most
  // points.size() vertices are written; a negative count writes none. Closure is the flag only: the
  // first point is not repeated.
  void WritePolyline(int32_t count, std::span<const ppVector2> points, const Vcon::String& layer,
                     bool closed);
  // An INSERT of block `name`; `rotation` in degrees.
  void WriteInsert(const Vcon::String& name, const Vcon::String& layer, float x, float y, float z,
                   float scaleX, float scaleY, float scaleZ, float rotation);
  void EndEntities();

  // The fixed OBJECTS section (dictionaries and the standard multiline style); takes ten handles.
  void WriteObjects();
  void EndObjects();

  // Writes HEADER (taking the $HANDSEED handle), the buffers and EOF to the file at its position.
  // The buffers are kept. A closed file or a failed write is reported on standard error.
  void WriteFile();

  // Value lines, each ending in a line feed.
  static Vcon::String IntText(int32_t value);
  // Four decimals rounded half away from zero, trailing zeros and a bare point dropped; a magnitude
  // below 0.000001 is "0", one that only rounds to zero keeps its sign ("-0").
  static Vcon::String RealText(float value);
  // Groups 10+k and 20+k (and 30+k) with their values; k is 0 or 1.
  static Vcon::String PointText2D(float x, float y, int32_t codeOffset);
  static Vcon::String PointText3D(float x, float y, float z, int32_t codeOffset);

  // The writer of the dump under way, null when none runs. Set by the driver after constructing the
  // writer and cleared before deleting it; the drawing code tests it before every call.
  static DxfWriter* Current();
  static void SetCurrent(DxfWriter* writer);

  // Where the driver writes the dump: "zelvo.dxf" in $TMPDIR, else in /tmp, unless a path was set.
  static Vcon::WString OutputPath();
  // An empty path returns to the default.
  static void SetOutputPath(const Vcon::WString& path);
  // Opens OutputPath() for writing, emptied; on failure `file` is left closed and WriteFile reports.
  static void OpenOutputFile(ppFileSpec& file);

 private:
  // The next handle as upper-case hexadecimal, with its group code 5 unless `bare`.
  Vcon::String HandleText(bool bare = false);
  // Where entities go now: the block being defined or ENTITIES.
  Vcon::String& EntityTarget();
  Vcon::String HeaderText();
  Vcon::String FileText();
  void WriteTextToFile(const Vcon::String& text);

  ppFileSpec& file;
  int32_t nextHandle = 1;
  int32_t layerCount = 0;
  Vcon::String title;
  Vcon::String tablesHead;            // TABLES head, VPORT and LTYPE
  Vcon::String layerTableHead;        // LAYER head up to its count's group code
  Vcon::String layerEntries;          // one LAYER entry per layer
  Vcon::String blockRecordTableHead;  // BLOCK_RECORD head; WriteFile closes the table
  Vcon::String blockRecordEntries;    // one entry per block begun
  Vcon::String tablesTail;            // the finished LAYER table and STYLE to DIMSTYLE
  Vcon::String blocksSection;         // BLOCKS head and every block definition
  Vcon::String blocksEnd;             // what closes BLOCKS
  Vcon::String blockLayer;
  bool blockPaperSpace = false;
  bool inBlock = false;
  Vcon::String entitiesSection;
  Vcon::String objectsSection;
};
