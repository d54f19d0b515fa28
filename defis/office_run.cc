#include "defis/office_run.h"

#include <algorithm>
#include <atomic>
#include <iostream>
#include <mutex>
#include <set>
#include <thread>

#include "app/program.h"
#include "dictionary/access_classes.h"
#include "framework/errors/global_errors.h"
#include "runtime/base/error_codes.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/values/date_time.h"
#include "runtime/values/text.h"
#include "runtime/window/message_box.h"

namespace defis {

namespace {

using dasn::InDatabase;
using dictionary::EMP;
using runtime::Status;

namespace Access = dictionary::Access;
namespace Relate = dictionary::Relate;

// The messages of the company this thread computes; null outside a company. A plain pointer: no
// thread-local object may have a destructor.
thread_local constinit std::vector<std::string>* company_messages = nullptr;

// The run's error manager. A message goes to the company the calling thread computes instead of a
// message box, and a fatal error (a file that cannot be opened) fails that company instead of
// ending the process: the other companies go on.
class CompanyErrors final : public framework::ErrorClass {
 public:
  int32_t Msg(std::string_view txt, std::string_view caption, std::string_view, int32_t,
              int32_t default_button, int32_t) override {
    // Some titles of the table start with a blank; '|' breaks a message box's lines.
    while (!caption.empty() && caption.front() == ' ') caption.remove_prefix(1);
    std::string message = runtime::Cp1252ToUtf8(caption) + ": " + runtime::Cp1252ToUtf8(txt);
    std::replace(message.begin(), message.end(), '|', ' ');
    if (company_messages != nullptr) {
      company_messages->push_back(std::move(message));
    } else {
      std::cerr << "vardimo-defis: " << message << "\n";
    }
    return default_button;
  }
  void TakeFatal() override {
    Msg(SubsString(), GetErrorBufferTitle(), runtime::kIconExclamation, runtime::button::kOk,
        runtime::button::kOk, 0);
  }
};

// "db/" as "db", so that the files' names in messages read well.
std::string WithoutTrailingSeparators(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

// The company file's companies (code, CNPJ and name), in code order.
Status ListCompanies(const std::string& database, std::vector<CompanyResult>* companies) {
  runtime::RecordFile file(dictionary::EmpresaDeclaration());
  file.SetName(InDatabase(database, dasn::kCompanyFile));
  auto failure = [&] {
    return Status(runtime::ERRORCODE(), file.Name() + ": " + runtime::FILEERRORMSG());
  };
  if (file.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) != 0) {
    return failure();
  }
  file.Clear();
  if (file.Set(EMP.KEY.CODIGO) != 0) return failure();
  int code;
  while ((code = file.Next()) == 0) {
    CompanyResult company;
    company.code = file.GetInteger(EMP.CODIGO);
    company.cnpj = std::string(runtime::ClipRight(file.GetText(EMP.CGC)));
    company.name = std::string(runtime::ClipRight(file.GetText(EMP.RAZAOSOCIAL)));
    companies->push_back(std::move(company));
  }
  if (code != runtime::kRecordNotAvailable) return failure();
  file.Close();
  return Status::Ok();
}

// Keeps the summary's lines and figures in the company's result.
class CompanySink final : public dasn::SummarySink {
 public:
  explicit CompanySink(CompanyResult& result) : result_(result) {}
  bool Take(dasn::SummaryLine kind, const std::string& line, const dasn::WindowValues& LOC,
            int64_t employee) override {
    result_.summary += line + "\r\n";
    if (kind == dasn::SummaryLine::Employees) {
      result_.employees_start = LOC.QTDEFUNI;
      result_.employees_end = LOC.QTDEFUNF;
    } else {
      PartnerFigures partner;
      partner.code = employee;
      partner.cpf = LOC.SOCIOCPF;
      partner.name = std::string(runtime::ClipRight(LOC.SOCIONOME));
      partner.exempt = LOC.SOCIORENDISENTO;
      partner.taxable = LOC.SOCIOTRIBUTAVEL;
      partner.share = LOC.SOCIOPCTCAPITAL;
      partner.withheld = LOC.SOCIOIRRF;
      result_.partners.push_back(std::move(partner));
    }
    return true;
  }

 private:
  CompanyResult& result_;
};

// Computes one company on this thread's dictionary and files.
void ComputeCompany(const RunOptions& options, CompanyResult& result) {
  company_messages = &result.errors;
  result.status = CompanyStatus::Failed;
  framework::FileManager& companies = *Access::Empresa;
  if (dasn::OpenForReading(companies, InDatabase(options.database, dasn::kCompanyFile))) {
    runtime::RecordFile& company = *companies.File;
    company.Clear();
    company.SetInteger(EMP.CODIGO, result.code);
    if (company.Get(EMP.KEY.CODIGO) != 0) {
      companies.Throw(1);
    } else {
      dasn::MainVariables variables;
      variables.LEMP.ID = variables.LEMP.CODIGO = static_cast<int32_t>(result.code);
      variables.LEMP.ANO = options.year;
      variables.LOC.DATAINI = runtime::DATE(1, 1, options.year);
      variables.LOC.DATAFIM = runtime::DATE(12, 31, options.year);
      dasn::SummaryOptions summary;
      summary.opening = dasn::FileOpening::ThreadReadOnly;
      summary.database = options.database;
      summary.accounts = options.accounts;
      CompanySink sink(result);
      switch (dasn::ComputeSummary(variables, summary, sink)) {
        case dasn::SummaryResult::Written:
          result.status = CompanyStatus::Computed;
          result.warnings = CheckCompany(result.cnpj, result.partners);
          break;
        case dasn::SummaryResult::FilesMissing:
          result.status = CompanyStatus::FilesMissing;
          break;
        case dasn::SummaryResult::Failed:
          break;
      }
    }
  }
  if (result.status != CompanyStatus::Computed) {
    result.summary.clear();
    result.partners.clear();
  }
  if (result.status == CompanyStatus::Failed && result.errors.empty()) {
    result.errors.push_back("the company could not be computed");
  }
  company_messages = nullptr;
}

// One worker: attached as every thread of the program is, it takes the next company until none is
// left, then gives its files back and detaches.
void Work(const RunOptions& options, const std::vector<size_t>& pending,
          std::vector<CompanyResult>& results, std::atomic<size_t>& next, std::mutex& progress,
          size_t& done) {
  vardimo::AttachThread();
  for (size_t i; (i = next.fetch_add(1)) < pending.size();) {
    ComputeCompany(options, results[pending[i]]);
    if (options.progress) {
      std::lock_guard<std::mutex> lock(progress);
      options.progress(++done, pending.size());
    }
  }
  Relate::Empresa->Close(0);
  Relate::Funcionarios->Close(0);
  Relate::Movimento->Close(0);
  Access::Empresa->File->Close();
  Access::Funcionarios->File->Close();
  Access::Movimento->File->Close();
  vardimo::DetachThread();
}

}  // namespace

Status RunOffice(const RunOptions& given, std::vector<CompanyResult>* results) {
  RunOptions options = given;
  options.database = WithoutTrailingSeparators(given.database);
  results->clear();
  std::vector<CompanyResult> all;
  Status status = ListCompanies(options.database, &all);
  if (!status.ok()) return status;
  if (options.codes.empty()) {
    *results = std::move(all);
  } else {
    for (int64_t code : std::set<int64_t>(options.codes.begin(), options.codes.end())) {
      auto found = std::find_if(all.begin(), all.end(),
                                [&](const CompanyResult& c) { return c.code == code; });
      if (found != all.end()) {
        results->push_back(*found);
      } else {
        CompanyResult missing;
        missing.code = code;
        missing.errors.push_back("no company with this code in " +
                                 InDatabase(options.database, dasn::kCompanyFile));
        results->push_back(std::move(missing));
      }
    }
  }
  std::vector<size_t> pending;
  for (size_t i = 0; i < results->size(); ++i) {
    if ((*results)[i].errors.empty()) pending.push_back(i);
  }

  CompanyErrors errors;
  framework::ErrorClass* previous = framework::SetGlobalErrors(&errors);
  errors.Init(vardimo::GlobalErrorStatus());
  errors.Silent = 1;  // questions asked past Msg (ErrorClass::Message) take their default answer
  vardimo::AttachThread();
  {
    std::atomic<size_t> next{0};
    std::mutex progress;
    size_t done = 0;
    const size_t threads = std::min(static_cast<size_t>(std::max(options.jobs, 1)),
                                    std::max<size_t>(pending.size(), 1));
    std::vector<std::thread> workers;
    for (size_t t = 0; t < threads; ++t) {
      workers.emplace_back(Work, std::cref(options), std::cref(pending), std::ref(*results),
                           std::ref(next), std::ref(progress), std::ref(done));
    }
    for (std::thread& worker : workers) worker.join();
  }
  vardimo::DetachThread();
  framework::SetGlobalErrors(previous);
  return Status::Ok();
}

}  // namespace defis
