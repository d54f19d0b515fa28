// The payroll data dictionary: the declarations of the fourteen company, employee and payroll
// files, for the file managers, the data tool and the export.
#pragma once

#include <string_view>
#include <vector>

#include "dictionary/ac_funcionarios.h"
#include "dictionary/alt_contratuais.h"
#include "dictionary/contas_integracao_contabil.h"
#include "dictionary/dep_susp_sf.h"
#include "dictionary/dep_vacinacao.h"
#include "dictionary/dependentes.h"
#include "dictionary/empresa.h"
#include "dictionary/filiais.h"
#include "dictionary/funcionarios.h"
#include "dictionary/mov_funcionarios.h"
#include "dictionary/movimento.h"
#include "dictionary/name_variables.h"
#include "dictionary/ref_med_cta.h"
#include "dictionary/ref_total_media.h"
#include "dictionary/ref_vlr_mensais.h"
#include "runtime/records/file_declaration.h"

namespace dictionary {

// Every file of the dictionary, in the dictionary's order (the order in which its access and
// relation objects are created, initialised and killed): Empresa, Contas_Integracao_Contabil,
// RefVlrMensais, ACFuncionarios, Movimento, Dependentes, DepSuspSF, DepVacinacao, Funcionarios,
// Filiais, RefMedCta, RefTotalMedia, AltContratuais, MovFuncionarios. Safe from any thread.
const std::vector<const runtime::FileDeclaration*>& AllFileDeclarations();

// The file with this label ("Funcionarios", any letter case), or null.
const runtime::FileDeclaration* FindFileDeclaration(std::string_view label);

}  // namespace dictionary
