/* A network provider DLL for the end-to-end tests. Wine's mpr has no network
 * of its own; with this provider registered it passes the connection calls
 * it accepts on to the provider, which logs each one to C:\e2e\network.log
 * and answers it:
 *
 *   add<TAB>local=G:<TAB>remote=\\SRV\PRACTICE<TAB>user=<null>|text
 *      <TAB>password=<null>|text<TAB>flags=N<TAB>result=0
 *   cancel<TAB>name=...<TAB>force=N<TAB>result=2250
 *
 * Adds succeed (nothing is connected for real), cancels find nothing
 * connected. */
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

/* The provider interface's capability queries (npapi.h). */
#ifndef WNNC_SPEC_VERSION
#define WNNC_SPEC_VERSION 0x0001
#endif
#ifndef WNNC_SPEC_VERSION51
#define WNNC_SPEC_VERSION51 0x00050001
#endif
#ifndef WNNC_NET_TYPE
#define WNNC_NET_TYPE 0x0002
#endif
#ifndef WNNC_CONNECTION
#define WNNC_CONNECTION 0x0006
#endif
#ifndef WNNC_CON_ADDCONNECTION
#define WNNC_CON_ADDCONNECTION 0x0001
#endif
#ifndef WNNC_CON_CANCELCONNECTION
#define WNNC_CON_CANCELCONNECTION 0x0002
#endif
#ifndef WNNC_CON_ADDCONNECTION3
#define WNNC_CON_ADDCONNECTION3 0x0008
#endif
#ifndef WNNC_NET_LANMAN
#define WNNC_NET_LANMAN 0x00020000
#endif

static void Log(const char* line) {
    FILE* f = fopen("C:\\e2e\\network.log", "ab");
    if (!f) return;
    fprintf(f, "%s\r\n", line);
    fclose(f);
}

static void Narrow(const WCHAR* text, char* out, int size) {
    if (text == NULL) {
        snprintf(out, (size_t)size, "<null>");
        return;
    }
    WideCharToMultiByte(CP_ACP, 0, text, -1, out, size, NULL, NULL);
}

DWORD WINAPI NPGetCaps(DWORD index) {
    switch (index) {
        case WNNC_SPEC_VERSION: return WNNC_SPEC_VERSION51;
        case WNNC_NET_TYPE: return WNNC_NET_LANMAN;
        case WNNC_CONNECTION:
            return WNNC_CON_ADDCONNECTION | WNNC_CON_CANCELCONNECTION | WNNC_CON_ADDCONNECTION3;
        default: return 0;
    }
}

DWORD WINAPI NPAddConnection3(HWND owner, LPNETRESOURCEW resource, LPWSTR password,
                              LPWSTR user, DWORD flags) {
    (void)owner;
    char local[64], remote[MAX_PATH], userText[256], passwordText[256], line[1024];
    Narrow(resource->lpLocalName, local, sizeof local);
    Narrow(resource->lpRemoteName, remote, sizeof remote);
    Narrow(user, userText, sizeof userText);
    Narrow(password, passwordText, sizeof passwordText);
    DWORD result = NO_ERROR;
    snprintf(line, sizeof line, "add\tlocal=%s\tremote=%s\tuser=%s\tpassword=%s\tflags=%lu\tresult=%lu",
             local, remote, userText, passwordText, (unsigned long)flags, (unsigned long)result);
    Log(line);
    return result;
}

DWORD WINAPI NPAddConnection(LPNETRESOURCEW resource, LPWSTR password, LPWSTR user) {
    return NPAddConnection3(NULL, resource, password, user, 0);
}

DWORD WINAPI NPCancelConnection(LPWSTR name, BOOL force) {
    char text[MAX_PATH], line[1024];
    Narrow(name, text, sizeof text);
    DWORD result = ERROR_NOT_CONNECTED;
    snprintf(line, sizeof line, "cancel\tname=%s\tforce=%d\tresult=%lu", text, force ? 1 : 0,
             (unsigned long)result);
    Log(line);
    return result;
}
