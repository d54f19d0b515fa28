#include "dictionary/movimento.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeMovimentoDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "Movimento";
  file.prefix = "MOVFOLHA";
  file.name = &GLO::ARQMOVIMENTO;
  file.record_length = 82;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "MOVFOLHA:MESANOCOMPETENCIA", Long, 0, 4, 0, 1, Date},
      {2, "MOVFOLHA:DATAPAGAMENTO", Long, 4, 4, 0, 1, Date},
      {3, "MOVFOLHA:TIPOPAGAMENTO", Byte, 8, 1, 0, 1, Plain},
      {4, "MOVFOLHA:CODIGOFUNCIONARIO", ULong, 9, 4, 0, 1, Plain},
      {5, "MOVFOLHA:NIMPRIMERF", Byte, 13, 1, 0, 1, Plain},
      {6, "MOVFOLHA:IMPRIMERECIBO", Byte, 14, 1, 0, 1, Plain},
      {7, "MOVFOLHA:CODIGOCONTA", UShort, 15, 2, 0, 1, Plain},
      {8, "MOVFOLHA:COMPLEMENTO", Decimal, 17, 4, 2, 1, Plain},
      {9, "MOVFOLHA:QUANTIDADE", Decimal, 21, 5, 2, 1, Plain},
      {10, "MOVFOLHA:VALOR", Decimal, 26, 6, 2, 1, Plain},
      {11, "MOVFOLHA:ALTERACAO", Byte, 32, 1, 0, 1, Plain},
      {12, "MOVFOLHA:CODIGOLTRABALHO", UShort, 33, 2, 0, 1, Plain},
      {13, "MOVFOLHA:CLANCAMENTO", UShort, 35, 2, 0, 1, Plain},
      {14, "MOVFOLHA:SCOMPLEMENTO", String, 37, 40, 0, 1, Plain},
      {15, "MOVFOLHA:ORDEMIMPRESSAO", ULong, 77, 4, 0, 1, Plain},
      {16, "MOVFOLHA:TIPOCOMPLEMENTO", Byte, 81, 1, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      {"MOVFOLHA:KEY:MESTPGTOFUNCIONARIO",
       {{MOVFOLHA.MESANOCOMPETENCIA, Ascending},
        {MOVFOLHA.TIPOPAGAMENTO, Ascending},
        {MOVFOLHA.CODIGOFUNCIONARIO, Ascending},
        {MOVFOLHA.IMPRIMERECIBO, Ascending},
        {MOVFOLHA.CODIGOCONTA, Ascending},
        {MOVFOLHA.CLANCAMENTO, Ascending},
        {MOVFOLHA.CODIGOLTRABALHO, Ascending}},
       Primary | Unique | NoCase,
       "+Mes +TipoPagamento +Funcionario +ImprimeRecibo +CodigoConta",
       0,
       ""},
      // Described as "Funcionário+Conta+MesCompetencia+CodigoLancamento".
      {"MOVFOLHA:KEY:FUNCCONTMES",
       {{MOVFOLHA.CODIGOFUNCIONARIO, Ascending},
        {MOVFOLHA.CODIGOCONTA, Ascending},
        {MOVFOLHA.MESANOCOMPETENCIA, Ascending},
        {MOVFOLHA.CLANCAMENTO, Ascending}},
       NoCase | ExcludeEmpty,
       "Funcion\341rio+Conta+MesCompetencia+CodigoLancamento",
       0,
       ""},
      {"MOVFOLHA:KEY:MOVIMENTACAO",
       {{MOVFOLHA.CODIGOFUNCIONARIO, Ascending},
        {MOVFOLHA.CLANCAMENTO, Ascending},
        {MOVFOLHA.MESANOCOMPETENCIA, Ascending},
        {MOVFOLHA.TIPOPAGAMENTO, Ascending},
        {MOVFOLHA.IMPRIMERECIBO, Ascending},
        {MOVFOLHA.CODIGOCONTA, Ascending}},
       NoCase | ExcludeEmpty,
       "Funcionario + Movimento + MesAnoCompetencia + TipoPagamento + ImprimeRecibo",
       0,
       ""},
      {"MOVFOLHA:KEY:FUNCMESTIPOPGTO",
       {{MOVFOLHA.CODIGOFUNCIONARIO, Ascending},
        {MOVFOLHA.MESANOCOMPETENCIA, Ascending},
        {MOVFOLHA.TIPOPAGAMENTO, Ascending},
        {MOVFOLHA.IMPRIMERECIBO, Ascending},
        {MOVFOLHA.CODIGOCONTA, Ascending}},
       NoCase | ExcludeEmpty,
       "MovFolha:Key:FuncMesTipoPgto",
       0,
       ""},
      {"MOVFOLHA:KEY:FUNCMESTIPOORDEM",
       {{MOVFOLHA.CODIGOFUNCIONARIO, Ascending},
        {MOVFOLHA.MESANOCOMPETENCIA, Ascending},
        {MOVFOLHA.TIPOPAGAMENTO, Ascending},
        {MOVFOLHA.IMPRIMERECIBO, Ascending},
        {MOVFOLHA.ORDEMIMPRESSAO, Ascending},
        {MOVFOLHA.CODIGOCONTA, Ascending}},
       NoCase | ExcludeEmpty,
       "MovFolha:Key:FuncMesTipoOrdem",
       0,
       ""},
      {"MOVFOLHA:KEY:FUNCCONTADTAPAGTO",
       {{MOVFOLHA.CODIGOFUNCIONARIO, Ascending},
        {MOVFOLHA.CODIGOCONTA, Ascending},
        {MOVFOLHA.DATAPAGAMENTO, Ascending},
        {MOVFOLHA.CLANCAMENTO, Ascending}},
       NoCase,
       "Funcionario + Conta + Data de pagamento + CodigoLancamento",
       0,
       "CLancamento"},
      {"MOVFOLHA:KEY:DATAPAGAMENTO",
       {{MOVFOLHA.DATAPAGAMENTO, Ascending}},
       NoCase,
       "DataPagamento",
       0,
       ""},
      {"MOVFOLHA:KEY:MESCODLANC",
       {{MOVFOLHA.MESANOCOMPETENCIA, Ascending},
        {MOVFOLHA.CLANCAMENTO, Ascending},
        {MOVFOLHA.CODIGOFUNCIONARIO, Ascending},
        {MOVFOLHA.CODIGOCONTA, Ascending}},
       NoCase,
       "MesAnoCompetencia + Movimento + Funcionario + Conta",
       0,
       ""},
      {"MOVFOLHA:KEY:MESCODFUN",
       {{MOVFOLHA.MESANOCOMPETENCIA, Ascending},
        {MOVFOLHA.CODIGOFUNCIONARIO, Ascending},
        {MOVFOLHA.CLANCAMENTO, Ascending},
        {MOVFOLHA.CODIGOCONTA, Ascending}},
       NoCase,
       "MesAnoCompetencia + Funcionario  +  Movimento + Conta",
       0,
       ""},
      {"MOVFOLHA:KEY:CLANC",
       {{MOVFOLHA.CLANCAMENTO, Ascending}},
       NoCase,
       "Codigo do Lancamento",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& MovimentoDeclaration() {
  static const runtime::FileDeclaration declaration = MakeMovimentoDeclaration();
  return declaration;
}

}  // namespace dictionary
