#include "dictionary/ac_funcionarios.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeACFuncionariosDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "ACFuncionarios";
  file.prefix = "ACFUN";
  file.name = &GLO::ARQACFUNCIONARIOS;
  file.record_length = 119;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "ACFUN:CODIGOFUN", ULong, 0, 4, 0, 1, Plain},
      {2, "ACFUN:CODIGOCAMPO", Byte, 4, 1, 0, 1, Plain},
      {3, "ACFUN:DATA", Long, 5, 4, 0, 1, Date},
      {4, "ACFUN:VALOR", Decimal, 9, 6, 4, 1, Plain},
      {5, "ACFUN:ALTERACAO", String, 15, 50, 0, 1, Plain},
      {6, "ACFUN:ANOTACAO", String, 65, 50, 0, 1, Plain},
      {7, "ACFUN:DATAEX", Long, 115, 4, 0, 1, Date},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      {"ACFUN:KEY:CODIGO",
       {{ACFUN.CODIGOFUN, Ascending}, {ACFUN.CODIGOCAMPO, Ascending}, {ACFUN.DATA, Descending}},
       Primary | Unique | NoCase,
       "Funcionario_Campo_Data",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& ACFuncionariosDeclaration() {
  static const runtime::FileDeclaration declaration = MakeACFuncionariosDeclaration();
  return declaration;
}

}  // namespace dictionary
