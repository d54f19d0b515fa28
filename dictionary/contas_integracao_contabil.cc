#include "dictionary/contas_integracao_contabil.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeContas_Integracao_ContabilDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "Contas_Integracao_Contabil";
  file.prefix = "CIC";
  file.name = &GLO::ARQ_CONTAS_INTEGRACAO_CONTABIL;
  file.record_length = 626;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "CIC:CODIGO_EMPRESA", UShort, 0, 2, 0, 1, Plain},
      {2, "CIC:CODIGO_REFERENCIA", Byte, 2, 1, 0, 1, Plain},
      {3, "CIC:CONTA_DEBITO", String, 3, 40, 0, 1, Plain},
      {4, "CIC:CONTA_CREDITO", String, 43, 40, 0, 1, Plain},
      {5, "CIC:CCUSTOC", String, 83, 20, 0, 1, Plain},
      {6, "CIC:CCUSTOD", String, 103, 20, 0, 1, Plain},
      {7, "CIC:HISTORICO", UShort, 123, 2, 0, 1, Plain},
      {8, "CIC:COMPLEMENTO", String, 125, 500, 0, 1, Plain},
      {9, "CIC:VLRIMPBRUT", Byte, 625, 1, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      // Described as "Código da empresa + Referencia".
      {"CIC:KEY:CODIGO_EMPRESA_REFERENCIA",
       {{CIC.CODIGO_EMPRESA, Ascending}, {CIC.CODIGO_REFERENCIA, Ascending}},
       Primary | Unique | NoCase,
       "C\363digo da empresa + Referencia",
       0,
       ""},
      // Described as "Código da empresa".
      {"CIC:KEY:CODIGO_EMPRESA",
       {{CIC.CODIGO_EMPRESA, Ascending}},
       NoCase,
       "C\363digo da empresa",
       0,
       ""},
      // Described as "Referência da empresa".
      {"CIC:KEY:CODIGO_REFERENCIA",
       {{CIC.CODIGO_REFERENCIA, Ascending}},
       NoCase,
       "Refer\352ncia da empresa",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& Contas_Integracao_ContabilDeclaration() {
  static const runtime::FileDeclaration declaration = MakeContas_Integracao_ContabilDeclaration();
  return declaration;
}

}  // namespace dictionary
