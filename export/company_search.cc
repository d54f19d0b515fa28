#include "export/company_search.h"

#include "dictionary/empresa.h"
#include "runtime/platform/ini_file.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

namespace dasn {

using dictionary::EMP;

HandOverValues ReadHandOver(const std::string& folder) {
  const std::string file = folder + "\\" + kHandOverFile;
  HandOverValues LEMP;
  LEMP.ID = static_cast<int32_t>(
      runtime::TextToInteger(runtime::GETINI(kHandOverSection, "EMPID", "0", file)));
  LEMP.CODIGO = static_cast<int32_t>(
      runtime::TextToInteger(runtime::GETINI(kHandOverSection, "EMPCOD", "0", file)));
  LEMP.CNPJ = runtime::GETINI(kHandOverSection, "EMPCNPJ", "", file);
  LEMP.CNPJ.resize(14, ' ');
  LEMP.ANO = static_cast<int32_t>(
      runtime::TextToInteger(runtime::GETINI(kHandOverSection, "EMPANO", "0", file)));
  return LEMP;
}

bool HandOverIncomplete(const HandOverValues& LEMP) {
  return LEMP.ID == 0 || LEMP.CODIGO == 0 || runtime::ClipRight(LEMP.CNPJ).empty() || LEMP.ANO == 0;
}

std::string HandOverText(const std::string& prefix, const HandOverValues& LEMP) {
  return prefix + " ID " + std::to_string(LEMP.ID) + " Codigo " + std::to_string(LEMP.CODIGO) +
         " CNPJ " + LEMP.CNPJ + " Ano " + std::to_string(LEMP.ANO);
}

bool SameCnpj(std::string_view company_cnpj, std::string_view handed_cnpj) {
  return runtime::Format(runtime::TextToInteger(company_cnpj), "n014") ==
         runtime::Format(runtime::TextToInteger(handed_cnpj), "n014");
}

bool FindCompany(runtime::RecordFile& companies, const HandOverValues& LEMP,
                 const std::function<void()>& each_record, const std::function<void()>& found) {
  enum class Match { IdentifierAndCnpj, CodeAndCnpj, CnpjAlone };
  for (Match match : {Match::IdentifierAndCnpj, Match::CodeAndCnpj, Match::CnpjAlone}) {
    companies.Clear();
    companies.Set(EMP.KEY.CODIGO);
    while (companies.Next() == 0) {
      each_record();
      if (!SameCnpj(companies.GetText(EMP.CGC), LEMP.CNPJ)) continue;
      const int64_t code = companies.GetInteger(EMP.CODIGO);
      if ((match == Match::IdentifierAndCnpj && code != LEMP.ID) ||
          (match == Match::CodeAndCnpj && code != LEMP.CODIGO)) {
        continue;
      }
      found();
      return true;
    }
  }
  return false;
}

}  // namespace dasn
