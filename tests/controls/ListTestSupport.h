// What the list tests share: line lists that record the calls of their hooks, and a window fixture
// with the layer's clock standing still (clicks happen at the ticks the test sets).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/ppDataList.h"
#include "controls/ppOutputList.h"
#include "framework/ppMouseTask.h"
#include "platform/LayerClock.h"

namespace listtest {

// The hooks a list test watches, in call order ("line 3", "header", "double", "changed").
struct Calls {
  std::vector<std::string> log;
  int32_t Count(const std::string& what) const {
    int32_t n = 0;
    for (const std::string& s : log) n += s == what ? 1 : 0;
    return n;
  }
};

class RecordingDataList : public ppDataList {
 public:
  using ppDataList::ppDataList;
  void LineClicked(int32_t row, int32_t) override { calls.log.push_back("line " + std::to_string(row)); }
  void ClickInHeader(int32_t, int32_t, int32_t) override { calls.log.push_back("header"); }
  void DrawFrame(ppDC&) override { calls.log.push_back("frame"); }
  void DrawHeader(ppDC&) override { calls.log.push_back("draw header"); }
  void DrawFooter(ppDC&) override { calls.log.push_back("footer"); }
  void DrawLine(int32_t line, ppDC&) override {
    calls.log.push_back("draw " + std::to_string(line) + " at " + std::to_string(currentLineRect_.top));
  }
  Calls calls;
};

class RecordingOutputList : public ppOutputList {
 public:
  using ppOutputList::ppOutputList;
  void DoubleClickLine() override { calls.log.push_back("double"); }
  void SelectionChanged() override { calls.log.push_back("changed"); }
  std::vector<int32_t> Selected() {
    std::vector<int32_t> lines;
    for (int32_t l = NextSelectedLine(0); l >= 0; l = NextSelectedLine(l + 1)) lines.push_back(l);
    return lines;
  }
  Calls calls;
};

class ListWindowTest : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    plat::LayerClock::SetManual(100000);
  }
  // A press and release at (x, y) with the given keys held (VK_SHIFT, VK_CONTROL).
  void ClickWith(int32_t x, int32_t y, std::vector<int32_t> keys = {}) {
    for (int32_t k : keys) plat::Desktop::Key(k, true);
    Click(x, y);
    for (int32_t k : keys) plat::Desktop::Key(k, false);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void PressWith(int32_t key, std::vector<int32_t> held = {}) {
    for (int32_t k : held) plat::Desktop::Key(k, true);
    Press(key);
    for (int32_t k : held) plat::Desktop::Key(k, false);
    plat::HeadlessDriver::RunUntilIdle();
  }
  // Lets `ticks` sixtieths of a second pass.
  static void Wait(uint32_t ticks) {
    const uint32_t before = ppMouseTask::GetTicks();
    while (ppMouseTask::GetTicks() - before < ticks) plat::LayerClock::Advance(1);
  }
};

}  // namespace listtest
