#include "dictionary/ref_vlr_mensais.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeRefVlrMensaisDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "RefVlrMensais";
  file.prefix = "REFVLRMEN";
  file.name = &GLO::ARQREFLVLRMENSAIS;
  file.record_length = 24;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "REFVLRMEN:FUNCIONARIO", ULong, 0, 4, 0, 1, Plain},
      {2, "REFVLRMEN:LANCAMENTO", UShort, 4, 2, 0, 1, Plain},
      {3, "REFVLRMEN:CALCULO", Byte, 6, 1, 0, 1, Plain},
      {4, "REFVLRMEN:REFERENCIA", Long, 7, 4, 0, 1, Plain},
      {5, "REFVLRMEN:CONTA", UShort, 11, 2, 0, 1, Plain},
      {6, "REFVLRMEN:MES", Long, 13, 4, 0, 1, Plain},
      {7, "REFVLRMEN:VALOR", Decimal, 17, 6, 2, 1, Plain},
      {8, "REFVLRMEN:INCLUIMANUAL", Byte, 23, 1, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      // Described as "Funcionario+Lançamento+Conta+Mes".
      {"REFVLRMEN:KEY:FUNCLANCCTA",
       {{REFVLRMEN.FUNCIONARIO, Ascending},
        {REFVLRMEN.LANCAMENTO, Ascending},
        {REFVLRMEN.CALCULO, Ascending},
        {REFVLRMEN.REFERENCIA, Ascending},
        {REFVLRMEN.CONTA, Ascending},
        {REFVLRMEN.MES, Ascending}},
       Primary | Unique | NoCase,
       "Funcionario+Lan\347amento+Conta+Mes",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& RefVlrMensaisDeclaration() {
  static const runtime::FileDeclaration declaration = MakeRefVlrMensaisDeclaration();
  return declaration;
}

}  // namespace dictionary
