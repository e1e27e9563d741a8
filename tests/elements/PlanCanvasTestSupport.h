// Helpers of the plan canvas tests (elements and canvas layers): a document window double that keeps
// the canvas's own copy table, the program-wide paste offset and records the menu, the view bar and
// the configurator calls; a task factory that hands out recording rubber bands; a configurator that
// records focus presses.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "elements/ElementTestSupport.h"
#include "elements/base/zelvproCanvas.h"
#include "framework/ppMouseTask.h"

namespace pctest {

class CanvasHost : public eltest::RecordingHost {
 public:
  // The canvas's own copy table and the program-wide paste offset, as the document window has them.
  ppDatafile* BeginCopy(zelvproCanvas* canvas) override { return iElementHost::BeginCopy(canvas); }
  void SetPasteOffset(float millimetres) override { iElementHost::SetPasteOffset(millimetres); }

  void EnableMenuItem(int32_t command, bool enabled) override { menu[command] = enabled; }
  void CheckMenuItem(int32_t command, bool checked) override { checks[command] = checked; }
  void PassToViewBar(int32_t command, intptr_t /*parameter*/) override { viewBar.push_back(command); }
  plat::HWND ScenePaneWindow() override { return paneWindow; }
  void ShowDefaultConfigurator() override { ++defaultPanels; }
  void MarkDocumentModified() override { ++modified; }
  void CheckPlanWarnings() override { ++warningChecks; }

  std::map<int32_t, bool> menu, checks;
  std::vector<int32_t> viewBar;
  plat::HWND paneWindow = nullptr;
  int32_t defaultPanels = 0, modified = 0, warningChecks = 0;
};

// A rubber band that only records where it was started.
class BandTask : public ppMouseTask {
 public:
  explicit BandTask(ppView* view) : ppMouseTask(view, view) {}
  bool Start(int32_t x, int32_t y) override {
    started = true, at = plat::POINT{x, y};
    return true;
  }
  bool started = false;
  plat::POINT at{};
};

// Hands out rubber bands (kept here) and counts the delete tasks asked for.
class BandFactory : public iElementTaskFactory {
 public:
  ppMouseTask* NewPointerTask(zelvproElement* element, zelvproCanvas* /*canvas*/) override {
    bands.push_back(std::make_unique<BandTask>(element));
    return bands.back().get();
  }
  ppTask* NewDeleteTask(zelvproCanvas* /*canvas*/, const qxViewHolder* /*selection*/) override {
    ++deletes;
    return nullptr;
  }
  std::vector<std::unique_ptr<BandTask>> bands;
  int32_t deletes = 0;
};

class FocusConfigurator : public eltest::TabRecorder {
 public:
  void PressAtOrigin() override { ++presses; }
  int32_t presses = 0;
};

}  // namespace pctest
