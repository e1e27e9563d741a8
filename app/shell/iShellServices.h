// What the application's start-up and commands ask of the calculation and of the document exchange,
// which sit beside the shell rather than below it: the calculation's unit files, the price list
// written to a file, the document server's open and save, the alternative price-list layout and the
// order mail. The program installs its services; without them the neutral ones below do nothing.
//
// Not owned by the shell. Process-wide; installed and used on the user-interface thread only; the
// desktop's reset list takes the installed one away.
#pragma once

#include "foundation/VconString.h"
#include "platform/WindowTypes.h"

class iShellServices {
 public:
  virtual ~iShellServices() = default;

  // Start-up: lists the calculation's unit files (every "*.txt" of the calculation folder, by name).
  virtual void ListCalculationUnits() {}
  // Brings the calculation up to date and writes the price list to `path` (narrow, program form).
  virtual void WritePriceList(const Vcon::String& /*path*/) {}
  // The document server: opens a document from it, saves the document to it.
  virtual void OpenFromServer() {}
  virtual void SaveToServer() {}
  // While on, a printed price list uses its item-sheet layout.
  virtual void SetAlternativePriceLayout(bool on);
  // Sends the order by e-mail, owned by `owner`.
  virtual void MailOrder(plat::HWND /*owner*/) {}
  // Sends the order over TCP to the order service; the order asks for the user's consent itself.
  virtual void SendOrder(plat::HWND /*owner*/) {}

  // The installed services, or the neutral ones; `services` null puts the neutral ones back.
  static iShellServices& Current();
  static void Install(iShellServices* services);
  // Whether services other than the neutral ones are installed.
  static bool AnyInstalled();
};
