#include "dictionary/dep_susp_sf.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeDepSuspSFDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "DepSuspSF";
  file.prefix = "DSSF";
  file.name = &GLO::ARQDEPSUSPENSAOSF;
  file.record_length = 13;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "DSSF:CODIGOFUNCIONARIO", ULong, 0, 4, 0, 1, Plain},
      {2, "DSSF:CODIGODEPENDENTE", Byte, 4, 1, 0, 1, Plain},
      {3, "DSSF:DATAINICIO", Long, 5, 4, 0, 1, Date},
      {4, "DSSF:DATAFINAL", Long, 9, 4, 0, 1, Date},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      {"DSSF:KEY:CODIGO",
       {{DSSF.CODIGOFUNCIONARIO, Ascending},
        {DSSF.CODIGODEPENDENTE, Ascending},
        {DSSF.DATAINICIO, Descending}},
       Primary | Unique | NoCase,
       "Codigo Func_Dep_DataI",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& DepSuspSFDeclaration() {
  static const runtime::FileDeclaration declaration = MakeDepSuspSFDeclaration();
  return declaration;
}

}  // namespace dictionary
