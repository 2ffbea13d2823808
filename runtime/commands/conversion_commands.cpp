#include "runtime/commands/conversion_commands.h"

#include <cstdio>

#include "runtime/commands/command_arguments.h"
#include "runtime/commands/decimal_reading.h"
#include "runtime/commands/full_width_fold.h"
#include "runtime/commands/value_text.h"
#include "runtime/kernel/blocks.h"

namespace quorlin::commands {

void ToText(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetText(result, detail::NewTextOfValue(ArgumentAt(argCount, args, 0)));
}

void ToHexText(TypedValue* result, int32_t argCount, TypedValue* args) {
  const auto value = static_cast<uint32_t>(detail::Arguments(argCount, args).Integer(0));
  char buffer[16];
  const int n = std::snprintf(buffer, sizeof buffer, "%X", value);
  detail::SetText(result, NewText(buffer, n > 0 ? static_cast<size_t>(n) : 0));
}

void ToInteger(TypedValue* result, int32_t argCount, TypedValue* args) {
  const TypedValue& value = ArgumentAt(argCount, args, 0);
  int32_t integer = 0;
  if (value.tag == Tag::Text) {
    integer = detail::ReadDecimalInteger(detail::FoldFullWidth(TextView(PointerOf<const char>(value))));
  } else if (value.tag == Tag::SubroutinePointer) {
    integer = static_cast<int32_t>(value.low);
  } else {
    integer = detail::Arguments(argCount, args).Integer(0);
  }
  detail::SetInteger(result, integer);
}

}  // namespace quorlin::commands
