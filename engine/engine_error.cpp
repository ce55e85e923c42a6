#include "engine/EngineError.h"

namespace engine {

void ThrowFileError(DBIResult code, const std::string& text, const std::string& path) {
    throw EDBEngineError(code, text + "\r\nFile: " + path);
}

}  // namespace engine
