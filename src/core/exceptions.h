// The system's exception family: one base carrying the formatted message,
// and the kinds that library operations raise.
#pragma once
#include <stdexcept>
#include <string>

namespace core {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A registry read or write that the platform refused.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// A text that does not convert to a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened: "Cannot open file %s".
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a line list.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// Replaces the first "%s" of `pattern` by `argument`.
std::string Format(const std::string& pattern, const std::string& argument);

}  // namespace core
