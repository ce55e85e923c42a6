/* A stand-in for the suite's other programs in the end-to-end tests. Copied
 * under the name a case needs, it appends one line to "<own file name>.log"
 * next to itself when it starts, and another when it ends:
 *
 *   start<TAB>time=YYYY-MM-DD HH:MM:SS.mmm<TAB>tick=N<TAB>pid=N
 *        <TAB>show=N|default<TAB>cmdline=<the whole command line>
 *   end<TAB>time=...<TAB>tick=N<TAB>pid=N<TAB>exit=N
 *
 * show is STARTUPINFO.wShowWindow when the starter set STARTF_USESHOWWINDOW.
 * It waits before ending for the milliseconds given by "--stand-in-delay=N"
 * on its command line, or else by the number in "<own file name>.delay",
 * and exits with the number in "<own file name>.exit" (default 0). */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char g_self[MAX_PATH];

/* "<own path><suffix>", or an empty text when it does not fit. */
static void SidePath(char* out, size_t size, const char* suffix) {
    if ((size_t)snprintf(out, size, "%s%s", g_self, suffix) >= size) out[0] = '\0';
}

/* The number in a side file, or `fallback` when there is none. */
static long SideNumber(const char* suffix, long fallback) {
    char path[MAX_PATH + 16];
    SidePath(path, sizeof path, suffix);
    FILE* f = path[0] ? fopen(path, "r") : NULL;
    if (!f) return fallback;
    long value = fallback;
    if (fscanf(f, "%ld", &value) != 1) value = fallback;
    fclose(f);
    return value;
}

static long DelayFromCommandLine(const char* cmdline) {
    static const char kOption[] = "--stand-in-delay=";
    const char* at = strstr(cmdline, kOption);
    return at ? strtol(at + sizeof kOption - 1, NULL, 10) : -1;
}

/* Appends one line that begins with `event` and the time fields. */
static void Record(const char* event, const char* rest) {
    char path[MAX_PATH + 16];
    SidePath(path, sizeof path, ".log");
    FILE* f = path[0] ? fopen(path, "ab") : NULL;
    if (!f) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    fprintf(f, "%s\ttime=%04u-%02u-%02u %02u:%02u:%02u.%03u\ttick=%lu\tpid=%lu\t%s\r\n", event,
            t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
            (unsigned long)GetTickCount(), (unsigned long)GetCurrentProcessId(), rest);
    fclose(f);
}

int main(void) {
    DWORD length = GetModuleFileNameA(NULL, g_self, sizeof g_self);
    if (length == 0 || length >= sizeof g_self) return 3;

    const char* cmdline = GetCommandLineA();
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    char show[16] = "default";
    if (si.dwFlags & STARTF_USESHOWWINDOW) snprintf(show, sizeof show, "%u", si.wShowWindow);

    size_t restSize = strlen(cmdline) + 64;
    char* rest = malloc(restSize);
    if (!rest) return 3;
    snprintf(rest, restSize, "show=%s\tcmdline=%s", show, cmdline);
    Record("start", rest);
    free(rest);

    long delay = DelayFromCommandLine(cmdline);
    if (delay < 0) delay = SideNumber(".delay", 0);
    if (delay > 0) Sleep((DWORD)delay);

    int code = (int)SideNumber(".exit", 0);
    char end[32];
    snprintf(end, sizeof end, "exit=%d", code);
    Record("end", end);
    return code;
}
