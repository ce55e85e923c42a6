/* The baseline of the whole-run benchmark (scripts/bench.sh): a Windows
 * program that does what Wine must do for any GUI program and nothing else.
 * It loads the same system DLLs as VRL_DPD134.exe, shows one small window
 * and closes it through its message loop, then exits with 0. Started the
 * same way as the installer, its run time is Wine's own cost of starting,
 * windowing and ending a program, which the benchmark subtracts.
 *
 *   baseline_window.exe              one window, shown and closed
 *   baseline_window.exe --no-window  returns at once (the DLLs still load) */
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <winnetwk.h>
#include <winver.h>

#include <string.h>

/* One entry of each DLL the installer imports, so the loader maps them all;
 * the table is only read, never called. */
static const void* volatile g_imports[] = {
    (const void*)&RegCloseKey,         (const void*)&InitCommonControls,
    (const void*)&GetStockObject,      (const void*)&WNetGetConnectionA,
    (const void*)&ShellExecuteA,       (const void*)&GetFileVersionInfoSizeA,
};

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)show;
    if (g_imports[0] == NULL) return 1;
    if (strstr(commandLine, "--no-window") != NULL) return 0;

    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "BaselineWindow";
    if (!RegisterClassA(&windowClass)) return 2;
    /* The installer window's frame and size. */
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, "BaselineWindow", " Baseline",
                                  WS_POPUP | WS_CAPTION | WS_DLGFRAME, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 511, 58, NULL, NULL, instance, NULL);
    if (window == NULL) return 3;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PostMessageA(window, WM_CLOSE, 0, 0);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
