// The monthly values of a payroll account within an average.
// File `RefVlrMensais`, prefix REFVLRMEN: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `RefVlrMensais`, named as the
// labels name them: REFVLRMEN.FUNCIONARIO is field REFVLRMEN:FUNCIONARIO, REFVLRMEN.KEY.FUNCLANCCTA
// is key REFVLRMEN:KEY:FUNCLANCCTA.
struct RefVlrMensaisFields {
  int FUNCIONARIO = 1;
  int LANCAMENTO = 2;
  int CALCULO = 3;
  int REFERENCIA = 4;
  int CONTA = 5;
  int MES = 6;
  int VALOR = 7;
  int INCLUIMANUAL = 8;
  struct Keys {
    int FUNCLANCCTA = 0;
  } KEY;
};
inline constexpr RefVlrMensaisFields REFVLRMEN{};

// The declaration of `RefVlrMensais`, built on first use and shared by every thread.
const runtime::FileDeclaration& RefVlrMensaisDeclaration();

}  // namespace dictionary
