// Small helpers for the engine's file work through platform::files().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace engine {

// Opens an existing file for reading (shared with readers and writers), or
// for reading and writing. Null when it cannot be opened; *error then holds
// the Windows error code.
std::unique_ptr<platform::OpenFile> OpenShared(const std::string& path, bool write,
                                               std::uint32_t* error);

// Reads exactly `length` bytes at `offset`; false on an I/O error or when
// the file ends first.
bool ReadExactly(platform::OpenFile& file, std::uint64_t offset, void* buffer,
                 std::size_t length);

// Reads a whole file (for the small index files). Throws EDBEngineError.
std::vector<unsigned char> ReadWholeFile(const std::string& path);

// Writes a whole file, replacing what was there. Throws EDBEngineError.
void WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes);

// The path with its extension replaced (".PX", ".XG0"); the extension is
// what follows the last "." of the file name.
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace engine
