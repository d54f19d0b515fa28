// The access class and the relation class of each of the fourteen data files, and the four
// per-thread references of each file: the owning _Hide:Access:<File> and _Hide:Relate:<File>, and
// Access:<File> and Relate:<File> through which the program reaches the file. All four are null
// until DctInit runs; each thread has its own objects.
#pragma once

#include <cstdint>

#include "dictionary/dictionary.h"
#include "dictionary/file_classes.h"

namespace dictionary {

namespace Hide::Access {
class Empresa;
class Contas_Integracao_Contabil;
class RefVlrMensais;
class ACFuncionarios;
class Movimento;
class Dependentes;
class DepSuspSF;
class DepVacinacao;
class Funcionarios;
class Filiais;
class RefMedCta;
class RefTotalMedia;
class AltContratuais;
class MovFuncionarios;
}  // namespace Hide::Access
namespace Hide::Relate {
class Empresa;
class Contas_Integracao_Contabil;
class RefVlrMensais;
class ACFuncionarios;
class Movimento;
class Dependentes;
class DepSuspSF;
class DepVacinacao;
class Funcionarios;
class Filiais;
class RefMedCta;
class RefTotalMedia;
class AltContratuais;
class MovFuncionarios;
}  // namespace Hide::Relate
namespace Access {
extern thread_local constinit Hide::Access::Empresa* Empresa;
extern thread_local constinit Hide::Access::Contas_Integracao_Contabil* Contas_Integracao_Contabil;
extern thread_local constinit Hide::Access::RefVlrMensais* RefVlrMensais;
extern thread_local constinit Hide::Access::ACFuncionarios* ACFuncionarios;
extern thread_local constinit Hide::Access::Movimento* Movimento;
extern thread_local constinit Hide::Access::Dependentes* Dependentes;
extern thread_local constinit Hide::Access::DepSuspSF* DepSuspSF;
extern thread_local constinit Hide::Access::DepVacinacao* DepVacinacao;
extern thread_local constinit Hide::Access::Funcionarios* Funcionarios;
extern thread_local constinit Hide::Access::Filiais* Filiais;
extern thread_local constinit Hide::Access::RefMedCta* RefMedCta;
extern thread_local constinit Hide::Access::RefTotalMedia* RefTotalMedia;
extern thread_local constinit Hide::Access::AltContratuais* AltContratuais;
extern thread_local constinit Hide::Access::MovFuncionarios* MovFuncionarios;
}  // namespace Access
namespace Relate {
extern thread_local constinit Hide::Relate::Empresa* Empresa;
extern thread_local constinit Hide::Relate::Contas_Integracao_Contabil* Contas_Integracao_Contabil;
extern thread_local constinit Hide::Relate::RefVlrMensais* RefVlrMensais;
extern thread_local constinit Hide::Relate::ACFuncionarios* ACFuncionarios;
extern thread_local constinit Hide::Relate::Movimento* Movimento;
extern thread_local constinit Hide::Relate::Dependentes* Dependentes;
extern thread_local constinit Hide::Relate::DepSuspSF* DepSuspSF;
extern thread_local constinit Hide::Relate::DepVacinacao* DepVacinacao;
extern thread_local constinit Hide::Relate::Funcionarios* Funcionarios;
extern thread_local constinit Hide::Relate::Filiais* Filiais;
extern thread_local constinit Hide::Relate::RefMedCta* RefMedCta;
extern thread_local constinit Hide::Relate::RefTotalMedia* RefTotalMedia;
extern thread_local constinit Hide::Relate::AltContratuais* AltContratuais;
extern thread_local constinit Hide::Relate::MovFuncionarios* MovFuncionarios;
}  // namespace Relate
// The owning references.
extern thread_local constinit Hide::Access::Empresa* Hide_Access_Empresa_;
extern thread_local constinit Hide::Relate::Empresa* Hide_Relate_Empresa_;
extern thread_local constinit Hide::Access::Contas_Integracao_Contabil*
    Hide_Access_Contas_Integracao_Contabil_;
extern thread_local constinit Hide::Relate::Contas_Integracao_Contabil*
    Hide_Relate_Contas_Integracao_Contabil_;
extern thread_local constinit Hide::Access::RefVlrMensais* Hide_Access_RefVlrMensais_;
extern thread_local constinit Hide::Relate::RefVlrMensais* Hide_Relate_RefVlrMensais_;
extern thread_local constinit Hide::Access::ACFuncionarios* Hide_Access_ACFuncionarios_;
extern thread_local constinit Hide::Relate::ACFuncionarios* Hide_Relate_ACFuncionarios_;
extern thread_local constinit Hide::Access::Movimento* Hide_Access_Movimento_;
extern thread_local constinit Hide::Relate::Movimento* Hide_Relate_Movimento_;
extern thread_local constinit Hide::Access::Dependentes* Hide_Access_Dependentes_;
extern thread_local constinit Hide::Relate::Dependentes* Hide_Relate_Dependentes_;
extern thread_local constinit Hide::Access::DepSuspSF* Hide_Access_DepSuspSF_;
extern thread_local constinit Hide::Relate::DepSuspSF* Hide_Relate_DepSuspSF_;
extern thread_local constinit Hide::Access::DepVacinacao* Hide_Access_DepVacinacao_;
extern thread_local constinit Hide::Relate::DepVacinacao* Hide_Relate_DepVacinacao_;
extern thread_local constinit Hide::Access::Funcionarios* Hide_Access_Funcionarios_;
extern thread_local constinit Hide::Relate::Funcionarios* Hide_Relate_Funcionarios_;
extern thread_local constinit Hide::Access::Filiais* Hide_Access_Filiais_;
extern thread_local constinit Hide::Relate::Filiais* Hide_Relate_Filiais_;
extern thread_local constinit Hide::Access::RefMedCta* Hide_Access_RefMedCta_;
extern thread_local constinit Hide::Relate::RefMedCta* Hide_Relate_RefMedCta_;
extern thread_local constinit Hide::Access::RefTotalMedia* Hide_Access_RefTotalMedia_;
extern thread_local constinit Hide::Relate::RefTotalMedia* Hide_Relate_RefTotalMedia_;
extern thread_local constinit Hide::Access::AltContratuais* Hide_Access_AltContratuais_;
extern thread_local constinit Hide::Relate::AltContratuais* Hide_Relate_AltContratuais_;
extern thread_local constinit Hide::Access::MovFuncionarios* Hide_Access_MovFuncionarios_;
extern thread_local constinit Hide::Relate::MovFuncionarios* Hide_Relate_MovFuncionarios_;
namespace Hide::Access {

class Empresa : public AccessClass<Empresa> {
 public:
  static const runtime::FileDeclaration& Declaration() { return EmpresaDeclaration(); }
  static Empresa*& Reference() { return ::dictionary::Access::Empresa; }
  // Default values of a new record, then the base defaults.
  void PrimeFields() override;
  // The checks of the file's table for field `Id`, after the base check.
  uint8_t ValidateFieldServer(int32_t Id, uint8_t HandleErrors) override;
};

class Contas_Integracao_Contabil : public AccessClass<Contas_Integracao_Contabil> {
 public:
  static const runtime::FileDeclaration& Declaration() {
    return Contas_Integracao_ContabilDeclaration();
  }
  static Contas_Integracao_Contabil*& Reference() {
    return ::dictionary::Access::Contas_Integracao_Contabil;
  }
};

class RefVlrMensais : public AccessClass<RefVlrMensais> {
 public:
  static const runtime::FileDeclaration& Declaration() { return RefVlrMensaisDeclaration(); }
  static RefVlrMensais*& Reference() { return ::dictionary::Access::RefVlrMensais; }
};

class ACFuncionarios : public AccessClass<ACFuncionarios> {
 public:
  static const runtime::FileDeclaration& Declaration() { return ACFuncionariosDeclaration(); }
  static ACFuncionarios*& Reference() { return ::dictionary::Access::ACFuncionarios; }
};

class Movimento : public AccessClass<Movimento> {
 public:
  static const runtime::FileDeclaration& Declaration() { return MovimentoDeclaration(); }
  static Movimento*& Reference() { return ::dictionary::Access::Movimento; }
  // The checks of the file's table for field `Id`, after the base check.
  uint8_t ValidateFieldServer(int32_t Id, uint8_t HandleErrors) override;
};

class Dependentes : public AccessClass<Dependentes> {
 public:
  static const runtime::FileDeclaration& Declaration() { return DependentesDeclaration(); }
  static Dependentes*& Reference() { return ::dictionary::Access::Dependentes; }
  // The checks of the file's table for field `Id`, after the base check.
  uint8_t ValidateFieldServer(int32_t Id, uint8_t HandleErrors) override;
};

class DepSuspSF : public AccessClass<DepSuspSF> {
 public:
  static const runtime::FileDeclaration& Declaration() { return DepSuspSFDeclaration(); }
  static DepSuspSF*& Reference() { return ::dictionary::Access::DepSuspSF; }
};

class DepVacinacao : public AccessClass<DepVacinacao> {
 public:
  static const runtime::FileDeclaration& Declaration() { return DepVacinacaoDeclaration(); }
  static DepVacinacao*& Reference() { return ::dictionary::Access::DepVacinacao; }
};

class Funcionarios : public AccessClass<Funcionarios> {
 public:
  static const runtime::FileDeclaration& Declaration() { return FuncionariosDeclaration(); }
  static Funcionarios*& Reference() { return ::dictionary::Access::Funcionarios; }
  // Default values of a new record, then the base defaults.
  void PrimeFields() override;
  // The checks of the file's table for field `Id`, after the base check.
  uint8_t ValidateFieldServer(int32_t Id, uint8_t HandleErrors) override;
};

class Filiais : public AccessClass<Filiais> {
 public:
  static const runtime::FileDeclaration& Declaration() { return FiliaisDeclaration(); }
  static Filiais*& Reference() { return ::dictionary::Access::Filiais; }
};

class RefMedCta : public AccessClass<RefMedCta> {
 public:
  static const runtime::FileDeclaration& Declaration() { return RefMedCtaDeclaration(); }
  static RefMedCta*& Reference() { return ::dictionary::Access::RefMedCta; }
};

class RefTotalMedia : public AccessClass<RefTotalMedia> {
 public:
  static const runtime::FileDeclaration& Declaration() { return RefTotalMediaDeclaration(); }
  static RefTotalMedia*& Reference() { return ::dictionary::Access::RefTotalMedia; }
};

class AltContratuais : public AccessClass<AltContratuais> {
 public:
  static const runtime::FileDeclaration& Declaration() { return AltContratuaisDeclaration(); }
  static AltContratuais*& Reference() { return ::dictionary::Access::AltContratuais; }
};

class MovFuncionarios : public AccessClass<MovFuncionarios> {
 public:
  static const runtime::FileDeclaration& Declaration() { return MovFuncionariosDeclaration(); }
  static MovFuncionarios*& Reference() { return ::dictionary::Access::MovFuncionarios; }
  // The checks of the file's table for field `Id`, after the base check.
  uint8_t ValidateFieldServer(int32_t Id, uint8_t HandleErrors) override;
};

}  // namespace Hide::Access

namespace Hide::Relate {

class Empresa : public RelateClass<Empresa, Hide::Access::Empresa> {
 public:
  static Empresa*& Reference() { return ::dictionary::Relate::Empresa; }
  static Hide::Access::Empresa*& AccessOwner() { return Hide_Access_Empresa_; }
  void DeferedAddRelations() override;
};

class Contas_Integracao_Contabil
    : public RelateClass<Contas_Integracao_Contabil, Hide::Access::Contas_Integracao_Contabil> {
 public:
  static Contas_Integracao_Contabil*& Reference() {
    return ::dictionary::Relate::Contas_Integracao_Contabil;
  }
  static Hide::Access::Contas_Integracao_Contabil*& AccessOwner() {
    return Hide_Access_Contas_Integracao_Contabil_;
  }
  void DeferedAddRelations() override;
};

class RefVlrMensais : public RelateClass<RefVlrMensais, Hide::Access::RefVlrMensais> {
 public:
  static RefVlrMensais*& Reference() { return ::dictionary::Relate::RefVlrMensais; }
  static Hide::Access::RefVlrMensais*& AccessOwner() { return Hide_Access_RefVlrMensais_; }
  void DeferedAddRelations() override;
};

class ACFuncionarios : public RelateClass<ACFuncionarios, Hide::Access::ACFuncionarios> {
 public:
  static ACFuncionarios*& Reference() { return ::dictionary::Relate::ACFuncionarios; }
  static Hide::Access::ACFuncionarios*& AccessOwner() { return Hide_Access_ACFuncionarios_; }
  void DeferedAddRelations() override;
};

class Movimento : public RelateClass<Movimento, Hide::Access::Movimento> {
 public:
  static Movimento*& Reference() { return ::dictionary::Relate::Movimento; }
  static Hide::Access::Movimento*& AccessOwner() { return Hide_Access_Movimento_; }
};

class Dependentes : public RelateClass<Dependentes, Hide::Access::Dependentes> {
 public:
  static Dependentes*& Reference() { return ::dictionary::Relate::Dependentes; }
  static Hide::Access::Dependentes*& AccessOwner() { return Hide_Access_Dependentes_; }
  void DeferedAddRelations() override;
};

class DepSuspSF : public RelateClass<DepSuspSF, Hide::Access::DepSuspSF> {
 public:
  static DepSuspSF*& Reference() { return ::dictionary::Relate::DepSuspSF; }
  static Hide::Access::DepSuspSF*& AccessOwner() { return Hide_Access_DepSuspSF_; }
  void DeferedAddRelations() override;
};

class DepVacinacao : public RelateClass<DepVacinacao, Hide::Access::DepVacinacao> {
 public:
  static DepVacinacao*& Reference() { return ::dictionary::Relate::DepVacinacao; }
  static Hide::Access::DepVacinacao*& AccessOwner() { return Hide_Access_DepVacinacao_; }
  void DeferedAddRelations() override;
};

class Funcionarios : public RelateClass<Funcionarios, Hide::Access::Funcionarios> {
 public:
  static Funcionarios*& Reference() { return ::dictionary::Relate::Funcionarios; }
  static Hide::Access::Funcionarios*& AccessOwner() { return Hide_Access_Funcionarios_; }
  void DeferedAddRelations() override;
};

class Filiais : public RelateClass<Filiais, Hide::Access::Filiais> {
 public:
  static Filiais*& Reference() { return ::dictionary::Relate::Filiais; }
  static Hide::Access::Filiais*& AccessOwner() { return Hide_Access_Filiais_; }
  void DeferedAddRelations() override;
};

class RefMedCta : public RelateClass<RefMedCta, Hide::Access::RefMedCta> {
 public:
  static RefMedCta*& Reference() { return ::dictionary::Relate::RefMedCta; }
  static Hide::Access::RefMedCta*& AccessOwner() { return Hide_Access_RefMedCta_; }
  void DeferedAddRelations() override;
};

class RefTotalMedia : public RelateClass<RefTotalMedia, Hide::Access::RefTotalMedia> {
 public:
  static RefTotalMedia*& Reference() { return ::dictionary::Relate::RefTotalMedia; }
  static Hide::Access::RefTotalMedia*& AccessOwner() { return Hide_Access_RefTotalMedia_; }
  void DeferedAddRelations() override;
};

class AltContratuais : public RelateClass<AltContratuais, Hide::Access::AltContratuais> {
 public:
  static AltContratuais*& Reference() { return ::dictionary::Relate::AltContratuais; }
  static Hide::Access::AltContratuais*& AccessOwner() { return Hide_Access_AltContratuais_; }
  void DeferedAddRelations() override;
};

class MovFuncionarios : public RelateClass<MovFuncionarios, Hide::Access::MovFuncionarios> {
 public:
  static MovFuncionarios*& Reference() { return ::dictionary::Relate::MovFuncionarios; }
  static Hide::Access::MovFuncionarios*& AccessOwner() { return Hide_Access_MovFuncionarios_; }
  void DeferedAddRelations() override;
};

}  // namespace Hide::Relate

// Creates this thread's access and relation objects of every file, in the dictionary's file
// order, and sets Relate:<File>. Nothing is opened and nothing is initialised.
void DctInit();
// Initialises every file's relation object (and through it the access object, which sets
// Access:<File>) and registers both with the thread's files manager, in the same order.
void FilesInit();
// Kills and destroys every file's objects in the same order; all four references end null.
void DctKill();

// The per-thread dictionary object: on a thread other than the program's first it sets up the
// dictionary as it is constructed (the first thread does that from the program body); its
// destruction, at thread end, kills the dictionary.
class Dictionary {
 public:
  Dictionary();
  ~Dictionary();
  Dictionary(const Dictionary&) = delete;
  Dictionary& operator=(const Dictionary&) = delete;
};

}  // namespace dictionary
