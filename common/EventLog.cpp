#include "common/EventLog.h"

#include <exception>
#include <iterator>

#include "common/Dates.h"
#include "common/Messages.h"
#include "common/SystemHelpers.h"
#include "common/Variant.h"
#include "common/Version.h"
#include "platform/Platform.h"

namespace {

namespace pf = platform;

const char* const kNewFileLines[] = {"<?xml version=\"1.0\"?>", "<EVENTS>", "</EVENTS>"};

// The whole file, or nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    auto file = pf::files().open(path, pf::access::kRead, pf::share::kRead | pf::share::kWrite,
                                 pf::disposition::kOpenExisting);
    if (!file) return std::nullopt;
    const auto size = file->size();
    if (!size) return std::nullopt;
    std::string text(static_cast<std::size_t>(*size), '\0');
    std::size_t got = 0;
    if (!text.empty() && (!file->readAt(0, &text[0], text.size(), &got) || got != text.size())) {
        return std::nullopt;
    }
    return text;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    auto file = pf::files().open(path, pf::access::kWrite, pf::share::kNone,
                                 pf::disposition::kCreateAlways);
    return file && file->writeAt(0, text.data(), text.size()) && file->flush();
}

// Replaces the log by writing a new file beside it and moving that over
// the old one, so that a failure on the way never leaves a shortened log.
void ReplaceFile(const std::string& path, const std::string& text) {
    const std::string fresh = path + ".new";
    pf::Files& files = pf::files();
    if (!WriteWholeFile(fresh, text)) {
        files.deleteFile(fresh);
        return;
    }
    if (files.replaceFile(fresh, path)) return;
    // Windows 9x has no replacing move: delete, then move. Should the move
    // fail after the delete, the new file keeps the whole log.
    if (!files.attributes(path) || files.deleteFile(path)) {
        files.moveFile(fresh, path);
        return;
    }
    files.deleteFile(fresh);
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::vector<std::string> EventRecord(const pf::LocalTime& time, const std::string& eventClass,
                                     const std::string& text) {
    const std::string executable = pf::system().moduleFileName();
    return {
        "<ERR>",
        "<DATE>" + DisplayDate(DateOf(time)) + "</DATE>",
        "<TIME>" + LongTimeText(time) + "</TIME>",
        "<USERNAME>" + CurrentUserName() + "</USERNAME>",
        "<APPLICATION>" + FileBaseName(executable) + "</APPLICATION>",
        "<VERSION>" + FormatVersion(ReadFileVersion(executable)) + "</VERSION>",
        "<PROCESS>" + FormatProcessStamp() + "</PROCESS>",
        "<CLASS>" + eventClass + "</CLASS>",
        "<TEXT>" + text + "</TEXT>",
        "</ERR>",
    };
}

void LogEvent(const std::string& eventClass, const std::string& text) {
    if (pf::system().debuggerPresent()) return;
    UnlockWindowUpdates();
    if (DeveloperMachine) ShowMessageBox(eventClass + "\r\r" + text, toolkit::mb::kIconInformation);

    const std::string path = InstallRoot + "EVENTS.XML";
    const bool exists = FileExists(path);
    if (exists && FileSizeOf(path) >= kEventLogCap) return;

    try {
        std::vector<std::string> lines;
        if (exists) {
            const auto content = ReadWholeFile(path);
            if (!content) return;
            lines = SplitLines(*content);
        }
        // An empty file has no closing line to replace: start it like a new one.
        if (lines.empty()) lines.assign(std::begin(kNewFileLines), std::end(kNewFileLines));

        lines.pop_back();
        for (std::string& line : EventRecord(pf::system().localTime(), eventClass, text)) {
            lines.push_back(std::move(line));
        }
        lines.push_back("</EVENTS>");

        std::string output;
        for (const std::string& line : lines) output += line + "\r\n";
        ReplaceFile(path, output);
    } catch (const std::exception&) {
        // The event is lost; the caller is never told.
    }
}
