// The accounting accounts to which a company's figures are posted, per company and reference.
// File `Contas_Integracao_Contabil`, prefix CIC: its declaration and the numbers of its fields and
// keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `Contas_Integracao_Contabil`,
// named as the labels name them: CIC.CODIGO_EMPRESA is field CIC:CODIGO_EMPRESA,
// CIC.KEY.CODIGO_EMPRESA_REFERENCIA is key CIC:KEY:CODIGO_EMPRESA_REFERENCIA.
struct Contas_Integracao_ContabilFields {
  int CODIGO_EMPRESA = 1;
  int CODIGO_REFERENCIA = 2;
  int CONTA_DEBITO = 3;
  int CONTA_CREDITO = 4;
  int CCUSTOC = 5;
  int CCUSTOD = 6;
  int HISTORICO = 7;
  int COMPLEMENTO = 8;
  int VLRIMPBRUT = 9;
  struct Keys {
    int CODIGO_EMPRESA_REFERENCIA = 0;
    int CODIGO_EMPRESA = 1;
    int CODIGO_REFERENCIA = 2;
  } KEY;
};
inline constexpr Contas_Integracao_ContabilFields CIC{};

// The declaration of `Contas_Integracao_Contabil`, built on first use and shared by every thread.
const runtime::FileDeclaration& Contas_Integracao_ContabilDeclaration();

}  // namespace dictionary
