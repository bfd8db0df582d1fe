// Win32 error codes that the system and its stand-in platform speak.
#pragma once
#include <cstdint>

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

}  // namespace platform
