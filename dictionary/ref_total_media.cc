#include "dictionary/ref_total_media.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeRefTotalMediaDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "RefTotalMedia";
  file.prefix = "REFTOTMED";
  file.name = &GLO::ARQREFLTOTMED;
  file.record_length = 49;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "REFTOTMED:FUNCIONARIO", ULong, 0, 4, 0, 1, Plain},
      {2, "REFTOTMED:LANCAMENTO", UShort, 4, 2, 0, 1, Plain},
      {3, "REFTOTMED:COMPLEMENTO", Byte, 6, 1, 0, 1, Plain},
      {4, "REFTOTMED:CALCULO", Byte, 7, 1, 0, 1, Plain},
      {5, "REFTOTMED:REFERENCIA", Long, 8, 4, 0, 1, Plain},
      {6, "REFTOTMED:QTDEMESMEDIA", Byte, 12, 1, 0, 1, Plain},
      {7, "REFTOTMED:VALORTOTAL", Decimal, 13, 6, 2, 1, Plain},
      {8, "REFTOTMED:MESI", Long, 19, 4, 0, 1, Plain},
      {9, "REFTOTMED:MESF", Long, 23, 4, 0, 1, Plain},
      {10, "REFTOTMED:SELECIONA", Byte, 27, 1, 0, 1, Plain},
      {11, "REFTOTMED:PERAQFERIASINICIO", Long, 28, 4, 0, 1, Date},
      {12, "REFTOTMED:PERAQFERIASFINAL", Long, 32, 4, 0, 1, Date},
      {13, "REFTOTMED:QTDEMESESFERIAS", Byte, 36, 1, 0, 1, Plain},
      {14, "REFTOTMED:QTDEFALTAS", ULong, 37, 4, 0, 1, Plain},
      {15, "REFTOTMED:MESINIMEDIA", Long, 41, 4, 0, 1, Plain},
      {16, "REFTOTMED:MESFINMEDIA", Long, 45, 4, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      {"REFTOTMED:KEY:FUNCLANCCOMPQMM",
       {{REFTOTMED.FUNCIONARIO, Ascending},
        {REFTOTMED.LANCAMENTO, Ascending},
        {REFTOTMED.CALCULO, Ascending},
        {REFTOTMED.REFERENCIA, Ascending},
        {REFTOTMED.COMPLEMENTO, Ascending},
        {REFTOTMED.QTDEMESMEDIA, Ascending}},
       Primary | Unique | NoCase,
       "Funcionario+Lancamento+Comp+QMM",
       0,
       ""},
      // Described as "Funcionario+Lançamento+Complemento-Valor".
      {"REFTOTMED:KEY:FUNCLANCCOMPVALOR",
       {{REFTOTMED.FUNCIONARIO, Ascending},
        {REFTOTMED.LANCAMENTO, Ascending},
        {REFTOTMED.COMPLEMENTO, Ascending},
        {REFTOTMED.CALCULO, Ascending},
        {REFTOTMED.REFERENCIA, Ascending},
        {REFTOTMED.VALORTOTAL, Descending}},
       NoCase,
       "Funcionario+Lan\347amento+Complemento-Valor",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& RefTotalMediaDeclaration() {
  static const runtime::FileDeclaration declaration = MakeRefTotalMediaDeclaration();
  return declaration;
}

}  // namespace dictionary
