// Self-checks of the fourteen file declarations: packed layouts of the stated lengths, the stated
// numbers of fields and keys, keys built from fields of their own file, and the names code uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"

namespace dictionary {
namespace {

using runtime::FieldMeaning;
using runtime::FileDeclaration;
using runtime::KeyOrder;

// What the file tables state about each file, typed from them.
struct ExpectedFile {
  const FileDeclaration& (*declaration)();
  const char* label;
  const char* prefix;
  const runtime::NameVariable* name;
  int record_length;
  int fields;
  int keys;
  int dates;
  int times;
};

const ExpectedFile kFiles[] = {
    {EmpresaDeclaration, "Empresa", "EMP", &GLO::ARQEMPRESA, 13617, 301, 6, 8, 1},
    {FiliaisDeclaration, "Filiais", "FILIAIS", &GLO::ARQFILIAIS, 10, 8, 3, 0, 0},
    {Contas_Integracao_ContabilDeclaration, "Contas_Integracao_Contabil", "CIC",
     &GLO::ARQ_CONTAS_INTEGRACAO_CONTABIL, 626, 9, 3, 0, 0},
    {AltContratuaisDeclaration, "AltContratuais", "ALTCONT", &GLO::ARQALTCONTRATUAIS, 54, 6, 1, 1,
     0},
    {FuncionariosDeclaration, "Funcionarios", "FUN", &GLO::ARQFUNCIONARIOS, 6077, 214, 6, 31, 5},
    {DependentesDeclaration, "Dependentes", "DEP", &GLO::ARQDEPENDENTES, 158, 16, 2, 2, 0},
    {DepVacinacaoDeclaration, "DepVacinacao", "DVACI", &GLO::ARQDEPVACINACAO, 11, 5, 1, 1, 0},
    {DepSuspSFDeclaration, "DepSuspSF", "DSSF", &GLO::ARQDEPSUSPENSAOSF, 13, 4, 1, 2, 0},
    {ACFuncionariosDeclaration, "ACFuncionarios", "ACFUN", &GLO::ARQACFUNCIONARIOS, 119, 7, 1, 2,
     0},
    {MovimentoDeclaration, "Movimento", "MOVFOLHA", &GLO::ARQMOVIMENTO, 82, 16, 10, 2, 0},
    {MovFuncionariosDeclaration, "MovFuncionarios", "MOVFUNC", &GLO::ARQMOVFUNCIONARIOS, 153, 45, 4,
     15, 0},
    {RefTotalMediaDeclaration, "RefTotalMedia", "REFTOTMED", &GLO::ARQREFLTOTMED, 49, 16, 2, 2, 0},
    {RefMedCtaDeclaration, "RefMedCta", "REFMEDCTA", &GLO::ARQREFLMEDCTA, 45, 16, 2, 0, 0},
    {RefVlrMensaisDeclaration, "RefVlrMensais", "REFVLRMEN", &GLO::ARQREFLVLRMENSAIS, 24, 8, 1, 0,
     0},
};

// Names the file in failure messages.
void PrintTo(const ExpectedFile& file, std::ostream* out) { *out << file.label; }

class DeclarationTest : public testing::TestWithParam<ExpectedFile> {
 protected:
  const FileDeclaration& file() const { return GetParam().declaration(); }
};

TEST_P(DeclarationTest, FieldsArePackedFromZeroToTheRecordLength) {
  int offset = 0;
  for (size_t i = 0; i < file().fields.size(); ++i) {
    const runtime::FieldDeclaration& field = file().fields[i];
    SCOPED_TRACE(field.label);
    EXPECT_EQ(field.number, static_cast<int>(i) + 1);
    EXPECT_EQ(field.offset, offset);
    EXPECT_GT(field.total_size(), 0);
    offset = field.offset + field.total_size();
  }
  EXPECT_EQ(offset, GetParam().record_length);
  EXPECT_EQ(file().record_length, GetParam().record_length);
}

TEST_P(DeclarationTest, CountsMatchTheFileTables) {
  EXPECT_EQ(file().fields.size(), static_cast<size_t>(GetParam().fields));
  EXPECT_EQ(file().keys.size(), static_cast<size_t>(GetParam().keys));
  int dates = 0;
  int times = 0;
  for (const runtime::FieldDeclaration& field : file().fields) {
    if (field.meaning == FieldMeaning::Plain) continue;
    EXPECT_EQ(field.type, runtime::FieldType::Long) << field.label;
    (field.meaning == FieldMeaning::Date ? dates : times)++;
  }
  EXPECT_EQ(dates, GetParam().dates);
  EXPECT_EQ(times, GetParam().times);
}

TEST_P(DeclarationTest, KeysAreBuiltFromFieldsOfTheFile) {
  for (const runtime::KeyDeclaration& key : file().keys) {
    SCOPED_TRACE(key.label);
    EXPECT_TRUE(key.no_case());
    EXPECT_EQ(key.components.empty(), key.dynamic());
    EXPECT_LE(key.auto_increment, static_cast<int>(key.components.size()));
    std::set<int> seen;
    for (const runtime::KeyComponent& component : key.components) {
      const runtime::FieldDeclaration* field = file().field(component.field);
      ASSERT_NE(field, nullptr) << component.field;
      EXPECT_EQ(field->count, 1) << field->label;
      EXPECT_TRUE(seen.insert(component.field).second) << field->label << " twice";
    }
  }
}

TEST_P(DeclarationTest, CheckFindsNothingWrong) { EXPECT_EQ(file().Check(), ""); }

TEST_P(DeclarationTest, LabelsCarryThePrefix) {
  const std::string field_prefix = std::string(GetParam().prefix) + ":";
  const std::string key_prefix = field_prefix + "KEY:";
  for (const runtime::FieldDeclaration& field : file().fields) {
    EXPECT_EQ(field.label.rfind(field_prefix, 0), 0u) << field.label;
    EXPECT_GT(field.label.size(), field_prefix.size()) << field.label;
  }
  for (const runtime::KeyDeclaration& key : file().keys) {
    EXPECT_EQ(key.label.rfind(key_prefix, 0), 0u) << key.label;
    EXPECT_FALSE(key.description.empty()) << key.label;
  }
}

TEST_P(DeclarationTest, FileSettingsAreThoseOfEveryPayrollFile) {
  EXPECT_EQ(file().label, GetParam().label);
  EXPECT_EQ(file().prefix, GetParam().prefix);
  EXPECT_EQ(file().name, GetParam().name);
  EXPECT_EQ(file().driver, "ISAM");
  EXPECT_EQ(file().create, runtime::CreateFlag::WhenMissing);
  EXPECT_TRUE(file().per_thread);
  EXPECT_EQ(&file(), &GetParam().declaration());
}

INSTANTIATE_TEST_SUITE_P(Files, DeclarationTest, testing::ValuesIn(kFiles),
                         [](const testing::TestParamInfo<ExpectedFile>& info) {
                           return std::string(info.param.label);
                         });

TEST(DictionaryTest, ListsEveryFileOnceInDictionaryOrder) {
  const std::vector<std::string> order = {"Empresa",        "Contas_Integracao_Contabil",
                                          "RefVlrMensais",  "ACFuncionarios",
                                          "Movimento",      "Dependentes",
                                          "DepSuspSF",      "DepVacinacao",
                                          "Funcionarios",   "Filiais",
                                          "RefMedCta",      "RefTotalMedia",
                                          "AltContratuais", "MovFuncionarios"};
  std::vector<std::string> labels;
  std::set<const runtime::NameVariable*> names;
  for (const FileDeclaration* file : AllFileDeclarations()) {
    labels.push_back(file->label);
    names.insert(file->name);
  }
  EXPECT_EQ(labels, order);
  EXPECT_EQ(names.size(), order.size());
  EXPECT_EQ(names.count(nullptr), 0u);
}

TEST(DictionaryTest, FindsAFileByLabelInAnyLetterCase) {
  EXPECT_EQ(FindFileDeclaration("Funcionarios"), &FuncionariosDeclaration());
  EXPECT_EQ(FindFileDeclaration("contas_integracao_contabil"),
            &Contas_Integracao_ContabilDeclaration());
  EXPECT_EQ(FindFileDeclaration("DEPSUSPSF"), &DepSuspSFDeclaration());
  EXPECT_EQ(FindFileDeclaration("FUN"), nullptr);
  EXPECT_EQ(FindFileDeclaration("Funcionarios "), nullptr);
  EXPECT_EQ(FindFileDeclaration(""), nullptr);
}

// The key attributes that set keys apart, listed across all files: a slip in any table shows up
// as a key too many or too few here.
std::vector<std::string> KeysWhere(bool (*wanted)(const runtime::KeyDeclaration&)) {
  std::vector<std::string> labels;
  for (const FileDeclaration* file : AllFileDeclarations()) {
    for (const runtime::KeyDeclaration& key : file->keys) {
      if (wanted(key)) labels.push_back(key.label);
    }
  }
  std::sort(labels.begin(), labels.end());
  return labels;
}

TEST(DictionaryTest, KeyAttributesMatchTheTables) {
  EXPECT_EQ(
      KeysWhere([](const runtime::KeyDeclaration& k) { return k.primary(); }),
      (std::vector<std::string>{"ACFUN:KEY:CODIGO", "CIC:KEY:CODIGO_EMPRESA_REFERENCIA",
                                "DEP:KEY:CODIGO", "DSSF:KEY:CODIGO", "DVACI:KEY:CODIGO",
                                "EMP:KEY:CODIGO", "FILIAIS:KEY:CODIGOMATRIZFILIAL",
                                "FUN:KEY:CODIGO", "MOVFOLHA:KEY:MESTPGTOFUNCIONARIO",
                                "MOVFUNC:KEY:FUNCCLANC", "REFMEDCTA:KEY:FUNCLANCQMM",
                                "REFTOTMED:KEY:FUNCLANCCOMPQMM", "REFVLRMEN:KEY:FUNCLANCCTA"}));
  EXPECT_EQ(KeysWhere([](const runtime::KeyDeclaration& k) { return k.unique() != k.primary(); }),
            (std::vector<std::string>{"FILIAIS:KEY:CODIGOFILIAL"}));
  EXPECT_EQ(KeysWhere([](const runtime::KeyDeclaration& k) { return k.exclude_empty(); }),
            (std::vector<std::string>{
                "FUN:KEY:ADMISSAO", "MOVFOLHA:KEY:FUNCCONTMES", "MOVFOLHA:KEY:FUNCMESTIPOORDEM",
                "MOVFOLHA:KEY:FUNCMESTIPOPGTO", "MOVFOLHA:KEY:MOVIMENTACAO"}));
  EXPECT_EQ(KeysWhere([](const runtime::KeyDeclaration& k) { return k.dynamic(); }),
            (std::vector<std::string>{"EMP:KEY:CUSTOM", "FUN:KEY:CUSTOM"}));
  EXPECT_EQ(KeysWhere([](const runtime::KeyDeclaration& k) { return !k.external_name.empty(); }),
            (std::vector<std::string>{"MOVFOLHA:KEY:FUNCCONTADTAPAGTO"}));
  EXPECT_EQ(MovimentoDeclaration().keys[MOVFOLHA.KEY.FUNCCONTADTAPAGTO].external_name,
            "CLancamento");
}

TEST(DictionaryTest, AutoIncrementAndDescendingComponentsMatchTheTables) {
  std::vector<std::string> numbered;
  std::vector<std::string> descending;
  for (const FileDeclaration* file : AllFileDeclarations()) {
    for (const runtime::KeyDeclaration& key : file->keys) {
      if (key.auto_increment != 0) {
        numbered.push_back(key.label + " " + std::to_string(key.auto_increment));
      }
      for (const runtime::KeyComponent& component : key.components) {
        if (component.order == KeyOrder::Descending) {
          descending.push_back(key.label + " " + file->field(component.field)->label);
        }
      }
    }
  }
  std::sort(numbered.begin(), numbered.end());
  std::sort(descending.begin(), descending.end());
  EXPECT_EQ(numbered,
            (std::vector<std::string>{"DEP:KEY:CODIGO 2", "DVACI:KEY:CODIGO 4", "EMP:KEY:CODIGO 1",
                                      "FUN:KEY:CODIGO 1", "MOVFUNC:KEY:FUNCCLANC 2"}));
  EXPECT_EQ(descending, (std::vector<std::string>{
                            "ACFUN:KEY:CODIGO ACFUN:DATA", "DSSF:KEY:CODIGO DSSF:DATAINICIO",
                            "REFTOTMED:KEY:FUNCLANCCOMPVALOR REFTOTMED:VALORTOTAL"}));
}

// The named numbers point at the fields and keys whose labels they spell.
TEST(DictionaryTest, NamedNumbersSpellTheirLabels) {
  struct Named {
    const FileDeclaration& (*declaration)();
    int number;
    const char* label;
  };
  const Named fields[] = {
      {FuncionariosDeclaration, FUN.CODIGO, "FUN:CODIGO"},
      {FuncionariosDeclaration, FUN.PCTCAPTOTAL, "FUN:PCTCAPTOTAL"},
      {FuncionariosDeclaration, FUN.CTPS.UF, "FUN:CTPS:UF"},
      {FuncionariosDeclaration, FUN.PPP.CATDATA, "FUN:PPP:CATDATA"},
      {FuncionariosDeclaration, FUN.PPP.RESPONSAVEISOBSERVACOES, "FUN:PPP:RESPONSAVEISOBSERVACOES"},
      {FuncionariosDeclaration, FUN.CAGEDENVIADO, "FUN:CAGEDENVIADO"},
      {EmpresaDeclaration, EMP.CGC, "EMP:CGC"},
      {EmpresaDeclaration, EMP.FPAS, "EMP:FPAS"},
      {EmpresaDeclaration, EMP.FPAS.SALEDUCACAO, "EMP:FPAS:SALEDUCACAO"},
      {EmpresaDeclaration, EMP.FPAS.SESCOOP, "EMP:FPAS:SESCOOP"},
      {EmpresaDeclaration, EMP.BANCOCONVENIO, "EMP:BANCOCONVENIO"},
      {MovimentoDeclaration, MOVFOLHA.VALOR, "MOVFOLHA:VALOR"},
      {Contas_Integracao_ContabilDeclaration, CIC.VLRIMPBRUT, "CIC:VLRIMPBRUT"},
      {RefVlrMensaisDeclaration, REFVLRMEN.INCLUIMANUAL, "REFVLRMEN:INCLUIMANUAL"},
  };
  for (const Named& named : fields) {
    const runtime::FieldDeclaration* field = named.declaration().field(named.number);
    ASSERT_NE(field, nullptr) << named.label;
    EXPECT_EQ(field->label, named.label);
  }
  const Named keys[] = {
      {FuncionariosDeclaration, FUN.KEY.CODIGO, "FUN:KEY:CODIGO"},
      {FuncionariosDeclaration, FUN.KEY.ADMISSAO, "FUN:KEY:ADMISSAO"},
      {EmpresaDeclaration, EMP.KEY.INSCESTADUAL, "EMP:KEY:INSCESTADUAL"},
      {MovimentoDeclaration, MOVFOLHA.KEY.FUNCMESTIPOPGTO, "MOVFOLHA:KEY:FUNCMESTIPOPGTO"},
      {MovimentoDeclaration, MOVFOLHA.KEY.CLANC, "MOVFOLHA:KEY:CLANC"},
      {MovFuncionariosDeclaration, MOVFUNC.KEY.FUNCCLANC, "MOVFUNC:KEY:FUNCCLANC"},
  };
  for (const Named& named : keys) {
    const std::vector<runtime::KeyDeclaration>& declared = named.declaration().keys;
    ASSERT_LT(named.number, static_cast<int>(declared.size())) << named.label;
    EXPECT_EQ(declared[named.number].label, named.label);
  }
  static_assert(EMP.FPAS == 106 && FUN.KEY.CODIGO == 0, "named numbers are constants");
}

// Spot checks of layouts that the export reads and of the less common field forms.
TEST(DictionaryTest, SampledFieldsHaveTheirTypesAndSizes) {
  using runtime::FieldType;
  struct Sample {
    const FileDeclaration& (*declaration)();
    const char* label;
    FieldType type;
    int offset, size, places, count;
    FieldMeaning meaning;
  };
  const Sample samples[] = {
      {FuncionariosDeclaration, "FUN:NOME", FieldType::String, 4, 70, 0, 1, FieldMeaning::Plain},
      {FuncionariosDeclaration, "FUN:CPF", FieldType::String, 201, 11, 0, 1, FieldMeaning::Plain},
      {FuncionariosDeclaration, "FUN:CATEGORIA", FieldType::Byte, 354, 1, 0, 1,
       FieldMeaning::Plain},
      {FuncionariosDeclaration, "FUN:ADMISSAO", FieldType::Long, 226, 4, 0, 1, FieldMeaning::Date},
      {FuncionariosDeclaration, "FUN:PCTCAPTOTAL", FieldType::Decimal, 814, 4, 4, 1,
       FieldMeaning::Plain},
      {FuncionariosDeclaration, "FUN:PPP:PROFISSIOGRAFIADESCRICAO", FieldType::String, 1339, 255, 0,
       4, FieldMeaning::Plain},
      {FuncionariosDeclaration, "FUN:PPP:REGAMBIENTAISDATAFINAL", FieldType::Long, 2815, 4, 0, 3,
       FieldMeaning::Date},
      {FuncionariosDeclaration, "FUN:HOMOLOGACAOHORA", FieldType::Long, 5074, 4, 0, 1,
       FieldMeaning::Time},
      {FuncionariosDeclaration, "FUN:DDD", FieldType::Short, 342, 2, 0, 1, FieldMeaning::Plain},
      {EmpresaDeclaration, "EMP:CODIGO", FieldType::UShort, 95, 2, 0, 1, FieldMeaning::Plain},
      {EmpresaDeclaration, "EMP:HORAEXCLUSAO", FieldType::Long, 13123, 4, 0, 1, FieldMeaning::Time},
      {EmpresaDeclaration, "EMP:CONCOREMPR", FieldType::Decimal, 241, 7, 0, 1, FieldMeaning::Plain},
      {MovimentoDeclaration, "MOVFOLHA:MESANOCOMPETENCIA", FieldType::Long, 0, 4, 0, 1,
       FieldMeaning::Date},
      {MovimentoDeclaration, "MOVFOLHA:CODIGOFUNCIONARIO", FieldType::ULong, 9, 4, 0, 1,
       FieldMeaning::Plain},
      {MovimentoDeclaration, "MOVFOLHA:VALOR", FieldType::Decimal, 26, 6, 2, 1,
       FieldMeaning::Plain},
      {ACFuncionariosDeclaration, "ACFUN:VALOR", FieldType::Decimal, 9, 6, 4, 1,
       FieldMeaning::Plain},
  };
  for (const Sample& sample : samples) {
    const runtime::FieldDeclaration* field = sample.declaration().FindField(sample.label);
    ASSERT_NE(field, nullptr) << sample.label;
    EXPECT_EQ(field->type, sample.type) << sample.label;
    EXPECT_EQ(field->offset, sample.offset) << sample.label;
    EXPECT_EQ(field->size, sample.size) << sample.label;
    EXPECT_EQ(field->places, sample.places) << sample.label;
    EXPECT_EQ(field->count, sample.count) << sample.label;
    EXPECT_EQ(field->meaning, sample.meaning) << sample.label;
  }
}

TEST(DictionaryTest, KeyDescriptionsAreWindows1252Text) {
  EXPECT_EQ(EmpresaDeclaration().keys[EMP.KEY.CODIGO].description,
            "C\xF3"
            "digo");
  EXPECT_EQ(RefMedCtaDeclaration().keys[REFMEDCTA.KEY.FUNCLANCQMM].description,
            "Funcionario+Lan\xE7"
            "amento+Qtde M\xEAs M\xE9"
            "dia");
  // Inner blanks are part of the text.
  EXPECT_EQ(MovimentoDeclaration().keys[MOVFOLHA.KEY.MESCODFUN].description,
            "MesAnoCompetencia + Funcionario  +  Movimento + Conta");
}

}  // namespace
}  // namespace dictionary
