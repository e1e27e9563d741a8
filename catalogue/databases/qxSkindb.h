// The skin database (".\settings\skin.cdb"): the pictures of the program's buttons for each button
// state, and named colours and bitmaps, each table keyed by "id".
//
// While open it is the global SkinDatabase. Errors of the database engine leave the constructor as
// its error numbers, with the opening's transaction aborted and the global not set.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "database/ppDatabase.h"
#include "framework/ppPicture.h"

class qxSkinObjectFil;

class qxSkindb : public ppDatabase {
 public:
  // Button states, in the order of the picture fields.
  enum ButtonState : int32_t { kNormal, kSelected, kClicked, kDisabled, kRollover };

  explicit qxSkindb(ppFileSpec& fileSpec);
  ~qxSkindb() override;

  // The picture of button `id` for `state` (a state outside kNormal to kRollover gives the normal
  // picture). The button table's buffer holds the button afterwards, or is empty when there is no
  // such button, and the answer is then empty. The picture is the database's, valid until the
  // next call.
  const ppPicture& GetButtonPicture(int32_t id, int32_t state);

  qxSkinObjectFil& ButtonFile() const { return *buttonFile_; }
  qxSkinObjectFil& ColorFile() const { return *colorFile_; }
  qxSkinObjectFil& BitmapFile() const { return *bitmapFile_; }

 private:
  void DeleteTables();
  void SetPicture(Handle bytes);

  std::unique_ptr<qxSkinObjectFil> buttonFile_, colorFile_, bitmapFile_;
  ppPicture buttonPicture_;
};

// The open skin database; null while none is open. Not owned. User-interface thread only.
extern qxSkindb* SkinDatabase;
