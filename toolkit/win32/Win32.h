// The one place the toolkit's Win32 peers get the Windows API from.
#pragma once

#include "platform/win32/WindowsSupport.h"

#include <commctrl.h>
#include <shellapi.h>

// The toolkit's own names; the peers call the ANSI functions by their A names.
#undef DrawText
#undef MessageBox
