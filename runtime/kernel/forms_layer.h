// What the kernel asks of the forms layer, which registers itself before start-up. Without a
// forms layer the kernel has no templates and no windows: the start-up window cannot be loaded
// and every unit lookup fails as a missing unit does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/user/messages.h"

namespace quorlin {

// A window template as loaded in memory; the forms layer defines the rest.
struct FormTemplate {
  virtual ~FormTemplate() = default;
  uint32_t formId = 0;
};

using FormTable = std::map<uint32_t, std::unique_ptr<FormTemplate>>;

class FormsLayer {
 public:
  virtual ~FormsLayer() = default;

  // Reads all templates of the template data segment, with every handler offset already
  // turned into an address (0xFFFFFFFF → 0, else codeBase + offset). False when unreadable.
  virtual bool ReadTemplates(const uint8_t* data, size_t length, uintptr_t codeBase, FormTable& forms) = 0;
  // Creates the window of a form; true when the window exists afterwards.
  virtual bool CreateWindowFromTemplate(FormTemplate& form, bool reuse, bool modal, void* parentWindow) = 0;
  // Whether any loaded window of the program has a live window handle.
  virtual bool AnyLiveWindow() = 0;
  // Destroys every live window (process end).
  virtual void DestroyAllWindows() = 0;

  virtual uint64_t ReadUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) = 0;
  virtual void WriteUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member,
                                 uint32_t low, uint32_t high) = 0;

  // Sees each message the message loops take before it is translated and dispatched; true when
  // the layer has handled it (keyboard navigation between units), so it goes no further.
  virtual bool PreTranslateMessage(const MSG& msg) { return false; }

  // The HostService codes that concern forms and events (2000, 2005, 2006, 2008, 2018, 2031,
  // 2033); `handled` is cleared for a code the layer does not serve.
  virtual intptr_t Service(int32_t code, intptr_t p1, intptr_t p2, bool& handled) = 0;
};

void RegisterFormsLayer(FormsLayer* layer);
FormsLayer* RegisteredFormsLayer();

}  // namespace quorlin
