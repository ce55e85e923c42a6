// How the program talks to the user: every message box goes through
// ShowMessageBox, always with the caption "Virelle".
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/Application.h"

// Shows a message box owned by the application window and returns the
// button pressed (IDOK 1, IDYES 6, IDNO 7 ...). The box is always brought to
// the front, so that it cannot wait unseen behind other windows when the
// program was started hidden.
int ShowMessageBox(const std::string& text, std::uint32_t flags);

// Shows the text as a warning (a full stop appended when missing) and ends
// the current operation with the silent abort error (EAbort).
[[noreturn]] void StopWithMessage(std::string text);

// Releases any window-update lock of the process.
void UnlockWindowUpdates();

// The system's text for a Windows error code, with `insert` at its "%1",
// without trailing blanks, line breaks and full stops. Empty for a code the
// system has no text for.
std::string SystemErrorText(std::uint32_t code, const std::string& insert);

// The flags every box of the program adds to the caller's: in front of
// other programs' windows and modal to all of this program's windows.
constexpr std::uint32_t kMessageBoxFrontFlags = toolkit::mb::kSetForeground | toolkit::mb::kTaskModal;
