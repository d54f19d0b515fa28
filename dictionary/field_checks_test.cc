// Every row of the five check tables, walked as data: the codes of a list pass, values around them
// fail with the row's message; ranges at their edges; primed records pass their own checks.

#include "dictionary/field_checks.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "dictionary/dictionary_test_fixture.h"
#include "runtime/values/text.h"

namespace dictionary::testing {
namespace {

struct CheckedFile {
  std::span<const FieldCheck> (*checks)();
  const runtime::FileDeclaration& (*declaration)();
  framework::FileManager* (*access)();
};

const CheckedFile kCheckedFiles[] = {
    {FuncionariosChecks, FuncionariosDeclaration,
     []() -> framework::FileManager* { return Access::Funcionarios; }},
    {EmpresaChecks, EmpresaDeclaration,
     []() -> framework::FileManager* { return Access::Empresa; }},
    {DependentesChecks, DependentesDeclaration,
     []() -> framework::FileManager* { return Access::Dependentes; }},
    {MovimentoChecks, MovimentoDeclaration,
     []() -> framework::FileManager* { return Access::Movimento; }},
    {MovFuncionariosChecks, MovFuncionariosDeclaration,
     []() -> framework::FileManager* { return Access::MovFuncionarios; }},
};

// The codes of a list test: "]1[]10[" gives {1, 10}.
std::set<int64_t> Codes(std::string_view list) {
  std::set<int64_t> codes;
  for (size_t at = list.find(']'); at != std::string_view::npos; at = list.find(']', at + 1)) {
    codes.insert(std::stoll(std::string(list.substr(at + 1, list.find('[', at) - at - 1))));
  }
  return codes;
}

// The message the error manager shows for a failed check, as the recorder keeps it (UTF-8).
std::string ExpectedMessage(const FieldCheck& check) {
  const char* form = check.error == 17   ? "O valor do %s deve estar na lista: %s."
                     : check.error == 18 ? "O valor do %s deve estar entre %s."
                                         : "O valor do %s deve ser menor que %s.";
  const std::string field = runtime::Cp1252ToUtf8(check.prompt);
  // The error manager keeps at most 254 characters of a message text: the longest lists are cut.
  const std::string message = runtime::Cp1252ToUtf8(check.message.substr(0, 254));
  std::string text(form);
  text.replace(text.find("%s"), 2, field);
  text.replace(text.find("%s"), 2, message);
  return text;
}

class FieldChecksTest : public DictionaryTest {
 protected:
  FieldChecksTest() { StartDictionary(); }

  // Validates `value` in field `check.field` of `file`; a failure with HandleErrors must show
  // exactly the row's message.
  void ExpectValue(framework::FileManager& file, const FieldCheck& check, int64_t value,
                   bool passes) {
    file.File->SetInteger(check.field, value);
    const std::string what = std::string(check.label) + " = " + std::to_string(value);
    EXPECT_EQ(file.ValidateFieldServer(check.field, 0), passes ? 0 : framework::kNotify) << what;
    errors_.shown.clear();
    EXPECT_EQ(file.ValidateFieldServer(check.field, 1), passes ? 0 : framework::kNotify) << what;
    if (passes) {
      EXPECT_TRUE(errors_.shown.empty()) << what;
      return;
    }
    ASSERT_EQ(errors_.shown.size(), 1u) << what;
    EXPECT_EQ(errors_.shown[0].text, ExpectedMessage(check)) << what;
  }
};

TEST_F(FieldChecksTest, EveryRowNamesItsOwnFieldOfTheRecord) {
  for (const CheckedFile& checked : kCheckedFiles) {
    for (const FieldCheck& check : checked.checks()) {
      const runtime::FieldDeclaration* field = checked.declaration().field(check.field);
      ASSERT_NE(field, nullptr) << check.label;
      EXPECT_EQ(field->label, check.label) << "field " << check.field;
      EXPECT_EQ(check.error, check.test == FieldTest::kList      ? 17
                             : check.test == FieldTest::kBetween ? 18
                                                                 : 19);
    }
  }
  EXPECT_EQ(FuncionariosChecks().size(), 28u);
  EXPECT_EQ(EmpresaChecks().size(), 36u);
}

TEST_F(FieldChecksTest, ListCodesPassAndTheValuesAroundThemFail) {
  for (const CheckedFile& checked : kCheckedFiles) {
    framework::FileManager& file = *checked.access();
    for (const FieldCheck& check : checked.checks()) {
      if (check.test != FieldTest::kList) continue;
      const std::set<int64_t> codes = Codes(check.list);
      ASSERT_FALSE(codes.empty()) << check.label;
      std::set<int64_t> around = {0, *codes.rbegin() + 1, 100, 255};
      for (int64_t code : codes) around.insert({code - 1, code + 1, code * 10});
      for (int64_t value : around) {
        if (value < 0 || value > 255) continue;  // the checked fields are bytes
        ExpectValue(file, check, value, codes.count(value) != 0);
      }
    }
  }
}

TEST_F(FieldChecksTest, RangesHoldTheirEdges) {
  for (const CheckedFile& checked : kCheckedFiles) {
    framework::FileManager& file = *checked.access();
    for (const FieldCheck& check : checked.checks()) {
      if (check.test == FieldTest::kAtMost) {
        ExpectValue(file, check, 0, true);
        ExpectValue(file, check, check.high, true);
        ExpectValue(file, check, check.high + 1, false);
      } else if (check.test == FieldTest::kBetween) {
        ExpectValue(file, check, check.low - 1, false);
        ExpectValue(file, check, check.low, true);
        ExpectValue(file, check, check.high, true);
        ExpectValue(file, check, check.high + 1, false);
      }
    }
  }
}

TEST_F(FieldChecksTest, MessagesReadAsTheUserSeesThem) {
  Access::Funcionarios->File->SetInteger(FUN.SEXO, 3);
  EXPECT_EQ(Access::Funcionarios->ValidateFieldServer(FUN.SEXO, 1), framework::kNotify);
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].text,
            "O valor do Sexo do funcionário deve estar na lista: '1-Masculino','2-Feminino'.");
  Access::Funcionarios->File->SetInteger(FUN.QTDHORASSEM, 45);
  EXPECT_EQ(Access::Funcionarios->ValidateFieldServer(FUN.QTDHORASSEM, 1), framework::kNotify);
  ASSERT_EQ(errors_.shown.size(), 2u);
  EXPECT_EQ(errors_.shown[1].text,
            "O valor do Quantidade de horas trabalhadas por semana deve ser menor que 44.");
  Access::Empresa->File->SetInteger(EMP.MESDATABASE, 13);
  EXPECT_EQ(Access::Empresa->ValidateFieldServer(EMP.MESDATABASE, 1), framework::kNotify);
  ASSERT_EQ(errors_.shown.size(), 3u);
  EXPECT_EQ(errors_.shown[2].text, "O valor do Mês data base deve estar entre 1 .. 12.");
}

TEST_F(FieldChecksTest, AFieldOutsideTheTableKeepsTheBaseResultAndTheFieldName) {
  errors_.SetField("Campo anterior");
  Access::Funcionarios->File->SetInteger(FUN.CODIGO, 0);
  EXPECT_EQ(Access::Funcionarios->ValidateFieldServer(FUN.CODIGO, 1), 0);
  EXPECT_TRUE(errors_.shown.empty());
  errors_.ThrowMessage(17, "x");
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].text, "O valor do Campo anterior deve estar na lista: x.");
}

TEST_F(FieldChecksTest, PrimedRecordsPassTheirOwnChecks) {
  for (framework::FileManager* file :
       std::initializer_list<framework::FileManager*>{Access::Funcionarios, Access::Empresa}) {
    file->File->Clear(1);  // every field at its highest, so that priming must set the defaults
    ASSERT_EQ(file->PrimeRecord(1), 0);
  }
  EXPECT_EQ(Access::Funcionarios->File->GetInteger(FUN.SEXO), 1);
  EXPECT_EQ(Access::Funcionarios->File->GetInteger(FUN.DEPOSMESANTERIOR), 1);
  EXPECT_EQ(Access::Empresa->File->GetInteger(EMP.DIGITOSCGC), 14);
  EXPECT_EQ(Access::Empresa->File->GetInteger(EMP.NFP_INTEGRACAO), 0);
  const std::set<int> primed_funcionarios = {FUN.ESTADOCIVIL, FUN.SEXO, FUN.GRAUINSTRUCAO, FUN.RACA,
                                             FUN.DEPOSMESANTERIOR};
  for (const FieldCheck& check : FuncionariosChecks()) {
    if (primed_funcionarios.count(check.field)) {
      EXPECT_EQ(Access::Funcionarios->ValidateFieldServer(check.field, 0), 0) << check.label;
    }
  }
  const std::set<int> primed_empresa = {EMP.LOTES,         EMP.QUALIFPJ,      EMP.TIPOREGISTRO,
                                        EMP.TIPOAPURACAO,  EMP.TIPOPAGAMENTO, EMP.NFP_DIGITACAO,
                                        EMP.NFP_INTEGRACAO};
  for (const FieldCheck& check : EmpresaChecks()) {
    if (primed_empresa.count(check.field)) {
      EXPECT_EQ(Access::Empresa->ValidateFieldServer(check.field, 0), 0) << check.label;
    }
  }
}

}  // namespace
}  // namespace dictionary::testing
