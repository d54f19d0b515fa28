#include "dictionary/field_checks.h"

#include <string>

#include "dictionary/access_classes.h"
#include "framework/errors/global_errors.h"
#include "framework/errors/level.h"

namespace dictionary {

namespace {

// Field number, label, prompt, test, codes, low, high, error, message.
constexpr FieldCheck kFuncionariosChecks[] = {
    {27, "FUN:ESTADOCIVIL", "Estado civil do funcion\341rio", FieldTest::kList, "]1[]2[]3[]4[", 0,
     0, 17, "'1-Solteiro','2-Casado','3-Vi\372vo','4-Outros'"},
    {28, "FUN:SEXO", "Sexo do funcion\341rio", FieldTest::kList, "]1[]2[", 0, 0, 17,
     "'1-Masculino','2-Feminino'"},
    {31, "FUN:GRAUINSTRUCAO", "Grau de instru\347\343o do funcion\341rio", FieldTest::kList,
     "]1[]2[]3[]4[]5[]6[]7[]8[]9[", 0, 0, 17,
     "'1-Analfabeto','2-At\351 a 4\272 incompleta do EF','3-Com a 4\272 completa do EF','4-De "
     "5\272 a 8\272 Incompleta do EF','5-Ensino Fundamental completo','6-Ensino M\351dio "
     "incompleto','7-Ensino M\351dio completo','8-Superior incompleto','9-Superior completo'"},
    {33, "FUN:RACA", "Ra\347a do funcion\341rio", FieldTest::kList, "]1[]2[]4[]6[]8[]9[", 0, 0, 17,
     "'1-Ind\355gena','2-Branca','4-Negra','6-Amarela','8-Parda','9-N\343o informado'"},
    {40, "FUN:DEFICIENTEFISICO", "Informar se o funcion\341rio \351 deficiente f\355sico",
     FieldTest::kList, "]0[]1[]2[]3[]4[]5[]6[", 0, 0, 17,
     "'0 -N\343o','1 - F\355sica','2 - Autidiva','3 - Visual','4 - Mental','5 - M\372ltipla','6 - "
     "Reabilitado'"},
    {52, "FUN:QTDHORASSEM", "Quantidade de horas trabalhadas por semana", FieldTest::kAtMost, "", 0,
     44, 19, "44"},
    {75, "FUN:RECOLHERGRFC", "Recolher a GRFC", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'Sim','N\343o'"},
    {77, "FUN:DEPOSMESANTERIOR", "Despositar M\352s Anterior", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'Sim','N\343o'"},
    {78, "FUN:TRANSPORTE", "FUN:Transporte", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Carga','1-Passageiros'"},
    {144, "FUN:AVISOPREVIO",
     "o funcionario trabalhou no dia da comunica\347\343o do aviso, sim  ou n\343o",
     FieldTest::kList, "]0[]1[", 0, 0, 17, "'0-Sim','1-N\343o'"},
    {149, "FUN:RESPONSAVELRECEITAFEDERAL", "FUN:ResponsavelReceitaFederal", FieldTest::kList,
     "]0[]1[", 0, 0, 17, "'0 - Sim','1 - N\343o'"},
    {150, "FUN:PENSAOALCALC", "Valor da Pens\343o", FieldTest::kList, "]0[]1[]2[]3[]4[", 0, 0, 17,
     "'0-N\343o calcula','1-Sal\341rio Tabela','2-Sal\341rio do Funcion\341rio','3-Valor "
     "Bruto','4-Valor L\355quido'"},
    {153, "FUN:PENSAOAL", "Pens\343o Aliment\355cia", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-N\343o','1-Sim'"},
    {155, "FUN:CALCHORAS", "FUN:CalcHoras", FieldTest::kList, "]0[]1[]2[]3[]4[]5[", 0, 0, 17,
     "'0 - Qtde horas m\352s (30 dias) ','1 - Qtde de horas fixa pelas horas do m\352s','2 - "
     "Calcula pelo horario de trabalho','3 - N\343o Calcula Autom\341tico','4 - Multiplicar horas "
     "por 4.5','5 - Fixar a quantidade no m\352s'"},
    {156, "FUN:CALCMEDIASALARIO", "FUN:CalcMediasalario", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-media periodo','1- Qtde horas fixa'"},
    {157, "FUN:TIPOTERMINO1", "Tipo de Termino1", FieldTest::kList, "]0[]1[]2[]3[", 0, 0, 17,
     "'0 - Livre','1 - Qtde  dias','2 - Mes','3 - anos'"},
    {158, "FUN:TIPOTERMINO2", "Tipo de Termino2", FieldTest::kList, "]0[]1[]2[]3[", 0, 0, 17,
     "'0 - Livre','1 - Qtde  dias','2 - Mes','3 - anos'"},
    {162, "FUN:REMFINSRESCMANUAL", "FUN:RemFinsRescManual", FieldTest::kList, "]0[]1[]2[]3[]4[", 0,
     0, 17,
     "'0-Autom\341tico','1-Manual','2-Manual (Impress\343o)','3-Sal\341rio','4-Sal\341rio "
     "(Impress\343o)'"},
    {173, "FUN:TIPOTRANSF", "Tipo de Transferencia", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0 - Entrada','1 - Saida'"},
    {174, "FUN:CALCULARD13RESCISAO", "FUN:CalcularD13Rescisao", FieldTest::kList, "]0[]1[]2[", 0, 0,
     17, "'0 - N\343o foi respondido','1 - Sim','2 - N\343o'"},
    {175, "FUN:INATIVO", "FUN:Inativo", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Ativo','1-Inativo'"},
    {186, "FUN:VISUASSINATURAREL", "FUN:VisuAssinaturaRel", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'Sim','N\343o'"},
    {187, "FUN:TIPOCONTRATOHOMOLOGNET", "FUN:TipoContratoHomolognet", FieldTest::kList, "]0[]1[]2[",
     0, 0, 17,
     "'0-Por prazo indeterminado','1-Por prazo determinado com cl\341usula assecurat\363ria de "
     "direito rec\355proco de rescis\343o antecipada','2-Por prazo determinado sem cl\341usula "
     "assecurat\363ria de direito rec\355proco de rescis\343o antecipada'"},
    {188, "FUN:COMPROVOUEMPREGOPERAVISO", "FUN:ComprovouEmpregoPerAviso", FieldTest::kList,
     "]0[]1[]2[", 0, 0, 17, "'0-N\343o Informado','1-Sim','2-N\343o'"},
    {192, "FUN:LEIAVISO", "FUN:LeiAviso", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Anterior','1-Lei n\272 12.506/2011'"},
    {193, "FUN:CONTAGEMDIAS", "FUN:ContagemDias", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-A partir do 2\272 Ano','1-A partir do 1\272 Ano'"},
    {194, "FUN:DIASACRESCIMO", "FUN:DiasAcrescimo", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Cumprido','1-Indenizado'"},
    {197, "FUN:CTDTIPO", "FUN:CTDTipo", FieldTest::kList, "]0[]1[]2[]3[", 0, 0, 17,
     "'0 - Certid\343o de Nascimento','1 - Certid\343o de Casamento','2 - Certid\343o "
     "Administrativa de Nascimento Ind\355gena','3 - Certid\343o de \323bito'"},
};

constexpr FieldCheck kEmpresaChecks[] = {
    {3, "EMP:PCMATFILIAISTCONTAS", "Aparece todas as contas quando matriz e filial",
     FieldTest::kList, "]0[]1[", 0, 0, 17, "'0-N\343o','1-Sim'"},
    {23, "EMP:CLASSESTABIPI", "Classifica\347\343o do estabelecimento de acordo com IPI",
     FieldTest::kList, "]1[]2[]3[]4[]5[]10[]11[]12[]13[", 0, 0, 17,
     "'1-Transforma\347\343o','2-Beneficiamento','3-Montagem','4-Acondicionamento','5-"
     "Recondicionamento','10-Equiparados - geral','11-Por op\347\343o','12-Importador "
     "direto','13-Esquiparados por for\347a de lei'"},
    {154, "EMP:LOTES", "Contabilidade: Empresa Trabalha com Lotes", FieldTest::kList, "]1[]2[", 0,
     0, 17, "'1 Sim ','2 N\343o'"},
    {155, "EMP:MESDATABASE", "M\352s data base", FieldTest::kBetween, "", 1, 12, 18, "1 .. 12"},
    {158, "EMP:QUALIFPJ", "Qualifica\347\343o Pessora Jur\355dica", FieldTest::kList,
     "]1[]2[]3[]4[]5[]6[]7[]8[]9[", 0, 0, 17,
     "'1-Financeira','2-Sociedade Seguradora(com fins lucra.)','3-Corretora Aut\364noma de "
     "Seguros','4-Coop.... de Cr\351dito','5-Entidade fechada de Previd\352ncia(sem fins "
     "lucra..)','6-Sociedade Coop...','7-Outra Qualifica\347\343o','8- PJ em Geral','9-Sociedade "
     "Coop..Produ\347\343o Agricu..'"},
    {174, "EMP:REGIMEIPI", "Imposto: Regime de Apura\347\343o do IPI", FieldTest::kList,
     "]0[]1[]2[]3[", 0, 0, 17, "'0-N\343o calcula','1 - Mensal','2 - Decendial','3 - Quinzenal'"},
    {175, "EMP:REGIMEICMS", "Imposto: Regime de Apura\347\343o do ICMS", FieldTest::kList,
     "]0[]1[]2[]3[]4[]5[]6[]7[", 0, 0, 17,
     "'0-N\343o calcula','1-RPA (dispensado)','2-Estimativa','3-RPA/Normal','4-Simples - "
     "ST','5-Simples','6-ME','7-RPA/Anual'"},
    {176, "EMP:REGIMEIRPJ", "Imposto: Regime de Apura\347\343o do IRPJ", FieldTest::kList,
     "]0[]1[]2[]3[", 0, 0, 17, "'0-N\343o Calcula','1 - Mensal','2 - Trimestral','3 - Anual'"},
    {177, "EMP:RECOLHIMENTOIRPJ", "Recolhimento do IRPJ, 0-Conf.Regime, 1-Mensal", FieldTest::kList,
     "]0[]1[", 0, 0, 17, "'0-Conf.Regime','1-Mensal'"},
    {178, "EMP:REGIMECSL", "Imposto: Regime de Apura\347\343o da CLSS", FieldTest::kList,
     "]0[]1[]2[]3[", 0, 0, 17, "'0-N\343o calcula','1 - Mensal','2 - Trimestral','3 - Anual'"},
    {179, "EMP:REGIMECOFINS", "Tipo de Regime do Cofins", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Cumulativo','1-N\343o Cumulativo'"},
    {180, "EMP:REGIMEPIS", "Tipo de Regime do PIS", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Cumulativo','1-N\343o Cumulativo'"},
    {181, "EMP:RECOLHIMENTOCSL", "Recolhimento", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Trimestral','1-Mensal'"},
    {186, "EMP:SIMPLESESTADUAL", "Imposto: Simples Estadual", FieldTest::kList, "]0[]1[]2[", 0, 0,
     17, "'0-N\343o Optante','1-EPP-Simples Normal','2- ME- Micro Empresa'"},
    {187, "EMP:SIMPLESFEDERAL", "Imposto: Simples Federal", FieldTest::kList,
     "]0[]1[]2[]3[]4[]5[]6[", 0, 0, 17,
     "'0-N\343o \351 Optante Simples','1-Simples Normal','2-Simples "
     "(Pr\351-escola,Creche)','3-Simples (Ensino Fundamental, Lot\351rica, C.F.C.)','4-Super "
     "Simples ME','5-Super Simples EPP','6-Micro Empreendedor Individual MEI'"},
    {206, "EMP:TIPOHIST", "Arquivo: Codigo Hist\363rico LC", FieldTest::kList, "]1[]2[", 0, 0, 17,
     "'1-Geral','2-Individual'"},
    {209, "EMP:TIPOREGISTRO", "Local onde a Empresa foi Registrada", FieldTest::kList,
     "]1[]2[]3[]4[]5[]6[", 0, 0, 17,
     "'1-Junta Comercial','2-Cart\363rio','3-Prefeitura','4-PF equiparada a PJ','5-Registro "
     "OAB','6-RCPJ(reg civil pesssoa jur)'"},
    {210, "EMP:TIPOAPURACAO", "Tipo de Apura\347\343o da Empresa", FieldTest::kList,
     "]1[]2[]3[]4[]5[]6[]7[", 0, 0, 17,
     "'1-Simples','2-Estimativa (Lucro Real)','3-Lucro Real','4-Presumido','5-Arbitrado','6-Imune "
     "IRPJ','7-Isenta IRPJ'"},
    {215, "EMP:TIPOAUTOMATICA", "Contabilidade: Tipo Numera\347\343o Aut.das Contas da CTB",
     FieldTest::kList, "]0[]1[]2[]3[", 0, 0, 17, "'Manual','Sequ\352ncial','CGC','N\343o Inclui'"},
    {216, "EMP:TIPOPAGAMENTO", "Tipo de pagamento 1-Mensal, 2-Quinzenal, 3-Semanal, 4-Outros",
     FieldTest::kList, "]1[]2[]3[]4[", 0, 0, 17, "'1-Mensal','2-Quinzenal','3-Semanal','4-Outros'"},
    {219, "EMP:CTBDATADESCDUP", "Data Desconto de Duplicata: 0 - Data Pagamento, 1 - NF",
     FieldTest::kList, "]0[]1[", 0, 0, 17, "'0 - Data de Pagamento','1 - NF'"},
    {220, "EMP:APURACAODCA", "Apura\347\343o DCA 0-N\343o, 1-Sim", FieldTest::kList, "]0[]1[", 0, 0,
     17, "'0-N\343o','1-Sim'"},
    {222, "EMP:CIAP", "CIAP - Lan\347a Ocorr\352ncia Autom\341tica 0-Sim, 1-N\343o",
     FieldTest::kList, "]0[]1[", 0, 0, 17, "'0-N\343o','1-Sim'"},
    {226, "EMP:EMPRESAINATIVA", "Quando a empresa for inativa", FieldTest::kList, "]0[]1[]2[]3[]4[",
     0, 0, 17, "'0-Ativa','1-Inativa','2-Devolvida','3-Encerradas','4-Bloqueada'"},
    {247, "EMP:TIPOCALCULO", "Tipo de Calculo", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'TotalDiario','TotalMensal'"},
    {275, "EMP:TIPOFUNRURAL", "Tipo de importa\347\343o para o contabilidade do FunRual",
     FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Vlr Lan\347amento = (Vlr Contabil - Vlr FunRural)','1- Vlr Lan\347amento = Vlr Contabil'"},
    {276, "EMP:TIPOENTIDADE", "Tipo de Entidade", FieldTest::kList,
     "]0[]1[]2[]3[]4[]5[]6[]7[]8[]9[]10[]99[", 0, 0, 17,
     "'00-N\343o se Aplica','01-Assistencia Social','02-Educacional','03-Sindicato dos "
     "Trabalhadores','04-Associa\347\343o Civil','05-Cultural','06-Entidade Fechada de "
     "Previd\352ncia "
     "Complementar','07-Filantr\363pica','08-Sindicato','09-Recreativa','10-Cientifica','99-"
     "Outras'"},
    {277, "EMP:PARC13OSALARIO", "Tipo da parcela do 13o salario", FieldTest::kList,
     "]0[]1[]12[]10[", 0, 0, 17,
     "'0-Utiliza Imforma\347\343o do Parametros','1-Utiliza no m\352s selecionado','12-Conta "
     "at\351 dezembro','10-Em Novembro calc at\351 outubro'"},
    {278, "EMP:REFLEXOS", "EMP:Reflexos", FieldTest::kList, "]0[]1[]2[", 0, 0, 17,
     "'0-Paga','1-N\343o Paga','2-Paga na 2\252 Parcela'"},
    {280, "EMP:ANEXOSUPERSIMPLES", "EMP:AnexoSuperSimples", FieldTest::kList, "]0[]1[]2[]3[", 0, 0,
     17,
     "'0 - Anexo I,II,III','1 - Anexo IV','2 - AnexoV','3 - Simult\342neo I, II ou III com IV ou "
     "V'"},
    {284, "EMP:NFP_DIGITACAO", "EMP:NFP_Digitacao", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-Completa','1-Somente Campos Obrigat\363rios'"},
    {285, "EMP:NFP_INTEGRACAO", "EMP:NFP_Integracao", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-N\343o Integra','1-Integra\347\343o com a Escrita'"},
    {289, "EMP:PERFIL", "EMP:Perfil", FieldTest::kList, "]0[]1[]2[", 0, 0, 17,
     "'0 - Perfil A','1 - Perfil B','2 - Perfil C'"},
    {298, "EMP:IND_ATIVIDADE", "EMP:Ind_Atividade", FieldTest::kList, "]0[]1[]2[]3[]4[]9[", 0, 0,
     17,
     "'0-Industrial ou Equiparado a Ind\372stria','1-Prestador de Servi\347os','2-Atividade de "
     "Com\351rcio','3-Atividade Financeira','4-Atividade Imobili\341ria','9-Outros'"},
    {299, "EMP:INSSMP540", "EMP:INSSMP540", FieldTest::kList, "]0[]1[]2[]3[]4[]5[]6[]7[", 0, 0, 17,
     "'0-N\343o Beneficiada','1-Beneficiada MP 540/2011','2-Beneficiada MP "
     "563/2012','3-Beneficiada MP 563/01-2013','4-Beneficiada MP 601/04-2013','5-Beneficiada MP "
     "601/04-2013 (5)','6-Beneficiada MP 601/01-2014 [6]','7-Beneficiada MP 627/11-2013'"},
    {300, "EMP:CARTAOPONTO", "EMP:CartaoPonto", FieldTest::kList, "]0[]1[]2[]3[]4[]5[]6[", 0, 0, 17,
     "'Sem V\355nculo (RAIS Negativa)','N\343o Adotou','Adotou Manual','Adotou "
     "Mec\342nico','Adotou SREP','Adotou N\343o Eletr\364nico','Adotou Eletr\364nico'"},
};

constexpr FieldCheck kDependentesChecks[] = {
    {4, "DEP:TIPO", "Tipo do dependente", FieldTest::kList,
     "]1[]2[]3[]4[]5[]6[]7[]8[]9[]10[]11[]12[]13[]14[]15[", 0, 0, 17,
     "'1-C\364njuge','2-Filho','3-Filho universi.','4-Filho "
     "incapacitado','5-Filha','6-Neto/bisneto','7-Neto/bisneto universi.','8-Neto/bisneto "
     "incapacitado','9-Pais/av\363s/bisav\363s','10-Irm\343o incapacitado','11-Menor','12-Menor "
     "universi.','13-Incapacitado','14-Filho inv\341lido','15-Enteado'"},
    {15, "DEP:SEXO", "Sexo Dependente", FieldTest::kList, "]1[]2[", 0, 0, 17,
     "'1-Masculino','2-Feminino'"},
};

constexpr FieldCheck kMovimentoChecks[] = {
    {3, "MOVFOLHA:TIPOPAGAMENTO", "Tipo de sele\347\343o da folha", FieldTest::kList,
     "]0[]1[]2[]3[]4[]5[", 0, 0, 17,
     "'0-Folha Normal','1-Adiantamento','2-13\272 Sal\341rio','3-Participa\347\343o "
     "Lucros','4-Folha Complementar','5-13\272 Sal\341rio Complementar'"},
    {11, "MOVFOLHA:ALTERACAO", "Indica se o valor do lan\347amento foi alterado manualmente",
     FieldTest::kList, "]0[]1[", 0, 0, 17, "'0-N\343o foi alterado','1-Foi alterado'"},
};

constexpr FieldCheck kMovFuncionariosChecks[] = {
    {4, "MOVFUNC:TIPO", "Tipo de lan\347amentos", FieldTest::kList,
     "]0[]1[]2[]3[]4[]5[]6[]7[]8[]9[]10[]11[]12[]13[]14[]15[]16[", 0, 0, 17,
     "'0-F\351rias','1-Lic.Mater.','2-Lic.Amamenta.','3-Aux.Doen\347a','4-Ac.Trab.','5-Serv."
     "Militar','6-Lic.s/Remun.','7-Susp.Contrato','8-Lic.Remu.','9-Reclus\343o','10-Afas.Tempo/"
     "mandato Sind.','11-F\351rias Comple.','12-F\351rias "
     "Comple.','13-Apos.Invalidez','14-Lic.Mat.Ado\347\343o','15-','16-'"},
    {28, "MOVFUNC:PAGA13SALARIO", "MovFunc:Paga13Salario", FieldTest::kList, "]0[]1[", 0, 0, 17,
     "'0-N\343o','1-Sim'"},
};

}  // namespace

std::span<const FieldCheck> FuncionariosChecks() { return kFuncionariosChecks; }
std::span<const FieldCheck> EmpresaChecks() { return kEmpresaChecks; }
std::span<const FieldCheck> DependentesChecks() { return kDependentesChecks; }
std::span<const FieldCheck> MovimentoChecks() { return kMovimentoChecks; }
std::span<const FieldCheck> MovFuncionariosChecks() { return kMovFuncionariosChecks; }

bool PassesCheck(const FieldCheck& check, int64_t value) {
  switch (check.test) {
    case FieldTest::kList: {
      // "]1[" is found in "]1[]2[" but not in "]10[": the brackets delimit whole codes.
      const std::string code = "]" + std::to_string(value) + "[";
      return check.list.find(code) != std::string_view::npos;
    }
    case FieldTest::kAtMost:
      return value <= check.high;
    case FieldTest::kBetween:
      return value >= check.low && value <= check.high;
  }
  return false;
}

uint8_t ValidateByTable(framework::FileManager& file, std::span<const FieldCheck> checks,
                        int32_t Id, uint8_t HandleErrors, uint8_t base_result) {
  uint8_t result = base_result;
  for (const FieldCheck& check : checks) {
    if (check.field != Id) continue;
    framework::ErrorClass* errors = framework::GlobalErrors();
    if (errors != nullptr) errors->SetField(check.prompt);
    if (!PassesCheck(check, file.File->GetInteger(Id))) result = framework::kNotify;
    if (result != framework::kBenign && HandleErrors && errors != nullptr) {
      result = static_cast<uint8_t>(errors->ThrowMessage(check.error, check.message));
    }
    break;
  }
  return result;
}

namespace Hide::Access {

uint8_t Funcionarios::ValidateFieldServer(int32_t Id, uint8_t HandleErrors) {
  return ValidateByTable(*this, FuncionariosChecks(), Id, HandleErrors,
                         FileManager::ValidateFieldServer(Id, HandleErrors));
}

uint8_t Empresa::ValidateFieldServer(int32_t Id, uint8_t HandleErrors) {
  return ValidateByTable(*this, EmpresaChecks(), Id, HandleErrors,
                         FileManager::ValidateFieldServer(Id, HandleErrors));
}

uint8_t Dependentes::ValidateFieldServer(int32_t Id, uint8_t HandleErrors) {
  return ValidateByTable(*this, DependentesChecks(), Id, HandleErrors,
                         FileManager::ValidateFieldServer(Id, HandleErrors));
}

uint8_t Movimento::ValidateFieldServer(int32_t Id, uint8_t HandleErrors) {
  return ValidateByTable(*this, MovimentoChecks(), Id, HandleErrors,
                         FileManager::ValidateFieldServer(Id, HandleErrors));
}

uint8_t MovFuncionarios::ValidateFieldServer(int32_t Id, uint8_t HandleErrors) {
  return ValidateByTable(*this, MovFuncionariosChecks(), Id, HandleErrors,
                         FileManager::ValidateFieldServer(Id, HandleErrors));
}

void Funcionarios::PrimeFields() {
  runtime::RecordFile& file = *File;
  file.SetInteger(FUN.ESTADOCIVIL, 1);
  file.SetInteger(FUN.SEXO, 1);
  file.SetInteger(FUN.GRAUINSTRUCAO, 1);
  file.SetInteger(FUN.RACA, 1);
  file.SetInteger(FUN.DEPOSMESANTERIOR, 1);
  FileManager::PrimeFields();
}

void Empresa::PrimeFields() {
  runtime::RecordFile& file = *File;
  file.SetInteger(EMP.DIGITOSCGC, 14);
  file.SetInteger(EMP.LOTES, 1);
  file.SetInteger(EMP.QUALIFPJ, 1);
  file.SetInteger(EMP.TIPOREGISTRO, 1);
  file.SetInteger(EMP.TIPOAPURACAO, 1);
  file.SetInteger(EMP.TIPOFORNECEDOR, 1);
  file.SetInteger(EMP.TIPOCFO, 1);
  file.SetInteger(EMP.TIPONBM, 1);
  file.SetInteger(EMP.TIPOCONTAISS, 1);
  file.SetInteger(EMP.TIPOPAGAMENTO, 1);
  file.SetInteger(EMP.GPSLTRABINDIV, 0);
  file.SetInteger(EMP.NFP_DIGITACAO, 0);
  file.SetInteger(EMP.NFP_INTEGRACAO, 0);
  FileManager::PrimeFields();
}

}  // namespace Hide::Access

}  // namespace dictionary
