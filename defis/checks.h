// The checks an office makes before it files a company's annual declaration: registration numbers
// (CPF, CNPJ) with their check digits, and the partners' figures that the tax authority's portal
// rejects or that point to a payroll mistake. A check only warns; it never changes a figure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/values/decimal.h"

namespace defis {

// What is wrong with a CPF as stored (11 characters, Windows-1252); empty when it is sound: blank,
// not 11 digits, all digits equal, or check digits that do not follow (mod 11, weights 10..2 and
// 11..2).
std::string CpfProblem(std::string_view cpf);

// What is wrong with a company's CNPJ as stored (its mask, "." "/" "-" and blanks, is ignored; a
// shorter one is read with leading zeros): blank, too long, a character that is neither digit nor
// letter (letters only in the first twelve places), or check digits that do not follow. Each
// character counts as its code minus 48 (a digit as itself, 'A' as 17), with the weights 5..2,9..2
// and 6..2,9..2 of the numeric CNPJ. Empty when sound.
std::string CnpjProblem(std::string_view cnpj);

// The digits of a CPF as stored, for the tax authority's service: only its digits.
std::string CpfDigits(std::string_view cpf);
// An amount as the portal shows it: "1.234,56", "-0,05".
std::string ShownAmount(const runtime::Decimal& value);

struct PartnerFigures {
  int64_t code = 0;  // FUN:CODIGO
  std::string cpf;   // as stored, 11 characters
  std::string name;  // as in the summary, Windows-1252, trailing blanks removed
  runtime::Decimal exempt{0, 2};
  runtime::Decimal taxable{0, 2};
  runtime::Decimal share{0, 2};
  runtime::Decimal withheld{0, 2};
};

struct Warning {
  int64_t partner = 0;  // the partner's FUN:CODIGO; 0 for the company as a whole
  std::string text;     // UTF-8
};

// Every warning of one company, in this order: the CNPJ; then per partner in the given order its
// CPF, a CPF that an earlier partner has too, negative amounts, tax withheld beyond the taxable
// income, a partner with 0 % and no income; last the shares that do not add up to exactly 100.00.
std::vector<Warning> CheckCompany(std::string_view cnpj,
                                  const std::vector<PartnerFigures>& partners);

}  // namespace defis
