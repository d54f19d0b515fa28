// The employee events with a period (leaves, holidays and their acquisition periods), numbered
// within the employee.
// File `MovFuncionarios`, prefix MOVFUNC: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `MovFuncionarios`, named as
// the labels name them: MOVFUNC.FUNCIONARIO is field MOVFUNC:FUNCIONARIO, MOVFUNC.KEY.FUNCINICIO is
// key MOVFUNC:KEY:FUNCINICIO.
struct MovFuncionariosFields {
  int FUNCIONARIO = 1;
  int FERIASEMDOBRO = 2;
  int CLANCAMENTO = 3;
  int TIPO = 4;
  int INICIO = 5;
  int FINAL = 6;
  int PERAQINICIAL = 7;
  int PERAQFINAL = 8;
  int PERGOZOINICIAL = 9;
  int PERGOZOFINAL = 10;
  int PERABPECINICIAL = 11;
  int PERABPECFINAL = 12;
  int DTRECFERIAS = 13;
  int DTAVFERIAS = 14;
  int SALARIO1 = 15;
  int SALARIO2 = 16;
  int SALARIO3 = 17;
  int SALARIO4 = 18;
  int SALARIO5 = 19;
  int SOMASALARIO = 20;
  int SOMASALREFLEXOS = 21;
  int AFASTAMENTO = 22;
  int RETORNO = 23;
  int ATESTADO = 24;
  int TERMINOATESTADO = 25;
  int DATANASCIMENTO = 26;
  int CODRAIS = 27;
  int PAGA13SALARIO = 28;
  int NCONSFERIADOFERIAS = 29;
  int FERIAS_COLETIVAS = 30;
  int FERIAS_INCOMPLETA = 31;
  int QTDDIASLICREM = 32;
  int QTDEFERIASPROPORCIONAIS = 33;
  int NAODESCFALTAS = 34;
  int QTDEFERIASDOBRO = 35;
  int AFASTMESMADECOR = 36;
  int VESPERAS = 37;
  int FERIASTRAVADA = 38;
  int NUMBENEFICIO = 39;
  int NAOSOMARREFLEXOS = 40;
  int FALTAMANUAL = 41;
  int QTDEFALTAS = 42;
  int PERDEUFERIAS = 43;
  int QTDEMESESAFASTADOS = 44;
  int NVPERIODOAQUISITIVO = 45;
  struct Keys {
    int FUNCINICIO = 0;
    int FUNCCLANC = 1;
    int FUNCTIPO = 2;
    int FUNTIPOPERAQ = 3;
  } KEY;
};
inline constexpr MovFuncionariosFields MOVFUNC{};

// The declaration of `MovFuncionarios`, built on first use and shared by every thread.
const runtime::FileDeclaration& MovFuncionariosDeclaration();

}  // namespace dictionary
