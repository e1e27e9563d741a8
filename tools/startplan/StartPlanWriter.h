// The demo's start document (".\user\new.qxf" beside the program): the empty demo room that mkcatalog
// builds, with a few demo units placed in it and sorted under two tags. The document is made by the
// program itself, started headless on a program folder, so that the file holds exactly what a save
// from the running program would: the units go into the plan through its top canvas, the tags into
// the document's tag table, and the bytes come from the window's document file operations. It is saved
// in the top view, the view it then opens in, so that the units show at once.
//
// User-interface thread only; the handle zone must exist (InitScreenAndMemory) and no application
// object may be running.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class StartPlanWriter {
 public:
  struct Tag {
    int32_t id = 0;    // the id elements carry; 0 is the document's default tag
    std::string name;  // shown as the tag's heading in the price list
  };
  struct Unit {
    std::string topView;  // the demo catalogue's top-view record name ("B40")
    float x = 0, z = 0;   // the unit's plan position, millimetres
    int32_t tag = 0;      // a Tag's id
  };

  // The plan the demo starts with: units along the room's back wall in two tags.
  static const std::vector<Tag>& Tags();
  static const std::vector<Unit>& Units();

  // Starts the program on `programFolder` (a POSIX folder holding settings/ and user/new.qxf, the
  // room), adds the plan and saves it as `output`. The program's databases in that folder may be
  // written, so it must be a copy. Throws std::runtime_error naming what failed; a message box shown
  // during the run counts as a failure.
  static void Write(const std::filesystem::path& programFolder, const std::filesystem::path& output);
};
