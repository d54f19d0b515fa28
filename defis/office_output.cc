#include "defis/office_output.h"

#include <atomic>
#include <mutex>
#include <nlohmann/json.hpp>
#include <system_error>
#include <thread>

#include "runtime/base/error_codes.h"
#include "runtime/platform/file_system.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

namespace defis {

namespace {

using runtime::Status;

// Stands for a number with exactly two decimals until the JSON text is made: the library writes
// a floating-point number in its shortest form (1500.5), the service expects 1500.50.
constexpr std::string_view kAmountMark =
    "\x01"
    "amount:";

std::string TwoDecimals(const runtime::Decimal& value) {
  const int64_t units = value.Rescaled(2).units();
  const int64_t magnitude = units < 0 ? -units : units;
  const int64_t cents = magnitude % 100;
  return std::string(units < 0 ? "-" : "") + std::to_string(magnitude / 100) + "." +
         (cents < 10 ? "0" : "") + std::to_string(cents);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

const char* StatusText(CompanyStatus status) {
  switch (status) {
    case CompanyStatus::Computed:
      return "computed";
    case CompanyStatus::FilesMissing:
      return "files missing";
    case CompanyStatus::Failed:
      return "failed";
  }
  return "failed";
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : "; ") + text;
  return joined;
}

Status Write(const std::filesystem::path& path, std::string_view contents) {
  Status status = runtime::WriteFileAtomically(path, contents);
  if (!status.ok()) return Status(status.code(), path.string() + ": " + status.message());
  return Status::Ok();
}

// The company's DASN.TXT and defis.json, or, when it has no figures, none (an earlier run's go).
Status WriteCompany(const std::filesystem::path& folder, const CompanyResult& company) {
  std::error_code error;
  const std::filesystem::path place = folder / runtime::Format(company.code, "p########p");
  if (company.status != CompanyStatus::Computed) {
    std::filesystem::remove(place / "DASN.TXT", error);
    std::filesystem::remove(place / "defis.json", error);
    return Status::Ok();
  }
  std::filesystem::create_directories(place, error);
  if (error) {
    return Status(runtime::kPathNotFound, place.string() + ": cannot create: " + error.message());
  }
  Status status = Write(place / "DASN.TXT", company.summary);
  if (status.ok()) status = Write(place / "defis.json", CompanyJson(company));
  return status;
}

}  // namespace

std::string CompanyFolder(int64_t code) { return runtime::Format(code, "p########p"); }

std::string CompanyJson(const CompanyResult& company) {
  nlohmann::ordered_json json;
  json["qtdEmpregadoInicial"] = company.employees_start;
  json["qtdEmpregadoFinal"] = company.employees_end;
  json["socios"] = nlohmann::ordered_json::array();
  auto amount = [](const runtime::Decimal& value) {
    return std::string(kAmountMark) + TwoDecimals(value);
  };
  for (const PartnerFigures& partner : company.partners) {
    nlohmann::ordered_json socio;
    socio["cpf"] = CpfDigits(partner.cpf);
    socio["rendimentosIsentos"] = amount(partner.exempt);
    socio["rendimentosTributaveis"] = amount(partner.taxable);
    socio["participacaoCapitalSocial"] = amount(partner.share);
    socio["irRetidoFonte"] = amount(partner.withheld);
    json["socios"].push_back(std::move(socio));
  }
  // The marks come out as "\u0001amount:1500.50"; each becomes the bare number.
  std::string text = json.dump(2);
  const std::string mark = "\"\\u0001amount:";
  for (size_t at; (at = text.find(mark)) != std::string::npos;) {
    const size_t end = text.find('"', at + mark.size());
    text = text.substr(0, at) + text.substr(at + mark.size(), end - at - mark.size()) +
           text.substr(end + 1);
  }
  return text + "\n";
}

std::string SummaryCsv(const std::vector<CompanyResult>& companies) {
  std::string csv =
      "code,cnpj,name,employees_start,employees_end,partners,warnings,status,error\r\n";
  for (const CompanyResult& company : companies) {
    const bool computed = company.status == CompanyStatus::Computed;
    csv += std::to_string(company.code) + "," + CsvField(runtime::Cp1252ToUtf8(company.cnpj)) +
           "," + CsvField(runtime::Cp1252ToUtf8(company.name)) + "," +
           (computed ? std::to_string(company.employees_start) : "") + "," +
           (computed ? std::to_string(company.employees_end) : "") + "," +
           (computed ? std::to_string(company.partners.size()) : "") + "," +
           std::to_string(company.warnings.size()) + "," + StatusText(company.status) + "," +
           CsvField(Joined(company.errors)) + "\r\n";
  }
  return csv;
}

Status WriteOffice(const std::filesystem::path& folder, int year,
                   const std::vector<CompanyResult>& companies, int threads) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    return Status(runtime::kPathNotFound, folder.string() + ": cannot create: " + error.message());
  }
  // Each file waits for the disk (see WriteFileAtomically): the companies' files are written by
  // several threads at once, each company by one.
  std::atomic<size_t> next{0};
  std::mutex failure_lock;
  Status failure = Status::Ok();
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < companies.size();) {
      const Status status = WriteCompany(folder, companies[i]);
      if (!status.ok()) {
        std::lock_guard<std::mutex> lock(failure_lock);
        if (failure.ok()) failure = status;
      }
    }
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  if (!failure.ok()) return failure;
  Status status = Write(folder / "summary.csv", SummaryCsv(companies));
  if (status.ok()) status = Write(folder / "report.html", ReportHtml(year, companies));
  return status;
}

}  // namespace defis
