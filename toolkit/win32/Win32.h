// The one place the toolkit's Win32 peers get the Windows API from.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0501  // Windows XP: GetAncestor, SetWindowLongPtr, IsDialogMessage
#endif

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

// The toolkit's own names; the peers call the ANSI functions by their A names.
#undef DrawText
#undef MessageBox
