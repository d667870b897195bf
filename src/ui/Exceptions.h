// The toolkit's exceptions: what the application error box shows.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

// A failure with a message for the application error box (Windows-1252 text).
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};
class EFOpenError : public Exception {
    using Exception::Exception;
};
class EFCreateError : public Exception {
    using Exception::Exception;
};

// The system's text for an error code, without its trailing blanks and period.
std::string SysErrorMessage(DWORD code);
