// The document window's print settings, installed for the window's life: the drawing scale chosen in
// the scale box before a plan print (0 fits the plan to the paper, else 20, 48 or 50 for 1:N) is the
// one every plan page is laid out at and its header names. Everything else is answered by the
// settings installed before, or by the neutral ones. User-interface thread only.
#pragma once

#include <cstdint>

#include "elements/topview/iPrintSettings.h"

class zelvproWindowPrintSettings : public iPrintSettings {
 public:
  // `scale` is the window's chosen scale, read whenever a page asks (it must outlive these
  // settings); installs itself.
  explicit zelvproWindowPrintSettings(const int32_t& scale);
  // Puts the earlier settings back when these are still the installed ones.
  ~zelvproWindowPrintSettings() override;
  zelvproWindowPrintSettings(const zelvproWindowPrintSettings&) = delete;
  zelvproWindowPrintSettings& operator=(const zelvproWindowPrintSettings&) = delete;

  int32_t DrawingScale() override { return scale_; }
  bool OutlineOnly() override { return Outer().OutlineOnly(); }
  PrintPageFields PageFields(int32_t page) override { return Outer().PageFields(page); }
  void PrintHeader(ppDC& dc, int32_t page) override { Outer().PrintHeader(dc, page); }
  void MarkPageDone(int32_t page) override { Outer().MarkPageDone(page); }
  i3DPaneHost* DocumentHost() override { return Outer().DocumentHost(); }
  PrintTitleFields TitleFields() override { return Outer().TitleFields(); }

 private:
  iPrintSettings& Outer() { return previous_ != nullptr ? *previous_ : neutral_; }

  const int32_t& scale_;
  iPrintSettings* previous_;  // not owned; null: the neutral settings
  iPrintSettings neutral_;
};
