// The export's hand-over (the company and year the payroll program hands over in Quelbrix.ini)
// and the search for that company in the common company file.
#pragma once

#include <functional>
#include <string>

#include "export/calc_empresas.h"
#include "runtime/records/record_file.h"

namespace dasn {

// The hand-over file, relative to the working directory, and its section.
inline constexpr const char* kHandOverFile = "Quelbrix.ini";
inline constexpr const char* kHandOverSection = "Quelbrix";

// Reads EMPID, EMPCOD, EMPCNPJ and EMPANO from the hand-over file in `folder` (the working
// directory's short form); missing values read as 0 and blanks.
HandOverValues ReadHandOver(const std::string& folder);

// True when some hand-over value is missing: an identifier, code or year of 0, or a blank CNPJ.
bool HandOverIncomplete(const HandOverValues& LEMP);

// "<prefix> ID <id> Codigo <code> CNPJ <cnpj, 14 characters> Ano <year>".
std::string HandOverText(const std::string& prefix, const HandOverValues& LEMP);

// The CNPJ test: both texts read as numbers and shown as 14 digits with leading zeros are equal.
bool SameCnpj(std::string_view company_cnpj, std::string_view handed_cnpj);

// Walks `companies` (open, in EMP:KEY:CODIGO order) up to three times: by identifier and CNPJ,
// then by code and CNPJ, then by CNPJ alone; calls `found` for the first company that matches,
// with the company record in the buffer, and returns true. `each_record` runs after every
// record read (the window shows it). False when no company matches.
bool FindCompany(runtime::RecordFile& companies, const HandOverValues& LEMP,
                 const std::function<void()>& each_record, const std::function<void()>& found);

}  // namespace dasn
