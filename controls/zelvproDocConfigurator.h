// The document's own settings (number, revision, note, customer data and price factors) as eleven
// named properties, so that configurator fields edit them through ordinary property data units
// with undo. It reads and writes the fields of the current document record directly, so it always
// shows the document that is open; every write marks the document as changed. A panel of the
// configurator that belongs to no tab (RemoveAll leaves it); the configurator pane makes one per
// run. User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppConfigPanel.h"
#include "database/iProperty.h"

class iDocumentRecordLink;

class zelvproDocConfigurator : public ppConfigPanel, public iProperty {
 public:
  static constexpr int32_t kPropertyCount = 11;
  // The notice of a loaded document (channel 1000, id 1000), which changes nothing here.
  static constexpr int32_t kDocumentChannel = 1000, kDocumentLoaded = 1000;

  explicit zelvproDocConfigurator(ppView* configurator);
  ~zelvproDocConfigurator() override;

  // ---- iProperty.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override { return kPropertyCount; }
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;

  void Refresh(int32_t, int32_t, ppCollaborator*, intptr_t) override {}
  std::string GetName() override { return ppField::GetName(); }

  // The document configurator of the run; null while there is none. Not owned.
  static zelvproDocConfigurator* Global();
  // The open document's records and modified mark (not owned; null: none, reads are empty and
  // writes do nothing). Set at start-up.
  static void SetDocumentRecordLink(iDocumentRecordLink* link);
};
