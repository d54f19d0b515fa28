#include "defis/checks.h"

#include <algorithm>
#include <map>

namespace defis {

namespace {

using runtime::Decimal;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The mod-11 check digit over `values`, weighted from `first_weight` downwards; after 2 the weights
// start again at 9 (only a CNPJ is long enough to get there).
int CheckDigit(const std::vector<int>& values, int first_weight) {
  int sum = 0;
  int weight = first_weight;
  for (int value : values) {
    sum += value * weight;
    weight = weight == 2 ? 9 : weight - 1;
  }
  const int rest = sum % 11;
  return rest < 2 ? 0 : 11 - rest;
}

}  // namespace

std::string ShownAmount(const Decimal& value) {
  const int64_t units = value.Rescaled(2).units();
  const int64_t magnitude = units < 0 ? -units : units;
  std::string whole = std::to_string(magnitude / 100);
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(i, ".");
  const int64_t cents = magnitude % 100;
  return (units < 0 ? "-" : "") + whole + "," + (cents < 10 ? "0" : "") + std::to_string(cents);
}

std::string CpfDigits(std::string_view cpf) {
  std::string digits;
  for (char c : cpf) {
    if (IsDigit(c)) digits.push_back(c);
  }
  return digits;
}

std::string CpfProblem(std::string_view cpf) {
  const size_t first = cpf.find_first_not_of(' ');
  if (first == std::string_view::npos) return "CPF em branco";
  const size_t last = cpf.find_last_not_of(' ');
  const std::string_view text = cpf.substr(first, last - first + 1);
  if (text.size() != 11 || !std::all_of(text.begin(), text.end(), IsDigit)) {
    return "CPF não tem 11 dígitos";
  }
  if (std::all_of(text.begin(), text.end(), [&](char c) { return c == text[0]; })) {
    return "CPF com todos os dígitos iguais";
  }
  std::vector<int> values;
  for (char c : text.substr(0, 9)) values.push_back(c - '0');
  const int first_digit = CheckDigit(values, 10);
  values.push_back(first_digit);
  const int second_digit = CheckDigit(values, 11);
  if (text[9] - '0' != first_digit || text[10] - '0' != second_digit) {
    return "CPF com dígitos verificadores errados";
  }
  return std::string();
}

std::string CnpjProblem(std::string_view cnpj) {
  std::string text;
  for (char c : cnpj) {
    if (c == '.' || c == '/' || c == '-' || c == ' ') continue;
    text.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  if (text.empty()) return "CNPJ em branco";
  if (text.size() > 14) return "CNPJ com mais de 14 caracteres";
  text.insert(0, 14 - text.size(), '0');
  for (size_t i = 0; i < text.size(); ++i) {
    const bool allowed = IsDigit(text[i]) || (i < 12 && IsUpperLetter(text[i]));
    if (!allowed) return "CNPJ com caractere inválido";
  }
  std::vector<int> values;
  for (size_t i = 0; i < 12; ++i) values.push_back(text[i] - '0');
  const int first_digit = CheckDigit(values, 5);
  values.push_back(first_digit);
  const int second_digit = CheckDigit(values, 6);
  if (text[12] - '0' != first_digit || text[13] - '0' != second_digit) {
    return "CNPJ com dígitos verificadores errados";
  }
  return std::string();
}

std::vector<Warning> CheckCompany(std::string_view cnpj,
                                  const std::vector<PartnerFigures>& partners) {
  std::vector<Warning> warnings;
  if (std::string problem = CnpjProblem(cnpj); !problem.empty()) {
    warnings.push_back({0, problem});
  }
  std::map<std::string, int64_t> first_with_cpf;
  Decimal shares(0, 2);
  for (const PartnerFigures& partner : partners) {
    auto warn = [&](std::string text) { warnings.push_back({partner.code, std::move(text)}); };
    if (std::string problem = CpfProblem(partner.cpf); !problem.empty()) warn(problem);
    const std::string cpf(partner.cpf.substr(0, partner.cpf.find_last_not_of(' ') + 1));
    if (!cpf.empty()) {
      const auto [earlier, added] = first_with_cpf.emplace(cpf, partner.code);
      if (!added) warn("CPF repetido: também o do sócio " + std::to_string(earlier->second));
    }
    const Decimal zero(0, 2);
    const struct {
      const char* what;
      const Decimal& value;
    } amounts[] = {{"rendimento isento", partner.exempt},
                   {"rendimento tributável", partner.taxable},
                   {"participação no capital", partner.share},
                   {"IRRF", partner.withheld}};
    for (const auto& amount : amounts) {
      if (amount.value < zero) warn(std::string("Valor negativo: ") + amount.what);
    }
    // Tax withheld on no taxable income at all counts too; no tax withheld never does.
    if (zero < partner.withheld && partner.taxable < partner.withheld) {
      warn("IRRF (" + ShownAmount(partner.withheld) + ") maior que o rendimento tributável (" +
           ShownAmount(partner.taxable) + ")");
    }
    if (partner.share.IsZero() && partner.exempt.IsZero() && partner.taxable.IsZero()) {
      warn("Sócio com 0 % do capital e sem rendimentos");
    }
    shares += partner.share;
  }
  if (!(shares == Decimal(10000, 2))) {
    warnings.push_back(
        {0, "As participações no capital somam " + ShownAmount(shares) + " %, não 100,00 %"});
  }
  return warnings;
}

}  // namespace defis
