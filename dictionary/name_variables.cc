#include "dictionary/name_variables.h"

namespace GLO {

// Constant-initialized (empty), so they are ready before any other static object runs.
constinit runtime::NameVariable ARQEMPRESA;
constinit runtime::NameVariable ARQ_CONTAS_INTEGRACAO_CONTABIL;
constinit runtime::NameVariable ARQFILIAIS;
constinit runtime::NameVariable ARQALTCONTRATUAIS;
constinit runtime::NameVariable ARQMOVFUNCIONARIOS;
constinit runtime::NameVariable ARQREFLMEDCTA;
constinit runtime::NameVariable ARQREFLTOTMED;
constinit runtime::NameVariable ARQREFLVLRMENSAIS;
constinit runtime::NameVariable ARQACFUNCIONARIOS;
constinit runtime::NameVariable ARQMOVIMENTO;
constinit runtime::NameVariable ARQDEPENDENTES;
constinit runtime::NameVariable ARQDEPSUSPENSAOSF;
constinit runtime::NameVariable ARQDEPVACINACAO;
constinit runtime::NameVariable ARQFUNCIONARIOS;

}  // namespace GLO
