/* Test helper, not a stand-in: writes what the top-level windows titled
 * exactly like its first argument show, so a case can check the text of a
 * message box or the size of a window that X cannot tell it.
 *
 *   window_text.exe "<title>" <output file>
 *
 * For each such window of the desktop, one block of lines:
 *   window<TAB>class=<class><TAB>client=<width>x<height><TAB>style=0x<style>
 *   child<TAB>class=<class><TAB>id=<control id><TAB>text=<text>
 *   item<TAB>index=<n><TAB>selected=<0|1><TAB>text=<text>   (per combo or list box item)
 * Exits 0 when at least one window was found, 1 when none, 2 on bad use. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

struct Search {
    const char* title;
    FILE* out;
    int found;
};

static void WriteText(FILE* out, HWND window) {
    char text[4096];
    int length = GetWindowTextA(window, text, sizeof text);
    /* Line breaks of a message text would split the record. */
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\r') text[i] = '|';
        if (text[i] == '\n') text[i] = '|';
    }
    fprintf(out, "text=%.*s\r\n", length, text);
}

/* Asked in UTF-16: Wine hands the items of another process's owner-drawn
 * combo box to an ANSI request in UTF-16 all the same. */
static void WriteComboItems(FILE* out, HWND combo) {
    LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR wide[1024];
        char text[2048];
        if (SendMessageW(combo, CB_GETLBTEXTLEN, (WPARAM)i, 0) >= 1024) continue;
        SendMessageW(combo, CB_GETLBTEXT, (WPARAM)i, (LPARAM)wide);
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
        fprintf(out, "item\tindex=%ld\tselected=%d\ttext=%s\r\n", (long)i, i == selected, text);
    }
}

/* Asked in UTF-16 for the same reason as the combo box items. */
static void WriteListItems(FILE* out, HWND list) {
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR wide[1024];
        char text[2048];
        if (SendMessageW(list, LB_GETTEXTLEN, (WPARAM)i, 0) >= 1024) continue;
        SendMessageW(list, LB_GETTEXT, (WPARAM)i, (LPARAM)wide);
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
        fprintf(out, "item\tindex=%ld\tselected=%d\ttext=%s\r\n", (long)i, i == selected, text);
    }
}

static BOOL CALLBACK OnChild(HWND child, LPARAM param) {
    FILE* out = (FILE*)param;
    char cls[256];
    GetClassNameA(child, cls, sizeof cls);
    fprintf(out, "child\tclass=%s\tid=%d\t", cls, GetDlgCtrlID(child));
    WriteText(out, child);
    if (strcmp(cls, "ComboBox") == 0) WriteComboItems(out, child);
    if (strcmp(cls, "ListBox") == 0) WriteListItems(out, child);
    return TRUE;
}

static BOOL CALLBACK OnTopLevel(HWND window, LPARAM param) {
    struct Search* search = (struct Search*)param;
    char title[1024];
    GetWindowTextA(window, title, sizeof title);
    if (strcmp(title, search->title) != 0) return TRUE;
    char cls[256];
    GetClassNameA(window, cls, sizeof cls);
    RECT client;
    GetClientRect(window, &client);
    fprintf(search->out, "window\tclass=%s\tclient=%ldx%ld\tstyle=0x%08lx\r\n", cls,
            client.right - client.left, client.bottom - client.top,
            (unsigned long)GetWindowLongA(window, GWL_STYLE));
    EnumChildWindows(window, OnChild, (LPARAM)search->out);
    ++search->found;
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    FILE* out = fopen(argv[2], "wb");
    if (!out) return 2;
    struct Search search = {argv[1], out, 0};
    EnumWindows(OnTopLevel, (LPARAM)&search);
    fclose(out);
    return search.found > 0 ? 0 : 1;
}
