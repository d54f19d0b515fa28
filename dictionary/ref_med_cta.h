// The averages of an employee event per payroll account.
// File `RefMedCta`, prefix REFMEDCTA: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `RefMedCta`, named as the
// labels name them: REFMEDCTA.FUNCIONARIO is field REFMEDCTA:FUNCIONARIO, REFMEDCTA.KEY.FUNCLANCQMM
// is key REFMEDCTA:KEY:FUNCLANCQMM.
struct RefMedCtaFields {
  int FUNCIONARIO = 1;
  int LANCAMENTO = 2;
  int COMPLEMENTO = 3;
  int CALCULO = 4;
  int REFERENCIA = 5;
  int QTDEMESMEDIA = 6;
  int CONTA = 7;
  int TOTAL = 8;
  int DIVISOR = 9;
  int MEDIA = 10;
  int VALOR = 11;
  int MESI = 12;
  int MESF = 13;
  int ALTEROUVLR = 14;
  int INCLUIMANUAL = 15;
  int INCLUIMANUALVALOR = 16;
  struct Keys {
    int FUNCLANCQMM = 0;
    int FUNCLANCCONTA = 1;
  } KEY;
};
inline constexpr RefMedCtaFields REFMEDCTA{};

// The declaration of `RefMedCta`, built on first use and shared by every thread.
const runtime::FileDeclaration& RefMedCtaDeclaration();

}  // namespace dictionary
