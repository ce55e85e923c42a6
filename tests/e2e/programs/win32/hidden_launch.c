/* Test helper: starts a program hidden, as the suite's programs start an
 * update program (ShellExecuteEx with SW_HIDE), waits for it and exits with
 * its exit code.
 *
 *   hidden_launch.exe <program>
 *
 * Exits 2 on bad use, 3 when the program cannot be started. */
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = argv[1];
    info.nShow = SW_HIDE;
    if (!ShellExecuteExA(&info) || !info.hProcess) return 3;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 3;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return (int)code;
}
