// The vaccination doses of a dependant, numbered within employee, dependant and vaccine.
// File `DepVacinacao`, prefix DVACI: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `DepVacinacao`, named as the
// labels name them: DVACI.CODIGOFUNCIONARIO is field DVACI:CODIGOFUNCIONARIO, DVACI.KEY.CODIGO is
// key DVACI:KEY:CODIGO.
struct DepVacinacaoFields {
  int CODIGOFUNCIONARIO = 1;
  int CODIGODEPENDENTE = 2;
  int CODIGOVACINA = 3;
  int NUMERODOSE = 4;
  int DATA = 5;
  struct Keys {
    int CODIGO = 0;
  } KEY;
};
inline constexpr DepVacinacaoFields DVACI{};

// The declaration of `DepVacinacao`, built on first use and shared by every thread.
const runtime::FileDeclaration& DepVacinacaoDeclaration();

}  // namespace dictionary
