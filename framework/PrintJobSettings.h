#pragma once
// The print dialog's record in its kept form: converts a PRINTDLGA to and from the 66 stored bytes
// of the print settings file (pointer-sized fields are stored as 0), and the device mode to and from
// its stored block. Everything little-endian.

#include <string>

#include "framework/PrintSettingsFile.h"
#include "platform/CommonDialogs.h"

// The stored bytes of `record`: lStructSize, hwndOwner, hDevMode, hDevNames, hDC, Flags (4 bytes
// each), nFromPage, nToPage, nMinPage, nMaxPage, nCopies (2 each), hInstance, lCustData and six hook
// and template words (4 each).
PrintSettingsFile::Record StorePrintRecord(const plat::PRINTDLGA& record);
// Takes the numbers of a stored record into `record`; its handles are left as they are.
void LoadPrintRecord(const PrintSettingsFile::Record& stored, plat::PRINTDLGA* record);

// Reads the kept settings into `record`: its numbers and a device mode of its own (freed with
// FreeDevMode) when one was kept. False when there are no usable settings (`record` unchanged).
bool ReadPrintSettings(const std::u16string& path, plat::PRINTDLGA* record);
// Keeps `record` and its device mode; false when the file could not be written.
bool WritePrintSettings(const std::u16string& path, const plat::PRINTDLGA& record);
