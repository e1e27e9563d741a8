// The top canvas's printed pages: the plan's elements grouped into wall runs, one elevation page per
// run (the run built last printed first), then the plan page with the runs' number labels. The
// pictures come from the 3D pane through the element host; every page carries the same header.
// Device pixels of the printer; float to integer truncates toward zero.
#include <cmath>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "elements/base/ElementChildren.h"
#include "elements/base/PlanAnnotation.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxPagePrintSettings.h"
#include "elements/base/qxPrintPaneElement.h"
#include "elements/base/qxPrintPictures.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Geometry3D.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

constexpr float kHalfPi = 1.570796326795f;
// A unit turned less than this (radians) from the run's first one may stand along the run.
constexpr float kRunAngleTolerance = 0.5f;
// How far (millimetres) a parallel unit may stand from the run's line and still belong to the run.
constexpr float kRunReach = 300.0f;
// The off-screen pictures have this many pixels per millimetre of paper.
constexpr float kPicturePixelsPerMm = 7.143f;

ppVector3 Turned(ppVector3 v, float angle) {
  RotateAboutAxis(v, angle, ppVector3(0.0f, 1.0f, 0.0f));
  return v;
}

ppVector3 OnFloor(const zelvproElement* element) {
  ppVector3 at;
  element->GetAbsolutePosition(at);
  at.y = 0.0f;
  return at;
}

// Links `holders` into a chain, the last one first (each was pushed at the front as it came).
qxViewHolder* LinkPushedFront(const std::vector<qxViewHolder*>& holders) {
  qxViewHolder* head = nullptr;
  for (qxViewHolder* h : holders) {
    h->SetNext(head);
    head = h;
  }
  return head;
}

// The drawing rectangle of a page with a picture: room for the measures left, above and below it.
void MakeRoomForMeasures(qxPrintPage& page) {
  const float ppt = page.textScale;
  page.image.left += int32_t(40.0f * ppt);
  page.image.top += int32_t(20.0f * ppt);
  page.image.bottom -= int32_t(20.0f * ppt);
}

// The picture's pixels for the page's drawing rectangle.
plat::RECT PictureTarget(const qxPrintPage& page) {
  const float s = page.pixelsPerMmX > 0.0f ? kPicturePixelsPerMm / page.pixelsPerMmX : 0.0f;
  const plat::RECT& r = page.image;
  return plat::RECT{int32_t(float(r.left) * s), int32_t(float(r.top) * s), int32_t(float(r.right) * s),
                    int32_t(float(r.bottom) * s)};
}

// The picture items of a holder chain, in chain order; the pane elements live as long as this.
class PictureItems {
 public:
  explicit PictureItems(const qxViewHolder* chain) {
    for (const qxViewHolder* h = chain; h != nullptr; h = h->Next()) holders_.push_back(h);
    elements_.reserve(holders_.size());
    items_.resize(holders_.size());
    for (size_t i = 0; i < holders_.size(); ++i) {
      elements_.emplace_back(holders_[i]->Element());
      items_[i].element = &elements_[i];
      items_[i].next = i + 1 < items_.size() ? &items_[i + 1] : nullptr;
    }
  }
  qxPictureItem* First() { return items_.empty() ? nullptr : items_.data(); }
  const qxPictureItem& At(size_t i) const { return items_[i]; }

 private:
  std::vector<const qxViewHolder*> holders_;
  std::vector<qxPrintPaneElement> elements_;
  std::vector<qxPictureItem> items_;
};

// How a picture of `result` drawn over `target` (device pixels) measures: device pixels per picture
// pixel (the painters' pen scale), device pixels per model millimetre, and model millimetres per
// picture pixel; 0 where the picture's width in pixels or in millimetres is not positive.
struct PageScale {
  PageScale(const qxPictureResult& result, const plat::RECT& target, const plat::RECT& pixels) {
    const float targetWidth = float(target.right - target.left);
    const float pictureWidth = float(pixels.right - pixels.left);
    if (pictureWidth <= 0.0f) return;
    ratio = targetWidth / pictureWidth;
    if (!(result.modelWidth > 0.0f)) return;
    modelScale = targetWidth / result.modelWidth;
    perPixel = result.modelWidth / pictureWidth;
  }
  float ratio = 0.0f;
  float modelScale = 0.0f;
  float perPixel = 0.0f;
};

// A window point of a picture (pixels, y from the top) as millimetres from the picture's left and
// bottom edges.
ppVector3 PicturePoint(const ppVector3& window, float unitsPerPixel, int32_t pictureHeight) {
  return ppVector3(window.x * unitsPerPixel, (float(pictureHeight) - window.y) * unitsPerPixel, 0.0f);
}

// Annotations of `canvas`'s elements, appended.
void CollectCanvasMeasures(zelvproElement* canvas, std::vector<PlanAnnotation>& list) {
  if (canvas == nullptr) return;
  canvas->CollectDimensionLines(list);
  ForEachChildElement(*canvas, [&](zelvproElement* child) { child->CollectDimensionLines(list); });
}

}  // namespace

bool zelvproTopCanvas::PrintNextPage(ppDC& dc, qxPrintPage& page, int32_t pageNumber) {
  // A new job: runs an aborted job left queued (their elements may be gone since) are dropped.
  if (pageNumber == 1) {
    elevationQueue_.clear();
    printPass_ = 0;
  }
  qxPagePrintSettings settings(page);
  if (elevationQueue_.empty() && printPass_ < 2) BuildElevationQueue();
  if (printPass_ == 1) {
    PrintPlanPage(dc, page);
    printPass_ = 0;
    elevationQueue_.clear();
    return false;
  }
  PrintElevationPage(dc, page);
  if (page.morePages == 0 && printPass_ < 1) {
    printPass_ = 1;
    return true;
  }
  return page.morePages != 0;
}

void zelvproTopCanvas::PrintPageHeader(ppDC& dc, qxPrintPage& page) { BuildPrintHeaderText(dc, page); }

void zelvproTopCanvas::PrintElevationPage(ppDC& dc, qxPrintPage& page) {
  PrintPageHeader(dc, page);
  if (elevationQueue_.empty()) return;
  MakeRoomForMeasures(page);
  // The run is printed now; its holders go with this page.
  const std::unique_ptr<qxViewHolder> run = std::move(elevationQueue_.back());
  elevationQueue_.pop_back();
  const plat::RECT target = page.image;
  const plat::RECT pixels = PictureTarget(page);
  PictureItems items(run.get());
  qxPictureResult picture = iElementHost::Current().PrintPictures().Group(items.First(), pixels);
  const PageScale scale(picture, target, pixels);
  if (picture.picture != nullptr) picture.picture->Draw(dc, target);
  picture.picture.reset();
  page.morePages = elevationQueue_.empty() ? 0 : 1;
  const float modelScale = scale.modelScale;
  if (modelScale <= 0.0f) return;
  size_t i = 0;
  for (qxViewHolder* h = run.get(); h != nullptr; h = h->Next(), ++i) {
    h->runStart = PicturePoint(items.At(i).window1, scale.perPixel, pixels.bottom - pixels.top);
    h->runEnd = ppVector3(h->runStart.x + h->Element()->dimensions.x, h->runStart.y, 0.0f);
  }
  const float savedScale = page.imageScale;
  page.imageScale = scale.ratio;
  DrawElevationMeasures(dc, page, run.get(), modelScale, 1.0f / modelScale, ppVector2(0.0f, 0.0f));
  page.imageScale = savedScale;
}

void zelvproTopCanvas::PrintPlanPage(ppDC& dc, qxPrintPage& page) {
  PrintPageHeader(dc, page);
  const std::unique_ptr<qxViewHolder> chain(BuildHolderChain(nullptr));
  if (chain == nullptr) return;
  std::vector<PlanAnnotation> measures;
  CollectCanvasMeasures(iElementHost::Current().NewRoomCanvas(), measures);
  CollectCanvasMeasures(this, measures);
  MakeRoomForMeasures(page);
  const int32_t inset = int32_t(20.0f * page.textScale);
  page.image.left += inset;
  page.image.top += inset;
  page.image.right -= inset;
  page.image.bottom -= inset;
  const plat::RECT target = page.image;
  const plat::RECT pixels = PictureTarget(page);
  // Each measure's anchor is projected with the plan, so the lines land where the picture shows it.
  std::vector<qxPictureMark> marks(measures.size());
  for (size_t i = 0; i < measures.size(); ++i) {
    marks[i].a = ppVector3(measures[i].second.x, 0.0f, measures[i].second.z);
    marks[i].b = marks[i].a;
  }
  PictureItems items(chain.get());
  qxPictureResult picture = iElementHost::Current().PrintPictures().Plan(items.First(), &marks, pixels);
  const PageScale scale(picture, target, pixels);
  if (picture.picture != nullptr) picture.picture->Draw(dc, target);
  picture.picture.reset();
  page.morePages = 0;
  page.imageScale = scale.ratio;
  const int32_t pictureHeight = pixels.bottom - pixels.top;
  const float modelScale = scale.modelScale;
  const float upp = scale.perPixel;
  if (modelScale > 0.0f) {
    for (size_t i = 0; i < measures.size(); ++i) {
      const ppVector3 at = PicturePoint(marks[i].windowA, upp, pictureHeight);
      measures[i].second.x = at.x;
      measures[i].second.z = at.y;
    }
    DrawPlanMeasures(dc, page, measures, modelScale, 1.0f / modelScale);
  }
  // The plan chain's run points from the picture, found by element for every queued run's holders.
  std::unordered_map<const zelvproElement*, const qxViewHolder*> planHolders;
  size_t i = 0;
  for (qxViewHolder* h = chain.get(); h != nullptr; h = h->Next(), ++i) {
    h->runStart = ppVector3(items.At(i).window1.x * upp, items.At(i).window1.y * upp, 0.0f);
    h->runEnd = ppVector3(items.At(i).window2.x * upp, items.At(i).window2.y * upp, 0.0f);
    planHolders.emplace(h->Element(), h);
  }
  const ppVector2 first(picture.origin.x * upp, picture.origin.y * upp);
  const ppVector2 second(picture.unit.x * upp, picture.unit.y * upp);
  while (!elevationQueue_.empty()) {
    const std::unique_ptr<qxViewHolder> run = std::move(elevationQueue_.back());
    elevationQueue_.pop_back();
    for (qxViewHolder* h = run.get(); h != nullptr; h = h->Next()) {
      auto found = planHolders.find(h->Element());
      if (found == planHolders.end()) continue;
      h->runStart = found->second->runStart;
      h->runEnd = found->second->runEnd;
    }
    if (modelScale > 0.0f)
      DrawNumberLabels(dc, page, run.get(), modelScale, 1.0f / modelScale, first, second);
  }
}

void zelvproTopCanvas::BuildElevationQueue() {
  qxViewHolder* remaining = BuildHolderChain(nullptr);
  while (remaining != nullptr) {
    // The seed: the first holder left; its run is the line through it along its turn.
    qxViewHolder* seed = remaining;
    qxViewHolder* scan = seed->ReleaseNext();
    seed->mark = 0;
    const float a = seed->Element()->GetAbsoluteAngle();
    const ppVector3 p = OnFloor(seed->Element());
    const ppVector3 d = Turned(ppVector3(1.0f, 0.0f, 0.0f), a);
    const ppVector3 p2(p.x + d.x, p.y + d.y, p.z + d.z);
    std::vector<qxViewHolder*> group{seed};
    std::vector<qxViewHolder*> rest;
    std::vector<qxViewHolder*> farParallels;
    std::unordered_set<const zelvproElement*> accepted;
    while (scan != nullptr) {
      qxViewHolder* h = scan;
      scan = h->ReleaseNext();
      h->mark = 0;
      zelvproElement* element = h->Element();
      const float angle = element->GetAbsoluteAngle();
      bool joins = false;
      bool far = false;
      if (std::fabs(angle - a) < kRunAngleTolerance) {
        // How far the unit stands from the run's line, measured square to its own turn.
        const ppVector3 q = OnFloor(element);
        const ppVector3 n = Turned(ppVector3(1.0f, 0.0f, 0.0f), angle + kHalfPi);
        ppVector3 crossing;
        bool parallel = false;
        if (IntersectLinesXZ(crossing, p, p2, q, ppVector3(q.x + n.x, q.y + n.y, q.z + n.z), parallel) &&
            !parallel) {
          joins = Distance3(q, crossing) < kRunReach;
          far = !joins;
        }
      }
      if (joins) {
        accepted.insert(element);
        group.push_back(h);
      } else {
        rest.push_back(h);
        if (far) farParallels.push_back(h);
      }
    }
    // A far parallel snapped to a unit of the run joins it after all (one pass).
    std::unordered_set<const qxViewHolder*> pulled;
    for (qxViewHolder* f : farParallels) {
      const zelvproElement* element = f->Element();
      for (int32_t k = 0; k < element->GetPointCount(); ++k) {
        SnapAnchor entry;
        if (!element->GetPointEntry(k, entry) || entry.partner == nullptr) continue;
        if (accepted.count(entry.partner) == 0) continue;
        pulled.insert(f);
        group.push_back(f);
        break;
      }
    }
    if (!pulled.empty()) std::erase_if(rest, [&](qxViewHolder* h) { return pulled.count(h) != 0; });
    remaining = LinkPushedFront(rest);
    elevationQueue_.emplace_back(LinkPushedFront(group));
  }
  AddCornerNeighbours();
}

void zelvproTopCanvas::AddCornerNeighbours() {
  for (auto run = elevationQueue_.begin(); run != elevationQueue_.end();) {
    qxViewHolder* head = run->release();
    std::vector<qxViewHolder*> kept;
    std::vector<qxViewHolder*> extras;
    while (head != nullptr) {
      qxViewHolder* h = head;
      head = h->ReleaseNext();
      zelvproElement* element = h->Element();
      // A unit without size draws nothing on an elevation.
      if (NearlyEqualVec3(element->dimensions, ppVector3(0.0f, 0.0f, 0.0f), 0.5)) {
        delete h;
        continue;
      }
      kept.push_back(h);
      for (int32_t k = 0; k < element->GetPointCount(); ++k) {
        SnapAnchor entry;
        if (!element->GetPointEntry(k, entry) || entry.partner == nullptr) continue;
        if (entry.partner->GetAngle() == element->GetAngle()) continue;
        // A neighbour joined square at the corner is drawn with the run; a joint at an angle marks the
        // run's own unit instead.
        if (entry.direction == 0.0f) {
          auto* extra = new qxViewHolder(entry.partner, nullptr, true);
          extra->mark = 1;
          extras.push_back(extra);
        } else {
          h->mark = 1;
        }
      }
    }
    if (kept.empty()) {
      run = elevationQueue_.erase(run);
      continue;
    }
    // The run keeps its order; the extras follow it, the last found first.
    qxViewHolder* tail = LinkPushedFront(extras);
    for (auto h = kept.rbegin(); h != kept.rend(); ++h) {
      (*h)->SetNext(tail);
      tail = *h;
    }
    run->reset(tail);
    ++run;
  }
}

std::vector<const qxViewHolder*> zelvproTopCanvas::QueuedRuns() const {
  std::vector<const qxViewHolder*> runs;
  for (auto run = elevationQueue_.rbegin(); run != elevationQueue_.rend(); ++run) runs.push_back(run->get());
  return runs;
}
