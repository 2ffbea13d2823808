// Small forms for the template tests: every field of the format set to a recognisable value.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/forms/template/form_template.h"

namespace quorlin::forms::testing {

inline constexpr uintptr_t kCodeBase = 0x40000000;

// A window unit with one control and one menu item; handler fields are offsets.
inline LoadedForm SmallForm() {
  LoadedForm form;
  form.formId = 0x52000010;
  form.directoryWord = 7;
  form.reservedWord = 0x11;
  form.codeModuleId = 0x19000011;
  form.firstText = "first";
  form.secondText = "";
  UnitRecord window;
  window.unitId = 0x06000012;
  window.dataType = 0x00010001;
  window.reserved[3] = 9;
  window.remark = "remark";
  window.left = -5;
  window.top = 7;
  window.width = 300;
  window.height = 200;
  window.children = {0x16000013};
  window.mousePointer = {0, 0, 0, 0};
  window.tag = "tag";
  window.stateFlags = 1;
  window.events = {{0, 4}, {2, 0xFFFFFFFF}, {-7, 0}};
  window.reservedTail[19] = 1;
  window.typeData = {6, 0, 0, 0};
  UnitRecord button;
  button.unitId = 0x16000013;
  button.dataType = 0x0001000B;
  button.eventSourceLink = 0;
  button.name = "\xb0\xb4\xc5\xa5" "1";
  button.left = 10;
  button.top = 20;
  button.width = 80;
  button.height = 24;
  button.parentUnit = 0x06000012;
  button.stateFlags = 5;
  button.tabOrder = 3;
  button.events = {{0, 12}};
  button.typeData = {1, 0, 0, 0, 9, 9};
  UnitRecord menu;
  menu.unitId = 0x26000014;
  menu.dataType = 0x00010003;
  menu.name = "menu";
  menu.menuWords = {1, 2, 3};
  menu.caption = "File";
  menu.menuHandler = 20;
  form.units = {window, button, menu};
  return form;
}

}  // namespace quorlin::forms::testing
