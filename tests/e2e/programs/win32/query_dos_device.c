/* Test helper, not a stand-in: writes what another program left behind as
 * a DOS device name, as a second program of the machine sees it.
 *
 *   query_dos_device.exe <device, e.g. S:> <output file>
 *
 * The output is one line: the device's first target (for a substituted
 * drive "\??\C:\folder"), or "error=<GetLastError>" when the name is not
 * defined. Exits 0 when the name is defined, 1 when not, 2 on bad use. */
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    FILE* out = fopen(argv[2], "wb");
    if (!out) return 2;
    char target[1024] = {0};
    DWORD length = QueryDosDeviceA(argv[1], target, sizeof target);
    if (length == 0) {
        fprintf(out, "error=%lu\r\n", (unsigned long)GetLastError());
    } else {
        fprintf(out, "%s\r\n", target);
    }
    fclose(out);
    return length == 0 ? 1 : 0;
}
