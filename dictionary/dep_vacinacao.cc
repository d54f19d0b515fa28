#include "dictionary/dep_vacinacao.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeDepVacinacaoDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "DepVacinacao";
  file.prefix = "DVACI";
  file.name = &GLO::ARQDEPVACINACAO;
  file.record_length = 11;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "DVACI:CODIGOFUNCIONARIO", ULong, 0, 4, 0, 1, Plain},
      {2, "DVACI:CODIGODEPENDENTE", Byte, 4, 1, 0, 1, Plain},
      {3, "DVACI:CODIGOVACINA", Byte, 5, 1, 0, 1, Plain},
      {4, "DVACI:NUMERODOSE", Byte, 6, 1, 0, 1, Plain},
      {5, "DVACI:DATA", Long, 7, 4, 0, 1, Date},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      {"DVACI:KEY:CODIGO",
       {{DVACI.CODIGOFUNCIONARIO, Ascending},
        {DVACI.CODIGODEPENDENTE, Ascending},
        {DVACI.CODIGOVACINA, Ascending},
        {DVACI.NUMERODOSE, Ascending}},
       Primary | Unique | NoCase,
       "Codigo Fun_Dep_Vac_Dose",
       4,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& DepVacinacaoDeclaration() {
  static const runtime::FileDeclaration declaration = MakeDepVacinacaoDeclaration();
  return declaration;
}

}  // namespace dictionary
