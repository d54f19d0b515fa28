#include "dictionary/dictionary.h"

#include "runtime/values/text.h"

namespace dictionary {

const std::vector<const runtime::FileDeclaration*>& AllFileDeclarations() {
  static const std::vector<const runtime::FileDeclaration*> files = {
      &EmpresaDeclaration(),        &Contas_Integracao_ContabilDeclaration(),
      &RefVlrMensaisDeclaration(),  &ACFuncionariosDeclaration(),
      &MovimentoDeclaration(),      &DependentesDeclaration(),
      &DepSuspSFDeclaration(),      &DepVacinacaoDeclaration(),
      &FuncionariosDeclaration(),   &FiliaisDeclaration(),
      &RefMedCtaDeclaration(),      &RefTotalMediaDeclaration(),
      &AltContratuaisDeclaration(), &MovFuncionariosDeclaration(),
  };
  return files;
}

const runtime::FileDeclaration* FindFileDeclaration(std::string_view label) {
  const std::string wanted = runtime::UpperCp1252(label);
  for (const runtime::FileDeclaration* file : AllFileDeclarations()) {
    if (runtime::UpperCp1252(file->label) == wanted) return file;
  }
  return nullptr;
}

}  // namespace dictionary
