#include "dictionary/dependentes.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeDependentesDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "Dependentes";
  file.prefix = "DEP";
  file.name = &GLO::ARQDEPENDENTES;
  file.record_length = 158;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "DEP:CODIGOFUNCIONARIO", ULong, 0, 4, 0, 1, Plain},
      {2, "DEP:CODIGODEPENDENTE", Byte, 4, 1, 0, 1, Plain},
      {3, "DEP:NOME", String, 5, 40, 0, 1, Plain},
      {4, "DEP:TIPO", Byte, 45, 1, 0, 1, Plain},
      {5, "DEP:NASCIMENTO", Long, 46, 4, 0, 1, Date},
      {6, "DEP:DATAENTREGA", Long, 50, 4, 0, 1, Date},
      {7, "DEP:LOCALNASCIMENTO", String, 54, 20, 0, 1, Plain},
      {8, "DEP:CARTORIO", String, 74, 20, 0, 1, Plain},
      {9, "DEP:NUMEROREGISTRO", String, 94, 50, 0, 1, Plain},
      {10, "DEP:NUMEROFOLHA", UShort, 144, 2, 0, 1, Plain},
      {11, "DEP:FOLHAFV", Byte, 146, 1, 0, 1, Plain},
      {12, "DEP:LIVROREGISTRO", String, 147, 7, 0, 1, Plain},
      {13, "DEP:DEPEDENTEIRRF", Byte, 154, 1, 0, 1, Plain},
      {14, "DEP:DEPENDENTESF", Byte, 155, 1, 0, 1, Plain},
      {15, "DEP:SEXO", Byte, 156, 1, 0, 1, Plain},
      {16, "DEP:DEPIDADEESCOLAR", Byte, 157, 1, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      // Described as "Codigo Funcionário_Dependente".
      {"DEP:KEY:CODIGO",
       {{DEP.CODIGOFUNCIONARIO, Ascending}, {DEP.CODIGODEPENDENTE, Ascending}},
       Primary | Unique | NoCase,
       "Codigo Funcion\341rio_Dependente",
       2,
       ""},
      {"DEP:KEY:NOME", {{DEP.NOME, Ascending}}, NoCase, "Nome", 0, ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& DependentesDeclaration() {
  static const runtime::FileDeclaration declaration = MakeDependentesDeclaration();
  return declaration;
}

}  // namespace dictionary
