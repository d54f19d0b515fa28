#include "dictionary/access_classes.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "dictionary/dictionary_test_fixture.h"
#include "framework/files/relation_manager.h"
#include "runtime/platform/thread_context.h"
#include "runtime/records/thread_files.h"

namespace dictionary::testing {
namespace {

// The value of a per-thread reference, for the comparisons: gtest would bind its reference
// parameters to the thread-local variable itself, which UBSan's null check mistakes for a null
// reference in the sanitizer build.
template <class T>
T* Now(T* reference) {
  return reference;
}

// The four references of every file, in the dictionary's order: Access, Relate, and the owning
// _Hide:Access and _Hide:Relate.
std::vector<std::array<const void*, 4>> AllReferences() {
  return {
      {Access::Empresa, Relate::Empresa, Hide_Access_Empresa_, Hide_Relate_Empresa_},
      {Access::Contas_Integracao_Contabil, Relate::Contas_Integracao_Contabil,
       Hide_Access_Contas_Integracao_Contabil_, Hide_Relate_Contas_Integracao_Contabil_},
      {Access::RefVlrMensais, Relate::RefVlrMensais, Hide_Access_RefVlrMensais_,
       Hide_Relate_RefVlrMensais_},
      {Access::ACFuncionarios, Relate::ACFuncionarios, Hide_Access_ACFuncionarios_,
       Hide_Relate_ACFuncionarios_},
      {Access::Movimento, Relate::Movimento, Hide_Access_Movimento_, Hide_Relate_Movimento_},
      {Access::Dependentes, Relate::Dependentes, Hide_Access_Dependentes_,
       Hide_Relate_Dependentes_},
      {Access::DepSuspSF, Relate::DepSuspSF, Hide_Access_DepSuspSF_, Hide_Relate_DepSuspSF_},
      {Access::DepVacinacao, Relate::DepVacinacao, Hide_Access_DepVacinacao_,
       Hide_Relate_DepVacinacao_},
      {Access::Funcionarios, Relate::Funcionarios, Hide_Access_Funcionarios_,
       Hide_Relate_Funcionarios_},
      {Access::Filiais, Relate::Filiais, Hide_Access_Filiais_, Hide_Relate_Filiais_},
      {Access::RefMedCta, Relate::RefMedCta, Hide_Access_RefMedCta_, Hide_Relate_RefMedCta_},
      {Access::RefTotalMedia, Relate::RefTotalMedia, Hide_Access_RefTotalMedia_,
       Hide_Relate_RefTotalMedia_},
      {Access::AltContratuais, Relate::AltContratuais, Hide_Access_AltContratuais_,
       Hide_Relate_AltContratuais_},
      {Access::MovFuncionarios, Relate::MovFuncionarios, Hide_Access_MovFuncionarios_,
       Hide_Relate_MovFuncionarios_},
  };
}

TEST_F(DictionaryTest, ReferencesFollowCreationInitialisationAndKill) {
  for (const auto& refs : AllReferences()) {
    for (const void* ref : refs) EXPECT_EQ(ref, nullptr);
  }

  DctInit();
  for (const auto& refs : AllReferences()) {
    EXPECT_EQ(refs[0], nullptr);  // Access: set only by the access object's Init
    EXPECT_NE(refs[1], nullptr);
    EXPECT_NE(refs[2], nullptr);
    EXPECT_EQ(refs[1], refs[3]);
  }
  EXPECT_EQ(Relate::Funcionarios->Relations, nullptr);  // constructed, not initialised

  FilesInit();
  for (const auto& refs : AllReferences()) {
    EXPECT_EQ(refs[0], refs[2]);
    EXPECT_EQ(refs[1], refs[3]);
  }
  // Registered with the thread's files manager, nothing opened, no key added yet.
  framework::FilesManager& files = framework::ThreadFilesManager();
  runtime::RecordFile& employees = runtime::THREAD_FILE(FuncionariosDeclaration());
  EXPECT_EQ(files.GetFileMapping(framework::FilesManager::GetFileID(&employees)),
            Now(Access::Funcionarios));
  EXPECT_EQ(files.GetRelationFileMapping(framework::FilesManager::GetFileID(&employees)),
            Now(Relate::Funcionarios));
  EXPECT_EQ(Relate::Funcionarios->Me, Now(Access::Funcionarios));
  EXPECT_EQ(Relate::Funcionarios->UseLogout, 1);
  EXPECT_FALSE(employees.IsOpen());
  EXPECT_EQ(Access::Funcionarios->Keys->Records(), 0);
  EXPECT_EQ(Access::Funcionarios->FileNameValue, "Funcionarios");
  EXPECT_EQ(Access::Contas_Integracao_Contabil->FileNameValue, "Contas_Integracao_Contabil");
  EXPECT_EQ(Access::Empresa->Errors, &errors_);

  DctKill();
  for (const auto& refs : AllReferences()) {
    for (const void* ref : refs) EXPECT_EQ(ref, nullptr);
  }
  EXPECT_EQ(files.GetFileMapping(framework::FilesManager::GetFileID(&employees)), nullptr);
  EXPECT_EQ(files.GetRelationFileMapping(framework::FilesManager::GetFileID(&employees)), nullptr);
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(DictionaryTest, KeysAreAddedOnceWhateverTheFirstUse) {
  StartDictionary();
  ASSERT_EQ(AddEmployeeTree(adder_, 7), 0);
  adder_.Close();

  // A read first: the initialising use runs before it and adds every key, in key order.
  Access::Funcionarios->File->SetInteger(FUN.CODIGO, 7);
  EXPECT_EQ(Access::Funcionarios->TryFetch(FUN.KEY.CODIGO), 0);
  const auto& declaration = FuncionariosDeclaration();
  ASSERT_EQ(Access::Funcionarios->Keys->Records(), static_cast<int64_t>(declaration.keys.size()));
  for (size_t k = 0; k < declaration.keys.size(); ++k) {
    EXPECT_EQ(Access::Funcionarios->Keys->row(static_cast<int64_t>(k) + 1).Key,
              static_cast<int>(k));
  }
  EXPECT_EQ(Access::Funcionarios->HasAutoInc, 1);  // FUN:KEY:CODIGO numbers its component

  // Later uses of every kind add nothing.
  Access::Funcionarios->UseFile(5);
  Access::Funcionarios->UseFile(3);
  EXPECT_EQ(Access::Funcionarios->Open(), 0);
  EXPECT_EQ(Access::Funcionarios->Close(), 0);
  EXPECT_EQ(Access::Funcionarios->Keys->Records(), static_cast<int64_t>(declaration.keys.size()));

  // A file whose first use is the initialising one alone.
  Access::Dependentes->UseFile(5);
  EXPECT_EQ(Access::Dependentes->Keys->Records(),
            static_cast<int64_t>(DependentesDeclaration().keys.size()));
  EXPECT_EQ(Access::Dependentes->Keys->row(1).AutoInc, 2);  // DEP:KEY:CODIGO numbers component 2
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(DictionaryTest, RelationsAreAddedOnTheFirstWalkInTheStatedOrder) {
  StartDictionary();
  EXPECT_EQ(Relate::Dependentes->Relations->Records(), 0);
  Relate::Dependentes->DeferedRelations();
  const framework::RelationQueue& relations = *Relate::Dependentes->Relations;
  ASSERT_EQ(relations.Records(), 3);
  EXPECT_EQ(relations.row(1).File, Now(Relate::DepVacinacao));
  EXPECT_EQ(relations.row(1).HisKey, DVACI.KEY.CODIGO);
  EXPECT_EQ(relations.row(1).UpdateMode, framework::kRiCascade);
  EXPECT_EQ(relations.row(1).DeleteMode, framework::kRiCascade);
  EXPECT_EQ(relations.row(1).Fields->List->Records(), 2);
  EXPECT_EQ(relations.row(2).File, Now(Relate::DepSuspSF));
  EXPECT_EQ(relations.row(3).File, Now(Relate::Funcionarios));  // the reverse relation comes last
  EXPECT_EQ(relations.row(3).HisKey, framework::kNoHisKey);
  EXPECT_EQ(relations.row(3).Fields, nullptr);

  Relate::RefTotalMedia->DeferedRelations();
  ASSERT_EQ(Relate::RefTotalMedia->Relations->Records(), 2);
  EXPECT_EQ(Relate::RefTotalMedia->Relations->row(1).File, Now(Relate::MovFuncionarios));  // first
  EXPECT_EQ(Relate::RefTotalMedia->Relations->row(2).Fields->List->Records(), 6);

  Relate::Movimento->DeferedRelations();
  EXPECT_EQ(Relate::Movimento->Relations->Records(), 0);
}

// Each thread gets its own objects over its own file instances, and its own cascade counter.
TEST_F(DictionaryTest, ASecondThreadHasItsOwnObjectsAndCascadeCounter) {
  StartDictionary();
  const void* main_access = Access::Funcionarios;
  const int32_t main_epoc = framework::EPOC();
  const void* other_access = nullptr;
  const void* other_file = nullptr;
  int32_t other_epoc_before = -1, other_epoc_after = -1;
  bool killed = false;
  std::thread other([&] {
    {
      Dictionary dictionary;  // on a thread other than the first it sets itself up
      other_access = Access::Funcionarios;
      other_file = Access::Funcionarios != nullptr ? Access::Funcionarios->File : nullptr;
      other_epoc_before = framework::EPOC();
      Relate::Funcionarios->SetQuickScan(1, 3);  // a propagation is one cascade
      other_epoc_after = framework::EPOC();
    }
    killed = Access::Funcionarios == nullptr && Relate::Funcionarios == nullptr;
    framework::DetachFilesManager();
    runtime::DestroyThreadFiles();
    runtime::DetachThread();
  });
  other.join();
  EXPECT_NE(other_access, nullptr);
  EXPECT_NE(other_access, main_access);
  EXPECT_NE(other_file, Now(Access::Funcionarios)->File);
  EXPECT_EQ(other_epoc_before, 0);
  EXPECT_EQ(other_epoc_after, 1);
  EXPECT_TRUE(killed);
  EXPECT_EQ(framework::EPOC(), main_epoc);
  EXPECT_EQ(Now(Access::Funcionarios), main_access);
}

}  // namespace
}  // namespace dictionary::testing
