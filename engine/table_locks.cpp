#include "engine/table_locks.h"

#include "engine/EngineError.h"
#include "platform/Platform.h"

namespace engine {

LockTiming& CurrentLockTiming() {
    static LockTiming timing;
    return timing;
}

RangeLock::RangeLock(platform::OpenFile& file, std::uint64_t offset, bool exclusive,
                     const std::string& path)
    : file_(file), offset_(offset) {
    const LockTiming timing = CurrentLockTiming();
    std::uint32_t waited = 0;
    while (!file_.lockRange(offset_, 1, exclusive)) {
        if (waited >= timing.timeoutMs) {
            throw EDBEngineError(dbierr::kFileBusy,
                                 "Table is busy: another user is changing it.\r\nTable: " + path);
        }
        platform::System* system = platform::Current().system;
        if (system != nullptr) system->sleep(timing.retryMs);
        waited += timing.retryMs == 0 ? 1 : timing.retryMs;
    }
}

RangeLock::~RangeLock() { file_.unlockRange(offset_, 1); }

}  // namespace engine
