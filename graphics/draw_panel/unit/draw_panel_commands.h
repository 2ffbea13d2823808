// The draw panel's operations as core-library commands (the kernel's calling convention). The
// first argument is the control reference of the panel; a reference that names no live
// control is the runtime error of an unknown unit, raised by the kernel. Arguments after it
// follow DrawPanel's operations, an omitted record meaning an omitted argument.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::drawpanel {

void ClearCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void SetWritePositionCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void WriteTextCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void WriteTextAtCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void WriteTextLineCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ScrollWriteTextLineCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// The target panel (sixth argument) is a control reference too.
void CopyAreaCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void DrawPointCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void DrawLineCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void DrawEllipseCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void DrawArcCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void DrawChordCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void DrawPieCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void DrawRectangleCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void FillRectangleCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void DrawRoundRectangleCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void InvertRectangleCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// The points are an integer array of x, y pairs.
void DrawPolygonCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// The picture (second argument) is a picture value of the registered pictures; one the runtime
// does not know draws nothing.
void DrawPictureCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// The colours are the arguments from the sixth on.
void FillGradientCommand(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::drawpanel
