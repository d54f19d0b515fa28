// The dependants of an employee, numbered within the employee.
// File `Dependentes`, prefix DEP: its declaration and the numbers of its fields and keys.
#pragma once

#include "runtime/records/file_declaration.h"

namespace dictionary {

// The field numbers (1-based, as runtime::FileDeclaration::field takes them) and the key
// positions (0-based indexes into runtime::FileDeclaration::keys) of `Dependentes`, named as the
// labels name them: DEP.CODIGOFUNCIONARIO is field DEP:CODIGOFUNCIONARIO, DEP.KEY.CODIGO is key
// DEP:KEY:CODIGO.
struct DependentesFields {
  int CODIGOFUNCIONARIO = 1;
  int CODIGODEPENDENTE = 2;
  int NOME = 3;
  int TIPO = 4;
  int NASCIMENTO = 5;
  int DATAENTREGA = 6;
  int LOCALNASCIMENTO = 7;
  int CARTORIO = 8;
  int NUMEROREGISTRO = 9;
  int NUMEROFOLHA = 10;
  int FOLHAFV = 11;
  int LIVROREGISTRO = 12;
  int DEPEDENTEIRRF = 13;
  int DEPENDENTESF = 14;
  int SEXO = 15;
  int DEPIDADEESCOLAR = 16;
  struct Keys {
    int CODIGO = 0;
    int NOME = 1;
  } KEY;
};
inline constexpr DependentesFields DEP{};

// The declaration of `Dependentes`, built on first use and shared by every thread.
const runtime::FileDeclaration& DependentesDeclaration();

}  // namespace dictionary
