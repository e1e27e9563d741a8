#include "framework/ppEventHandler.h"

#include "framework/ppCommandRelay.h"
#include "platform/WindowApi.h"

namespace {
constexpr uint32_t kUnnamedType = 0x3F3F3F3F;  // "????"
}

ppEventHandler::ppEventHandler() = default;

ppEventHandler::~ppEventHandler() {
  spareWord_ = 0;
  spareHalf_ = 0;
}

bool ppEventHandler::MouseOver(int32_t x, int32_t y, int32_t) {
  AdjustCursor(x, y);
  return false;
}

void ppEventHandler::AdjustCursor(int32_t, int32_t) {}
void ppEventHandler::TrackHover() {}
void ppEventHandler::Hook4(uint32_t) {}

void ppEventHandler::UpdateTargetMenus() {
  if (target_) target_->UpdateTargetMenus();
}

void ppEventHandler::UpdateMenus() {}

void ppEventHandler::KeyDown(signed char key, int32_t flags) {
  if (target_) target_->KeyDown(key, flags);
}

void ppEventHandler::Hook8() {}
void ppEventHandler::Paint() {}
void ppEventHandler::Activate() {}
void ppEventHandler::Deactivate() {}
void ppEventHandler::Hook12(uint32_t) {}

void ppEventHandler::DoCommand(int32_t command, intptr_t parameter) {
  if (target_) ppCommandRelay::Pass(this, *target_, command, parameter);
}

void ppEventHandler::MouseMove(int32_t, int32_t) {}
void ppEventHandler::Hook15() {}
void ppEventHandler::Hook16() {}
void ppEventHandler::ContextMenu(int32_t, int32_t) {}
uint32_t ppEventHandler::GetTypeCode() { return kUnnamedType; }

int32_t ppEventHandler::Run() {
  plat::MSG msg;
  while (plat::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (PreTranslate(&msg)) {
      plat::TranslateMessage(&msg);
      plat::DispatchMessageA(&msg);
    }
  }
  return static_cast<int32_t>(msg.wParam);
}

bool ppEventHandler::PreTranslate(plat::MSG*) { return true; }

void ppEventHandler::SetTarget(ppEventHandler* target) {
  if (target_ && !target_->ResignTarget()) return;
  if (target && !target->BecomeTarget()) target = nullptr;
  target_ = target;
}

bool ppEventHandler::ResignTarget() { return true; }
bool ppEventHandler::BecomeTarget() { return true; }

bool ppEventHandler::IsControlKeyDown() { return plat::GetKeyState(plat::VK_CONTROL) < 0; }
bool ppEventHandler::IsAltKeyDown() { return plat::GetKeyState(plat::VK_MENU) < 0; }
bool ppEventHandler::IsShiftKeyDown() { return plat::GetKeyState(plat::VK_SHIFT) < 0; }
