// Probe for the end-to-end tests: posts rows to a practice table through
// the table engine over the Win32 backends, one append and post at a time
// as the programs of the suite post them, so that two of these can write
// one table at the same moment.
//
//   append_rows.exe <data folder> <table> <name prefix> <count>
// Opens the table, writes "<data folder>\<prefix>.ready" and waits (up to
// a minute) for "<data folder>\go", so that the case can start several at
// one moment. Row n (from 1) has "Name" <prefix><n> and "Number" n. Writes
// "<data folder>\<prefix>.done": "posted <count> ticks <first> <last>",
// the system tick counts after the first post and before the last, or the
// engine's message for the first post refused. Exit code 0 when every row
// was posted, 1 otherwise, 2 on bad use.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/Cipher.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "engine/Table.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Platform.h"

namespace {

void WriteText(const std::string& path, const std::string& text) {
    auto file = platform::files().open(path, platform::access::kWrite, platform::share::kRead,
                                       platform::disposition::kCreateAlways);
    if (file) file->writeAt(0, text.data(), text.size());
}

bool WaitForFile(const std::string& path) {
    for (int waited = 0; waited < 60000; waited += 10) {
        if (platform::files().attributes(path)) return true;
        platform::system().sleep(10);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    std::string folder = argv[1];
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    const std::string table = argv[2];
    const std::string prefix = argv[3];
    const int count = std::atoi(argv[4]);
    if (count <= 0) return 2;
    platform::win32::InstallWin32Platform();

    int posted = 0;
    std::uint32_t first = 0, last = 0;
    try {
        engine::Session session;
        session.AddPassword(DatabasePassword());
        session.Open();
        engine::Database database(session);
        database.Params().push_back("PATH=" + folder);
        database.Open();
        engine::Table rows(database);
        rows.SetTableName(table);
        rows.Open();
        WriteText(folder + prefix + ".ready", "ready");
        if (!WaitForFile(folder + "go")) return 1;
        for (int n = 1; n <= count; ++n) {
            if (n == count) last = platform::system().tickCount();
            rows.Append();
            rows.FieldByName("Name").SetAsString(prefix + std::to_string(n));
            rows.FieldByName("Number").SetAsInteger(n);
            rows.Post();
            if (n == 1) first = platform::system().tickCount();
            posted = n;
        }
        rows.Close();
        database.Close();
    } catch (const std::exception& error) {
        WriteText(folder + prefix + ".done", "after " + std::to_string(posted) + " rows: " + error.what());
        return 1;
    }
    WriteText(folder + prefix + ".done", "posted " + std::to_string(posted) + " ticks " +
                                             std::to_string(first) + " " + std::to_string(last));
    return 0;
}
