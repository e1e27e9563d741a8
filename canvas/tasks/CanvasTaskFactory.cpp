#include "canvas/tasks/CanvasTaskFactory.h"

#include "canvas/tasks/zelvproDeleteTask.h"
#include "canvas/tasks/zelvproPasteTask.h"

namespace {

// Stateless; lives as long as the process.
CanvasTaskFactory gFactory;

}  // namespace

ppTask* CanvasTaskFactory::NewDeleteTask(zelvproCanvas* canvas, const qxViewHolder* selection) {
  if (canvas == nullptr) return nullptr;
  return new zelvproDeleteTask(canvas, canvas, selection);
}

ppTask* CanvasTaskFactory::NewPasteTask(zelvproCanvas* canvas, qxViewHolder* made, int32_t flag) {
  if (canvas == nullptr) return nullptr;
  return new zelvproPasteTask(canvas, made, flag != 0);
}

void CanvasTaskFactory::InstallDefault() { iElementTaskFactory::Install(&gFactory); }
