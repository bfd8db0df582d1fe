// Win32 error codes that the system and its stand-in platform speak, and
// the one type every platform call returns them in.
#pragma once
#include <cstdint>
#include <iosfwd>

namespace platform {

inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorInvalidData = 13;  // not data the call can use
inline constexpr uint32_t kErrorWriteFault = 29;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorNotSupported = 50;
inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorBadNetPath = 53;
inline constexpr uint32_t kErrorBadDevType = 66;  // the device and the resource differ in kind
inline constexpr uint32_t kErrorBadNetName = 67;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorAlreadyAssigned = 85;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorBufferOverflow = 111;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorBadPathname = 161;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorMoreData = 234;
inline constexpr uint32_t kErrorNoMoreItems = 259;
inline constexpr uint32_t kErrorBadDevice = 1200;
inline constexpr uint32_t kErrorCannotOpenProfile = 1205;
inline constexpr uint32_t kErrorBadProfile = 1206;
inline constexpr uint32_t kErrorNoNetwork = 1222;
inline constexpr uint32_t kErrorPrivilegeNotHeld = 1314;
inline constexpr uint32_t kErrorBadfile = 1009;  // ERROR_BADDB: the registry store is corrupt
// ERROR_KEY_DELETED: the key a handle names is gone (its hive file was
// removed, or a person edited the store).
inline constexpr uint32_t kErrorKeyDeleted = 1018;
inline constexpr uint32_t kErrorDatatypeMismatch = 1629;
inline constexpr uint32_t kErrorUnsupportedType = 1630;
inline constexpr uint32_t kErrorNotConnected = 2250;

// The result of a platform call: its Win32 error code, 0 for success.
// [[nodiscard]] makes a dropped result a compile warning, so every failure
// is either looked at or set aside visibly, with a cast to void.
class [[nodiscard]] Win32Error {
  public:
    // Implicit, so that a call returns its code as it stands
    // (`return kErrorAccessDenied;`) and a result compares with a code.
    constexpr Win32Error(uint32_t code = kErrorSuccess) noexcept : code_(code) {}

    constexpr bool ok() const noexcept { return code_ == kErrorSuccess; }
    // True for a failure, as std::error_code.
    constexpr explicit operator bool() const noexcept { return !ok(); }
    constexpr uint32_t code() const noexcept { return code_; }

    friend constexpr bool operator==(Win32Error a, Win32Error b) noexcept {
        return a.code_ == b.code_;
    }
    friend constexpr bool operator!=(Win32Error a, Win32Error b) noexcept {
        return a.code_ != b.code_;
    }

  private:
    uint32_t code_;
};

// The code in decimal, as a message or a test failure shows it.
std::ostream& operator<<(std::ostream& out, Win32Error error);

}  // namespace platform
