// Payroll entries as CSV for the import's tests: any number of rows, each with its own primary key.
#pragma once

#include <string>

namespace tools {

// A Movimento CSV of entries `first` to `first + count - 1`: per employee and month, fourteen
// accounts.
inline std::string TestEntries(int first, int count) {
  std::string csv =
      "MESANOCOMPETENCIA,CODIGOFUNCIONARIO,CODIGOCONTA,CLANCAMENTO,VALOR,SCOMPLEMENTO\n";
  for (int i = first; i < first + count; ++i) {
    const int month = 1 + i / 14 % 12;
    csv += "2014-" + std::string(month < 10 ? "0" : "") + std::to_string(month) + "-01," +
           std::to_string(1 + i / 168) + "," + std::to_string(100 + i % 14) + "," +
           std::to_string(1 + i % 14) + "," + std::to_string(i % 9999) + ".25,Lan\xC3\xA7" +
           "amento " + std::to_string(i) + "\n";
  }
  return csv;
}

}  // namespace tools
