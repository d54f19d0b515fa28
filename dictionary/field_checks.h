// The single-field checks of five data files and the default values of two: each check names
// the field in the error manager by its Portuguese prompt and, when the value is not allowed,
// raises the error whose message shows the allowed values. The tables are data, so that the tests
// walk every row.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "framework/files/file_manager.h"

namespace dictionary {

enum class FieldTest : uint8_t {
  kList,     // the value, as "]" decimal "[", must occur in `list`
  kAtMost,   // the value must not be above `high`
  kBetween,  // the value must lie from `low` to `high`
};

// One row of a file's check table.
struct FieldCheck {
  int32_t field;            // the field's number in the record
  std::string_view label;   // the field's label, "FUN:SEXO"
  std::string_view prompt;  // the field's name in messages (Windows-1252)
  FieldTest test;
  std::string_view list;  // for kList: the allowed codes, "]1[]2["
  int64_t low;
  int64_t high;
  uint16_t error;            // 17 not in the list, 18 outside a range, 19 above a maximum
  std::string_view message;  // the message's %Message: the allowed values for display
};

std::span<const FieldCheck> FuncionariosChecks();
std::span<const FieldCheck> EmpresaChecks();
std::span<const FieldCheck> DependentesChecks();
std::span<const FieldCheck> MovimentoChecks();
std::span<const FieldCheck> MovFuncionariosChecks();

// Whether `value` passes `check`'s test.
bool PassesCheck(const FieldCheck& check, int64_t value);

// The check of field `Id` of `file` after the base check gave `base_result`: a field in `checks`
// is named in GlobalErrors (whether or not it fails) and tested on the record buffer; a failure,
// or a base failure, is reported when `HandleErrors` is set. Other fields keep `base_result`.
uint8_t ValidateByTable(framework::FileManager& file, std::span<const FieldCheck> checks,
                        int32_t Id, uint8_t HandleErrors, uint8_t base_result);

}  // namespace dictionary
