// Writing a carried file into a folder without ever leaving a partial file
// under its name: the bytes go to a temporary file beside it, which takes
// the name only when complete.
#pragma once

#include <string>

#include "platform/Exception.h"

// A file could not be written; the message names it and the system's reason.
class EFileWriteError : public Exception {
public:
    using Exception::Exception;
};

// Writes `bytes` as the new file `target`. False when a file of that name
// appeared while writing: it is left as it is and counts as present.
// Raises EFileWriteError on failure, with no file left behind.
bool WriteNewFile(const std::string& target, const std::string& bytes);
