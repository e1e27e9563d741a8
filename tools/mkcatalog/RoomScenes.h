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
#include <memory>
#include <vector>

class qxNewRoomCanvas;
class zelvDatabase;

namespace mkcatalog {

class RoomHost;
struct RoomPlan;

// The room's walls made on a new room canvas of `db`, with corners, faces, cycles, the floor and its
// wall bodies rebuilt: what each template holds before it is packed. `host` (installed) names the
// canvas while it is built; `file` names the source in faults (a room that is not one floor).
std::unique_ptr<qxNewRoomCanvas> BuildRoomCanvas(zelvDatabase& db, RoomHost& host, const RoomPlan& room,
                                                 const std::filesystem::path& file);

// `catalogue`: the written main catalogue under `settings`.
void BuildRoomScenes(const std::filesystem::path& rooms, const std::filesystem::path& catalogue,
                     const std::filesystem::path& settings);

}  // namespace mkcatalog
