// The relation tree of the payroll files. A parent adds each child with cascading updates and
// deletes on the child's key led by the linking fields, paired parent field = child field; the
// child adds the reverse relation, a lookup of its parent without rules. Movimento takes part in no
// relation: its employee code is not linked.

#include "dictionary/access_classes.h"

namespace dictionary::Hide::Relate {

using framework::kRiCascade;

void Empresa::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::Contas_Integracao_Contabil, kRiCascade, kRiCascade,
              CIC.KEY.CODIGO_EMPRESA);
  AddRelationLink(FieldOf(EmpresaDeclaration(), EMP.CODIGO),
                  FieldOf(Contas_Integracao_ContabilDeclaration(), CIC.CODIGO_EMPRESA));
  AddRelation(::dictionary::Relate::AltContratuais, kRiCascade, kRiCascade, ALTCONT.KEY.CODIGO);
  AddRelationLink(FieldOf(EmpresaDeclaration(), EMP.CODIGO),
                  FieldOf(AltContratuaisDeclaration(), ALTCONT.CODIGO));
  AddRelation(::dictionary::Relate::Filiais, kRiCascade, kRiCascade,
              FILIAIS.KEY.CODIGOMATRIZFILIAL);
  AddRelationLink(FieldOf(EmpresaDeclaration(), EMP.CODIGO),
                  FieldOf(FiliaisDeclaration(), FILIAIS.MATRIZ));
  RelationManager::DeferedAddRelations();
}

void Contas_Integracao_Contabil::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::Empresa);
  RelationManager::DeferedAddRelations();
}

void RefVlrMensais::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::RefMedCta);
  RelationManager::DeferedAddRelations();
}

void ACFuncionarios::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::Funcionarios);
  RelationManager::DeferedAddRelations();
}

void Dependentes::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::DepVacinacao, kRiCascade, kRiCascade, DVACI.KEY.CODIGO);
  AddRelationLink(FieldOf(DependentesDeclaration(), DEP.CODIGOFUNCIONARIO),
                  FieldOf(DepVacinacaoDeclaration(), DVACI.CODIGOFUNCIONARIO));
  AddRelationLink(FieldOf(DependentesDeclaration(), DEP.CODIGODEPENDENTE),
                  FieldOf(DepVacinacaoDeclaration(), DVACI.CODIGODEPENDENTE));
  AddRelation(::dictionary::Relate::DepSuspSF, kRiCascade, kRiCascade, DSSF.KEY.CODIGO);
  AddRelationLink(FieldOf(DependentesDeclaration(), DEP.CODIGOFUNCIONARIO),
                  FieldOf(DepSuspSFDeclaration(), DSSF.CODIGOFUNCIONARIO));
  AddRelationLink(FieldOf(DependentesDeclaration(), DEP.CODIGODEPENDENTE),
                  FieldOf(DepSuspSFDeclaration(), DSSF.CODIGODEPENDENTE));
  AddRelation(::dictionary::Relate::Funcionarios);
  RelationManager::DeferedAddRelations();
}

void DepSuspSF::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::Dependentes);
  RelationManager::DeferedAddRelations();
}

void DepVacinacao::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::Dependentes);
  RelationManager::DeferedAddRelations();
}

void Funcionarios::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::MovFuncionarios, kRiCascade, kRiCascade,
              MOVFUNC.KEY.FUNCINICIO);
  AddRelationLink(FieldOf(FuncionariosDeclaration(), FUN.CODIGO),
                  FieldOf(MovFuncionariosDeclaration(), MOVFUNC.FUNCIONARIO));
  AddRelation(::dictionary::Relate::Dependentes, kRiCascade, kRiCascade, DEP.KEY.CODIGO);
  AddRelationLink(FieldOf(FuncionariosDeclaration(), FUN.CODIGO),
                  FieldOf(DependentesDeclaration(), DEP.CODIGOFUNCIONARIO));
  AddRelation(::dictionary::Relate::ACFuncionarios, kRiCascade, kRiCascade, ACFUN.KEY.CODIGO);
  AddRelationLink(FieldOf(FuncionariosDeclaration(), FUN.CODIGO),
                  FieldOf(ACFuncionariosDeclaration(), ACFUN.CODIGOFUN));
  RelationManager::DeferedAddRelations();
}

void Filiais::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::Empresa);
  RelationManager::DeferedAddRelations();
}

void RefMedCta::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::RefVlrMensais, kRiCascade, kRiCascade,
              REFVLRMEN.KEY.FUNCLANCCTA);
  AddRelationLink(FieldOf(RefMedCtaDeclaration(), REFMEDCTA.FUNCIONARIO),
                  FieldOf(RefVlrMensaisDeclaration(), REFVLRMEN.FUNCIONARIO));
  AddRelationLink(FieldOf(RefMedCtaDeclaration(), REFMEDCTA.LANCAMENTO),
                  FieldOf(RefVlrMensaisDeclaration(), REFVLRMEN.LANCAMENTO));
  AddRelationLink(FieldOf(RefMedCtaDeclaration(), REFMEDCTA.CALCULO),
                  FieldOf(RefVlrMensaisDeclaration(), REFVLRMEN.CALCULO));
  AddRelationLink(LongOf(RefMedCtaDeclaration(), REFMEDCTA.REFERENCIA),
                  LongOf(RefVlrMensaisDeclaration(), REFVLRMEN.REFERENCIA));
  AddRelationLink(FieldOf(RefMedCtaDeclaration(), REFMEDCTA.CONTA),
                  FieldOf(RefVlrMensaisDeclaration(), REFVLRMEN.CONTA));
  AddRelation(::dictionary::Relate::RefTotalMedia);
  RelationManager::DeferedAddRelations();
}

void RefTotalMedia::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::MovFuncionarios);
  AddRelation(::dictionary::Relate::RefMedCta, kRiCascade, kRiCascade, REFMEDCTA.KEY.FUNCLANCQMM);
  AddRelationLink(FieldOf(RefTotalMediaDeclaration(), REFTOTMED.FUNCIONARIO),
                  FieldOf(RefMedCtaDeclaration(), REFMEDCTA.FUNCIONARIO));
  AddRelationLink(FieldOf(RefTotalMediaDeclaration(), REFTOTMED.LANCAMENTO),
                  FieldOf(RefMedCtaDeclaration(), REFMEDCTA.LANCAMENTO));
  AddRelationLink(FieldOf(RefTotalMediaDeclaration(), REFTOTMED.CALCULO),
                  FieldOf(RefMedCtaDeclaration(), REFMEDCTA.CALCULO));
  AddRelationLink(LongOf(RefTotalMediaDeclaration(), REFTOTMED.REFERENCIA),
                  LongOf(RefMedCtaDeclaration(), REFMEDCTA.REFERENCIA));
  AddRelationLink(FieldOf(RefTotalMediaDeclaration(), REFTOTMED.COMPLEMENTO),
                  FieldOf(RefMedCtaDeclaration(), REFMEDCTA.COMPLEMENTO));
  AddRelationLink(FieldOf(RefTotalMediaDeclaration(), REFTOTMED.QTDEMESMEDIA),
                  FieldOf(RefMedCtaDeclaration(), REFMEDCTA.QTDEMESMEDIA));
  RelationManager::DeferedAddRelations();
}

void AltContratuais::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::Empresa);
  RelationManager::DeferedAddRelations();
}

void MovFuncionarios::DeferedAddRelations() {
  AddRelation(::dictionary::Relate::RefTotalMedia, kRiCascade, kRiCascade,
              REFTOTMED.KEY.FUNCLANCCOMPVALOR);
  AddRelationLink(FieldOf(MovFuncionariosDeclaration(), MOVFUNC.FUNCIONARIO),
                  FieldOf(RefTotalMediaDeclaration(), REFTOTMED.FUNCIONARIO));
  AddRelationLink(FieldOf(MovFuncionariosDeclaration(), MOVFUNC.CLANCAMENTO),
                  FieldOf(RefTotalMediaDeclaration(), REFTOTMED.LANCAMENTO));
  AddRelation(::dictionary::Relate::Funcionarios);
  RelationManager::DeferedAddRelations();
}

}  // namespace dictionary::Hide::Relate
