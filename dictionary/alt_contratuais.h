// The dated changes to a company's articles.
// File `AltContratuais`, prefix ALTCONT: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `AltContratuais`, named as the
// labels name them: ALTCONT.CODIGO is field ALTCONT:CODIGO, ALTCONT.KEY.CODIGO is key
// ALTCONT:KEY:CODIGO.
struct AltContratuaisFields {
  int CODIGO = 1;
  int DATA = 2;
  int CODALT = 3;
  int OBS = 4;
  int VALOR = 5;
  int CODALTESCRITA = 6;
  struct Keys {
    int CODIGO = 0;
  } KEY;
};
inline constexpr AltContratuaisFields ALTCONT{};

// The declaration of `AltContratuais`, built on first use and shared by every thread.
const runtime::FileDeclaration& AltContratuaisDeclaration();

}  // namespace dictionary
