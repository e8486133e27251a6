#pragma once

#include <string>
#include <utility>
#include <variant>

namespace platform {

// The outcome of an operation that can fail: failures are values carrying the message
// that the guard convention writes to the error log.
class Status {
public:
    static Status Ok() { return Status(); }
    static Status Error(std::string message) { return Status(std::move(message), false); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& message() const { return message_; }

private:
    Status() = default;
    Status(std::string message, bool ok) : message_(std::move(message)), ok_(ok) {}

    std::string message_;
    bool ok_ = true;
};

// A value or the failure that prevented it.
template <typename T> class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Status failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<T>(state_); }
    const T& value() const { return std::get<T>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    Status status() const { return ok() ? Status::Ok() : std::get<Status>(state_); }
    const std::string& message() const {
        static const std::string none;
        return ok() ? none : std::get<Status>(state_).message();
    }

private:
    std::variant<T, Status> state_;
};

} // namespace platform
