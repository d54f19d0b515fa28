// The conference report of an office-wide run: an index of the companies with their warning
// counts, then per company its employees, its partners with their figures and totals, and the
// warnings beside what they concern. One page, its style inside, no script; printed, each company
// starts a new page.
#include <map>
#include <string>

#include "defis/office_output.h"
#include "runtime/values/text.h"

namespace defis {

namespace {

using runtime::Decimal;

constexpr std::string_view kStyle = R"(
body { font: 14px/1.4 "DejaVu Sans", Arial, sans-serif; color: #111; margin: 2em; }
h1 { font-size: 1.5em; margin: 0 0 .5em; }
h2 { font-size: 1.2em; margin: 2em 0 .3em; border-bottom: 2px solid #333; }
table { border-collapse: collapse; margin: .5em 0; }
th, td { border: 1px solid #999; padding: .2em .5em; vertical-align: top; }
th { background: #eee; text-align: left; }
td.num { text-align: right; white-space: nowrap; }
td.cpf { white-space: nowrap; }
tr.total td { font-weight: bold; background: #f6f6f6; }
.warn { color: #8a1f11; }
ul.warn { margin: .3em 0; }
.status-failed { color: #8a1f11; font-weight: bold; }
.status-missing { color: #555; font-style: italic; }
@media print {
  body { margin: 0; font-size: 11px; }
  section.company { page-break-before: always; }
  a { color: inherit; text-decoration: none; }
}
)";

// Text of the payroll data (Windows-1252) or of the run (UTF-8) made safe for HTML.
std::string Escape(std::string_view utf8) {
  std::string escaped;
  for (char c : utf8) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}
std::string FromData(std::string_view cp1252) { return Escape(runtime::Cp1252ToUtf8(cp1252)); }

// "123.456.789-01" for a CPF of 11 digits; any other stored value as it is.
std::string Cpf(const std::string& stored) {
  const std::string digits = CpfDigits(stored);
  if (digits.size() != 11 || std::string(runtime::ClipRight(stored)) != digits) {
    return FromData(runtime::ClipRight(stored));
  }
  return digits.substr(0, 3) + "." + digits.substr(3, 3) + "." + digits.substr(6, 3) + "-" +
         digits.substr(9, 2);
}

// "00.822.465/0001-28" for a CNPJ of 14 characters without its mask (numeric or alphanumeric);
// any other stored value as it is.
std::string Cnpj(const std::string& stored) {
  const std::string text(runtime::ClipRight(stored));
  if (text.size() != 14 || text.find_first_of("./- ") != std::string::npos) return FromData(text);
  return FromData(text.substr(0, 2) + "." + text.substr(2, 3) + "." + text.substr(5, 3) + "/" +
                  text.substr(8, 4) + "-" + text.substr(12, 2));
}

std::string Anchor(const CompanyResult& company) { return "c" + CompanyFolder(company.code); }

std::string WarningList(const std::vector<const Warning*>& warnings) {
  if (warnings.empty()) return std::string();
  std::string html = "<ul class=\"warn\">";
  for (const Warning* warning : warnings) html += "<li>" + Escape(warning->text) + "</li>";
  return html + "</ul>";
}

std::string CompanySection(const CompanyResult& company) {
  std::string html = "<section class=\"company\" id=\"" + Anchor(company) + "\">\n<h2>" +
                     std::to_string(company.code) + " &ndash; " + FromData(company.name) +
                     "</h2>\n<p>CNPJ " + Cnpj(company.cnpj) + "</p>\n";
  if (company.status == CompanyStatus::FilesMissing) {
    return html +
           "<p class=\"status-missing\">Sem arquivo de funcionários ou de movimento do ano: "
           "nada calculado.</p>\n</section>\n";
  }
  if (company.status == CompanyStatus::Failed) {
    html += "<p class=\"status-failed\">Não calculada:</p>\n<ul class=\"warn\">";
    for (const std::string& error : company.errors) html += "<li>" + Escape(error) + "</li>";
    return html + "</ul>\n</section>\n";
  }
  std::map<int64_t, std::vector<const Warning*>> by_partner;
  for (const Warning& warning : company.warnings) by_partner[warning.partner].push_back(&warning);
  html += WarningList(by_partner[0]);
  html += "<table>\n<tr><th>Empregados no início do ano</th><td class=\"num\">" +
          std::to_string(company.employees_start) +
          "</td></tr>\n<tr><th>Empregados no fim do ano</th><td class=\"num\">" +
          std::to_string(company.employees_end) + "</td></tr>\n</table>\n";
  if (company.partners.empty()) return html + "<p>Nenhum sócio.</p>\n</section>\n";
  html +=
      "<table>\n<tr><th>Código</th><th>CPF</th><th>Nome</th><th>Rendimentos isentos</th>"
      "<th>Rendimentos tributáveis</th><th>Participação no capital (%)</th>"
      "<th>IR retido na fonte</th><th>Avisos</th></tr>\n";
  Decimal exempt(0, 2), taxable(0, 2), share(0, 2), withheld(0, 2);
  for (const PartnerFigures& partner : company.partners) {
    html += "<tr><td class=\"num\">" + std::to_string(partner.code) + "</td><td class=\"cpf\">" +
            Cpf(partner.cpf) + "</td><td>" + FromData(partner.name) + "</td><td class=\"num\">" +
            ShownAmount(partner.exempt) + "</td><td class=\"num\">" + ShownAmount(partner.taxable) +
            "</td><td class=\"num\">" + ShownAmount(partner.share) + "</td><td class=\"num\">" +
            ShownAmount(partner.withheld) + "</td><td>" + WarningList(by_partner[partner.code]) +
            "</td></tr>\n";
    exempt += partner.exempt;
    taxable += partner.taxable;
    share += partner.share;
    withheld += partner.withheld;
  }
  html += "<tr class=\"total\"><td colspan=\"3\">Total</td><td class=\"num\">" +
          ShownAmount(exempt) + "</td><td class=\"num\">" + ShownAmount(taxable) +
          "</td><td class=\"num\">" + ShownAmount(share) + "</td><td class=\"num\">" +
          ShownAmount(withheld) + "</td><td></td></tr>\n</table>\n</section>\n";
  return html;
}

}  // namespace

std::string ReportHtml(int year, const std::vector<CompanyResult>& companies) {
  const std::string title = "Conferência DEFIS " + std::to_string(year);
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>" +
      title + "</title>\n<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n<h1>" +
      title + "</h1>\n";
  size_t warnings = 0, failed = 0;
  for (const CompanyResult& company : companies) {
    warnings += company.warnings.size();
    failed += company.status == CompanyStatus::Failed;
  }
  html += "<p>" + std::to_string(companies.size()) + " empresas, " + std::to_string(warnings) +
          " avisos, " + std::to_string(failed) + " não calculadas.</p>\n";
  html +=
      "<table class=\"index\">\n<tr><th>Código</th><th>Empresa</th><th>Situação</th>"
      "<th>Avisos</th></tr>\n";
  for (const CompanyResult& company : companies) {
    const char* status = company.status == CompanyStatus::Computed       ? "calculada"
                         : company.status == CompanyStatus::FilesMissing ? "sem arquivos"
                                                                         : "não calculada";
    html += "<tr><td class=\"num\"><a href=\"#" + Anchor(company) + "\">" +
            std::to_string(company.code) + "</a></td><td>" + FromData(company.name) + "</td><td>" +
            status + "</td><td class=\"num\">" + std::to_string(company.warnings.size()) +
            "</td></tr>\n";
  }
  html += "</table>\n";
  for (const CompanyResult& company : companies) html += CompanySection(company);
  return html + "</body>\n</html>\n";
}

}  // namespace defis
