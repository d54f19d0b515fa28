#include "dictionary/dictionary_testing.h"

#include <filesystem>

#include "dictionary/dictionary.h"

namespace dictionary::testing {

void NameFilesIn(const std::string& folder) {
  for (const runtime::FileDeclaration* file : AllFileDeclarations()) {
    // The declarations name their variables; the variables are the program's, so writable.
    auto* name = const_cast<runtime::NameVariable*>(file->name);
    name->Set((std::filesystem::path(folder) / (file->label + ".Tps")).string());
  }
}

int RecordAdder::Add(const runtime::FileDeclaration& file,
                     std::initializer_list<std::pair<int, int64_t>> values) {
  std::unique_ptr<runtime::RecordFile>& instance = files_[&file];
  if (instance == nullptr) {
    instance = std::make_unique<runtime::RecordFile>(file);
    if (int err = instance->Open(); err == runtime::kFileNotFound) {
      if ((err = instance->Create()) != 0 || (err = instance->Open()) != 0) return err;
    } else if (err != 0) {
      return err;
    }
  }
  instance->Clear();
  for (const auto& [field, value] : values) instance->SetInteger(field, value);
  return instance->Add();
}

int64_t Records(const runtime::FileDeclaration& file) {
  runtime::RecordFile instance(file);
  if (instance.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) != 0) return -1;
  return instance.Records();
}

int64_t RecordsWhere(const runtime::FileDeclaration& file, int field, int64_t value) {
  runtime::RecordFile instance(file);
  if (instance.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) != 0) return -1;
  int64_t count = 0;
  instance.SetFile();
  while (instance.Next() == 0) count += instance.GetInteger(field) == value ? 1 : 0;
  return count;
}

int AddEmployeeTree(RecordAdder& adder, uint32_t code, const EmployeeShape& shape) {
  int first_error = 0;
  auto add = [&](const runtime::FileDeclaration& file,
                 std::initializer_list<std::pair<int, int64_t>> values) {
    const int err = adder.Add(file, values);
    if (first_error == 0) first_error = err;
  };
  // Valid in every checked field, so that the file manager's record check lets it be written.
  add(FuncionariosDeclaration(), {{FUN.CODIGO, code},
                                  {FUN.ESTADOCIVIL, 1},
                                  {FUN.SEXO, 1},
                                  {FUN.GRAUINSTRUCAO, 1},
                                  {FUN.RACA, 1}});
  for (int d = 1; d <= shape.dependants; ++d) {
    add(DependentesDeclaration(), {{DEP.CODIGOFUNCIONARIO, code},
                                   {DEP.CODIGODEPENDENTE, d},
                                   {DEP.TIPO, 2},
                                   {DEP.SEXO, 1}});
    for (int dose = 1; dose <= 2; ++dose) {
      add(DepVacinacaoDeclaration(), {{DVACI.CODIGOFUNCIONARIO, code},
                                      {DVACI.CODIGODEPENDENTE, d},
                                      {DVACI.CODIGOVACINA, 5},
                                      {DVACI.NUMERODOSE, dose}});
    }
    add(DepSuspSFDeclaration(),
        {{DSSF.CODIGOFUNCIONARIO, code}, {DSSF.CODIGODEPENDENTE, d}, {DSSF.DATAINICIO, 80000 + d}});
  }
  for (int e = 1; e <= shape.events; ++e) {
    add(MovFuncionariosDeclaration(), {{MOVFUNC.FUNCIONARIO, code},
                                       {MOVFUNC.CLANCAMENTO, e},
                                       {MOVFUNC.INICIO, 79000 + e},
                                       {MOVFUNC.TIPO, e % 17}});
    add(RefTotalMediaDeclaration(), {{REFTOTMED.FUNCIONARIO, code},
                                     {REFTOTMED.LANCAMENTO, e},
                                     {REFTOTMED.CALCULO, 1},
                                     {REFTOTMED.REFERENCIA, 201400 + e},
                                     {REFTOTMED.COMPLEMENTO, 0},
                                     {REFTOTMED.QTDEMESMEDIA, 12}});
    for (int account = 1; account <= 2; ++account) {
      add(RefMedCtaDeclaration(), {{REFMEDCTA.FUNCIONARIO, code},
                                   {REFMEDCTA.LANCAMENTO, e},
                                   {REFMEDCTA.CALCULO, 1},
                                   {REFMEDCTA.REFERENCIA, 201400 + e},
                                   {REFMEDCTA.COMPLEMENTO, 0},
                                   {REFMEDCTA.QTDEMESMEDIA, 12},
                                   {REFMEDCTA.CONTA, 100 + account}});
      for (int month = 1; month <= 2; ++month) {
        add(RefVlrMensaisDeclaration(), {{REFVLRMEN.FUNCIONARIO, code},
                                         {REFVLRMEN.LANCAMENTO, e},
                                         {REFVLRMEN.CALCULO, 1},
                                         {REFVLRMEN.REFERENCIA, 201400 + e},
                                         {REFVLRMEN.CONTA, 100 + account},
                                         {REFVLRMEN.MES, month}});
      }
    }
  }
  for (int c = 1; c <= shape.field_changes; ++c) {
    add(ACFuncionariosDeclaration(), {{ACFUN.CODIGOFUN, code}, {ACFUN.CODIGOCAMPO, c}});
  }
  for (int p = 1; p <= shape.payroll_entries; ++p) {
    add(MovimentoDeclaration(), {{MOVFOLHA.CODIGOFUNCIONARIO, code},
                                 {MOVFOLHA.CODIGOCONTA, 200 + p},
                                 {MOVFOLHA.MESANOCOMPETENCIA, 77801}});
  }
  return first_error;
}

int64_t LinkedRecords(const EmployeeShape& shape) {
  return 1 + shape.dependants * 4 + shape.events * 8 + shape.field_changes;
}

}  // namespace dictionary::testing
