#pragma once
// The room templates' text (data/demo/rooms/*.txt): blocks of lines, one block per room.
//
//   scene <id> <name>          starts a room: its record id field and its name (the rest of the line)
//   thickness <millimetres>    the wall thickness of the walls that follow in the block (default 150)
//   height <millimetres>       the wall height of the walls that follow in the block (default 2350)
//   wall <x1> <z1> <x2> <z2> [arc <bulge>]
//                              one wall's centre line, plan millimetres; with "arc" the wall is arched,
//                              its centre line bulging <bulge> millimetres from the chord's middle to
//                              the left of start-to-end as the plan shows it (z down): outwards for
//                              walls that run clockwise round the room
//   piece <x1> <z1> <x2> <z2>  a free-standing wall piece (not part of the outline) along the centre
//                              line from start to end, plan millimetres, with the thickness and height
//                              of the lines before it
//
// Blank lines and lines starting with '#' are skipped. Every fault is a SourceError naming the line.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mkcatalog {

struct RoomWall {
  float x1 = 0, z1 = 0, x2 = 0, z2 = 0;
  float thickness = 150.0f, height = 2350.0f;
  float bulge = 0.0f;  // 0: a straight wall
};

struct RoomPlan {
  int32_t id = 0;
  std::string name;
  int line = 0;  // of its "scene" line
  std::vector<RoomWall> walls;
  std::vector<RoomWall> pieces;  // straight, never arched
};

// The rooms of the file in file order; a room without walls is a fault.
std::vector<RoomPlan> ReadRooms(const std::filesystem::path& file);

}  // namespace mkcatalog
