// The payroll entries of a company and year: one amount of one payroll account for one employee
// in one month and payment type.
// File `Movimento`, prefix MOVFOLHA: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `Movimento`, named as the
// labels name them: MOVFOLHA.MESANOCOMPETENCIA is field MOVFOLHA:MESANOCOMPETENCIA,
// MOVFOLHA.KEY.MESTPGTOFUNCIONARIO is key MOVFOLHA:KEY:MESTPGTOFUNCIONARIO.
struct MovimentoFields {
  int MESANOCOMPETENCIA = 1;
  int DATAPAGAMENTO = 2;
  int TIPOPAGAMENTO = 3;
  int CODIGOFUNCIONARIO = 4;
  int NIMPRIMERF = 5;
  int IMPRIMERECIBO = 6;
  int CODIGOCONTA = 7;
  int COMPLEMENTO = 8;
  int QUANTIDADE = 9;
  int VALOR = 10;
  int ALTERACAO = 11;
  int CODIGOLTRABALHO = 12;
  int CLANCAMENTO = 13;
  int SCOMPLEMENTO = 14;
  int ORDEMIMPRESSAO = 15;
  int TIPOCOMPLEMENTO = 16;
  struct Keys {
    int MESTPGTOFUNCIONARIO = 0;
    int FUNCCONTMES = 1;
    int MOVIMENTACAO = 2;
    int FUNCMESTIPOPGTO = 3;
    int FUNCMESTIPOORDEM = 4;
    int FUNCCONTADTAPAGTO = 5;
    int DATAPAGAMENTO = 6;
    int MESCODLANC = 7;
    int MESCODFUN = 8;
    int CLANC = 9;
  } KEY;
};
inline constexpr MovimentoFields MOVFOLHA{};

// The declaration of `Movimento`, built on first use and shared by every thread.
const runtime::FileDeclaration& MovimentoDeclaration();

}  // namespace dictionary
