// The unit types: how the forms layer creates, reads, writes and saves the units of one data
// type. Every control type (window, Button, EditBox … and the types other libraries add, such as
// DrawPanel, PicBox, DropTarget, ColorPicker) is one UnitType registered under its data type.
//
// Life of a unit:
// - The forms layer calls UnitType::Create with the unit's template values; the type makes its
//   live window (a child of `parent`, or a top-level window for the window unit) and returns the
//   unit object, or null when the type data cannot be read (the unit is then not created).
// - Properties 0 to 7 (position, size, tag, visible, disabled, mouse pointer) belong to the layer;
//   a type sees only its own properties, k = index - 8, as TypedValue records (see below).
// - The unit object lives as long as its window. When the window receives WM_NCDESTROY the unit
//   tells the kernel through service 2000 and the layer deletes the object: nothing may touch the
//   object after that call. UnitWindowProcedure / SubclassUnitWindow below do this correctly.
// - A unit raises events through the kernel (RaiseEvent, event_record.h); the handler has run when
//   the call returns.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/base/win_types.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::forms {

// Value kinds of properties: how the layer converts a written value before the type sees it.
namespace PropertyKind {
inline constexpr uint16_t Integer = 1001;       // the low word as is (1000 too)
inline constexpr uint16_t EightByte = 1002;     // both words (1004 too)
inline constexpr uint16_t Boolean = 1003;       // 1 if the low word is non-zero, else 0
inline constexpr uint16_t Text = 1005;          // a text pointer, null = the empty text
inline constexpr uint16_t Choice = 1006;        // an integer; a negative value becomes 0
inline constexpr uint16_t Picture = 1009;       // a byte set, null = none (1010, 1012, 1023, 1024 too)
inline constexpr uint16_t ByteData = 1010;
inline constexpr uint16_t MousePointer = 1011;  // a byte set of pointer data
inline constexpr uint16_t Font = 1013;          // a 60-byte LOGFONT byte set (see below)
inline constexpr uint16_t Color = 1014;         // an integer (RGB)
inline constexpr uint16_t Integer2 = 1015;      // an integer
inline constexpr uint16_t Integer3 = 1017;      // an integer
}  // namespace PropertyKind

// One of a type's own properties (index 8 + k is entry k).
struct PropertyInfo {
  const char* englishName;
  uint16_t kind;
};

// Flags of a data type; a type with neither cannot raise events.
inline constexpr uint32_t kTypeFlagFormUnit = 0x40;
inline constexpr uint32_t kTypeFlagEventSource = 0x04;

// The template values a unit is created from.
struct UnitCreation {
  std::span<const uint8_t> typeData;  // the unit's type data block; empty = all defaults
  uint32_t stateFlags = 0;            // the template's state flags (visible, disabled, focusable)
  HWND parent = 0;                    // the parent window; 0 for the window unit
  int left = 0, top = 0;              // relative to the parent's client area (window unit: screen)
  int width = 0, height = 0;
  uint32_t formId = 0;
  uint32_t unitId = 0;  // the unit's real id (the window unit's too, never 0)
};

// What a property write did.
enum class WriteOutcome {
  Done,
  // The change needs a new window: the layer saves the unit (SaveTypeData, which must already
  // hold the new value), creates a new one from that block at the old place and destroys the old.
  NeedsNewWindow,
  Ignored,  // no such property, or read-only
};

// A unit's live object.
class Unit {
 public:
  explicit Unit(const UnitCreation& creation) : formId_(creation.formId), unitId_(creation.unitId) {}
  virtual ~Unit() = default;
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  uint32_t FormId() const { return formId_; }
  uint32_t UnitId() const { return unitId_; }

  // The unit's window. Invisible components (a common dialog, a drop target) have one too; it
  // is never shown.
  virtual HWND Window() const = 0;
  // Where the units this one contains are put (a container may use an inner window).
  virtual HWND ChildArea() const { return Window(); }
  // A component that is invisible at run time: the visible flag never shows its window.
  virtual bool IsComponent() const { return false; }

  // Type-specific property k into `out`: a text or byte set as a new runtime block the caller
  // owns (tag Tag::Text / Tag::ByteSet, null for empty), a font as a byte set holding a 60-byte
  // LOGFONT (null = no font set: the default GUI font), anything else as an integer, boolean or
  // 8-byte value. False when the type has no such property.
  virtual bool GetProperty(int k, TypedValue& out);
  // Type-specific property k from a value already converted by the property's kind: texts and
  // byte sets are borrowed pointers (null = empty) the type copies if it keeps them, a font is a
  // byte set holding a 60-byte LOGFONT.
  virtual WriteOutcome SetProperty(int k, const TypedValue& value);
  // All properties as a type data block of the type's current version (operation 5).
  virtual std::vector<uint8_t> SaveTypeData() const = 0;

  // The runtime's private message 0x806F, sent to every unit once all units of the window exist
  // and have their parents, before the units are shown.
  virtual void AllUnitsCreated() {}

 private:
  uint32_t formId_;
  uint32_t unitId_;
};

class UnitType {
 public:
  virtual ~UnitType() = default;
  virtual uint32_t DataType() const = 0;
  virtual const char* Name() const = 0;         // the system's name of the type (GBK)
  virtual const char* EnglishName() const = 0;  // "Button", "EditBox" …
  virtual uint32_t Flags() const { return kTypeFlagFormUnit; }
  // The type's own properties; property index 8 + k is entry k.
  virtual std::span<const PropertyInfo> Properties() const = 0;
  // The unit's live object with its window, or null when the unit cannot be created.
  virtual std::unique_ptr<Unit> Create(const UnitCreation& creation) const = 0;
};

// The registry of unit types by data type. Registering a type again replaces the earlier one;
// the type must live until the process ends.
void RegisterUnitType(const UnitType& type);
const UnitType* FindUnitType(uint32_t dataType);

// --- helpers for unit implementations

// The unit object of a window made by UnitWindowProcedure / SubclassUnitWindow, or null.
Unit* UnitOfWindow(HWND window);

// Message handling of a unit whose window is of a class of its own or subclassed: `handler`
// sees each message first; returning false passes it on (to the previous procedure, else
// DefWindowProcA). WM_NCDESTROY is passed on and then reported through service 2000 as the very
// last act, after which the unit object no longer exists.
class UnitMessageHandler {
 public:
  virtual ~UnitMessageHandler() = default;
  virtual bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
};

// Puts `unit` (also a UnitMessageHandler) on a window of a class of ours whose procedure is
// UnitWindowProcedure; call it right after CreateWindowExA (messages before that go to
// DefWindowProcA).
void AttachUnit(HWND window, Unit& unit, UnitMessageHandler& handler);
LRESULT UnitWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A WM_COMMAND from a child control that is itself a unit window is also sent to that child as
// kReflectedCommand (same wParam and lParam), so a control unit sees its own notifications
// whatever unit holds it.
inline constexpr UINT kReflectedCommand = 0x2000 + 0x0111;
// Replaces the procedure of a platform control's window (BUTTON, EDIT …) so that `handler` sees
// its messages first and the control's own procedure the rest.
void SubclassUnitWindow(HWND window, Unit& unit, UnitMessageHandler& handler);

}  // namespace quorlin::forms
