// The process-wide name variables of the fourteen payroll files: each file takes its path from its
// variable when it is opened, so the export procedure sets them before the first use.
#pragma once

#include "runtime/records/file_declaration.h"

// Not thread-safe: set on the program's thread before the files are opened.
namespace GLO {

extern runtime::NameVariable ARQEMPRESA;
extern runtime::NameVariable ARQ_CONTAS_INTEGRACAO_CONTABIL;
extern runtime::NameVariable ARQFILIAIS;
extern runtime::NameVariable ARQALTCONTRATUAIS;
extern runtime::NameVariable ARQMOVFUNCIONARIOS;
extern runtime::NameVariable ARQREFLMEDCTA;
extern runtime::NameVariable ARQREFLTOTMED;
extern runtime::NameVariable ARQREFLVLRMENSAIS;
extern runtime::NameVariable ARQACFUNCIONARIOS;
extern runtime::NameVariable ARQMOVIMENTO;
extern runtime::NameVariable ARQDEPENDENTES;
extern runtime::NameVariable ARQDEPSUSPENSAOSF;
extern runtime::NameVariable ARQDEPVACINACAO;
extern runtime::NameVariable ARQFUNCIONARIOS;

}  // namespace GLO
