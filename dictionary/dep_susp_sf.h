// The periods in which a dependant's family allowance is suspended.
// File `DepSuspSF`, prefix DSSF: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `DepSuspSF`, named as the
// labels name them: DSSF.CODIGOFUNCIONARIO is field DSSF:CODIGOFUNCIONARIO, DSSF.KEY.CODIGO is key
// DSSF:KEY:CODIGO.
struct DepSuspSFFields {
  int CODIGOFUNCIONARIO = 1;
  int CODIGODEPENDENTE = 2;
  int DATAINICIO = 3;
  int DATAFINAL = 4;
  struct Keys {
    int CODIGO = 0;
  } KEY;
};
inline constexpr DepSuspSFFields DSSF{};

// The declaration of `DepSuspSF`, built on first use and shared by every thread.
const runtime::FileDeclaration& DepSuspSFDeclaration();

}  // namespace dictionary
