// Decoders report failure as a value naming the rule the data broke; nothing is thrown across
// a decoder's boundary.
#pragma once

#include <utility>
#include <variant>

namespace quorlin::pictures {

struct DecodeError {
  const char* rule;  // e.g. "colour table past the data"
};

inline DecodeError Fail(const char* rule) { return DecodeError{rule}; }

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(DecodeError error) : state_(error) {}

  bool ok() const { return state_.index() == 0; }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T take() { return std::move(std::get<0>(state_)); }
  // The broken rule, or null when the result holds a value.
  const char* error() const { return ok() ? nullptr : std::get<1>(state_).rule; }

 private:
  std::variant<T, DecodeError> state_;
};

}  // namespace quorlin::pictures

// Declares `name` from a Result expression, or returns its error from the calling function.
#define QUORLIN_TRY_DECODE(name, expression)                                   \
  auto name##_result = (expression);                                           \
  if (!name##_result.ok()) return ::quorlin::pictures::Fail(name##_result.error()); \
  auto name = name##_result.take()
