#include "tools/mkcatalog/RoomSource.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "tools/mkcatalog/SourceError.h"

namespace mkcatalog {
namespace {

// Wall values outside these bounds (millimetres) are faults rather than rooms.
constexpr float kMaxCoordinate = 1.0e6f, kMaxThickness = 5000.0f, kMaxHeight = 100000.0f;

float Number(std::istringstream& words, const std::filesystem::path& file, int line, float low, float high) {
  std::string word;
  if (!(words >> word)) throw SourceError(file, line, "a number is missing");
  size_t used = 0;
  float value = 0.0f;
  try {
    value = std::stof(word, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != word.size() || !std::isfinite(value))
    throw SourceError(file, line, "'" + word + "' is no number");
  if (value < low || value > high) throw SourceError(file, line, "'" + word + "' is out of range");
  return value;
}

void ExpectEnd(std::istringstream& words, const std::filesystem::path& file, int line) {
  std::string extra;
  if (words >> extra) throw SourceError(file, line, "unexpected '" + extra + "'");
}

// A wall's or piece's centre line, its other values from `current`.
RoomWall CentreLine(std::istringstream& words, const std::filesystem::path& file, int line,
                    const RoomWall& current) {
  RoomWall wall = current;
  wall.x1 = Number(words, file, line, -kMaxCoordinate, kMaxCoordinate);
  wall.z1 = Number(words, file, line, -kMaxCoordinate, kMaxCoordinate);
  wall.x2 = Number(words, file, line, -kMaxCoordinate, kMaxCoordinate);
  wall.z2 = Number(words, file, line, -kMaxCoordinate, kMaxCoordinate);
  return wall;
}

}  // namespace

std::vector<RoomPlan> ReadRooms(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw SourceError(file, 0, "cannot read the file");
  std::vector<RoomPlan> rooms;
  RoomWall current;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    std::istringstream words(text);
    std::string key;
    if (!(words >> key) || key[0] == '#') continue;
    if (key == "scene") {
      RoomPlan room;
      room.id = int32_t(Number(words, file, line, -1.0e6f, 1.0e6f));
      std::getline(words >> std::ws, room.name);
      if (room.name.empty()) throw SourceError(file, line, "the room has no name");
      room.line = line;
      rooms.push_back(std::move(room));
      current = RoomWall{};
      continue;
    }
    if (rooms.empty()) throw SourceError(file, line, "'" + key + "' before the first 'scene'");
    if (key == "thickness") {
      current.thickness = Number(words, file, line, 10.0f, kMaxThickness);
    } else if (key == "height") {
      current.height = Number(words, file, line, 0.0f, kMaxHeight);
    } else if (key == "wall") {
      RoomWall wall = CentreLine(words, file, line, current);
      std::string arc;
      if (words >> arc) {
        if (arc != "arc") throw SourceError(file, line, "unexpected '" + arc + "'");
        const float chord = std::hypot(wall.x2 - wall.x1, wall.z2 - wall.z1);
        // More than half the chord would turn the arc past a half circle.
        wall.bulge = Number(words, file, line, -chord / 2.0f, chord / 2.0f);
        if (wall.bulge == 0.0f) throw SourceError(file, line, "an arc needs a bulge");
      }
      rooms.back().walls.push_back(wall);
    } else if (key == "piece") {
      const RoomWall piece = CentreLine(words, file, line, current);
      if (piece.x1 == piece.x2 && piece.z1 == piece.z2)
        throw SourceError(file, line, "the piece has no length");
      rooms.back().pieces.push_back(piece);
    } else {
      throw SourceError(file, line, "unknown line '" + key + "'");
    }
    ExpectEnd(words, file, line);
  }
  for (const RoomPlan& room : rooms)
    if (room.walls.empty()) throw SourceError(file, room.line, "the room has no walls");
  return rooms;
}

}  // namespace mkcatalog
