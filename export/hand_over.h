// The hand-over: the company and year the payroll program leaves in Quelbrix.ini, and the CNPJ
// test by which the export window's searches match a company to it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dasn {

// The hand-over file, relative to the working directory, and its section.
inline constexpr const char* kHandOverFile = "Quelbrix.ini";
inline constexpr const char* kHandOverSection = "Quelbrix";

// The hand-over values of the export window (`LEMP:...`).
struct HandOverValues {
  int32_t ID = 0;
  int32_t CODIGO = 0;
  std::string CNPJ = std::string(14, ' ');  // without its mask, fitted to 14 characters
  int32_t ANO = 0;
  // The CNPJ handed over was longer than 14 characters without its mask: it matches no company.
  bool CnpjTooLong = false;
};

// Reads EMPID, EMPCOD, EMPCNPJ and EMPANO, in that order, from the hand-over file in `folder`
// (the working directory's short form). A missing file or key reads as 0 and blanks; a number
// that is no number or does not fit a LONG reads as 0. The CNPJ is read whole, its mask (".",
// "/", "-") and blanks removed, and only then fitted to 14 characters.
HandOverValues ReadHandOver(const std::string& folder);

// True when some hand-over value is missing: an identifier, code or year of 0, or a blank CNPJ.
bool HandOverIncomplete(const HandOverValues& LEMP);

// "<prefix> ID <id> Codigo <code> CNPJ <cnpj, 14 characters> Ano <year>".
std::string HandOverText(std::string_view prefix, const HandOverValues& LEMP);

// The CNPJ test of the searches: the company's `EMP:CGC` against the hand-over. Both lose their
// mask and blanks; when both are digits they compare as 14-digit numbers (leading zeros do not
// matter), and when either holds a letter (the alphanumeric CNPJ) they compare as identifiers,
// upper-cased and left-padded with zeros to 14 characters. A CNPJ handed over too long matches
// nothing.
bool CnpjMatches(std::string_view company_cnpj, const HandOverValues& LEMP);

// Whether the hand-over CNPJ may find a company on its own (the third search): not when it is
// blank or zero, which would pick whichever company has no CNPJ.
bool CnpjSearchable(const HandOverValues& LEMP);

}  // namespace dasn
