#include "dictionary/alt_contratuais.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeAltContratuaisDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "AltContratuais";
  file.prefix = "ALTCONT";
  file.name = &GLO::ARQALTCONTRATUAIS;
  file.record_length = 54;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "ALTCONT:CODIGO", UShort, 0, 2, 0, 1, Plain},
      {2, "ALTCONT:DATA", Long, 2, 4, 0, 1, Date},
      {3, "ALTCONT:CODALT", Byte, 6, 1, 0, 1, Plain},
      {4, "ALTCONT:OBS", String, 7, 40, 0, 1, Plain},
      {5, "ALTCONT:VALOR", Decimal, 47, 6, 2, 1, Plain},
      {6, "ALTCONT:CODALTESCRITA", Byte, 53, 1, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      {"ALTCONT:KEY:CODIGO",
       {{ALTCONT.CODIGO, Ascending}, {ALTCONT.CODALT, Ascending}, {ALTCONT.DATA, Ascending}},
       NoCase,
       "AltCont:Key:Codigo",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& AltContratuaisDeclaration() {
  static const runtime::FileDeclaration declaration = MakeAltContratuaisDeclaration();
  return declaration;
}

}  // namespace dictionary
