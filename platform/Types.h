// Plain value types and Windows constants shared by the platform facilities.
// The constants carry the Windows values so both backends and the portable
// code above them agree on one meaning.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// An opaque window identity (an HWND on Win32, a counter in the simulation).
using WindowId = std::uintptr_t;

// Local wall-clock time with milliseconds, as GetLocalTime reports it.
struct LocalTime {
    int year = 1601;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Windows error codes the program and its tests name.
namespace error {
constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kNotEnoughMemory = 8;
constexpr std::uint32_t kNotReady = 21;
constexpr std::uint32_t kWriteFault = 29;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kLockViolation = 33;
constexpr std::uint32_t kHandleEof = 38;
constexpr std::uint32_t kNotSupported = 50;
constexpr std::uint32_t kBadNetName = 67;
constexpr std::uint32_t kFileExists = 80;
constexpr std::uint32_t kAlreadyAssigned = 85;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kDiskFull = 112;
constexpr std::uint32_t kInsufficientBuffer = 122;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kDirNotEmpty = 145;
constexpr std::uint32_t kNotLocked = 158;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kBadExeFormat = 193;
constexpr std::uint32_t kMoreData = 234;
constexpr std::uint32_t kDirectoryName = 267;
constexpr std::uint32_t kBadDevice = 1200;
constexpr std::uint32_t kNoNetwork = 1222;
constexpr std::uint32_t kResourceDataNotFound = 1812;
constexpr std::uint32_t kResourceTypeNotFound = 1813;
constexpr std::uint32_t kResourceNameNotFound = 1814;
constexpr std::uint32_t kNotConnected = 2250;
}  // namespace error

// File attributes (FILE_ATTRIBUTE_*).
namespace attr {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
}  // namespace attr

// Drive types (DRIVE_*), as GetDriveTypeA returns them.
namespace drive {
constexpr std::uint32_t kUnknown = 0;
constexpr std::uint32_t kNoRootDir = 1;
constexpr std::uint32_t kRemovable = 2;
constexpr std::uint32_t kFixed = 3;
constexpr std::uint32_t kRemote = 4;
constexpr std::uint32_t kCdRom = 5;
constexpr std::uint32_t kRamDisk = 6;
}  // namespace drive

// Platform identifiers of OSVERSIONINFOA.
namespace os {
constexpr std::uint32_t kWin32s = 0;
constexpr std::uint32_t kWin9x = 1;
constexpr std::uint32_t kWinNT = 2;
}  // namespace os

}  // namespace platform
