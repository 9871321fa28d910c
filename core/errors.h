// The error classes of the system. Every message is code-page bytes.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace core {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    // The message in code-page bytes.
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// A failed file operation, with the platform error code it came from.
class EInOutError : public Exception {
public:
    EInOutError(std::string message, std::int32_t code) : Exception(std::move(message)), code_(code) {}
    std::int32_t ErrorCode() const noexcept { return code_; }

private:
    std::int32_t code_;
};

// Text that should have been an integer.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that could not be created.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// Abandons a command quietly: the error display shows nothing for it.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

}  // namespace core
