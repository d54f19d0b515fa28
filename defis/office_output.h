// The files of an office-wide run: per company its DASN.TXT and defis.json, and for the office a
// summary.csv and a conference report, report.html. Each file is written under a temporary name
// and renamed into place, so none is ever half-written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "defis/office_run.h"
#include "runtime/base/status.h"

namespace defis {

// The company's folder below the output folder: its code as eight digits.
std::string CompanyFolder(int64_t code);

// The company's figures in the field names of the tax authority's DEFIS service: a JSON object
// with qtdEmpregadoInicial, qtdEmpregadoFinal and socios (cpf with its digits only,
// rendimentosIsentos, rendimentosTributaveis, participacaoCapitalSocial, irRetidoFonte, amounts
// with two decimals).
std::string CompanyJson(const CompanyResult& company);

// One row per company: code, CNPJ, name, employees at the start and the end of the year,
// partners, warnings, status and error; RFC 4180, UTF-8, CR LF.
std::string SummaryCsv(const std::vector<CompanyResult>& companies);

// The conference report: one self-contained HTML page (no script, a print style sheet).
std::string ReportHtml(int year, const std::vector<CompanyResult>& companies);

// Writes every file under `folder` (created when missing), the companies' on `threads` threads.
// A company without figures gets no DASN.TXT and no defis.json: those of an earlier run are
// removed.
runtime::Status WriteOffice(const std::filesystem::path& folder, int year,
                            const std::vector<CompanyResult>& companies, int threads = 1);

}  // namespace defis
