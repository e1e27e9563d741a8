#pragma once
// The room templates of the main catalogue, built with the room code itself: for each room of
// "<rooms>/scenes.txt" (RoomSource.h) the walls are made on a room canvas of the written main
// catalogue, the canvas rebuilds corners, faces, cycles and the floor with its wall bodies (command
// 4033), and the room's plan is packed as a document (the "qxDocument" record with the room in its
// "room" table) into the "scene" of a new "qxScene" record. "<rooms>/new.txt" (one room) becomes
// the document "user/new.qxf" under the settings folder.
//
// Needs the main catalogue's wall record (top-view "ID" 171066) and its "qxScene" table. Every
// fault is a SourceError; the caller discards the settings being built.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace mkcatalog {

struct RoomSpec;

// `catalogue`: the written main catalogue under `settings`.
void BuildRoomScenes(const std::filesystem::path& rooms, const std::filesystem::path& catalogue,
                     const std::filesystem::path& settings);

}  // namespace mkcatalog
