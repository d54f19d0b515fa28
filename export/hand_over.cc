#include "export/hand_over.h"

#include <limits>

#include "runtime/platform/ini_file.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

namespace dasn {

namespace {

// A hand-over number; 0 when it is no number or does not fit a LONG.
int32_t ReadLong(const std::string& file, const char* key) {
  const int64_t value = runtime::TextToInteger(runtime::GETINI(kHandOverSection, key, "0", file));
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return 0;
  }
  return static_cast<int32_t>(value);
}

// The CNPJ without the mask that offices write it with, and without blanks.
std::string Unmasked(std::string_view cnpj) {
  std::string bare;
  for (char c : cnpj) {
    if (c != '.' && c != '/' && c != '-' && c != ' ') bare += c;
  }
  return bare;
}

bool HasLetter(std::string_view text) {
  for (char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  }
  return false;
}

// An alphanumeric CNPJ as an identifier: upper-cased, left-padded with zeros to 14 characters.
std::string AsIdentifier(std::string_view bare) {
  std::string id(bare.size() < 14 ? 14 - bare.size() : 0, '0');
  for (char c : bare) id += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return id;
}

// A CNPJ of digits as the 14-digit number the searches compare.
std::string AsNumber(std::string_view bare) {
  return runtime::Format(runtime::TextToInteger(bare), "n014");
}

}  // namespace

HandOverValues ReadHandOver(const std::string& folder) {
  const std::string file = folder + "\\" + kHandOverFile;
  HandOverValues LEMP;
  LEMP.ID = ReadLong(file, "EMPID");
  LEMP.CODIGO = ReadLong(file, "EMPCOD");
  const std::string cnpj = Unmasked(runtime::GETINI(kHandOverSection, "EMPCNPJ", "", file));
  LEMP.CnpjTooLong = cnpj.size() > 14;
  LEMP.CNPJ = cnpj.substr(0, 14);
  LEMP.CNPJ.resize(14, ' ');
  LEMP.ANO = ReadLong(file, "EMPANO");
  return LEMP;
}

bool HandOverIncomplete(const HandOverValues& LEMP) {
  return LEMP.ID == 0 || LEMP.CODIGO == 0 || runtime::ClipRight(LEMP.CNPJ).empty() || LEMP.ANO == 0;
}

std::string HandOverText(std::string_view prefix, const HandOverValues& LEMP) {
  return std::string(prefix) + " ID " + std::to_string(LEMP.ID) + " Codigo " +
         std::to_string(LEMP.CODIGO) + " CNPJ " + LEMP.CNPJ + " Ano " + std::to_string(LEMP.ANO);
}

bool CnpjMatches(std::string_view company_cnpj, const HandOverValues& LEMP) {
  if (LEMP.CnpjTooLong) return false;
  const std::string company = Unmasked(company_cnpj);
  const std::string handed = Unmasked(LEMP.CNPJ);
  if (HasLetter(company) || HasLetter(handed)) return AsIdentifier(company) == AsIdentifier(handed);
  return AsNumber(company) == AsNumber(handed);
}

bool CnpjSearchable(const HandOverValues& LEMP) {
  if (LEMP.CnpjTooLong) return false;
  const std::string handed = Unmasked(LEMP.CNPJ);
  if (HasLetter(handed)) return true;
  return runtime::TextToInteger(handed) != 0;
}

}  // namespace dasn
