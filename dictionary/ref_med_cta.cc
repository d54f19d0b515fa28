#include "dictionary/ref_med_cta.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeRefMedCtaDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "RefMedCta";
  file.prefix = "REFMEDCTA";
  file.name = &GLO::ARQREFLMEDCTA;
  file.record_length = 45;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "REFMEDCTA:FUNCIONARIO", ULong, 0, 4, 0, 1, Plain},
      {2, "REFMEDCTA:LANCAMENTO", UShort, 4, 2, 0, 1, Plain},
      {3, "REFMEDCTA:COMPLEMENTO", Byte, 6, 1, 0, 1, Plain},
      {4, "REFMEDCTA:CALCULO", Byte, 7, 1, 0, 1, Plain},
      {5, "REFMEDCTA:REFERENCIA", Long, 8, 4, 0, 1, Plain},
      {6, "REFMEDCTA:QTDEMESMEDIA", Byte, 12, 1, 0, 1, Plain},
      {7, "REFMEDCTA:CONTA", UShort, 13, 2, 0, 1, Plain},
      {8, "REFMEDCTA:TOTAL", Decimal, 15, 6, 2, 1, Plain},
      {9, "REFMEDCTA:DIVISOR", Byte, 21, 1, 0, 1, Plain},
      {10, "REFMEDCTA:MEDIA", Decimal, 22, 6, 2, 1, Plain},
      {11, "REFMEDCTA:VALOR", Decimal, 28, 6, 2, 1, Plain},
      {12, "REFMEDCTA:MESI", Long, 34, 4, 0, 1, Plain},
      {13, "REFMEDCTA:MESF", Long, 38, 4, 0, 1, Plain},
      {14, "REFMEDCTA:ALTEROUVLR", Byte, 42, 1, 0, 1, Plain},
      {15, "REFMEDCTA:INCLUIMANUAL", Byte, 43, 1, 0, 1, Plain},
      {16, "REFMEDCTA:INCLUIMANUALVALOR", Byte, 44, 1, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      // Described as "Funcionario+Lançamento+Qtde Mês Média".
      {"REFMEDCTA:KEY:FUNCLANCQMM",
       {{REFMEDCTA.FUNCIONARIO, Ascending},
        {REFMEDCTA.LANCAMENTO, Ascending},
        {REFMEDCTA.CALCULO, Ascending},
        {REFMEDCTA.REFERENCIA, Ascending},
        {REFMEDCTA.COMPLEMENTO, Ascending},
        {REFMEDCTA.QTDEMESMEDIA, Ascending},
        {REFMEDCTA.CONTA, Ascending}},
       Primary | Unique | NoCase,
       "Funcionario+Lan\347amento+Qtde M\352s M\351dia",
       0,
       ""},
      // Described as "Funcionário+Lançamento+Conta".
      {"REFMEDCTA:KEY:FUNCLANCCONTA",
       {{REFMEDCTA.FUNCIONARIO, Ascending},
        {REFMEDCTA.LANCAMENTO, Ascending},
        {REFMEDCTA.CALCULO, Ascending},
        {REFMEDCTA.REFERENCIA, Ascending},
        {REFMEDCTA.CONTA, Ascending}},
       NoCase,
       "Funcion\341rio+Lan\347amento+Conta",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& RefMedCtaDeclaration() {
  static const runtime::FileDeclaration declaration = MakeRefMedCtaDeclaration();
  return declaration;
}

}  // namespace dictionary
