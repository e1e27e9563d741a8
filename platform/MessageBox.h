// Message boxes.
//
// Until the layer's dialogs exist, a box is not drawn: each call is recorded in the box log (text,
// caption, style, owner) that tests read, and it is answered at once, with the next scripted answer
// when a test queued one, otherwise with the box's default button (as if Enter were pressed).
// Style and answer values are the platform's own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Buttons (low 4 bits of the style).
inline constexpr uint32_t MB_OK = 0x0;
inline constexpr uint32_t MB_OKCANCEL = 0x1;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x2;
inline constexpr uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr uint32_t MB_YESNO = 0x4;
inline constexpr uint32_t MB_RETRYCANCEL = 0x5;
// Icons.
inline constexpr uint32_t MB_ICONHAND = 0x10;
inline constexpr uint32_t MB_ICONSTOP = MB_ICONHAND;
inline constexpr uint32_t MB_ICONERROR = MB_ICONHAND;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr uint32_t MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr uint32_t MB_ICONASTERISK = 0x40;
inline constexpr uint32_t MB_ICONINFORMATION = MB_ICONASTERISK;
// Default button.
inline constexpr uint32_t MB_DEFBUTTON1 = 0x000;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x100;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x200;
// Modality and placement.
inline constexpr uint32_t MB_APPLMODAL = 0x0000;
inline constexpr uint32_t MB_SYSTEMMODAL = 0x1000;
inline constexpr uint32_t MB_TASKMODAL = 0x2000;
inline constexpr uint32_t MB_SETFOREGROUND = 0x10000;
inline constexpr uint32_t MB_TOPMOST = 0x40000;

// Answers.
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;
inline constexpr int32_t IDABORT = 3;
inline constexpr int32_t IDRETRY = 4;
inline constexpr int32_t IDIGNORE = 5;
inline constexpr int32_t IDYES = 6;
inline constexpr int32_t IDNO = 7;

// One shown box. Texts are kept as UTF-16 whichever call showed them.
struct MessageBoxRecord {
  std::u16string text;
  std::u16string caption;
  uint32_t style = 0;
  const void* owner = nullptr;  // the owner window, or null
  int32_t answer = 0;
};

// Shows a box with Windows-1252 texts; returns the answer (IDOK ...). `owner` may be null.
int32_t MessageBoxA(const void* owner, const char* text, const char* caption, uint32_t style);
// Shows a box with UTF-16 texts.
int32_t MessageBoxW(const void* owner, const char16_t* text, const char16_t* caption, uint32_t style);

// The same with a language for the buttons' texts (0x0400: the user's default); the layer's buttons
// are in English whatever the language.
int32_t MessageBoxExA(const void* owner, const char* text, const char* caption, uint32_t style,
                      uint16_t language);
int32_t MessageBoxExW(const void* owner, const char16_t* text, const char16_t* caption, uint32_t style,
                      uint16_t language);

// The boxes shown since the log was last cleared, oldest first.
std::vector<MessageBoxRecord> MessageBoxLog();
void ClearMessageBoxLog();

// Draws boxes: a presenter shows the box and answers the button pressed, given the answer a test
// queued (or null). Without one (the default) a box is answered at once, as described above. The
// interactive backend installs the dialog-drawn boxes of DialogMessageBox.h.
using MessageBoxPresenter = int32_t (*)(const void* owner, const std::u16string& text,
                                        const std::u16string& caption, uint32_t style, const int32_t* queued);
void SetMessageBoxPresenter(MessageBoxPresenter presenter);

// Queues the answer of a coming box (first queued, first used); ClearMessageBoxLog drops the queue.
void QueueMessageBoxAnswer(int32_t answer);

}  // namespace plat
