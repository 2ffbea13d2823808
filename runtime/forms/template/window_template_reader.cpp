#include "runtime/forms/template/window_template_reader.h"

#include <memory>
#include <set>
#include <span>
#include <unordered_map>
#include <vector>

#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/template_stream.h"

namespace quorlin::forms {

namespace {

class SegmentReader {
 public:
  SegmentReader(const uint8_t* data, size_t length, uintptr_t codeBase)
      : stream_(data, length), codeBase_(codeBase) {}

  bool Read(FormTable& forms) {
    std::vector<uint8_t> directory;
    if (!stream_.ReadBlock(directory)) return Fail("form directory runs past the data");
    if (directory.size() % 8 != 0) return Fail("form directory length is not a multiple of 8");
    size_t count = directory.size() / 8;
    ByteCursor ids(directory);
    std::vector<uint32_t> formIds(count);
    for (uint32_t& id : formIds) ids.ReadWord(id);
    FormTable read;
    for (size_t i = 0; i < count; ++i) {
      uint32_t formId = formIds[i];
      if (!IsFormId(formId)) return Fail("invalid form id");
      if (read.count(formId)) return Fail("form id listed twice");
      auto form = std::make_unique<LoadedForm>();
      form->formId = formId;
      ids.ReadWord(form->directoryWord);
      if (!ReadFormRecord(*form)) return false;
      read.emplace(formId, std::move(form));
    }
    if (!stream_.AtEnd()) return Fail("data continues after the last form record");
    for (auto& [id, form] : read) forms[id] = std::move(form);
    return true;
  }

  const std::string& Error() const { return error_; }

 private:
  bool Fail(const char* rule) {
    if (error_.empty()) error_ = rule;
    return false;
  }

  bool ReadFormRecord(LoadedForm& form) {
    uint32_t unitCount = 0;
    std::vector<uint8_t> table;
    if (!stream_.ReadWord(form.reservedWord) || !stream_.ReadWord(form.codeModuleId) ||
        !stream_.ReadStoredText(form.firstText) || !stream_.ReadStoredText(form.secondText) ||
        !stream_.ReadWord(unitCount) || !stream_.ReadBlock(table)) {
      return Fail("form record runs past the data");
    }
    if (!IsValidId(form.codeModuleId) || IdKind(form.codeModuleId) != kIdKindCodeModule) {
      return Fail("invalid code module id");
    }
    return ReadUnitTable(form, unitCount, table);
  }

  bool ReadUnitTable(LoadedForm& form, uint32_t unitCount, std::span<const uint8_t> table) {
    if (unitCount == 0) return Fail("form has no window unit");
    if (uint64_t(unitCount) * 8 > table.size()) return Fail("unit count exceeds the unit table");
    ByteCursor head(table);
    std::vector<uint32_t> ids(unitCount), offsets(unitCount);
    for (uint32_t& id : ids) head.ReadWord(id);
    for (uint32_t& offset : offsets) head.ReadWord(offset);
    std::span<const uint8_t> records = table.subspan(head.Position());

    std::set<uint32_t> seen;
    for (uint32_t i = 0; i < unitCount; ++i) {
      uint32_t id = ids[i];
      bool valid = i == 0 ? IsWindowUnitId(id)
                          : IsUnitId(id) && (IdUnitClass(id) == kUnitClassControl ||
                                             IdUnitClass(id) == kUnitClassMenuItem);
      if (!valid) return Fail(i == 0 ? "entry 0 is not a window unit id" : "invalid unit id");
      if (!seen.insert(id).second) return Fail("unit id listed twice");
    }

    form.units.resize(unitCount);
    for (uint32_t i = 0; i < unitCount; ++i) {
      ByteCursor at(records);
      uint32_t length = 0;
      if (!at.Seek(offsets[i]) || !at.ReadWord(length)) return Fail("unit record offset outside the unit table");
      if (length > at.Remaining()) return Fail("unit record length runs past the unit table");
      UnitRecord& unit = form.units[i];
      unit.unitId = ids[i];
      ByteCursor record(records.subspan(at.Position(), length));
      bool ok = unit.IsMenuItem() ? ReadMenuItem(record, unit) : ReadCommonPart(record, unit);
      if (!ok) return false;
    }
    return CheckLinks(form, seen);
  }

  bool ReadHead(ByteCursor& record, UnitRecord& unit) {
    return record.ReadWord(unit.dataType) && record.ReadWord(unit.eventSourceLink) &&
           record.ReadRaw(unit.reserved) && record.ReadCString(unit.name) &&
           record.ReadCString(unit.remark);
  }

  uintptr_t HandlerAddress(uint32_t offset) const {
    return offset == kNoHandlerOffset ? 0 : codeBase_ + offset;
  }

  bool ReadMenuItem(ByteCursor& record, UnitRecord& unit) {
    uint32_t offset = 0;
    if (!ReadHead(record, unit) || !record.ReadWord(unit.menuWords[0]) ||
        !record.ReadWord(unit.menuWords[1]) || !record.ReadWord(unit.menuWords[2]) ||
        !record.ReadCString(unit.caption) || !record.ReadWord(offset)) {
      return Fail("menu item record runs past its length");
    }
    if (!record.AtEnd()) return Fail("menu item record longer than its fields");
    unit.menuHandler = HandlerAddress(offset);
    return true;
  }

  bool ReadCommonPart(ByteCursor& record, UnitRecord& unit) {
    const char* overrun = "unit record runs past its length";
    uint32_t liveObject = 0, cursorHandle = 0, childCount = 0, eventCount = 0;
    if (!ReadHead(record, unit) || !record.ReadWord(liveObject) || !record.ReadInt(unit.left) ||
        !record.ReadInt(unit.top) || !record.ReadWord(unit.width) || !record.ReadWord(unit.height) ||
        !record.ReadWord(cursorHandle) || !record.ReadWord(unit.parentUnit) ||
        !record.ReadWord(childCount)) {
      return Fail(overrun);
    }
    // Both words belong to the running program (its unit object and the cursor it made); what
    // the data holds there is never a pointer or a handle of this run.
    unit.liveObject = 0;
    unit.cursorHandle = 0;
    if (uint64_t(childCount) * 4 > record.Remaining()) return Fail("child count exceeds the unit record");
    unit.children.resize(childCount);
    for (uint32_t& child : unit.children) record.ReadWord(child);
    if (!record.ReadBlock(unit.mousePointer) || !record.ReadCString(unit.tag) ||
        !record.ReadWord(unit.reservedWord) || !record.ReadWord(unit.stateFlags) ||
        !record.ReadWord(unit.tabOrder) || !record.ReadWord(eventCount)) {
      return Fail(overrun);
    }
    if (uint64_t(eventCount) * 8 > record.Remaining()) return Fail("event count exceeds the unit record");
    unit.events.resize(eventCount);
    for (EventBinding& binding : unit.events) {
      uint32_t offset = 0;
      record.ReadInt(binding.eventIndex);
      record.ReadWord(offset);
      binding.handler = HandlerAddress(offset);
    }
    if (!record.ReadRaw(unit.reservedTail)) return Fail(overrun);
    unit.typeData = record.ReadRest();
    return true;
  }

  // Parents and children must be units of the form, and neither the parent chain nor the
  // event-source chain may loop (both are followed until they end).
  bool CheckLinks(const LoadedForm& form, const std::set<uint32_t>& ids) {
    std::unordered_map<uint32_t, const UnitRecord*> byId;
    for (const UnitRecord& unit : form.units) byId[unit.unitId] = &unit;
    const uint32_t windowUnit = form.units.front().unitId;
    for (const UnitRecord& unit : form.units) {
      if (unit.IsMenuItem()) continue;
      if (unit.parentUnit != 0 && !ids.count(unit.parentUnit)) return Fail("parent unit not in the form");
      if (unit.parentUnit == unit.unitId) return Fail("unit is its own parent");
      for (uint32_t child : unit.children) {
        if (!ids.count(child)) return Fail("child unit not in the form");
      }
    }
    for (const UnitRecord& unit : form.units) {
      const UnitRecord* at = &unit;
      for (size_t steps = 0; at->parentUnit != 0 && at->parentUnit != windowUnit; ++steps) {
        if (steps > form.units.size()) return Fail("parent units form a loop");
        at = byId.at(at->parentUnit);
        if (at->IsMenuItem()) return Fail("parent unit is a menu item");
      }
      at = &unit;
      for (size_t steps = 0; at->eventSourceLink != 0; ++steps) {
        if (steps > form.units.size()) return Fail("event source links form a loop");
        auto next = byId.find(at->eventSourceLink);
        if (next == byId.end() || next->second->dataType != at->dataType) break;
        at = next->second;
      }
    }
    return true;
  }

  TemplateStream stream_;
  uintptr_t codeBase_;
  std::string error_;
};

}  // namespace

bool ReadTemplateSegment(const uint8_t* data, size_t length, uintptr_t codeBase, FormTable& forms,
                         std::string* error) {
  SegmentReader reader(data, length, codeBase);
  if (reader.Read(forms)) return true;
  if (error) *error = reader.Error();
  return false;
}

}  // namespace quorlin::forms
