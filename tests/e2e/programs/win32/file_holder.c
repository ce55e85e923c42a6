/* Test helper: holds a file open for reading and writing without sharing,
 * as the suite's database packing program holds the data lock, until a
 * second file appears or a minute has passed.
 *
 *   file_holder.exe <file> <release file> [wait]
 *
 * Writes "<file>.held" once the file is held. With "wait", a file that
 * cannot be opened (another program has it open) is tried again every
 * 50 ms for up to a minute, and "<file>.refused" is written at the first
 * refusal. Exits 0 after releasing it, 1 when the file cannot be opened,
 * 2 on bad use. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static void Mark(const char* file, const char* suffix) {
    char marker[MAX_PATH + 16];
    snprintf(marker, sizeof marker, "%s%s", file, suffix);
    FILE* made = fopen(marker, "w");
    if (made) fclose(made);
}

static HANDLE OpenAlone(const char* path) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       NULL);
}

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && strcmp(argv[3], "wait") == 0)) return 2;
    HANDLE file = OpenAlone(argv[1]);
    if (file == INVALID_HANDLE_VALUE && argc == 4) {
        Mark(argv[1], ".refused");
        for (int waited = 0; file == INVALID_HANDLE_VALUE && waited < 60000; waited += 50) {
            Sleep(50);
            file = OpenAlone(argv[1]);
        }
    }
    if (file == INVALID_HANDLE_VALUE) return 1;
    Mark(argv[1], ".held");
    for (int waited = 0; waited < 60000; waited += 100) {
        if (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES) break;
        Sleep(100);
    }
    CloseHandle(file);
    char marker[MAX_PATH + 16];
    snprintf(marker, sizeof marker, "%s.held", argv[1]);
    DeleteFileA(marker);
    return 0;
}
