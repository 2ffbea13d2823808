// A program information block for kernel tests and a forms layer of plain test windows: every
// "form" of the template data is one top-level window, and the last one destroyed posts the
// quit message, as the real forms layer does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/kernel/forms_layer.h"
#include "runtime/kernel/program_info.h"

namespace quorlin::testing {

struct TestProgram {
  std::vector<const char*> dllFiles;
  std::vector<const char*> dllFunctions;
  std::vector<uint8_t> templateData;  // little-endian form ids, one per form
  ProgramInfoBlock info;

  // Fills `info` from the vectors; the constant segment is `constants`.
  void Build(const char* constants, size_t constantLength);
};

// Test template data for these form ids.
std::vector<uint8_t> TemplateDataFor(std::initializer_list<uint32_t> formIds);

class TestFormsLayer : public FormsLayer {
 public:
  bool ReadTemplates(const uint8_t* data, size_t length, uintptr_t codeBase, FormTable& forms) override;
  bool CreateWindowFromTemplate(FormTemplate& form, bool reuse, bool modal, void* parentWindow) override;
  bool AnyLiveWindow() override;
  void DestroyAllWindows() override;
  uint64_t ReadUnitProperty(uint32_t, uint32_t, int32_t, int32_t) override { return 0; }
  void WriteUnitProperty(uint32_t, uint32_t, int32_t, int32_t, uint32_t, uint32_t) override {}
  intptr_t Service(int32_t code, intptr_t p1, intptr_t p2, bool& handled) override;

  uint32_t windowHandleOf(uint32_t formId) const;
};

// Registers a TestFormsLayer (once per process) and returns it.
TestFormsLayer& InstallTestFormsLayer();

}  // namespace quorlin::testing
