#include "tools/sample.h"

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

// A small generator whose sequence is fixed by its seed on every platform (the standard
// library's distributions are not).
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number in 0..n-1.
  int64_t Below(int64_t n) { return static_cast<int64_t>(Next() % static_cast<uint64_t>(n)); }
  // A day in first..last.
  int32_t Day(int32_t first, int32_t last) {
    return first + static_cast<int32_t>(Below(last - first + 1));
  }

 private:
  uint64_t state_;
};

// Payroll accounts of the sample. The summary tells apart 3005 (exempt income), 5004 and 5047
// (income tax withheld), other accounts below 5001 (taxable) and 5001 and above (ignored).
constexpr int kSalary = 1;
constexpr int kProLabore = 3;
constexpr int kOvertime = 100;
constexpr int kBonus = 200;
constexpr int kProfits = 3005;
constexpr int kOtherIncome = 4999;
constexpr int kSocialSecurity = 5001;
constexpr int kIncomeTax = 5004;
constexpr int kTransport = 5010;
constexpr int kIncomeTaxOnProfits = 5047;

std::string_view AccountText(int account) {
  switch (account) {
    case kSalary:
      return "Salário";
    case kProLabore:
      return "Pró-labore";
    case kOvertime:
      return "Horas extras";
    case kBonus:
      return "Gratificação";
    case kProfits:
      return "Lucros distribuídos";
    case kOtherIncome:
      return "Outros rendimentos";
    case kSocialSecurity:
      return "INSS";
    case kIncomeTax:
      return "IRRF";
    case kTransport:
      return "Vale-transporte";
    case kIncomeTaxOnProfits:
      return "IRRF sobre lucros";
    default:
      return "";
  }
}

enum class Role : uint8_t {
  Employee,
  Partner,           // entries of every account kind
  PartnerHalfYear,   // dismissed in the middle of the year
  PartnerGone,       // dismissed in the year before: no summary line
  PartnerNoEntries,  // a line with zero amounts
};

struct Person {
  Role role = Role::Employee;
  int category = 1;
  int32_t admission = 0;
  int32_t dismissal = 0;
  int64_t share = 0;  // FUN:PCTCAPTOTAL, four places
};

// The fixed first employees of every company; see sample.h.
std::vector<Person> Cast(int y) {
  return {
      {Role::Partner, 5, DATE(3, 15, y - 10), 0, 502525},
      {Role::Employee, 1, DATE(1, 1, y), 0},  // the responsible person
      {Role::Employee, 2, DATE(1, 2, y), 0},
      {Role::Employee, 3, DATE(6, 1, y - 3), DATE(12, 31, y)},
      {Role::Employee, 4, DATE(2, 1, y - 5), DATE(1, 1, y)},
      {Role::Employee, 7, DATE(4, 1, y - 4), DATE(12, 31, y - 1)},
      {Role::PartnerHalfYear, 11, DATE(8, 1, y - 8), DATE(6, 30, y), 300000},
      {Role::PartnerGone, 99, DATE(1, 10, y - 6), DATE(10, 10, y - 1)},
      {Role::Employee, 12, DATE(7, 1, y - 1), 0},
      {Role::Employee, 19, DATE(12, 31, y), 0},
      {Role::Employee, 20, DATE(9, 1, y - 2), 0},
      {Role::Employee, 21, DATE(3, 1, y - 2), DATE(8, 15, y)},
      {Role::Employee, 0, DATE(5, 1, y - 2), 0},
      {Role::Employee, 6, DATE(5, 1, y - 2), 0},
      {Role::Employee, 8, DATE(5, 1, y - 2), 0},
      {Role::Employee, 13, DATE(5, 1, y - 2), 0},
      {Role::PartnerNoEntries, 99, DATE(1, 20, y - 1), 0, 197475},
      {Role::Employee, 1, DATE(1, 1, y + 1), 0},  // admitted the next year
  };
}

Person RandomPerson(Random& random, int y) {
  static constexpr std::array<int, 9> kCounted = {1, 2, 3, 4, 7, 12, 19, 20, 21};
  static constexpr std::array<int, 5> kUncounted = {0, 6, 8, 13, 15};
  Person person;
  person.category = random.Below(5) == 0 ? kUncounted[random.Below(kUncounted.size())]
                                         : kCounted[random.Below(kCounted.size())];
  person.admission = random.Day(DATE(1, 1, y - 15), DATE(12, 31, y));
  if (random.Below(4) == 0) {
    person.dismissal = random.Day(std::max(person.admission, DATE(1, 1, y - 1)), DATE(12, 31, y));
  }
  return person;
}

constexpr std::array<std::string_view, 8> kCompanyNames = {
    "Padaria São João Ltda",       "Comércio de Peças Araújo ME",   "Açougue Boa Vista Ltda",
    "Farmácia Popular Eireli",     "Oficina Irmãos Gonçalves Ltda", "Café & Companhia Ltda",
    "Confecções Três Corações ME", "Papelaria Ação Ltda",
};
constexpr std::array<std::string_view, 14> kFirstNames = {
    "José",  "Maria", "João",     "Antônio", "Francisca", "Ana",    "Luís",
    "Célia", "Íris",  "Raimundo", "Edvânia", "Sebastião", "Márcia", "Zoë",
};
constexpr std::array<std::string_view, 10> kSurnames = {
    "da Silva", "Gonçalves", "Araújo",    "da Conceição", "Nogueira",
    "Brandão",  "Simões",    "Magalhães", "Pereira",      "Assunção",
};
// Longer than the 50 characters of the summary's name.
constexpr std::string_view kLongName =
    "Maria da Conceição Albuquerque Magalhães de Assunção Figueiredo";

std::string PersonName(Random& random) {
  return std::string(kFirstNames[random.Below(kFirstNames.size())]) + " " +
         std::string(kSurnames[random.Below(kSurnames.size())]) + " " +
         std::string(kSurnames[random.Below(kSurnames.size())]);
}

// Registration numbers with their check digits: a CPF from 9 digits, a CNPJ from 12.
std::string WithCheckDigits(std::string digits, int first_weight, bool cnpj) {
  for (int round = 0; round < 2; ++round) {
    int sum = 0;
    int weight = first_weight + round;
    for (char c : digits) {
      sum += (c - '0') * weight;
      weight = cnpj && weight == 2 ? 9 : weight - 1;
    }
    const int rest = sum % 11;
    digits.push_back(static_cast<char>('0' + (rest < 2 ? 0 : 11 - rest)));
  }
  return digits;
}

std::string Digits(uint64_t value, int width) {
  std::string text(width, '0');
  for (int i = width - 1; i >= 0; --i, value /= 10) text[i] = static_cast<char>('0' + value % 10);
  return text;
}

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
      : year_(options.year), random_(options.seed * 1000003 + code) {
    const std::vector<Person> cast = Cast(year_);
    for (int i = 0; i < options.employees; ++i) {
      people_.push_back(i < static_cast<int>(cast.size()) ? cast[i] : RandomPerson(random_, year_));
    }
  }

  Status WriteEmployees(RecordFile& file) {
    const uint64_t cpf_base = random_.Below(900000000);
    for (size_t i = 0; i < people_.size(); ++i) {
      const Person& person = people_[i];
      file.Clear();
      file.SetInteger(FUN.CODIGO, static_cast<int64_t>(i + 1));
      SetUtf8(file, FUN.NOME,
              person.role == Role::PartnerNoEntries ? std::string(kLongName) : PersonName(random_));
      file.SetText(FUN.CPF, WithCheckDigits(Digits((cpf_base + i) % 1000000000, 9), 10, false));
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
      Status status = WritePersonEntries(people_[i]);
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

  Status WritePersonEntries(const Person& person) {
    std::vector<Entry> entries;
    switch (person.role) {
      case Role::Employee: {
        const int64_t salary = 141200 + random_.Below(800000);
        for (int month = 1; month <= 12; ++month) {
          const int32_t first = DATE(month, 1, year_), last = DATE(month + 1, 0, year_);
          if (person.admission > last || (person.dismissal != 0 && person.dismissal < first)) {
            continue;
          }
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
    }
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

  const int year_;
  Random random_;
  std::vector<Person> people_;
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
      file.SetText(EMP.CGC, WithCheckDigits(Digits(random.Below(100000000), 8) + "0001", 5, true));
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
