#pragma once
// What the save and open dialogs of the document server share: the caller's file name edited as a
// copy, the user's server files in a grid (name and date columns over Save2ServerFiles and
// Save2ServerHeaders) above a "File name:" field, and the grid's messages heard on the grid's own
// switchboard. A derived dialog chooses which grid message puts the selected row's name into the
// field (the click, 901, or every selection change, 903) and adds its own buttons.
//
// The grid has no window of its own: the keyboard focus rests on the content view, whose key target
// is the dialog, so the dialog hands the arrow keys to the grid.
//
// Ownership: the caller's name and file list are not owned and outlive the dialog; the row and header
// sources are owned and remade by every run; the grid and the name field belong to the content view
// and go with the dialog window. User-interface thread only.

#include <cstdint>
#include <memory>

#include "exchange/qxServerDialog.h"
#include "foundation/VconString.h"
#include "framework/ppCollaborator.h"

class Save2ServerFiles;
class Save2ServerHeaders;
class ServerFileList;
class ppEditTextField;
class ppGrid;
class ppView;

class qxServerFileDialog : public qxServerDialog, public ppCollaborator {
 public:
  static constexpr int32_t kWidth = 500;
  static constexpr int32_t kHeight = 400;
  // Characters the name field takes at most.
  static constexpr int32_t kNameLength = 256;
  static constexpr int32_t kNameCaptionText = 7460;

  ~qxServerFileDialog() override;

  // Stores what was typed into the name field, then writes the copy to the caller; always true. The
  // name is not checked: the flow that asked refuses an empty one.
  bool ValidateOK() override;
  // Escape as the frame has it; the arrow keys 37 to 40 move the grid's selection.
  void KeyDown(signed char key, int32_t flags) override;
  // The grid's messages (channel 900).
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

  // The file list the dialog shows now: the one passed in, or the one a delete put in its place.
  ServerFileList* FileList() const { return files_; }
  // The copy of the name the field edits.
  const Vcon::WString& NameCopy() const { return copy_; }
  // Views of the running dialog; null outside a run.
  ppGrid* Grid() const { return grid_; }
  ppEditTextField* NameField() const { return nameField_; }

 protected:
  // `fileName` (the caller's, not owned, may be null) is copied now; `files` (not owned, may be null)
  // is shown by each run.
  qxServerFileDialog(ppView* parent, Vcon::WString* fileName, ServerFileList* files);

  // The texts a derived dialog gives the shared layout.
  struct Texts {
    int32_t titleId;
    const char16_t* title;
    int32_t acceptId;
    const char16_t* accept;
    int32_t hintId;  // the line above the name field
  };
  // Builds the frame, the two buttons, the name area and the grid with its first row selected.
  // Answers false when there is no content view to build in.
  bool BuildFileDialog(const Texts& texts);
  // The keyboard goes to the grid (the content view).
  void FocusGrid();
  // The grid message that copies the selected row's name into the field.
  virtual int32_t NameMessage() const = 0;
  // Rebuilds the row source over the current list, e.g. after a delete changed it.
  void RebuildRows();
  // Empties the name everywhere: the caller's, the copy and the field.
  void EmptyName();
  void ForgetViews() override;

  ServerFileList* files_;  // not owned

 private:
  Vcon::WString* fileNameTarget_;  // not owned
  Vcon::WString copy_;             // what the name field edits
  std::unique_ptr<Save2ServerFiles> rows_;
  std::unique_ptr<Save2ServerHeaders> headers_;
  ppEditTextField* nameField_ = nullptr;  // owned by the content view
  ppGrid* grid_ = nullptr;                // owned by the content view
};
