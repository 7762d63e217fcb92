#pragma once
// A value or a clear, user-readable error; the decoder reports errors as values.
#include <optional>
#include <string>
#include <utility>

namespace dwg {

template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
    static Result failure(std::string message) {
        Result r;
        r.error_ = std::move(message);
        return r;
    }
    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return error_; }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T take() { return std::move(*value_); }

private:
    Result() = default;
    std::optional<T> value_;
    std::string error_;
};

}  // namespace dwg
