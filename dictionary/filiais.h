// Which branch companies belong to which head-office company: one record per pair.
// File `Filiais`, prefix FILIAIS: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `Filiais`, named as the
// labels name them: FILIAIS.MATRIZ is field FILIAIS:MATRIZ, FILIAIS.KEY.CODIGOMATRIZFILIAL is key
// FILIAIS:KEY:CODIGOMATRIZFILIAL.
struct FiliaisFields {
  int MATRIZ = 1;
  int FILIAL = 2;
  int PIS = 3;
  int COFINS = 4;
  int IRPJ = 5;
  int CONTRSOCIAL = 6;
  int SIMPLES = 7;
  int CONTABILIDADE = 8;
  struct Keys {
    int CODIGOMATRIZFILIAL = 0;
    int CODIGOFILIAL = 1;
    int CODIGOMATRIZ = 2;
  } KEY;
};
inline constexpr FiliaisFields FILIAIS{};

// The declaration of `Filiais`, built on first use and shared by every thread.
const runtime::FileDeclaration& FiliaisDeclaration();

}  // namespace dictionary
