#include "tools/sample.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "dictionary/dictionary.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/clock.h"
#include "runtime/platform/path.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/values/date_time.h"
#include "runtime/values/decimal.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"
#include "tools/data_tool.h"
#include "tools/sample_model.h"

namespace tools {

namespace {

using dictionary::ALTCONT;
using dictionary::CIC;
using dictionary::EMP;
using dictionary::FILIAIS;
using dictionary::FUN;
using dictionary::MOVFOLHA;
using runtime::DATE;
using runtime::Decimal;
using runtime::FileDeclaration;
using runtime::RecordFile;
using runtime::Status;

using namespace sample_model;  // NOLINT: the sample's own model

void SetUtf8(RecordFile& file, int field, std::string_view text) {
  std::string bytes;
  runtime::Utf8ToCp1252(text, &bytes);
  file.SetText(field, bytes);
}

Status Add(RecordFile& file) {
  if (file.Add() == 0) return Status::Ok();
  return Status(runtime::ERRORCODE(), file.Name() + ": add: " + runtime::FILEERRORMSG());
}

// Creates the data file `path` and fills it through `fill`, all in one transaction.
Status WriteFile(const FileDeclaration& dictionary_declaration, const std::string& path,
                 const std::function<Status(RecordFile&)>& fill) {
  const FileDeclaration declaration = WithoutNameVariable(dictionary_declaration);
  RecordFile file(declaration);
  file.SetName(path);
  auto failure = [&](const char* what) {
    return Status(runtime::ERRORCODE(), path + ": " + what + ": " + runtime::FILEERRORMSG());
  };
  if (file.Create() != 0) return failure("create");
  if (file.Open(runtime::open_mode::kReadWrite | runtime::open_mode::kDenyAll) != 0) {
    return failure("open");
  }
  if (file.SetProperty(runtime::property::kLogout, "1") != 0 || runtime::LOGOUT(10) != 0) {
    return failure("transaction");
  }
  Status status = fill(file);
  if (status.ok() && runtime::COMMIT() != 0) status = failure("commit");
  if (!status.ok()) runtime::ROLLBACK();
  file.Close();
  return status;
}

// One company's employees and payroll entries.
class CompanyWriter {
 public:
  CompanyWriter(const SampleOptions& options, int code)
      : year_(options.year),
        case_(OfficeCaseOf(options, code)),
        random_(options.seed * 1000003 + code) {
    const std::vector<Person> cast = Cast(year_);
    const int first_random = static_cast<int>(cast.size());
    // Partners beyond the cast's, spread evenly over the codes after it.
    const int extra =
        options.partners > 0 ? options.partners - CastPartners(options.employees, year_) : 0;
    int next_partner = 0;
    for (int i = 0; i < options.employees; ++i) {
      if (i < first_random) {
        people_.push_back(cast[i]);
      } else if (next_partner < extra &&
                 i == first_random + static_cast<int64_t>(next_partner) *
                                         (options.employees - first_random) / extra) {
        people_.push_back(RandomPartner(random_, year_, next_partner++));
      } else {
        people_.push_back(RandomPerson(random_, year_));
      }
    }
    if (options.entries > 0) SetEntryQuotas(options.entries);
    if (case_ == OfficeCase::SharesOff) people_[0].share = 500000;  // the others add up to 49.75
    // The cast's partner 17 (index 16): 0 % and no income (its share goes to partner 1), tax
    // withheld without taxable income, or a negative taxable income.
    if (people_.size() > 16) {
      if (case_ == OfficeCase::ZeroShareNoIncome) {
        people_[0].share += people_[16].share;
        people_[16].share = 0;
      }
      if (case_ == OfficeCase::WithheldOverTaxable) people_[16].role = Role::PartnerTaxOnly;
      if (case_ == OfficeCase::NegativeAmount) people_[16].role = Role::PartnerNegative;
    }
  }

  Status WriteEmployees(RecordFile& file) {
    const uint64_t cpf_base = random_.Below(900000000);
    std::vector<std::string> cpfs;
    for (size_t i = 0; i < people_.size(); ++i) {
      cpfs.push_back(WithCheckDigits(Digits((cpf_base + i) % 1000000000, 9), 10, false));
    }
    SetOfficeCase(&cpfs);
    for (size_t i = 0; i < people_.size(); ++i) {
      const Person& person = people_[i];
      file.Clear();
      file.SetInteger(FUN.CODIGO, static_cast<int64_t>(i + 1));
      SetUtf8(file, FUN.NOME,
              person.role == Role::PartnerNoEntries || person.role == Role::PartnerTaxOnly ||
                      person.role == Role::PartnerNegative
                  ? std::string(kLongName)
                  : PersonName(random_));
      file.SetText(FUN.CPF, cpfs[i]);
      file.SetInteger(FUN.CATEGORIA, person.category);
      file.SetInteger(FUN.ADMISSAO, person.admission);
      file.SetInteger(FUN.DEMISSAO, person.dismissal);
      file.SetInteger(FUN.NASCIMENTO,
                      random_.Day(DATE(1, 1, year_ - 60), DATE(12, 31, year_ - 18)));
      file.SetInteger(FUN.SEXO, 1 + random_.Below(2));
      SetUtf8(file, FUN.CIDADE, "São Paulo");
      file.SetText(FUN.UF, "SP");
      Status status = file.SetDecimal(FUN.PCTCAPTOTAL, Decimal(person.share, 4));
      if (status.ok()) status = Add(file);
      if (!status.ok()) return status;
    }
    return Status::Ok();
  }

  Status WriteEntries(RecordFile& file, int64_t* count) {
    file_ = &file;
    count_ = count;
    for (size_t i = 0; i < people_.size(); ++i) {
      employee_ = static_cast<int64_t>(i + 1);
      Status status = WritePersonEntries(people_[i], quotas_.empty() ? -1 : quotas_[i]);
      if (!status.ok()) return status;
    }
    return Status::Ok();
  }

 private:
  struct Entry {
    int month;  // of the year; 0 is December of the year before, 13 January of the next
    int account;
    int64_t cents;
    int type = 0;     // MOVFOLHA:TIPOPAGAMENTO
    int receipt = 0;  // MOVFOLHA:IMPRIMERECIBO
  };

  // Spreads `total` entries over the people whose entries are not fixed (FixedEntries), after
  // the fixed entries of the others.
  void SetEntryQuotas(int64_t total) {
    std::vector<size_t> takers;
    int64_t fixed = 0;
    quotas_.assign(people_.size(), -1);
    for (size_t i = 0; i < people_.size(); ++i) {
      const int entries = FixedEntries(people_[i], year_);
      if (entries < 0) takers.push_back(i);
      fixed += std::max(entries, 0);
    }
    if (takers.empty()) return;
    const int64_t spread = std::max<int64_t>(total - fixed, 0);
    const int64_t each = spread / static_cast<int64_t>(takers.size());
    const int64_t rest = spread % static_cast<int64_t>(takers.size());
    for (size_t k = 0; k < takers.size(); ++k) {
      quotas_[takers[k]] = each + (static_cast<int64_t>(k) < rest ? 1 : 0);
    }
  }

  // Cuts `entries` to `quota`, or tops them up with entries of other accounts in the months of
  // the year that `person` is employed.
  void FitToQuota(const Person& person, int64_t quota, std::vector<Entry>* entries) {
    static constexpr std::array<int, 5> kExtraAccounts = {kOvertime, kBonus, kOtherIncome,
                                                          kSocialSecurity, kTransport};
    if (static_cast<int64_t>(entries->size()) >= quota) {
      entries->resize(static_cast<size_t>(quota));
      return;
    }
    std::vector<int> months = MonthsEmployed(person, year_);
    if (months.empty()) months = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (size_t n = 0; static_cast<int64_t>(entries->size()) < quota; ++n) {
      entries->push_back(
          {months[n % months.size()], kExtraAccounts[random_.Below(5)], 1 + random_.Below(50000)});
    }
  }

  // `quota`: the number of entries to write, or -1 for the person's usual ones.
  Status WritePersonEntries(const Person& person, int64_t quota) {
    std::vector<Entry> entries;
    switch (person.role) {
      case Role::Employee: {
        const int64_t salary = 141200 + random_.Below(800000);
        for (int month : MonthsEmployed(person, year_)) {
          entries.push_back({month, kSalary, salary});
          entries.push_back({month, kSocialSecurity, salary * 9 / 100});
          if (random_.Below(4) == 0) entries.push_back({month, kOvertime, random_.Below(60000)});
          if (month == 12) entries.push_back({month, kSalary, salary, 2});  // 13th salary
        }
        break;
      }
      case Role::Partner: {
        const int64_t pro_labore = 300000 + random_.Below(5000) * 100;
        for (int month = 1; month <= 12; ++month) {
          entries.push_back({month, kProLabore, pro_labore});
          entries.push_back({month, kSocialSecurity, pro_labore * 11 / 100});
          entries.push_back({month, kIncomeTax, pro_labore * 15 / 200});
        }
        entries.push_back({3, kProfits, 1000000});  // replaced by the later one
        entries.push_back({12, kProfits, 2505000 + random_.Below(100000)});
        entries.push_back({4, kIncomeTaxOnProfits, 120000});
        entries.push_back({5, kOtherIncome, 75050});
        entries.push_back({6, kTransport, 9999});
        entries.push_back({7, kOvertime, 99999, 0, 1});   // receipt flag set: not summed
        entries.push_back({8, kOvertime, 77777, 1});      // another payment type: not summed
        entries.push_back({9, kBonus, 0});                // zero: not summed
        entries.push_back({0, kProLabore, pro_labore});   // the year before
        entries.push_back({13, kProLabore, pro_labore});  // the next year
        break;
      }
      case Role::PartnerHalfYear: {
        const int64_t pro_labore = 200000 + random_.Below(3000) * 100;
        for (int month = 1; month <= 6; ++month) {
          entries.push_back({month, kProLabore, pro_labore});
          entries.push_back({month, kIncomeTax, pro_labore * 3 / 100});
        }
        break;
      }
      case Role::PartnerGone:
        entries.push_back({0, kProLabore, 150000});
        break;
      case Role::PartnerNoEntries:
        break;
      case Role::PartnerTaxOnly:
        entries.push_back({4, kIncomeTax, 10000});
        break;
      case Role::PartnerNegative:
        entries.push_back({4, kOvertime, -10000});  // a reversal with nothing to reverse
        break;
    }
    if (quota >= 0) FitToQuota(person, quota, &entries);
    // CLANCAMENTO numbers the entries of one employee and month, which keeps the primary key
    // (month, payment type, employee, receipt flag, account, entry number, ...) unique.
    std::map<int, int> numbers;  // month -> entries numbered so far
    for (const Entry& entry : entries) {
      const int number = ++numbers[entry.month];
      RecordFile& file = *file_;
      file.Clear();
      file.SetInteger(MOVFOLHA.MESANOCOMPETENCIA, DATE(entry.month, 1, year_));
      file.SetInteger(MOVFOLHA.DATAPAGAMENTO, DATE(entry.month + 1, 5, year_));
      file.SetInteger(MOVFOLHA.TIPOPAGAMENTO, entry.type);
      file.SetInteger(MOVFOLHA.CODIGOFUNCIONARIO, employee_);
      file.SetInteger(MOVFOLHA.IMPRIMERECIBO, entry.receipt);
      file.SetInteger(MOVFOLHA.CODIGOCONTA, entry.account);
      file.SetInteger(MOVFOLHA.CLANCAMENTO, number);
      file.SetInteger(MOVFOLHA.ORDEMIMPRESSAO, entry.account);
      SetUtf8(file, MOVFOLHA.SCOMPLEMENTO, AccountText(entry.account));
      Status status =
          file.SetDecimal(MOVFOLHA.QUANTIDADE, Decimal(entry.account == kSalary ? 3000 : 0, 2));
      if (status.ok()) status = file.SetDecimal(MOVFOLHA.VALOR, Decimal(entry.cents, 2));
      if (status.ok()) status = Add(file);
      if (!status.ok()) return status;
      ++*count_;
    }
    return Status::Ok();
  }

  // The cast's partners 1, 7 and 17 (indexes 0, 6 and 16) get the company's CPF case.
  void SetOfficeCase(std::vector<std::string>* cpfs) const {
    std::vector<std::string>& cpf = *cpfs;
    switch (case_) {
      case OfficeCase::WrongCpfCheckDigit:
        cpf[0].back() = static_cast<char>('0' + (cpf[0].back() - '0' + 1) % 10);
        break;
      case OfficeCase::DuplicateCpf:
        if (cpf.size() > 16) cpf[16] = cpf[0];
        break;
      case OfficeCase::BlankCpf:
        if (cpf.size() > 6) cpf[6] = std::string(11, ' ');
        break;
      case OfficeCase::EqualDigitsCpf:
        cpf[0] = std::string(11, '2');
        break;
      default:
        break;
    }
  }

  const int year_;
  const OfficeCase case_;
  Random random_;
  std::vector<Person> people_;
  std::vector<int64_t> quotas_;  // per person, when a total of entries is asked for
  RecordFile* file_ = nullptr;
  int64_t* count_ = nullptr;
  int64_t employee_ = 0;
};

Status WriteCompanies(const SampleOptions& options, const std::string& path) {
  Random random(options.seed);
  return WriteFile(dictionary::EmpresaDeclaration(), path, [&](RecordFile& file) {
    for (int code = 1; code <= options.companies; ++code) {
      const int y = options.year;
      std::string name(kCompanyNames[(code - 1) % kCompanyNames.size()]);
      if (code > static_cast<int>(kCompanyNames.size())) name += " " + std::to_string(code);
      file.Clear();
      file.SetInteger(EMP.CODIGO, code);
      std::string root = Digits(random.Below(100000000), 8);
      if (OfficeCaseOf(options, code) == OfficeCase::AlphanumericCnpj) root.replace(2, 3, "ABC");
      file.SetText(EMP.CGC, WithCheckDigits(root + "0001", 5, true));
      SetUtf8(file, EMP.RAZAOSOCIAL, name);
      file.SetInteger(EMP.CODRESPESCR, options.employees >= 2 ? 2 : 1);
      SetUtf8(file, EMP.ENDERECO, "Rua das Acácias");
      file.SetInteger(EMP.NUMERO, 1 + random.Below(2000));
      SetUtf8(file, EMP.BAIRRO, "Centro");
      SetUtf8(file, EMP.CIDADE, "São Paulo");
      file.SetText(EMP.UF, "SP");
      file.SetInteger(EMP.CEP, 1000000 + random.Below(9000000));
      file.SetText(EMP.EMAIL, "contato" + std::to_string(code) + "@example.com.br");
      file.SetInteger(EMP.DATAINICIO, DATE(3, 1, y - 10));
      file.SetInteger(EMP.SIMPLESFEDERAL, 1);
      file.SetInteger(EMP.DIGITOSCGC, 14);
      for (int field :
           {EMP.LOTES, EMP.QUALIFPJ, EMP.TIPOREGISTRO, EMP.TIPOAPURACAO, EMP.TIPOFORNECEDOR,
            EMP.TIPOCFO, EMP.TIPONBM, EMP.TIPOCONTAISS, EMP.TIPOPAGAMENTO}) {
        file.SetInteger(field, 1);
      }
      Status status = file.SetDecimal(EMP.CAPITALSOCIAL, Decimal(10000000, 2));
      if (status.ok()) status = Add(file);
      if (!status.ok()) return status;
    }
    return Status::Ok();
  });
}

Status WriteCommonFiles(const SampleOptions& options, const std::string& common) {
  Status status = WriteCompanies(options, common + "\\Empresas.Tps");
  if (status.ok()) {
    status = WriteFile(dictionary::Contas_Integracao_ContabilDeclaration(),
                       common + "\\CIntegra.Tps", [&](RecordFile& file) {
                         for (int code = 1; code <= options.companies; ++code) {
                           file.Clear();
                           file.SetInteger(CIC.CODIGO_EMPRESA, code);
                           file.SetInteger(CIC.CODIGO_REFERENCIA, 1);
                           file.SetText(CIC.CONTA_DEBITO, "3.1.01.001");
                           file.SetText(CIC.CONTA_CREDITO, "2.1.03.002");
                           file.SetInteger(CIC.HISTORICO, 101);
                           SetUtf8(file, CIC.COMPLEMENTO, "Folha de pagamento do mês");
                           Status added = Add(file);
                           if (!added.ok()) return added;
                         }
                         return Status::Ok();
                       });
  }
  if (status.ok()) {
    status = WriteFile(dictionary::FiliaisDeclaration(), common + "\\Filiais.Tps",
                       [&](RecordFile& file) {
                         if (options.companies < 2) return Status::Ok();
                         file.Clear();
                         file.SetInteger(FILIAIS.MATRIZ, 1);
                         file.SetInteger(FILIAIS.FILIAL, 2);
                         file.SetInteger(FILIAIS.SIMPLES, 1);
                         return Add(file);
                       });
  }
  if (status.ok()) {
    status = WriteFile(dictionary::AltContratuaisDeclaration(), common + "\\AltContr.Tps",
                       [&](RecordFile& file) {
                         for (int code = 1; code <= options.companies; ++code) {
                           file.Clear();
                           file.SetInteger(ALTCONT.CODIGO, code);
                           file.SetInteger(ALTCONT.DATA, DATE(3, 1, options.year - 10));
                           file.SetInteger(ALTCONT.CODALT, 1);
                           SetUtf8(file, ALTCONT.OBS, "Constituição da empresa");
                           Status added = file.SetDecimal(ALTCONT.VALOR, Decimal(10000000, 2));
                           if (added.ok()) added = Add(file);
                           if (!added.ok()) return added;
                         }
                         return Status::Ok();
                       });
  }
  return status;
}

struct CompanyFile {
  const FileDeclaration& (*declaration)();
  const char* name;  // below the company's folder
};

std::vector<CompanyFile> OtherCompanyFiles() {
  return {
      {dictionary::MovFuncionariosDeclaration, "MovFunci.Tps"},
      {dictionary::RefMedCtaDeclaration, "RefMedCt.Tps"},
      {dictionary::RefTotalMediaDeclaration, "RefTotMe.Tps"},
      {dictionary::RefVlrMensaisDeclaration, "RefVlMen.Tps"},
      {dictionary::ACFuncionariosDeclaration, "ACFunc.Tps"},
      {dictionary::DependentesDeclaration, "Dependen.Tps"},
      {dictionary::DepSuspSFDeclaration, "DepSupSF.Tps"},
      {dictionary::DepVacinacaoDeclaration, "Folha\\DepVacin.Tps"},
  };
}

std::string CompanyFolder(const SampleOptions& options, int code) {
  return options.folder + "\\" + runtime::Format(code, "p########p");
}

std::string MovementPath(const SampleOptions& options, int code) {
  return CompanyFolder(options, code) + "\\Folha\\" + runtime::Format(options.year, "p####p") +
         "\\MOVIMENT.Tps";
}

}  // namespace

OfficeCase OfficeCaseOf(const SampleOptions& options, int code) {
  if (!options.office_cases || code < 2) return OfficeCase::None;
  static constexpr std::array<OfficeCase, 10> kInTurn = {
      OfficeCase::WrongCpfCheckDigit,
      OfficeCase::DuplicateCpf,
      OfficeCase::BlankCpf,
      OfficeCase::SharesOff,
      OfficeCase::AlphanumericCnpj,
      OfficeCase::NoFiles,
      OfficeCase::EqualDigitsCpf,
      OfficeCase::ZeroShareNoIncome,
      OfficeCase::WithheldOverTaxable,
      OfficeCase::NegativeAmount,
  };
  return kInTurn[(code - 2) % kInTurn.size()];
}

Status WriteSample(const SampleOptions& given, SampleSummary* summary) {
  *summary = SampleSummary();
  SampleOptions options = given;
  if (options.year == 0) options.year = runtime::YEAR(runtime::TODAY()) - 1;
  if (options.companies < 1 || options.companies > 65535 || options.employees < 1 ||
      options.employees > 100000 || options.year < 1802 || options.year > 9998) {
    return Status(runtime::kInvalidArgument,
                  "a sample has 1 to 65535 companies of 1 to 100000 employees, for a year from "
                  "1802 to 9998");
  }
  // Partners beyond the cast's take the places of random employees.
  const int cast_partners = CastPartners(options.employees, options.year);
  const int most_partners =
      cast_partners + std::max(0, options.employees - static_cast<int>(Cast(options.year).size()));
  if (options.partners != 0 &&
      (options.partners < cast_partners || options.partners > most_partners)) {
    return Status(runtime::kInvalidArgument, "a sample of " + std::to_string(options.employees) +
                                                 " employees has " + std::to_string(cast_partners) +
                                                 " to " + std::to_string(most_partners) +
                                                 " partners");
  }
  if (options.entries < 0 || options.entries > int64_t{1000} * options.employees) {
    return Status(runtime::kInvalidArgument,
                  "a sample of " + std::to_string(options.employees) + " employees has at most " +
                      std::to_string(int64_t{1000} * options.employees) + " payroll entries");
  }
  const std::string common = options.folder + "\\BComuns";
  std::vector<std::string> targets = {common + "\\Empresas.Tps", common + "\\CIntegra.Tps",
                                      common + "\\Filiais.Tps", common + "\\AltContr.Tps"};
  for (int code = 1; code <= options.companies; ++code) {
    targets.push_back(CompanyFolder(options, code) + "\\Funciona.Tps");
    targets.push_back(MovementPath(options, code));
    for (const CompanyFile& other : OtherCompanyFiles()) {
      targets.push_back(CompanyFolder(options, code) + "\\" + other.name);
    }
  }
  for (const std::string& target : targets) {
    if (runtime::FileExists(target)) {
      return Status(runtime::kAccessDenied, runtime::ResolvePath(target) +
                                                ": exists already; a sample goes to a new folder");
    }
  }

  std::error_code error;
  std::filesystem::create_directories(runtime::ResolvePath(common), error);
  if (!error)
    std::filesystem::create_directories(runtime::ResolvePath(options.folder + "\\Temp"), error);
  if (error) {
    return Status(runtime::kPathNotFound,
                  options.folder + ": cannot create folders: " + error.message());
  }
  Status status = WriteCommonFiles(options, common);
  for (int code = 1; status.ok() && code <= options.companies; ++code) {
    if (OfficeCaseOf(options, code) == OfficeCase::NoFiles) continue;
    std::filesystem::create_directories(
        std::filesystem::path(runtime::ResolvePath(MovementPath(options, code))).parent_path(),
        error);
    if (error) {
      return Status(runtime::kPathNotFound,
                    CompanyFolder(options, code) + ": cannot create folders: " + error.message());
    }
    CompanyWriter company(options, code);
    status = WriteFile(dictionary::FuncionariosDeclaration(),
                       CompanyFolder(options, code) + "\\Funciona.Tps",
                       [&](RecordFile& file) { return company.WriteEmployees(file); });
    if (status.ok()) {
      status = WriteFile(
          dictionary::MovimentoDeclaration(), MovementPath(options, code),
          [&](RecordFile& file) { return company.WriteEntries(file, &summary->entries); });
    }
    for (const CompanyFile& other : OtherCompanyFiles()) {
      if (!status.ok()) break;
      status = WriteFile(other.declaration(), CompanyFolder(options, code) + "\\" + other.name,
                         [](RecordFile&) { return Status::Ok(); });
    }
    summary->employees += options.employees;
  }
  summary->year = options.year;
  return status;
}

}  // namespace tools
