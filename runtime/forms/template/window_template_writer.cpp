#include "runtime/forms/template/window_template_writer.h"

#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/template_stream.h"

namespace quorlin::forms {

namespace {

class SegmentWriter {
 public:
  bool Write(std::span<const LoadedForm> forms, std::vector<uint8_t>& out) {
    std::vector<uint8_t> directory;
    for (const LoadedForm& form : forms) AppendWord(directory, form.formId);
    for (const LoadedForm& form : forms) AppendWord(directory, form.directoryWord);
    AppendBlock(out, directory);
    for (const LoadedForm& form : forms) {
      if (!WriteForm(form, out)) return false;
    }
    return true;
  }

  const std::string& Error() const { return error_; }

 private:
  bool Fail(const char* rule) {
    if (error_.empty()) error_ = rule;
    return false;
  }

  bool WriteForm(const LoadedForm& form, std::vector<uint8_t>& out) {
    AppendWord(out, form.reservedWord);
    AppendWord(out, form.codeModuleId);
    AppendLengthText(out, form.firstText);
    AppendLengthText(out, form.secondText);
    AppendWord(out, static_cast<uint32_t>(form.units.size()));

    std::vector<uint8_t> records;
    std::vector<uint32_t> offsets;
    for (const UnitRecord& unit : form.units) {
      std::vector<uint8_t> record;
      if (!(unit.IsMenuItem() ? WriteMenuItem(unit, record) : WriteCommonPart(unit, record))) return false;
      offsets.push_back(static_cast<uint32_t>(records.size()));
      AppendBlock(records, record);
    }
    std::vector<uint8_t> table;
    for (const UnitRecord& unit : form.units) AppendWord(table, unit.unitId);
    for (uint32_t offset : offsets) AppendWord(table, offset);
    table.insert(table.end(), records.begin(), records.end());
    AppendBlock(out, table);
    return true;
  }

  bool Text(std::vector<uint8_t>& out, const std::string& text) {
    if (text.find('\0') != std::string::npos) return Fail("NUL inside a unit record text");
    AppendCString(out, text);
    return true;
  }

  bool Handler(std::vector<uint8_t>& out, uintptr_t offset) {
    if (offset > 0xFFFFFFFFu) return Fail("handler offset beyond 32 bits");
    AppendWord(out, static_cast<uint32_t>(offset));
    return true;
  }

  bool WriteHead(const UnitRecord& unit, std::vector<uint8_t>& out) {
    AppendWord(out, unit.dataType);
    AppendWord(out, unit.eventSourceLink);
    out.insert(out.end(), unit.reserved.begin(), unit.reserved.end());
    return Text(out, unit.name) && Text(out, unit.remark);
  }

  bool WriteMenuItem(const UnitRecord& unit, std::vector<uint8_t>& out) {
    if (!WriteHead(unit, out)) return false;
    for (uint32_t word : unit.menuWords) AppendWord(out, word);
    return Text(out, unit.caption) && Handler(out, unit.menuHandler);
  }

  bool WriteCommonPart(const UnitRecord& unit, std::vector<uint8_t>& out) {
    if (!WriteHead(unit, out)) return false;
    if (unit.liveObject > 0xFFFFFFFFu) return Fail("live object beyond 32 bits");
    AppendWord(out, static_cast<uint32_t>(unit.liveObject));
    AppendWord(out, static_cast<uint32_t>(unit.left));
    AppendWord(out, static_cast<uint32_t>(unit.top));
    AppendWord(out, unit.width);
    AppendWord(out, unit.height);
    AppendWord(out, unit.cursorHandle);
    AppendWord(out, unit.parentUnit);
    AppendWord(out, static_cast<uint32_t>(unit.children.size()));
    for (uint32_t child : unit.children) AppendWord(out, child);
    AppendBlock(out, unit.mousePointer);
    if (!Text(out, unit.tag)) return false;
    AppendWord(out, unit.reservedWord);
    AppendWord(out, unit.stateFlags);
    AppendWord(out, unit.tabOrder);
    AppendWord(out, static_cast<uint32_t>(unit.events.size()));
    for (const EventBinding& binding : unit.events) {
      AppendWord(out, static_cast<uint32_t>(binding.eventIndex));
      if (!Handler(out, binding.handler)) return false;
    }
    out.insert(out.end(), unit.reservedTail.begin(), unit.reservedTail.end());
    out.insert(out.end(), unit.typeData.begin(), unit.typeData.end());
    return true;
  }

  std::string error_;
};

}  // namespace

std::optional<std::vector<uint8_t>> WriteTemplateSegment(std::span<const LoadedForm> forms,
                                                          std::string* error) {
  SegmentWriter writer;
  std::vector<uint8_t> out;
  if (writer.Write(forms, out)) return out;
  if (error) *error = writer.Error();
  return std::nullopt;
}

}  // namespace quorlin::forms
