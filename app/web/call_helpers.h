// Small pieces the web routines share: argument records for optional values and an owner for
// the text arrays SplitText hands back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/support/runtime_calls.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::app::web {

inline TypedValue OptionalInteger(std::optional<int32_t> value) { return value ? MakeInteger(*value) : TypedValue{}; }
inline TypedValue OptionalBoolean(std::optional<bool> value) { return value ? MakeBoolean(*value) : TypedValue{}; }

// The elements of a text array result; the array and every element are freed with it.
class OwnedTextArray {
 public:
  explicit OwnedTextArray(const TypedValue& arrayResult);
  OwnedTextArray(const OwnedTextArray&) = delete;
  OwnedTextArray& operator=(const OwnedTextArray&) = delete;
  ~OwnedTextArray();

  size_t size() const { return count_; }
  // Element i (null is the empty text).
  const char* operator[](size_t i) const;

 private:
  void* block_;
  size_t count_ = 0;
};

// SplitText(text, delimiter) with no maximum count.
OwnedTextArray SplitLines(const char* text, const char* delimiter);

}  // namespace quorlin::app::web
