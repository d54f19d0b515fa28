#include "dictionary/filiais.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeFiliaisDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "Filiais";
  file.prefix = "FILIAIS";
  file.name = &GLO::ARQFILIAIS;
  file.record_length = 10;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "FILIAIS:MATRIZ", UShort, 0, 2, 0, 1, Plain},
      {2, "FILIAIS:FILIAL", UShort, 2, 2, 0, 1, Plain},
      {3, "FILIAIS:PIS", Byte, 4, 1, 0, 1, Plain},
      {4, "FILIAIS:COFINS", Byte, 5, 1, 0, 1, Plain},
      {5, "FILIAIS:IRPJ", Byte, 6, 1, 0, 1, Plain},
      {6, "FILIAIS:CONTRSOCIAL", Byte, 7, 1, 0, 1, Plain},
      {7, "FILIAIS:SIMPLES", Byte, 8, 1, 0, 1, Plain},
      {8, "FILIAIS:CONTABILIDADE", Byte, 9, 1, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      {"FILIAIS:KEY:CODIGOMATRIZFILIAL",
       {{FILIAIS.MATRIZ, Ascending}, {FILIAIS.FILIAL, Ascending}},
       Primary | Unique | NoCase,
       "Filiais:Key:CodigoMatrizFilial",
       0,
       ""},
      {"FILIAIS:KEY:CODIGOFILIAL",
       {{FILIAIS.FILIAL, Ascending}},
       Unique | NoCase,
       "Filiais:Key:CodigoFilial",
       0,
       ""},
      // Described as "Código da Matriz".
      {"FILIAIS:KEY:CODIGOMATRIZ",
       {{FILIAIS.MATRIZ, Ascending}},
       NoCase,
       "C\363digo da Matriz",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& FiliaisDeclaration() {
  static const runtime::FileDeclaration declaration = MakeFiliaisDeclaration();
  return declaration;
}

}  // namespace dictionary
