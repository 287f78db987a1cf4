#pragma once

// What a function that can fail returns: its value, or the reason there is
// none. `return Failure{reason};` fails a Result of any type.

#include <optional>
#include <string>
#include <utility>

namespace pelmora {

struct Failure {
  std::string reason;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  Result(Failure failure) : error_(std::move(failure.reason)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }

  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  const T& operator*() const& { return *value_; }
  T& operator*() & { return *value_; }
  const T* operator->() const { return &*value_; }
  T* operator->() { return &*value_; }
  T value_or(T fallback) const& { return value_ ? *value_ : std::move(fallback); }

  // The reason; empty when ok().
  const std::string& error() const { return error_; }

  friend bool operator==(const Result& result, const T& value) {
    return result.ok() && *result.value_ == value;
  }

 private:
  std::optional<T> value_;
  std::string error_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : ok_(false), error_(std::move(failure.reason)) {}  // NOLINT

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::string& error() const { return error_; }

 private:
  bool ok_ = true;
  std::string error_;
};

}  // namespace pelmora
