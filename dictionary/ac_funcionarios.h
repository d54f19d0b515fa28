// The dated changes of an employee's data: one record per changed item and date.
// File `ACFuncionarios`, prefix ACFUN: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `ACFuncionarios`, named as the
// labels name them: ACFUN.CODIGOFUN is field ACFUN:CODIGOFUN, ACFUN.KEY.CODIGO is key
// ACFUN:KEY:CODIGO.
struct ACFuncionariosFields {
  int CODIGOFUN = 1;
  int CODIGOCAMPO = 2;
  int DATA = 3;
  int VALOR = 4;
  int ALTERACAO = 5;
  int ANOTACAO = 6;
  int DATAEX = 7;
  struct Keys {
    int CODIGO = 0;
  } KEY;
};
inline constexpr ACFuncionariosFields ACFUN{};

// The declaration of `ACFuncionarios`, built on first use and shared by every thread.
const runtime::FileDeclaration& ACFuncionariosDeclaration();

}  // namespace dictionary
