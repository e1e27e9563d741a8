#include "elements/topview/FurnitureBlock.h"

#include "scene3d/dxf/DxfExportState.h"
#include "scene3d/dxf/DxfWriter.h"

namespace {

const char* const kBlockLayer = "0";
const char* const kFurnitureLayer = "FURNITURE";

}  // namespace

FurnitureBlock::FurnitureBlock() {
  DxfExportState& state = DxfExportState::Shared();
  if (DxfWriter::Current() == nullptr || !state.IsActive()) return;
  writer_ = DxfWriter::Current();
  name_ = state.NextBlockName();
  writer_->BeginBlock(name_, kBlockLayer, 0.0f, 0.0f, 0.0f, false);
}

void FurnitureBlock::AddPoint(int32_t x, int32_t y) {
  if (Active()) points_.push_back(DxfExportState::Shared().Flip(ppVector2(float(x), float(y))));
}

void FurnitureBlock::EndOutline() {
  if (!Active() || points_.empty()) return;
  writer_->WritePolyline(int32_t(points_.size()), points_, kFurnitureLayer, true);
  points_.clear();
}

void FurnitureBlock::Finish() {
  if (!Active()) return;
  writer_->EndBlock();
  // Without leaving the block the INSERT would land inside it.
  writer_->LeaveBlock();
  writer_->WriteInsert(name_, kFurnitureLayer, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f);
  writer_ = nullptr;
}
