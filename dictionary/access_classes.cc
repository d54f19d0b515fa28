// The per-thread references of the fourteen files and the dictionary's start-up and shutdown.

#include "dictionary/access_classes.h"

#include <memory>

#include "runtime/platform/thread_context.h"

namespace dictionary {

namespace Access {
thread_local constinit Hide::Access::Empresa* Empresa = nullptr;
thread_local constinit Hide::Access::Contas_Integracao_Contabil* Contas_Integracao_Contabil =
    nullptr;
thread_local constinit Hide::Access::RefVlrMensais* RefVlrMensais = nullptr;
thread_local constinit Hide::Access::ACFuncionarios* ACFuncionarios = nullptr;
thread_local constinit Hide::Access::Movimento* Movimento = nullptr;
thread_local constinit Hide::Access::Dependentes* Dependentes = nullptr;
thread_local constinit Hide::Access::DepSuspSF* DepSuspSF = nullptr;
thread_local constinit Hide::Access::DepVacinacao* DepVacinacao = nullptr;
thread_local constinit Hide::Access::Funcionarios* Funcionarios = nullptr;
thread_local constinit Hide::Access::Filiais* Filiais = nullptr;
thread_local constinit Hide::Access::RefMedCta* RefMedCta = nullptr;
thread_local constinit Hide::Access::RefTotalMedia* RefTotalMedia = nullptr;
thread_local constinit Hide::Access::AltContratuais* AltContratuais = nullptr;
thread_local constinit Hide::Access::MovFuncionarios* MovFuncionarios = nullptr;
}  // namespace Access
namespace Relate {
thread_local constinit Hide::Relate::Empresa* Empresa = nullptr;
thread_local constinit Hide::Relate::Contas_Integracao_Contabil* Contas_Integracao_Contabil =
    nullptr;
thread_local constinit Hide::Relate::RefVlrMensais* RefVlrMensais = nullptr;
thread_local constinit Hide::Relate::ACFuncionarios* ACFuncionarios = nullptr;
thread_local constinit Hide::Relate::Movimento* Movimento = nullptr;
thread_local constinit Hide::Relate::Dependentes* Dependentes = nullptr;
thread_local constinit Hide::Relate::DepSuspSF* DepSuspSF = nullptr;
thread_local constinit Hide::Relate::DepVacinacao* DepVacinacao = nullptr;
thread_local constinit Hide::Relate::Funcionarios* Funcionarios = nullptr;
thread_local constinit Hide::Relate::Filiais* Filiais = nullptr;
thread_local constinit Hide::Relate::RefMedCta* RefMedCta = nullptr;
thread_local constinit Hide::Relate::RefTotalMedia* RefTotalMedia = nullptr;
thread_local constinit Hide::Relate::AltContratuais* AltContratuais = nullptr;
thread_local constinit Hide::Relate::MovFuncionarios* MovFuncionarios = nullptr;
}  // namespace Relate
thread_local constinit Hide::Access::Empresa* Hide_Access_Empresa_ = nullptr;
thread_local constinit Hide::Relate::Empresa* Hide_Relate_Empresa_ = nullptr;
thread_local constinit Hide::Access::Contas_Integracao_Contabil*
    Hide_Access_Contas_Integracao_Contabil_ = nullptr;
thread_local constinit Hide::Relate::Contas_Integracao_Contabil*
    Hide_Relate_Contas_Integracao_Contabil_ = nullptr;
thread_local constinit Hide::Access::RefVlrMensais* Hide_Access_RefVlrMensais_ = nullptr;
thread_local constinit Hide::Relate::RefVlrMensais* Hide_Relate_RefVlrMensais_ = nullptr;
thread_local constinit Hide::Access::ACFuncionarios* Hide_Access_ACFuncionarios_ = nullptr;
thread_local constinit Hide::Relate::ACFuncionarios* Hide_Relate_ACFuncionarios_ = nullptr;
thread_local constinit Hide::Access::Movimento* Hide_Access_Movimento_ = nullptr;
thread_local constinit Hide::Relate::Movimento* Hide_Relate_Movimento_ = nullptr;
thread_local constinit Hide::Access::Dependentes* Hide_Access_Dependentes_ = nullptr;
thread_local constinit Hide::Relate::Dependentes* Hide_Relate_Dependentes_ = nullptr;
thread_local constinit Hide::Access::DepSuspSF* Hide_Access_DepSuspSF_ = nullptr;
thread_local constinit Hide::Relate::DepSuspSF* Hide_Relate_DepSuspSF_ = nullptr;
thread_local constinit Hide::Access::DepVacinacao* Hide_Access_DepVacinacao_ = nullptr;
thread_local constinit Hide::Relate::DepVacinacao* Hide_Relate_DepVacinacao_ = nullptr;
thread_local constinit Hide::Access::Funcionarios* Hide_Access_Funcionarios_ = nullptr;
thread_local constinit Hide::Relate::Funcionarios* Hide_Relate_Funcionarios_ = nullptr;
thread_local constinit Hide::Access::Filiais* Hide_Access_Filiais_ = nullptr;
thread_local constinit Hide::Relate::Filiais* Hide_Relate_Filiais_ = nullptr;
thread_local constinit Hide::Access::RefMedCta* Hide_Access_RefMedCta_ = nullptr;
thread_local constinit Hide::Relate::RefMedCta* Hide_Relate_RefMedCta_ = nullptr;
thread_local constinit Hide::Access::RefTotalMedia* Hide_Access_RefTotalMedia_ = nullptr;
thread_local constinit Hide::Relate::RefTotalMedia* Hide_Relate_RefTotalMedia_ = nullptr;
thread_local constinit Hide::Access::AltContratuais* Hide_Access_AltContratuais_ = nullptr;
thread_local constinit Hide::Relate::AltContratuais* Hide_Relate_AltContratuais_ = nullptr;
thread_local constinit Hide::Access::MovFuncionarios* Hide_Access_MovFuncionarios_ = nullptr;
thread_local constinit Hide::Relate::MovFuncionarios* Hide_Relate_MovFuncionarios_ = nullptr;

namespace {

// One file's objects: created (the relation object with its own construction), then Relate:<File>
// set in a second pass, as DctInit does for all files.
template <class AccessT, class RelateT>
void Create(AccessT*& access, RelateT*& relate) {
  access = std::make_unique<AccessT>().release();
  relate = std::make_unique<RelateT>().release();
}

template <class RelateT>
void Kill(RelateT*& relate) {
  if (relate == nullptr) return;
  relate->Kill();
  DestroyOwned(relate);
}

}  // namespace

void DctInit() {
  Create(Hide_Access_Empresa_, Hide_Relate_Empresa_);
  Create(Hide_Access_Contas_Integracao_Contabil_, Hide_Relate_Contas_Integracao_Contabil_);
  Create(Hide_Access_RefVlrMensais_, Hide_Relate_RefVlrMensais_);
  Create(Hide_Access_ACFuncionarios_, Hide_Relate_ACFuncionarios_);
  Create(Hide_Access_Movimento_, Hide_Relate_Movimento_);
  Create(Hide_Access_Dependentes_, Hide_Relate_Dependentes_);
  Create(Hide_Access_DepSuspSF_, Hide_Relate_DepSuspSF_);
  Create(Hide_Access_DepVacinacao_, Hide_Relate_DepVacinacao_);
  Create(Hide_Access_Funcionarios_, Hide_Relate_Funcionarios_);
  Create(Hide_Access_Filiais_, Hide_Relate_Filiais_);
  Create(Hide_Access_RefMedCta_, Hide_Relate_RefMedCta_);
  Create(Hide_Access_RefTotalMedia_, Hide_Relate_RefTotalMedia_);
  Create(Hide_Access_AltContratuais_, Hide_Relate_AltContratuais_);
  Create(Hide_Access_MovFuncionarios_, Hide_Relate_MovFuncionarios_);
  Relate::Empresa = Hide_Relate_Empresa_;
  Relate::Contas_Integracao_Contabil = Hide_Relate_Contas_Integracao_Contabil_;
  Relate::RefVlrMensais = Hide_Relate_RefVlrMensais_;
  Relate::ACFuncionarios = Hide_Relate_ACFuncionarios_;
  Relate::Movimento = Hide_Relate_Movimento_;
  Relate::Dependentes = Hide_Relate_Dependentes_;
  Relate::DepSuspSF = Hide_Relate_DepSuspSF_;
  Relate::DepVacinacao = Hide_Relate_DepVacinacao_;
  Relate::Funcionarios = Hide_Relate_Funcionarios_;
  Relate::Filiais = Hide_Relate_Filiais_;
  Relate::RefMedCta = Hide_Relate_RefMedCta_;
  Relate::RefTotalMedia = Hide_Relate_RefTotalMedia_;
  Relate::AltContratuais = Hide_Relate_AltContratuais_;
  Relate::MovFuncionarios = Hide_Relate_MovFuncionarios_;
}

void FilesInit() {
  Hide_Relate_Empresa_->Init();
  Hide_Relate_Contas_Integracao_Contabil_->Init();
  Hide_Relate_RefVlrMensais_->Init();
  Hide_Relate_ACFuncionarios_->Init();
  Hide_Relate_Movimento_->Init();
  Hide_Relate_Dependentes_->Init();
  Hide_Relate_DepSuspSF_->Init();
  Hide_Relate_DepVacinacao_->Init();
  Hide_Relate_Funcionarios_->Init();
  Hide_Relate_Filiais_->Init();
  Hide_Relate_RefMedCta_->Init();
  Hide_Relate_RefTotalMedia_->Init();
  Hide_Relate_AltContratuais_->Init();
  Hide_Relate_MovFuncionarios_->Init();
}

void DctKill() {
  Kill(Hide_Relate_Empresa_);
  Kill(Hide_Relate_Contas_Integracao_Contabil_);
  Kill(Hide_Relate_RefVlrMensais_);
  Kill(Hide_Relate_ACFuncionarios_);
  Kill(Hide_Relate_Movimento_);
  Kill(Hide_Relate_Dependentes_);
  Kill(Hide_Relate_DepSuspSF_);
  Kill(Hide_Relate_DepVacinacao_);
  Kill(Hide_Relate_Funcionarios_);
  Kill(Hide_Relate_Filiais_);
  Kill(Hide_Relate_RefMedCta_);
  Kill(Hide_Relate_RefTotalMedia_);
  Kill(Hide_Relate_AltContratuais_);
  Kill(Hide_Relate_MovFuncionarios_);
}

Dictionary::Dictionary() {
  if (runtime::THREAD() != 1) {
    DctInit();
    FilesInit();
  }
}

Dictionary::~Dictionary() { DctKill(); }

}  // namespace dictionary
