// The relation tree on real data files: deleting a company or an employee takes its whole subtree,
// renumbering an employee rewrites it, and a failure part-way leaves every file as it was.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "dictionary/access_classes.h"
#include "dictionary/dictionary_test_fixture.h"

namespace dictionary::testing {
namespace {

// A file of an employee's tree and the field that holds the employee's code.
struct EmployeeLink {
  const runtime::FileDeclaration& (*file)();
  int field;
  int64_t (*per_employee)(const EmployeeShape&);
};

const EmployeeLink kEmployeeLinks[] = {
    {FuncionariosDeclaration, FUN.CODIGO, [](const EmployeeShape&) -> int64_t { return 1; }},
    {DependentesDeclaration, DEP.CODIGOFUNCIONARIO,
     [](const EmployeeShape& s) -> int64_t { return s.dependants; }},
    {DepVacinacaoDeclaration, DVACI.CODIGOFUNCIONARIO,
     [](const EmployeeShape& s) -> int64_t { return 2 * s.dependants; }},
    {DepSuspSFDeclaration, DSSF.CODIGOFUNCIONARIO,
     [](const EmployeeShape& s) -> int64_t { return s.dependants; }},
    {MovFuncionariosDeclaration, MOVFUNC.FUNCIONARIO,
     [](const EmployeeShape& s) -> int64_t { return s.events; }},
    {RefTotalMediaDeclaration, REFTOTMED.FUNCIONARIO,
     [](const EmployeeShape& s) -> int64_t { return s.events; }},
    {RefMedCtaDeclaration, REFMEDCTA.FUNCIONARIO,
     [](const EmployeeShape& s) -> int64_t { return 2 * s.events; }},
    {RefVlrMensaisDeclaration, REFVLRMEN.FUNCIONARIO,
     [](const EmployeeShape& s) -> int64_t { return 4 * s.events; }},
    {ACFuncionariosDeclaration, ACFUN.CODIGOFUN,
     [](const EmployeeShape& s) -> int64_t { return s.field_changes; }},
};

class RelationsTest : public DictionaryTest {
 protected:
  RelationsTest() { StartDictionary(); }

  // Reads employee `code` into Access:Funcionarios' buffer.
  void FetchEmployee(uint32_t code) {
    Access::Funcionarios->File->SetInteger(FUN.CODIGO, code);
    ASSERT_EQ(Access::Funcionarios->TryFetch(FUN.KEY.CODIGO), framework::kBenign);
  }
  // Every linked file holds the whole tree of `code` (or nothing of it when `present` is false).
  void ExpectTree(uint32_t code, bool present) {
    for (const EmployeeLink& link : kEmployeeLinks) {
      EXPECT_EQ(RecordsWhere(link.file(), link.field, code),
                present ? link.per_employee(shape_) : 0)
          << link.file().label << " of employee " << code;
    }
  }
  std::map<std::string, std::string> FileBytes() const {
    std::map<std::string, std::string> bytes;
    for (const runtime::FileDeclaration* file : AllFileDeclarations()) {
      bytes[file->label] = testing_support::ReadBytes(std::string(file->name->Get()));
    }
    return bytes;
  }
  // Opened counts of every file's access object.
  std::vector<int32_t> OpenCounts() const {
    return {Access::Funcionarios->GetOpened(),    Access::Dependentes->GetOpened(),
            Access::DepVacinacao->GetOpened(),    Access::DepSuspSF->GetOpened(),
            Access::MovFuncionarios->GetOpened(), Access::RefTotalMedia->GetOpened(),
            Access::RefMedCta->GetOpened(),       Access::RefVlrMensais->GetOpened(),
            Access::ACFuncionarios->GetOpened(),  Access::Movimento->GetOpened()};
  }

  EmployeeShape shape_{3, 3, 2, 2};
};

TEST_F(RelationsTest, DeletingACompanyTakesItsAccountsChangesAndBranches) {
  for (int company : {12, 13})
    ASSERT_EQ(adder_.Add(EmpresaDeclaration(), {{EMP.CODIGO, company}}), 0);
  for (auto [company, reference] : {std::pair{12, 1}, {12, 2}, {13, 1}}) {
    ASSERT_EQ(adder_.Add(Contas_Integracao_ContabilDeclaration(),
                         {{CIC.CODIGO_EMPRESA, company}, {CIC.CODIGO_REFERENCIA, reference}}),
              0);
  }
  for (auto [company, change] : {std::pair{12, 1}, {12, 2}, {13, 1}}) {
    ASSERT_EQ(adder_.Add(AltContratuaisDeclaration(),
                         {{ALTCONT.CODIGO, company}, {ALTCONT.CODALT, change}}),
              0);
  }
  // Company 12 heads two branches and is itself a branch of 13: only the first two go with it.
  for (auto [head, branch] : {std::pair{12, 30}, {12, 31}, {13, 12}}) {
    ASSERT_EQ(adder_.Add(FiliaisDeclaration(), {{FILIAIS.MATRIZ, head}, {FILIAIS.FILIAL, branch}}),
              0);
  }
  adder_.Close();

  Access::Empresa->File->SetInteger(EMP.CODIGO, 12);
  ASSERT_EQ(Access::Empresa->TryFetch(EMP.KEY.CODIGO), framework::kBenign);
  EXPECT_EQ(Relate::Empresa->Delete(0), framework::kBenign);

  EXPECT_EQ(RecordsWhere(EmpresaDeclaration(), EMP.CODIGO, 12), 0);
  EXPECT_EQ(Records(EmpresaDeclaration()), 1);
  EXPECT_EQ(RecordsWhere(Contas_Integracao_ContabilDeclaration(), CIC.CODIGO_EMPRESA, 12), 0);
  EXPECT_EQ(Records(Contas_Integracao_ContabilDeclaration()), 1);
  EXPECT_EQ(RecordsWhere(AltContratuaisDeclaration(), ALTCONT.CODIGO, 12), 0);
  EXPECT_EQ(Records(AltContratuaisDeclaration()), 1);
  EXPECT_EQ(RecordsWhere(FiliaisDeclaration(), FILIAIS.MATRIZ, 12), 0);
  EXPECT_EQ(RecordsWhere(FiliaisDeclaration(), FILIAIS.FILIAL, 12), 1);
  EXPECT_TRUE(errors_.shown.empty());
  EXPECT_FALSE(runtime::TransactionRunning());
}

TEST_F(RelationsTest, DeletingAnEmployeeTakesItsWholeTreeButNotItsPayrollEntries) {
  ASSERT_EQ(AddEmployeeTree(adder_, 7, shape_), 0);
  ASSERT_EQ(AddEmployeeTree(adder_, 8, shape_), 0);
  adder_.Close();

  FetchEmployee(7);
  const std::vector<int32_t> opened = OpenCounts();
  EXPECT_EQ(Relate::Funcionarios->Delete(0), framework::kBenign);

  ExpectTree(7, false);
  ExpectTree(8, true);
  EXPECT_EQ(RecordsWhere(MovimentoDeclaration(), MOVFOLHA.CODIGOFUNCIONARIO, 7),
            shape_.payroll_entries);
  EXPECT_EQ(OpenCounts(), opened);  // the cascade closed what it opened
  EXPECT_TRUE(errors_.shown.empty());
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(RelationsTest, DeleteAsksFirstAndCancelLeavesEverything) {
  ASSERT_EQ(AddEmployeeTree(adder_, 7, shape_), 0);
  adder_.Close();
  FetchEmployee(7);
  errors_.answers = {4};  // No
  EXPECT_EQ(Relate::Funcionarios->Delete(1), framework::kCancel);
  ASSERT_EQ(errors_.shown.size(), 1u);
  ExpectTree(7, true);
}

TEST_F(RelationsTest, RenumberingAnEmployeeRewritesItsTreeDownToTheMonthlyValues) {
  ASSERT_EQ(AddEmployeeTree(adder_, 7, shape_), 0);
  ASSERT_EQ(AddEmployeeTree(adder_, 8, shape_), 0);
  adder_.Close();

  // Upwards and downwards, so that the rewritten children move both ways in their key order.
  for (auto [from, to] : {std::pair{7u, 9u}, {8u, 3u}}) {
    FetchEmployee(from);
    Relate::Funcionarios->Save();
    Access::Funcionarios->File->SetInteger(FUN.CODIGO, to);
    EXPECT_EQ(Relate::Funcionarios->Update(0), framework::kBenign);
    ExpectTree(from, false);
    ExpectTree(to, true);
    EXPECT_EQ(RecordsWhere(MovimentoDeclaration(), MOVFOLHA.CODIGOFUNCIONARIO, from),
              shape_.payroll_entries);
  }
  EXPECT_TRUE(errors_.shown.empty());
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(RelationsTest, AnUpdateThatLeavesTheLinkingFieldsAloneTouchesNoChild) {
  ASSERT_EQ(AddEmployeeTree(adder_, 7, shape_), 0);
  adder_.Close();
  const auto before = FileBytes();
  FetchEmployee(7);
  Relate::Funcionarios->Save();
  Access::Funcionarios->File->SetText(FUN.NOME, "OUTRO NOME");
  EXPECT_EQ(Relate::Funcionarios->Update(0), framework::kBenign);
  const auto after = FileBytes();
  for (const auto& [label, bytes] : before) {
    if (label != "Funcionarios") {
      EXPECT_TRUE(after.at(label) == bytes) << label;
    }
  }
  EXPECT_FALSE(after.at("Funcionarios") == before.at("Funcionarios"));
}

// A vaccination of a dependant of the new number is there already: the cascade fails three levels
// down, after the employee, its data changes and events were rewritten. Everything goes back.
TEST_F(RelationsTest, AFailureDeepInTheCascadeLeavesEveryFileAsItWas) {
  ASSERT_EQ(AddEmployeeTree(adder_, 7, shape_), 0);
  ASSERT_EQ(adder_.Add(DepVacinacaoDeclaration(), {{DVACI.CODIGOFUNCIONARIO, 9},
                                                   {DVACI.CODIGODEPENDENTE, 2},
                                                   {DVACI.CODIGOVACINA, 5},
                                                   {DVACI.NUMERODOSE, 2}}),
            0);
  adder_.Close();
  const auto before = FileBytes();

  FetchEmployee(7);
  const std::vector<int32_t> opened = OpenCounts();
  Relate::Funcionarios->Save();
  Access::Funcionarios->File->SetInteger(FUN.CODIGO, 9);
  EXPECT_NE(Relate::Funcionarios->Update(0), framework::kBenign);

  EXPECT_FALSE(runtime::TransactionRunning());
  EXPECT_EQ(OpenCounts(), opened);
  const auto after = FileBytes();
  for (const auto& [label, bytes] : before) EXPECT_TRUE(after.at(label) == bytes) << label;
  ExpectTree(7, true);
  // The failed write of the vaccination was reported, once.
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_NE(errors_.shown[0].text.find("DepVacinacao"), std::string::npos) << errors_.shown[0].text;

  // The thread's next change goes through: the failure left no transaction behind.
  FetchEmployee(7);
  Relate::Funcionarios->Save();
  Access::Funcionarios->File->SetInteger(FUN.CODIGO, 10);
  EXPECT_EQ(Relate::Funcionarios->Update(0), framework::kBenign);
  ExpectTree(10, true);
}

}  // namespace
}  // namespace dictionary::testing
