// A unit type whose units are made from one type data struct.
#pragma once

#include <memory>
#include <optional>

#include "runtime/forms/units/unit_type.h"
#include "runtime/forms/template/type_data.h"

namespace quorlin::forms {

// A unit type whose units are made from one type data struct: UnitClass(creation, data) and
// UnitClass::Make(creation) → false when the window cannot be made.
template <class UnitClass, class Data>
class DataUnitType final : public UnitType {
 public:
  DataUnitType(uint32_t dataType, const char* name, const char* englishName, std::span<const PropertyInfo> properties)
      : dataType_(dataType), name_(name), englishName_(englishName), properties_(properties) {}
  uint32_t DataType() const override { return dataType_; }
  const char* Name() const override { return name_; }
  const char* EnglishName() const override { return englishName_; }
  std::span<const PropertyInfo> Properties() const override { return properties_; }
  std::unique_ptr<Unit> Create(const UnitCreation& creation) const override {
    std::optional<Data> data = ReadTypeData<Data>(creation.typeData);
    if (!data) return nullptr;
    auto unit = std::make_unique<UnitClass>(creation, std::move(*data));
    if (!unit->Make(creation)) return nullptr;
    return unit;
  }

 private:
  uint32_t dataType_;
  const char* name_;
  const char* englishName_;
  std::span<const PropertyInfo> properties_;
};

}  // namespace quorlin::forms
