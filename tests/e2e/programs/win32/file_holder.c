/* Test helper: holds a file open for reading and writing without sharing,
 * as the suite's database packing program holds the data lock, until a
 * second file appears or a minute has passed.
 *
 *   file_holder.exe <file> <release file>
 *
 * Writes "<file>.held" once the file is held. Exits 0 after releasing it,
 * 1 when the file cannot be opened, 2 on bad use. */
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    char marker[MAX_PATH + 8];
    snprintf(marker, sizeof marker, "%s.held", argv[1]);
    FILE* held = fopen(marker, "w");
    if (held) fclose(held);
    for (int waited = 0; waited < 60000; waited += 100) {
        if (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES) break;
        Sleep(100);
    }
    CloseHandle(file);
    DeleteFileA(marker);
    return 0;
}
