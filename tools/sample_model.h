// The people and accounts of the sample database: who the employees and partners of a sample
// company are, when they are employed, how many payroll entries each has, and their names and
// registration numbers. Used by the sample writer only.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/values/date_time.h"

namespace tools::sample_model {

using runtime::DATE;

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
inline constexpr int kSalary = 1;
inline constexpr int kProLabore = 3;
inline constexpr int kOvertime = 100;
inline constexpr int kBonus = 200;
inline constexpr int kProfits = 3005;
inline constexpr int kOtherIncome = 4999;
inline constexpr int kSocialSecurity = 5001;
inline constexpr int kIncomeTax = 5004;
inline constexpr int kTransport = 5010;
inline constexpr int kIncomeTaxOnProfits = 5047;

inline std::string_view AccountText(int account) {
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
  PartnerTaxOnly,    // an office case: income tax withheld and no taxable income
  PartnerNegative,   // an office case: a negative taxable income
};

struct Person {
  Role role = Role::Employee;
  int category = 1;
  int32_t admission = 0;
  int32_t dismissal = 0;
  int64_t share = 0;  // FUN:PCTCAPTOTAL, four places
};

// The fixed first employees of every company; see sample.h.
inline std::vector<Person> Cast(int y) {
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

inline Person RandomPerson(Random& random, int y) {
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

// A partner beyond the cast's: category 5, 11 or 99 by turn, no dismissal, a share of the capital
// of up to 10%.
inline Person RandomPartner(Random& random, int y, int turn) {
  static constexpr std::array<int, 3> kPartnerCategories = {5, 11, 99};
  Person person;
  person.role = Role::Partner;
  person.category = kPartnerCategories[turn % kPartnerCategories.size()];
  person.admission = random.Day(DATE(1, 1, y - 15), DATE(12, 31, y - 1));
  person.share = 1 + random.Below(100000);
  return person;
}

// The partners among the first `employees` of the cast.
inline int CastPartners(int employees, int y) {
  const std::vector<Person> cast = Cast(y);
  int partners = 0;
  for (int i = 0; i < employees && i < static_cast<int>(cast.size()); ++i) {
    partners += cast[i].role != Role::Employee;
  }
  return partners;
}

// The months of year `y` (1 to 12) in which `person` is employed.
inline std::vector<int> MonthsEmployed(const Person& person, int y) {
  std::vector<int> months;
  for (int month = 1; month <= 12; ++month) {
    const int32_t first = DATE(month, 1, y), last = DATE(month + 1, 0, y);
    if (person.admission > last || (person.dismissal != 0 && person.dismissal < first)) continue;
    months.push_back(month);
  }
  return months;
}

// The entries of `person` when their number does not follow a wanted total, or -1 when it does:
// the cast's partners dismissed or without entries keep their fixed few, and an employee not
// employed in the year has none.
inline int FixedEntries(const Person& person, int y) {
  if (person.role == Role::Partner) return -1;
  if (person.role == Role::Employee) return MonthsEmployed(person, y).empty() ? 0 : -1;
  switch (person.role) {
    case Role::PartnerHalfYear:
      return 12;
    case Role::PartnerGone:
    case Role::PartnerTaxOnly:
    case Role::PartnerNegative:
      return 1;
    default:
      return 0;
  }
}

inline constexpr std::array<std::string_view, 8> kCompanyNames = {
    "Padaria São João Ltda",       "Comércio de Peças Araújo ME",   "Açougue Boa Vista Ltda",
    "Farmácia Popular Eireli",     "Oficina Irmãos Gonçalves Ltda", "Café & Companhia Ltda",
    "Confecções Três Corações ME", "Papelaria Ação Ltda",
};
inline constexpr std::array<std::string_view, 14> kFirstNames = {
    "José",  "Maria", "João",     "Antônio", "Francisca", "Ana",    "Luís",
    "Célia", "Íris",  "Raimundo", "Edvânia", "Sebastião", "Márcia", "Zoë",
};
inline constexpr std::array<std::string_view, 10> kSurnames = {
    "da Silva", "Gonçalves", "Araújo",    "da Conceição", "Nogueira",
    "Brandão",  "Simões",    "Magalhães", "Pereira",      "Assunção",
};
// Longer than the 50 characters of the summary's name.
inline constexpr std::string_view kLongName =
    "Maria da Conceição Albuquerque Magalhães de Assunção Figueiredo";

inline std::string PersonName(Random& random) {
  return std::string(kFirstNames[random.Below(kFirstNames.size())]) + " " +
         std::string(kSurnames[random.Below(kSurnames.size())]) + " " +
         std::string(kSurnames[random.Below(kSurnames.size())]);
}

// Registration numbers with their check digits: a CPF from 9 digits, a CNPJ from 12.
inline std::string WithCheckDigits(std::string digits, int first_weight, bool cnpj) {
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

inline std::string Digits(uint64_t value, int width) {
  std::string text(width, '0');
  for (int i = width - 1; i >= 0; --i, value /= 10) text[i] = static_cast<char>('0' + value % 10);
  return text;
}

}  // namespace tools::sample_model
