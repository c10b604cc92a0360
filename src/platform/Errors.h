#pragma once
// The toolkit's error classes. Messages of the program name the class of a caught error
// ("...\rError: EFOpenError"), so every class knows its own name at run time.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace platform {

class Exception : public std::exception {
public:
    explicit Exception(std::string message, int helpContext = 0)
        : message_(std::move(message)), helpContext_(helpContext) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    int HelpContext() const noexcept { return helpContext_; }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string message_;
    int helpContext_;
};

#define BOOTRAMA_EXCEPTION_CLASS(Name, Parent)                            \
    class Name : public Parent {                                          \
        using Base = Parent;                                              \
                                                                          \
    public:                                                               \
        using Base::Base;                                                 \
        const char* ClassName() const noexcept override { return #Name; } \
    }

// Streams: a file that can't be opened or created, or a failed read or write.
BOOTRAMA_EXCEPTION_CLASS(EStreamError, Exception);
BOOTRAMA_EXCEPTION_CLASS(EFOpenError, EStreamError);
// A file that can't be created, with the Windows error code of the reason (3: path not
// found, 5: access denied, 112: disk full), for messages that show the code.
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(std::string message, int errorCode = 0)
        : EStreamError(std::move(message)), errorCode_(errorCode) {}
    int ErrorCode() const noexcept { return errorCode_; }
    const char* ClassName() const noexcept override { return "EFCreateError"; }

private:
    int errorCode_;
};
BOOTRAMA_EXCEPTION_CLASS(EFilerError, EStreamError);
BOOTRAMA_EXCEPTION_CLASS(EReadError, EFilerError);
BOOTRAMA_EXCEPTION_CLASS(EWriteError, EFilerError);

// An input/output error with the system's error code.
class EInOutError : public Exception {
public:
    EInOutError(std::string message, int errorCode)
        : Exception(std::move(message)), errorCode_(errorCode) {}
    int ErrorCode() const noexcept { return errorCode_; }
    const char* ClassName() const noexcept override { return "EInOutError"; }

private:
    int errorCode_;
};

BOOTRAMA_EXCEPTION_CLASS(EInvalidGraphic, Exception);    // invalid picture, unknown extension
BOOTRAMA_EXCEPTION_CLASS(EConvertError, Exception);      // "Cannot assign a %s to a %s"
BOOTRAMA_EXCEPTION_CLASS(EStringListError, Exception);   // list index out of bounds
BOOTRAMA_EXCEPTION_CLASS(EIniFileException, Exception);  // "Unable to write to %s"
BOOTRAMA_EXCEPTION_CLASS(ERegistryException, Exception);
BOOTRAMA_EXCEPTION_CLASS(EOutOfMemory, Exception);

// A disk image that is not changed, or not read, and why: a format we don't handle, a
// damaged file system, a virtual machine that has the image open. The message says what to
// do; the Windows code (32: in use, 1392: damaged, 1785: unknown format) is for messages
// that show one.
class EDiskImageError : public EStreamError {
public:
    EDiskImageError(std::string message, int errorCode)
        : EStreamError(std::move(message)), errorCode_(errorCode) {}
    int ErrorCode() const noexcept { return errorCode_; }
    const char* ClassName() const noexcept override { return "EDiskImageError"; }

private:
    int errorCode_;
};

// A file that is not there, is a folder or can't be opened, named as the caller spelled it.
EFOpenError CannotOpen(std::string_view shownName);
// A file refused for its size before it is read: larger than the limit of its kind.
EReadError FileTooLarge(std::string_view shownName, std::uintmax_t maxBytes);

// The class name of any caught error: ours by their own name, std::bad_alloc as
// EOutOfMemory, anything else as "Exception".
std::string ClassNameOf(const std::exception& error);
// What "Error: %s" in a message shows of a caught error: its class name, and for a disk
// image's refusal, which the user can do something about, its message on the next line.
std::string ErrorDetail(const std::exception& error);

}  // namespace platform
