#include "scene3d/dxf/DxfWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "foundation/FileOperations.h"
#include "foundation/NumberFormatter.h"
#include "foundation/PosixPath.h"
#include "platform/ResetList.h"

namespace {

// Both belong to the user-interface thread, which lays out and prints the page; nothing else
// touches them.
DxfWriter* currentWriter = nullptr;
Vcon::WString outputPathSetting;  // empty: the default in the temporary folder

[[maybe_unused]] const bool kReset = plat::ResetList::Add("DXF dump: current writer and output path", [] {
  currentWriter = nullptr;
  outputPathSetting.clear();
});

// Below this magnitude a real is written as a plain "0".
constexpr double kSmallestReal = 1e-06;
constexpr int32_t kRealDecimals = 4;
// The largest piece handed to one file write, whose count is 32 bits.
constexpr size_t kWriteChunk = size_t{1} << 30;

// The caller's text with carriage returns and line feeds made blanks: a value line stays one line.
Vcon::String OneLine(const Vcon::String& text) {
  Vcon::String line = text;
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

Vcon::String DefaultOutputFolder() {
  const char* tmp = std::getenv("TMPDIR");
  if (tmp == nullptr || *tmp == '\0') return "/tmp";
  return tmp;
}

// The text of the four VPORT "*ACTIVE" groups, the three linetypes and the DIMSTYLE "STANDARD"
// values: fixed, written unchanged.
const char kActiveViewport[] =
    "  2\n*ACTIVE\n 70\n 0\n 10\n0.0\n 20\n0.0\n 11\n1.0\n 21\n1.0\n 12\n7.263841\n 22\n4.5\n"
    " 13\n0.0\n 23\n0.0\n 14\n0.5\n 24\n0.5\n 15\n0.5\n 25\n0.5\n 16\n0.0\n 26\n0.0\n 36\n1.0\n"
    " 17\n0.0\n 27\n0.0\n 37\n0.0\n 40\n9.0\n 41\n1.614187\n 42\n50.0\n 43\n0.0\n 44\n0.0\n"
    " 50\n0.0\n 51\n0.0\n 71\n 0\n 72\n100\n 73\n 1\n 74\n 1\n 75\n 0\n 76\n 0\n 77\n 0\n 78\n 0\n";

const char* const kLinetypes[] = {
    "  2\nBYBLOCK\n 70\n 64\n  3\n \n 72\n 65\n 73\n 0\n 40\n0.0\n",
    "  2\nBYLAYER\n 70\n 64\n  3\n \n 72\n 65\n 73\n 0\n 40\n0.0\n",
    "  2\nCONTINUOUS\n 70\n 0\n 3\nSolid line\n 72\n 65\n 73\n 0\n 40\n0.0\n",
};

const char kStandardDimStyle[] =
    "  2\nSTANDARD\n 70\n 0\n 3\n \n 4\n \n 5\n \n 6\n \n 7\n \n"
    " 40\n1.0\n 41\n0.18\n 42\n0.0625\n 43\n0.38\n 44\n0.18\n 45\n0.0\n 46\n0.0\n 47\n0.0\n 48\n0.0\n"
    " 71\n 0\n 72\n 0\n 73\n 1\n 74\n 1\n 75\n 0\n 76\n 0\n 77\n 0\n 78\n 0\n"
    "140\n0.18\n141\n0.09\n142\n0.0\n143\n25.4\n144\n1.0\n145\n0.0\n146\n1.0\n147\n0.09\n"
    "170\n 0\n171\n 2\n172\n 0\n173\n 0\n174\n 0\n175\n 0\n176\n 0\n177\n 0\n178\n 0\n"
    "270\n 2\n271\n 4\n272\n 4\n273\n 2\n274\n 2\n275\n 0\n"
    "280\n 0\n281\n 0\n282\n 0\n283\n 1\n284\n 0\n285\n 0\n286\n 0\n287\n 3\n288\n 0\n"
    "340\n10\n";

const char kStandardMlineStyle[] =
    "  2\nStandard\n 70\n 0\n  3\n \n 62\n 0\n 51\n90.0\n 52\n90.0\n 71\n 2\n 49\n0.5\n 62\n256\n"
    "  6\nByLayer\n 49\n-0.5\n 62\n256\n  6\nByLayer\n";

const char kEndTable[] = "  0\nENDTAB\n";
const char kEndSection[] = "  0\nENDSEC\n";

}  // namespace

DxfWriter::DxfWriter(ppFileSpec& outputFile) : file(outputFile) {}

void DxfWriter::SetTitle(const Vcon::String& text) { title = OneLine(text); }

void DxfWriter::BeginTables() {
  Vcon::String text = "  0\nSECTION\n  2\nTABLES\n";
  text += "  0\nTABLE\n    2\nVPORT\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n 1\n";
  text += "  0\nVPORT\n" + HandleText() + "100\nAcDbSymbolTableRecord\n100\nAcDbViewportTableRecord\n";
  text += kActiveViewport;
  text += kEndTable;
  text += "  0\nTABLE\n  2\nLTYPE\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n  3\n";
  for (const char* linetype : kLinetypes) {
    text += "  0\nLTYPE\n" + HandleText() + "100\nAcDbSymbolTableRecord\n100\nAcDbLinetypeTableRecord\n";
    text += linetype;
  }
  text += kEndTable;
  tablesHead = text;

  layerEntries.clear();
  layerCount = 0;  // the count line must match the entries
  layerTableHead = "  0\nTABLE\n  2\nLAYER\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n";
  AddLayer("0", "7");
  blockRecordEntries.clear();
  blockRecordTableHead = "  0\nTABLE\n  2\nBLOCK_RECORD\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n 0\n";
}

void DxfWriter::AddLayer(const Vcon::String& name, const Vcon::String& colour) {
  Vcon::String text =
      "  0\nLAYER\n" + HandleText() + "100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n";
  text += "  2\n" + OneLine(name) + "\n 70\n 0\n 62\n" + OneLine(colour) + "\n 6\nCONTINUOUS\n";
  layerEntries += text;
  ++layerCount;
}

void DxfWriter::EndTables() {
  Vcon::String text = layerTableHead + IntText(layerCount) + layerEntries + kEndTable;
  text += "  0\nTABLE\n  2\nSTYLE\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n 1\n";
  text += "  0\nSTYLE\n" + HandleText() + "100\nAcDbSymbolTableRecord\n100\nAcDbTextStyleTableRecord\n";
  text += "  2\nSTANDARD\n 70\n 0\n 40\n0.0\n 41\n1.0\n 50\n0.0\n 71\n 0\n 42\n0.2\n 3\nTXT\n 4\n \n";
  text += kEndTable;
  text += "  0\nTABLE\n  2\nVIEW\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n 0\n" + kEndTable;
  text += "  0\nTABLE\n  2\nUCS\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n 0\n" + kEndTable;
  text += "  0\nTABLE\n  2\nAPPID\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n 1\n";
  text += "  0\nAPPID\n" + HandleText() + "100\nAcDbSymbolTableRecord\n100\nAcDbRegAppTableRecord\n";
  text += "  2\nACAD\n 70\n 0\n";
  text += kEndTable;
  text += "  0\nTABLE\n  2\nDIMSTYLE\n" + HandleText() + "100\nAcDbSymbolTable\n 70\n 1\n";
  text += "  0\nDIMSTYLE\n 105\n" + HandleText(true) +
          "100\nAcDbSymbolTableRecord\n100\nAcDbDimStyleTableRecord\n";
  text += kStandardDimStyle;
  text += kEndTable;
  tablesTail = text;
}

void DxfWriter::BeginBlocks() {
  blocksSection = "  0\nSECTION\n  2\nBLOCKS\n";
  BeginBlock("*MODEL_SPACE", "0", 0, 0, 0, false);
  EndBlock();
  BeginBlock("*PAPER_SPACE", "0", 0, 0, 0, true);
  EndBlock();
}

void DxfWriter::BeginBlock(const Vcon::String& name, const Vcon::String& layer, float x, float y, float z,
                           bool paperSpace) {
  const Vcon::String blockName = OneLine(name);
  blockLayer = OneLine(layer);
  blockPaperSpace = paperSpace;
  blockRecordEntries += "  0\nBLOCK_RECORD\n" + HandleText() +
                        "100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n  2\n" + blockName + "\n";
  Vcon::String text = "  0\nBLOCK\n" + HandleText() + "100\nAcDbEntity\n";
  if (blockPaperSpace) text += " 67\n 1\n";
  text += "  8\n" + blockLayer + "\n100\nAcDbBlockBegin\n";
  text += "  2\n" + blockName + "\n 70\n 0\n" + PointText3D(x, y, z, 0) + "  3\n" + blockName + "\n  1\n \n";
  blocksSection += text;
  inBlock = true;
}

void DxfWriter::EndBlock() {
  Vcon::String text = "  0\nENDBLK\n" + HandleText() + "100\nAcDbEntity\n";
  if (blockPaperSpace) text += " 67\n 1\n";
  text += "  8\n" + blockLayer + "\n100\nAcDbBlockEnd\n";
  blocksSection += text;
}

void DxfWriter::LeaveBlock() { inBlock = false; }

void DxfWriter::EndBlocks() { blocksEnd = kEndSection; }

void DxfWriter::BeginEntities() {
  entitiesSection = "  0\nSECTION\n  2\nENTITIES\n";
  inBlock = false;
}

void DxfWriter::WriteLine(const ppVector2& from, const ppVector2& to, const Vcon::String& layer) {
  Vcon::String text = "  0\nLINE\n" + HandleText() + "100\nAcDbEntity\n";
  text += "  8\n" + OneLine(layer) + "\n100\nAcDbLine\n";
  text += PointText2D(from.x, from.y, 0) + PointText2D(to.x, to.y, 1);
  EntityTarget() += text;
}

void DxfWriter::WritePolyline(int32_t count, std::span<const ppVector2> points, const Vcon::String& layer,
                              bool closed) {
  const Vcon::String layerLine = OneLine(layer);
  const size_t vertices = count > 0 ? std::min(static_cast<size_t>(count), points.size()) : 0;
  Vcon::String text = "  0\nPOLYLINE\n" + HandleText() + "100\nAcDbEntity\n";
  text += "  8\n" + layerLine + "\n100\nAcDb2dPolyline\n";
  text += " 66\n 1\n" + PointText3D(0, 0, 0, 0);
  text += closed ? " 70\n 1\n" : " 70\n 0\n";
  for (size_t i = 0; i < vertices; ++i) {
    text += "  0\nVERTEX\n" + HandleText() + "100\nAcDbEntity\n";
    text += "  8\n" + layerLine + "\n100\nAcDbVertex\n100\nAcDb2dVertex\n";
    text += PointText3D(points[i].x, points[i].y, 0, 0);
  }
  text += "  0\nSEQEND\n" + HandleText() + "100\nAcDbEntity\n  8\n" + layerLine + "\n";
  EntityTarget() += text;
}

void DxfWriter::WriteInsert(const Vcon::String& name, const Vcon::String& layer, float x, float y, float z,
                            float scaleX, float scaleY, float scaleZ, float rotation) {
  Vcon::String text = "  0\nINSERT\n" + HandleText() + "100\nAcDbEntity\n";
  text += "  8\n" + OneLine(layer) + "\n100\nAcDbBlockReference\n";
  text += "  2\n" + OneLine(name) + "\n";
  text += PointText3D(x, y, z, 0);
  text += " 41\n" + RealText(scaleX) + " 42\n" + RealText(scaleY) + " 43\n" + RealText(scaleZ);
  text += " 50\n" + RealText(rotation);
  EntityTarget() += text;
}

void DxfWriter::EndEntities() { entitiesSection += kEndSection; }

void DxfWriter::WriteObjects() {
  // The ten handles are taken first, in order; the text refers to them out of that order.
  Vcon::String h[10];
  for (Vcon::String& handle : h) handle = HandleText(true);
  const Vcon::String reactorsOfRoot = "102\n{ACAD_REACTORS\n330\n" + h[0] + "102\n}\n";
  Vcon::String text = "  0\nSECTION\n  2\nOBJECTS\n";
  text += "  0\nDICTIONARY\n  5\n" + h[0] + "100\nAcDbDictionary\n";
  text += "  3\nACAD_GROUP\n350\n" + h[1];
  text += "  3\nACAD_MLINESTYLE\n350\n" + h[2];
  text += "  3\nACDBVARIABLEDICTIONARY\n350\n" + h[3];
  text += "  0\nDICTIONARY\n  5\n" + h[1] + reactorsOfRoot + "100\nAcDbDictionary\n";
  text += "  0\nDICTIONARY\n  5\n" + h[2] + reactorsOfRoot + "100\nAcDbDictionary\n";
  text += "  3\nSTANDARD\n350\n" + h[4];
  text +=
      "  0\nMLINESTYLE\n  5\n" + h[4] + "102\n{ACAD_REACTORS\n330\n" + h[2] + "102\n}\n100\nAcDbMlineStyle\n";
  text += kStandardMlineStyle;
  text += "  0\nDICTIONARY\n  5\n" + h[5] + reactorsOfRoot + "100\nAcDbDictionary\n";
  text += "  3\nLAYOUT1\n350\n" + h[7];
  text += "  3\nMODEL\n350\n" + h[8];
  text += "  0\nDICTIONARY\n  5\n" + h[9] + reactorsOfRoot + "100\nAcDbDictionary\n";
  text += "  0\nDICTIONARY\n  5\n" + h[3] + "100\nAcDbDictionary\n";
  text += "  3\nDIMADEC\n350\n" + h[6];
  text += "  0\nDICTIONARYVAR\n  5\n" + h[6] + "100\nDictionaryVariables\n280\n 0\n  1\n0\n";
  objectsSection = text;
}

void DxfWriter::EndObjects() { objectsSection += kEndSection; }

void DxfWriter::WriteFile() { WriteTextToFile(FileText()); }

Vcon::String DxfWriter::HeaderText() {
  Vcon::String text = "  0\nSECTION\n  2\nHEADER\n";
  text += "999\n" + title + "\n";
  text += "999\nEmulating ACAD version 14\n  9\n$ACADVER\n  1\nAC1014\n";
  text += "999\nAngles are counterclockwise\n  9\n$ANGDIR\n 70\n0\n";
  text += "999\nAngleunits are 360-degrees\n  9\n$AUNITS\n 70\n0\n";
  text += "999\nEntity color BYLAYER\n  9\n$CECOLOR\n 62\n256\n";
  text += "999\nEntity linetype BYLAYER\n  9\n$CELTYPE\n  6\nBYLAYER\n";
  text += "999\nFillmode is ON\n  9\n$FILLMODE\n 70\n1\n";
  text += "999\nNext available handle\n  9\n$HANDSEED\n" + HandleText();
  text += "999\nSketch: 0=lines, 1=polylines\n  9\n$SKPOLY\n 70\n 1\n";
  text += kEndSection;
  return text;
}

Vcon::String DxfWriter::FileText() {
  Vcon::String text = HeaderText();
  text += tablesHead + tablesTail + blockRecordTableHead + blockRecordEntries + kEndTable + kEndSection;
  text += blocksSection + blocksEnd;
  text += entitiesSection;
  text += objectsSection;
  text += "  0\nEOF\n";
  return text;
}

void DxfWriter::WriteTextToFile(const Vcon::String& text) {
  const std::string path = Vcon::Utf8FromUtf16(file.path);
  if (!file.IsOpen()) {
    std::fprintf(stderr, "planner: the DXF dump was not written: %s could not be created\n", path.c_str());
    return;
  }
  try {
    for (size_t done = 0; done < text.size(); done += kWriteChunk) {
      const size_t piece = std::min(kWriteChunk, text.size() - done);
      FileWrite(file, text.data() + done, static_cast<uint32_t>(piece), kFileCurrentPosition);
    }
  } catch (int32_t error) {
    std::fprintf(stderr, "planner: writing the DXF dump to %s failed (error %d)\n", path.c_str(),
                 static_cast<int>(error));
  }
}

Vcon::String DxfWriter::HandleText(bool bare) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X\n", static_cast<unsigned>(nextHandle));
  ++nextHandle;
  if (bare) return hex;
  return Vcon::String("  5\n") + hex;
}

Vcon::String& DxfWriter::EntityTarget() { return inBlock ? blocksSection : entitiesSection; }

Vcon::String DxfWriter::IntText(int32_t value) { return std::to_string(value) + "\n"; }

Vcon::String DxfWriter::RealText(float value) {
  const double wide = value;
  if (std::fabs(wide) < kSmallestReal) return "0\n";
  // The formatter drops the sign of a value that rounds to zero; the dump keeps it ("-0"), as the
  // usual formatted output does.
  Vcon::String text = wide < 0 ? "-" : "";
  text += FormatNumber(std::fabs(wide), -1, kRealDecimals, kFillSpaces, kSignMinus, ".", 0);
  if (text.find('.') != Vcon::String::npos) {
    text.TrimTrailing("0");
    if (text.back() == '.') text.pop_back();
  }
  return text + "\n";
}

Vcon::String DxfWriter::PointText2D(float x, float y, int32_t codeOffset) {
  return " " + IntText(10 + codeOffset) + RealText(x) + " " + IntText(20 + codeOffset) + RealText(y);
}

Vcon::String DxfWriter::PointText3D(float x, float y, float z, int32_t codeOffset) {
  return PointText2D(x, y, codeOffset) + " " + IntText(30 + codeOffset) + RealText(z);
}

DxfWriter* DxfWriter::Current() { return currentWriter; }

void DxfWriter::SetCurrent(DxfWriter* writer) { currentWriter = writer; }

Vcon::WString DxfWriter::OutputPath() {
  if (!outputPathSetting.empty()) return outputPathSetting;
  try {
    // The environment's bytes are UTF-8 on this system; the file layer wants UTF-16.
    const std::filesystem::path folder(DefaultOutputFolder().c_str());
    return Vcon::WString((folder / "zelvo.dxf").u16string());
  } catch (const std::exception&) {
    return Vcon::WString(u"/tmp/zelvo.dxf");  // a folder name that is not UTF-8
  }
}

void DxfWriter::SetOutputPath(const Vcon::WString& path) { outputPathSetting = path; }

void DxfWriter::OpenOutputFile(ppFileSpec& outputFile) {
  if (outputFile.IsOpen()) FileClose(outputFile);
  outputFile = ppFileSpec(OutputPath());
  try {
    // Deleting first and creating anew never follows a link planted under the fixed name.
    FileDelete(outputFile);
  } catch (int32_t) {
    // Nothing to delete; a name that cannot be replaced makes the create below fail.
  }
  try {
    FileCreate(outputFile);
    FileOpen(outputFile, outputFile, false);
  } catch (int32_t) {
    // Left closed: the page still prints and WriteFile reports the lost dump.
  }
}
