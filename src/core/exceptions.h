// The system's exception family: one base carrying the formatted message
// and the kind of failure, the kinds that library operations raise, and the
// one way a failed platform call becomes one of them.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/errors.h"

namespace core {

// Which member of the family an exception is, so that a handler tells
// them apart by value. Kinds of other modules (EIniFileException) are plain
// exceptions here: nothing tells them apart.
enum class ExceptionKind {
    kException,
    kRegistry,    // ERegistryException
    kConvert,     // EConvertError
    kFileOpen,    // EFOpenError
    kStringList,  // EStringListError
};

class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message)
        : Exception(ExceptionKind::kException, message) {}
    std::string Message() const { return what(); }
    ExceptionKind Kind() const { return kind_; }

  protected:
    Exception(ExceptionKind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}

  private:
    ExceptionKind kind_;
};

// A registry read or write that the platform refused.
class ERegistryException : public Exception {
  public:
    explicit ERegistryException(const std::string& message)
        : Exception(ExceptionKind::kRegistry, message) {}
};

// A text that does not convert to a number.
class EConvertError : public Exception {
  public:
    explicit EConvertError(const std::string& message)
        : Exception(ExceptionKind::kConvert, message) {}
};

// A file that cannot be opened: "Cannot open file %s".
class EFOpenError : public Exception {
  public:
    explicit EFOpenError(const std::string& message)
        : Exception(ExceptionKind::kFileOpen, message) {}
};

// An index outside a line list.
class EStringListError : public Exception {
  public:
    explicit EStringListError(const std::string& message)
        : Exception(ExceptionKind::kStringList, message) {}
};

// The class name of `kind`, as a report of the failure names it.
const char* KindName(ExceptionKind kind);

// Replaces the first "%s" of `pattern` by `argument`.
std::string Format(const std::string& pattern, const std::string& argument);

// Raises E with `message` when `error` is a failure; a success passes.
template <typename E = Exception>
void ThrowIfFailed(platform::Win32Error error, const std::string& message) {
    if (error) {
        throw E(message);
    }
}

// The same, with the message Format(pattern, argument) made only for a
// failure: a call that succeeds (a registry write, a file load) builds no
// text.
template <typename E = Exception>
void ThrowIfFailed(platform::Win32Error error, const char* pattern, const std::string& argument) {
    if (error) {
        throw E(Format(pattern, argument));
    }
}

// The same, with the message made only for a failure, from its code: for a
// message that names the code.
template <typename E = Exception, typename MakeMessage,
          typename = std::enable_if_t<std::is_invocable_r_v<std::string, MakeMessage, uint32_t>>>
void ThrowIfFailed(platform::Win32Error error, MakeMessage&& makeMessage) {
    if (error) {
        throw E(std::forward<MakeMessage>(makeMessage)(error.code()));
    }
}

}  // namespace core
