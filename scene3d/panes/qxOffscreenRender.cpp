#include "scene3d/panes/qxOffscreenRender.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/Gdi.h"
#include "platform/ResetList.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppSceneCopy.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/panes/ContextFlags.h"
#include "scene3d/panes/i3DPaneHost.h"
#include "scene3d/panes/qxBmpFile.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/qxDibSurface.h"
#include "scene3d/panes/qxPrintHeader.h"
#include "scene3d/panes/qxPrintPage.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "scene3d/renderers/qxRenderFactory.h"

namespace {

// Set by the user-interface thread before it starts a worker render, cleared by the worker as its
// last step; the starting thread joins the worker, so no two renders overlap.
std::atomic<bool> gBusy{false};

const bool kReset = plat::ResetList::Add("qxOffscreenRender: busy flag", [] { gBusy = false; });

// Draws `scene` through the standard renderer and the current camera into `dc` (its pixel format set),
// `width` x `height` pixels, on a rendering context of the calling thread's own.
void RenderView(iScene& scene, plat::HDC dc, int32_t width, int32_t height) {
  glContext context(dc, true);
  if (!context.IsValid() || !context.MakeCurrent(true)) return;
  std::unique_ptr<iRenderer> renderer = qxRenderFactory::Instance().FindByName(qxOffscreenRender::kRenderer);
  context.SetViewport(0, 0, width, height);
  context.LoadIdentity();
  qxCameraRecords::Current()->Apply(context);
  if (renderer) renderer->Render(scene, &context);
  context.SwapBuffers(false);
  context.MakeCurrent(false);
}

bool WriteFilePicture(iScene& scene, const Vcon::WString& fileName) {
  qxDibSurface surface(qxOffscreenRender::kFileWidth, qxOffscreenRender::kFileHeight);
  if (!surface.OK()) return false;
  surface.SetPixelFormat(qxDibSurface::kBitmapFormat);
  RenderView(scene, surface.DC(), qxOffscreenRender::kFileWidth, qxOffscreenRender::kFileHeight);
  plat::GdiFlush();
  qxBmpFile::Write(fileName, surface.Header(), surface.Bits());
  return true;
}

struct PrintJob {
  iScene* scene;
  ppDC* device;
  qxPrintPage page;
  const qxPrintHeader* header;
  int32_t resolution;  // dots per inch of the 3D image
  int32_t colorBits;
};

void PrintImage(const PrintJob& job) {
  const qxPrintPage& page = job.page;
  if (page.pixelsPerMmX <= 0 || page.pixelsPerMmY <= 0) return;
  const float fx = (float(job.resolution) / 25.4f) / page.pixelsPerMmX;
  const float fy = (float(job.resolution) / 25.4f) / page.pixelsPerMmY;
  const int32_t width = int32_t(float(page.image.right - page.image.left) * fx);
  const int32_t height = int32_t(float(page.image.bottom - page.image.top) * fy);
  ppPicture picture(width, height, job.colorBits);
  if (picture.IsEmpty()) return;
  RenderView(*job.scene, picture.GetMemoryDC(), width, height);
  plat::GdiFlush();
  plat::HDC target = job.device->GetHDC();
  if ((plat::GetDeviceCaps(target, plat::RASTERCAPS) & plat::RC_STRETCHDIB) == 0) return;
  std::vector<uint8_t> packed(picture.GetDataSize());
  picture.CopyBits(packed.data(), uint32_t(packed.size()));
  const auto* info = reinterpret_cast<const plat::BITMAPINFO*>(packed.data());
  const size_t offset = 40 + size_t(picture.GetColorCount()) * 4;
  plat::StretchDIBits(target, page.image.left, page.image.top, page.image.right - page.image.left,
                      page.image.bottom - page.image.top, 0, 0, width, height, packed.data() + offset, info,
                      plat::DIB_RGB_COLORS, plat::SRCCOPY);
}

// Runs `work` on a worker thread and waits for it; a throw ends the work as a failure.
template <typename Work>
bool RunWorker(Work work) {
  bool done = false;
  std::thread worker([&] {
    try {
      done = work();
    } catch (...) {
      done = false;
    }
    gBusy = false;
  });
  worker.join();
  return done;
}

// The flags the element drawing reads during the worker's render.
void PrepareContextFlags(const zelvpro3DPane& pane) {
  SetContextOutlines(pane.Outline());
  gContextFlags &= ~kContextDocumentView;
}

}  // namespace

bool qxOffscreenRender::Busy() { return gBusy; }

bool qxOffscreenRender::RenderToFile(zelvpro3DPane& pane, const Vcon::WString& fileName) {
  if (gBusy.exchange(true)) return false;
  ppScene scene;
  pane.Host().AddSceneParts(scene);
  PrepareContextFlags(pane);
  return RunWorker([&] { return WriteFilePicture(scene, fileName); });
}

bool qxOffscreenRender::Print(zelvpro3DPane& pane, ppDC& device, const qxPrintPage& page) {
  if (gBusy.exchange(true)) return false;
  ppScene scene;
  pane.Host().AddSceneParts(scene);
  ppSceneCopy recorded;
  recorded.Render(scene, nullptr);
  const qxPrintHeader header(pane.Host());
  int32_t bits = pane.DC() ? plat::GetDeviceCaps(pane.DC(), plat::BITSPIXEL) *
                                 plat::GetDeviceCaps(pane.DC(), plat::PLANES)
                           : 24;
  PrintJob job{&recorded, &device, page, &header, pane.Host().PrintResolution(), bits > 0 ? bits : 24};
  PrepareContextFlags(pane);
  return RunWorker([&] {
    PrintImage(job);
    job.header->Draw(*job.device, job.page);
    return true;
  });
}
