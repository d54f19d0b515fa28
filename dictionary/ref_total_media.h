// The average totals derived from an employee event.
// File `RefTotalMedia`, prefix REFTOTMED: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `RefTotalMedia`, named as the
// labels name them: REFTOTMED.FUNCIONARIO is field REFTOTMED:FUNCIONARIO,
// REFTOTMED.KEY.FUNCLANCCOMPQMM is key REFTOTMED:KEY:FUNCLANCCOMPQMM.
struct RefTotalMediaFields {
  int FUNCIONARIO = 1;
  int LANCAMENTO = 2;
  int COMPLEMENTO = 3;
  int CALCULO = 4;
  int REFERENCIA = 5;
  int QTDEMESMEDIA = 6;
  int VALORTOTAL = 7;
  int MESI = 8;
  int MESF = 9;
  int SELECIONA = 10;
  int PERAQFERIASINICIO = 11;
  int PERAQFERIASFINAL = 12;
  int QTDEMESESFERIAS = 13;
  int QTDEFALTAS = 14;
  int MESINIMEDIA = 15;
  int MESFINMEDIA = 16;
  struct Keys {
    int FUNCLANCCOMPQMM = 0;
    int FUNCLANCCOMPVALOR = 1;
  } KEY;
};
inline constexpr RefTotalMediaFields REFTOTMED{};

// The declaration of `RefTotalMedia`, built on first use and shared by every thread.
const runtime::FileDeclaration& RefTotalMediaDeclaration();

}  // namespace dictionary
