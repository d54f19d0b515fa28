#include "dictionary/mov_funcionarios.h"

#include "dictionary/name_variables.h"

namespace dictionary {

namespace {

runtime::FileDeclaration MakeMovFuncionariosDeclaration() {
  using enum runtime::FieldType;
  using enum runtime::FieldMeaning;
  using enum runtime::KeyOrder;
  using enum runtime::KeyFlags;
  runtime::FileDeclaration file;
  file.label = "MovFuncionarios";
  file.prefix = "MOVFUNC";
  file.name = &GLO::ARQMOVFUNCIONARIOS;
  file.record_length = 153;
  file.create = runtime::CreateFlag::WhenMissing;
  file.per_thread = true;
  // Number, label, type, offset, size of one element, decimal places, elements, meaning.
  file.fields = {
      {1, "MOVFUNC:FUNCIONARIO", ULong, 0, 4, 0, 1, Plain},
      {2, "MOVFUNC:FERIASEMDOBRO", Byte, 4, 1, 0, 1, Plain},
      {3, "MOVFUNC:CLANCAMENTO", Byte, 5, 1, 0, 1, Plain},
      {4, "MOVFUNC:TIPO", Byte, 6, 1, 0, 1, Plain},
      {5, "MOVFUNC:INICIO", Long, 7, 4, 0, 1, Date},
      {6, "MOVFUNC:FINAL", Long, 11, 4, 0, 1, Date},
      {7, "MOVFUNC:PERAQINICIAL", Long, 15, 4, 0, 1, Date},
      {8, "MOVFUNC:PERAQFINAL", Long, 19, 4, 0, 1, Date},
      {9, "MOVFUNC:PERGOZOINICIAL", Long, 23, 4, 0, 1, Date},
      {10, "MOVFUNC:PERGOZOFINAL", Long, 27, 4, 0, 1, Date},
      {11, "MOVFUNC:PERABPECINICIAL", Long, 31, 4, 0, 1, Date},
      {12, "MOVFUNC:PERABPECFINAL", Long, 35, 4, 0, 1, Date},
      {13, "MOVFUNC:DTRECFERIAS", Long, 39, 4, 0, 1, Date},
      {14, "MOVFUNC:DTAVFERIAS", Long, 43, 4, 0, 1, Date},
      {15, "MOVFUNC:SALARIO1", Decimal, 47, 6, 2, 1, Plain},
      {16, "MOVFUNC:SALARIO2", Decimal, 53, 6, 2, 1, Plain},
      {17, "MOVFUNC:SALARIO3", Decimal, 59, 6, 2, 1, Plain},
      {18, "MOVFUNC:SALARIO4", Decimal, 65, 6, 2, 1, Plain},
      {19, "MOVFUNC:SALARIO5", Decimal, 71, 6, 2, 1, Plain},
      {20, "MOVFUNC:SOMASALARIO", Decimal, 77, 6, 2, 1, Plain},
      {21, "MOVFUNC:SOMASALREFLEXOS", Decimal, 83, 6, 2, 1, Plain},
      {22, "MOVFUNC:AFASTAMENTO", Long, 89, 4, 0, 1, Date},
      {23, "MOVFUNC:RETORNO", Long, 93, 4, 0, 1, Date},
      {24, "MOVFUNC:ATESTADO", Long, 97, 4, 0, 1, Date},
      {25, "MOVFUNC:TERMINOATESTADO", Long, 101, 4, 0, 1, Date},
      {26, "MOVFUNC:DATANASCIMENTO", Long, 105, 4, 0, 1, Date},
      {27, "MOVFUNC:CODRAIS", Byte, 109, 1, 0, 1, Plain},
      {28, "MOVFUNC:PAGA13SALARIO", Byte, 110, 1, 0, 1, Plain},
      {29, "MOVFUNC:NCONSFERIADOFERIAS", Byte, 111, 1, 0, 1, Plain},
      {30, "MOVFUNC:FERIAS_COLETIVAS", Byte, 112, 1, 0, 1, Plain},
      {31, "MOVFUNC:FERIAS_INCOMPLETA", Byte, 113, 1, 0, 1, Plain},
      {32, "MOVFUNC:QTDDIASLICREM", Byte, 114, 1, 0, 1, Plain},
      {33, "MOVFUNC:QTDEFERIASPROPORCIONAIS", Decimal, 115, 4, 2, 1, Plain},
      {34, "MOVFUNC:NAODESCFALTAS", Byte, 119, 1, 0, 1, Plain},
      {35, "MOVFUNC:QTDEFERIASDOBRO", Byte, 120, 1, 0, 1, Plain},
      {36, "MOVFUNC:AFASTMESMADECOR", Byte, 121, 1, 0, 1, Plain},
      {37, "MOVFUNC:VESPERAS", Byte, 122, 1, 0, 1, Plain},
      {38, "MOVFUNC:FERIASTRAVADA", Byte, 123, 1, 0, 1, Plain},
      {39, "MOVFUNC:NUMBENEFICIO", String, 124, 20, 0, 1, Plain},
      {40, "MOVFUNC:NAOSOMARREFLEXOS", Byte, 144, 1, 0, 1, Plain},
      {41, "MOVFUNC:FALTAMANUAL", Byte, 145, 1, 0, 1, Plain},
      {42, "MOVFUNC:QTDEFALTAS", Byte, 146, 1, 0, 1, Plain},
      {43, "MOVFUNC:PERDEUFERIAS", Byte, 147, 1, 0, 1, Plain},
      {44, "MOVFUNC:QTDEMESESAFASTADOS", Byte, 148, 1, 0, 1, Plain},
      {45, "MOVFUNC:NVPERIODOAQUISITIVO", Long, 149, 4, 0, 1, Plain},
  };
  // Label, components, attributes, description (Windows-1252 text), auto-increment component,
  // external name.
  file.keys = {
      {"MOVFUNC:KEY:FUNCINICIO",
       {{MOVFUNC.FUNCIONARIO, Ascending}, {MOVFUNC.INICIO, Ascending}, {MOVFUNC.TIPO, Ascending}},
       NoCase,
       "Funcionario + Periodo inicial",
       0,
       ""},
      // Described as "Funcionario + Codigo Lançamento".
      {"MOVFUNC:KEY:FUNCCLANC",
       {{MOVFUNC.FUNCIONARIO, Ascending}, {MOVFUNC.CLANCAMENTO, Ascending}},
       Primary | Unique | NoCase,
       "Funcionario + Codigo Lan\347amento",
       2,
       ""},
      {"MOVFUNC:KEY:FUNCTIPO",
       {{MOVFUNC.FUNCIONARIO, Ascending}, {MOVFUNC.TIPO, Ascending}, {MOVFUNC.INICIO, Ascending}},
       NoCase,
       "Funcionario + Tipo + Inicio",
       0,
       ""},
      {"MOVFUNC:KEY:FUNTIPOPERAQ",
       {{MOVFUNC.FUNCIONARIO, Ascending},
        {MOVFUNC.TIPO, Ascending},
        {MOVFUNC.PERAQINICIAL, Ascending}},
       NoCase,
       "MovFunc:Key:FunTipoPerAq",
       0,
       ""},
  };
  return file;
}

}  // namespace

const runtime::FileDeclaration& MovFuncionariosDeclaration() {
  static const runtime::FileDeclaration declaration = MakeMovFuncionariosDeclaration();
  return declaration;
}

}  // namespace dictionary
