// The least work that writes one company's annual summary (Temp/DASN.TXT) from our payroll data
// files: the lower bound beside which bench/end_to_end.cc measures `vardimo`. It opens the SQLite
// files directly and read-only, walks the employee key three times in code order reading only
// the bytes of the fields the summary needs (incremental blob reads, so the rest of a 6 KB record
// is never touched), scans each partner's year of payroll entries in key order without copying
// them, and writes the file in one go. The dictionary gives the field offsets and the key
// encoder the start of a scan; nothing of the record-file runtime reads a record.
//
// Usage, in the folder of the payroll database: dasn_lower_bound CODE YEAR

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/empresa.h"
#include "dictionary/funcionarios.h"
#include "dictionary/movimento.h"
#include "export/calc_empresas.h"
#include "runtime/platform/path.h"
#include "runtime/records/key_encoder.h"
#include "runtime/values/date_time.h"
#include "runtime/values/picture.h"

namespace {

using dictionary::EMP;
using dictionary::FUN;
using dictionary::MOVFOLHA;
using runtime::FieldDeclaration;
using runtime::FieldType;
using runtime::FileDeclaration;

// One line on stderr and exit code 1.
[[noreturn]] void Fail(const std::string& problem) {
  std::fprintf(stderr, "dasn_lower_bound: %s\n", problem.c_str());
  std::exit(1);
}

// The little-endian integer field `field` of `record`.
int64_t Integer(const unsigned char* record, const FieldDeclaration& field) {
  const unsigned char* p = record + field.offset;
  switch (field.type) {
    case FieldType::Byte:
      return p[0];
    case FieldType::Short:
      return static_cast<int16_t>(p[0] | p[1] << 8);
    case FieldType::UShort:
      return static_cast<uint16_t>(p[0] | p[1] << 8);
    case FieldType::Long:
      return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 |
                                  static_cast<uint32_t>(p[3]) << 24);
    case FieldType::ULong:
      return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
    default:
      Fail(field.label + ": not a whole number");
  }
}

// The packed decimal `field` of `record` in units of its places; false when a digit is not one.
bool Packed(const unsigned char* record, const FieldDeclaration& field, int64_t* units) {
  const unsigned char* p = record + field.offset;
  int64_t value = 0;
  for (int i = 0; i < 2 * field.size - 1; ++i) {
    const int digit = i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 0x0F;
    if (digit > 9) return false;
    value = value * 10 + digit;
  }
  *units = (p[field.size - 1] & 0x0F) == 0x0D ? -value : value;
  return true;
}

// `units` with `places` decimals in the summary's form: the shortest plain text (1500, 1500.5,
// 0.25, -3.1, 0).
std::string Amount(int64_t units, int places) {
  std::string digits = std::to_string(units < 0 ? 0 - static_cast<uint64_t>(units) : units);
  while (places > 0 && digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
    --places;
  }
  if (digits == "0") return digits;
  if (places > 0) {
    if (digits.size() <= static_cast<size_t>(places)) {
      digits.insert(0, static_cast<size_t>(places) - digits.size() + 1, '0');
    }
    digits.insert(digits.size() - static_cast<size_t>(places), 1, '.');
  }
  return units < 0 ? "-" + digits : digits;
}

// `units` at four places brought to two, halves away from zero.
int64_t ToTwoPlaces(int64_t units) {
  const int64_t quotient = units / 100, remainder = units % 100;
  if (remainder >= 50) return quotient + 1;
  if (remainder <= -50) return quotient - 1;
  return quotient;
}

// The name of the function a data file's key indexes are built on; the store names it so.
std::string KeyFunctionName(const FileDeclaration& file) {
  std::string name = "vardimo_key_";
  for (char c : file.label) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    name.push_back(plain ? c : '_');
  }
  return name;
}

// Reading never computes a key: the indexes hold them. The function is there only so that
// statements naming the indexed expression can be prepared; should it run, the read fails.
void NoKeyFunction(sqlite3_context* context, int, sqlite3_value**) {
  sqlite3_result_error(context, "a key was computed where the index holds it", -1);
}

// One data file, open read-only inside one read transaction.
class DataFile {
 public:
  DataFile(const FileDeclaration& file, const std::string& name)
      : file_(file), path_(runtime::ResolvePath(name)) {
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
      Fail(path_ + ": " + sqlite3_errmsg(db_));
    }
    if (sqlite3_create_function_v2(db_, KeyFunctionName(file).c_str(), 3,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, NoKeyFunction,
                                   nullptr, nullptr, nullptr) != SQLITE_OK) {
      Failed("key function");
    }
    // The same map of the file as the record store makes.
    Exec("PRAGMA mmap_size=268435456");
    Exec("BEGIN");
  }
  ~DataFile() {
    for (sqlite3_stmt* statement : statements_) sqlite3_finalize(statement);
    if (blob_ != nullptr) sqlite3_blob_close(blob_);
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
  }
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  [[noreturn]] void Failed(const char* what) const {
    Fail(path_ + ": " + what + ": " + sqlite3_errmsg(db_));
  }

  // A walk in the order of key `key` giving `columns` of the records table; see From.
  sqlite3_stmt* Walk(int key, const char* columns) {
    const std::string expression =
        KeyFunctionName(file_) + "(" + std::to_string(key) + ", rid, data)";
    const std::string sql = std::string("SELECT ") + columns + " FROM records WHERE " + expression +
                            " >= ?1 ORDER BY " + expression;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
        SQLITE_OK) {
      Failed("prepare");
    }
    statements_.push_back(statement);
    return statement;
  }

  // Starts `walk` again at the first record whose key is at least `start`; an empty `start`
  // takes every record the key holds.
  static sqlite3_stmt* From(sqlite3_stmt* walk, std::string_view start) {
    sqlite3_reset(walk);
    sqlite3_bind_blob(walk, 1, start.data(), static_cast<int>(start.size()), SQLITE_TRANSIENT);
    return walk;
  }

  // Reads `size` bytes at `offset` of the data of record `rid`, leaving the rest unread.
  void ReadPart(int64_t rid, int offset, int size, unsigned char* out) {
    const int rc = blob_ == nullptr
                       ? sqlite3_blob_open(db_, "main", "records", "data", rid, 0, &blob_)
                       : sqlite3_blob_reopen(blob_, rid);
    if (rc != SQLITE_OK) Failed("read");
    if (sqlite3_blob_bytes(blob_) != file_.record_length) {
      Fail(path_ + ": record " + std::to_string(rid) + " does not fit the declaration of " +
           file_.label);
    }
    if (sqlite3_blob_read(blob_, out, size, offset) != SQLITE_OK) Failed("read");
  }

  const std::string& path() const { return path_; }

 private:
  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Failed(sql);
  }

  const FileDeclaration& file_;
  const std::string path_;
  sqlite3* db_ = nullptr;
  sqlite3_blob* blob_ = nullptr;
  std::vector<sqlite3_stmt*> statements_;
};

// The bytes of a record from the first of `fields` to the end of the last, read as one piece.
class FieldSpan {
 public:
  FieldSpan(const FileDeclaration& file, std::initializer_list<int> fields) {
    begin_ = file.record_length;
    int end = 0;
    for (int number : fields) {
      const FieldDeclaration& field = *file.field(number);
      begin_ = std::min(begin_, field.offset);
      end = std::max(end, field.offset + field.size * field.count);
    }
    bytes_.resize(static_cast<size_t>(file.record_length));
    size_ = end - begin_;
  }
  // Reads the span of record `rid`; the record's other bytes are left as they were.
  const unsigned char* Read(DataFile& file, int64_t rid) {
    file.ReadPart(rid, begin_, size_, bytes_.data() + begin_);
    return bytes_.data();
  }

 private:
  int begin_ = 0;
  int size_ = 0;
  std::vector<unsigned char> bytes_;
};

// The rules of who counts come from the summary itself, so the two never drift apart.
using dasn::CountedAsEmployee;
using dasn::IsPartner;

struct Summary {
  int32_t first_day = 0;
  int32_t last_day = 0;
  int year = 0;
  std::string text;
};

// Employees in code order who are employed on `day`.
int CountEmployees(DataFile& employees, sqlite3_stmt* by_code, int32_t day) {
  const FileDeclaration& fun = dictionary::FuncionariosDeclaration();
  FieldSpan span(fun, {FUN.ADMISSAO, FUN.DEMISSAO, FUN.CATEGORIA});
  sqlite3_stmt* walk = DataFile::From(by_code, "");
  int count = 0;
  int rc;
  while ((rc = sqlite3_step(walk)) == SQLITE_ROW) {
    const unsigned char* record = span.Read(employees, sqlite3_column_int64(walk, 0));
    const int64_t admission = Integer(record, *fun.field(FUN.ADMISSAO));
    const int64_t dismissal = Integer(record, *fun.field(FUN.DEMISSAO));
    if (CountedAsEmployee(Integer(record, *fun.field(FUN.CATEGORIA))) && admission <= day &&
        (dismissal >= day || dismissal < 1)) {
      ++count;
    }
  }
  if (rc != SQLITE_DONE) employees.Failed("walk");
  return count;
}

// Appends the line of the partner whose summary fields are in `partner`, summing the year's
// entries that `scan` (a walk of MOVFOLHA:KEY:FUNCMESTIPOPGTO) finds.
void SumPartner(DataFile& entries, sqlite3_stmt* by_employee, const runtime::KeyEncoder& encoder,
                const unsigned char* partner, Summary* summary) {
  const FileDeclaration& fun = dictionary::FuncionariosDeclaration();
  const FileDeclaration& mov = dictionary::MovimentoDeclaration();
  const int64_t employee = Integer(partner, *fun.field(FUN.CODIGO));
  // The start of the scan: the employee and the first day, the key's other fields 0.
  std::string record(static_cast<size_t>(mov.record_length), '\0');
  auto put = [&record](const FieldDeclaration& field, int64_t value) {
    for (int i = 0; i < field.size; ++i)
      record[field.offset + i] = static_cast<char>(value >> 8 * i);
  };
  put(*mov.field(MOVFOLHA.CODIGOFUNCIONARIO), employee);
  put(*mov.field(MOVFOLHA.MESANOCOMPETENCIA), summary->first_day);
  std::string start;
  if (!encoder.EncodePrefix(MOVFOLHA.KEY.FUNCMESTIPOPGTO, record, &start).ok()) {
    Fail("the payroll key cannot be encoded");
  }
  const FieldDeclaration& month_field = *mov.field(MOVFOLHA.MESANOCOMPETENCIA);
  const FieldDeclaration& employee_field = *mov.field(MOVFOLHA.CODIGOFUNCIONARIO);
  const FieldDeclaration& receipt_field = *mov.field(MOVFOLHA.IMPRIMERECIBO);
  const FieldDeclaration& type_field = *mov.field(MOVFOLHA.TIPOPAGAMENTO);
  const FieldDeclaration& value_field = *mov.field(MOVFOLHA.VALOR);
  const FieldDeclaration& account_field = *mov.field(MOVFOLHA.CODIGOCONTA);
  int64_t taxable = 0, tax = 0, exempt = 0;
  sqlite3_stmt* scan = DataFile::From(by_employee, start);
  int rc;
  while ((rc = sqlite3_step(scan)) == SQLITE_ROW) {
    // With the file mapped, the record is read where it lies.
    const auto* entry = static_cast<const unsigned char*>(sqlite3_column_blob(scan, 1));
    if (sqlite3_column_bytes(scan, 1) != mov.record_length) {
      Fail(entries.path() + ": record " + std::to_string(sqlite3_column_int64(scan, 0)) +
           " does not fit the declaration of " + mov.label);
    }
    const int64_t month = Integer(entry, month_field);
    if (Integer(entry, employee_field) != employee || month < summary->first_day ||
        month > summary->last_day) {
      break;
    }
    if (Integer(entry, receipt_field) != 0 || Integer(entry, type_field) != 0) continue;
    int64_t value = 0;
    if (!Packed(entry, value_field, &value)) {
      Fail(entries.path() + ": record " + std::to_string(sqlite3_column_int64(scan, 0)) + ": " +
           value_field.label + ": not a packed decimal");
    }
    if (value == 0) continue;
    const int64_t account = Integer(entry, account_field);
    if (account < 5001 && account != 3005) taxable += value;
    if (account == 5004 || account == 5047) tax += value;
    if (account == 3005) exempt = value;
  }
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) entries.Failed("scan");
  sqlite3_reset(scan);

  int64_t share = 0;
  if (!Packed(partner, *fun.field(FUN.PCTCAPTOTAL), &share)) {
    Fail("employee " + std::to_string(employee) + ": FUN:PCTCAPTOTAL: not a packed decimal");
  }
  const FieldDeclaration& name = *fun.field(FUN.NOME);
  const FieldDeclaration& cpf = *fun.field(FUN.CPF);
  std::string_view shown(reinterpret_cast<const char*>(partner) + name.offset,
                         std::min(name.size, 50));
  shown = shown.substr(0, shown.find_last_not_of(' ') + 1);
  summary->text += "DASN_S|";
  summary->text.append(reinterpret_cast<const char*>(partner) + cpf.offset, 11);
  summary->text += "|";
  summary->text += shown;
  summary->text += "|" + Amount(exempt, 2) + "|" + Amount(taxable, 2) + "|" +
                   Amount(ToTwoPlaces(share), 2) + "|" + Amount(tax, 2) + "\r\n";
}

// The partners in code order, each with the year's payroll entries.
void AddPartners(DataFile& employees, sqlite3_stmt* by_code, DataFile& entries, Summary* summary) {
  const FileDeclaration& fun = dictionary::FuncionariosDeclaration();
  const runtime::KeyEncoder encoder(dictionary::MovimentoDeclaration());
  FieldSpan test(fun, {FUN.DEMISSAO, FUN.CATEGORIA});
  FieldSpan line(fun, {FUN.CODIGO, FUN.NOME, FUN.CPF, FUN.PCTCAPTOTAL});
  sqlite3_stmt* by_employee = entries.Walk(MOVFOLHA.KEY.FUNCMESTIPOPGTO, "rid, data");
  sqlite3_stmt* walk = DataFile::From(by_code, "");
  int rc;
  while ((rc = sqlite3_step(walk)) == SQLITE_ROW) {
    const int64_t rid = sqlite3_column_int64(walk, 0);
    const unsigned char* record = test.Read(employees, rid);
    if (!IsPartner(Integer(record, *fun.field(FUN.CATEGORIA)))) continue;
    const int64_t dismissal = Integer(record, *fun.field(FUN.DEMISSAO));
    if (dismissal > 0 && runtime::YEAR(static_cast<int32_t>(dismissal)) < summary->year) continue;
    SumPartner(entries, by_employee, encoder, line.Read(employees, rid), summary);
  }
  if (rc != SQLITE_DONE) employees.Failed("walk");
}

// Fails unless the company file holds company `code`.
void FindCompany(int code) {
  const FileDeclaration& emp = dictionary::EmpresaDeclaration();
  DataFile companies(emp, "BComuns\\Empresas.Tps");
  std::string record(static_cast<size_t>(emp.record_length), '\0');
  const FieldDeclaration& field = *emp.field(EMP.CODIGO);
  for (int i = 0; i < field.size; ++i) record[field.offset + i] = static_cast<char>(code >> 8 * i);
  std::string key;
  if (!runtime::KeyEncoder(emp).EncodePrefix(EMP.KEY.CODIGO, record, &key).ok()) {
    Fail("the company key cannot be encoded");
  }
  sqlite3_stmt* fetch = DataFile::From(companies.Walk(EMP.KEY.CODIGO, "rid, data"), key);
  const int rc = sqlite3_step(fetch);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) companies.Failed("read");
  // The key is unique and the walk starts at the code: the first record has it or none does.
  const auto* found = static_cast<const unsigned char*>(sqlite3_column_blob(fetch, 1));
  if (rc == SQLITE_DONE || sqlite3_column_bytes(fetch, 1) != emp.record_length ||
      Integer(found, field) != code) {
    Fail("no company " + std::to_string(code) + " in " + companies.path());
  }
}

bool ReadNumber(const char* text, int low, int high, int* out) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < low || value > high) return false;
  *out = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  Summary summary;
  if (argc != 3 || !ReadNumber(argv[1], 1, 65535, &code) ||
      !ReadNumber(argv[2], 1801, 9999, &summary.year)) {
    std::fprintf(stderr,
                 "usage: dasn_lower_bound CODE YEAR (company 1 to 65535, year 1801 to 9999)\n");
    return 2;
  }
  summary.first_day = runtime::DATE(1, 1, summary.year);
  summary.last_day = runtime::DATE(12, 31, summary.year);
  const std::string output = runtime::ResolvePath("Temp\\DASN.TXT");
  std::remove(output.c_str());
  FindCompany(code);

  const std::string folder = runtime::Format(code, "p########p");
  const std::string employees_name = folder + "\\Funciona.Tps";
  const std::string entries_name =
      folder + "\\Folha\\" + runtime::Format(summary.year, "p####p") + "\\MOVIMENT.Tps";
  for (const std::string& name : {employees_name, entries_name}) {
    if (!runtime::FileExists(name)) Fail(runtime::ResolvePath(name) + ": no such data file");
  }
  DataFile employees(dictionary::FuncionariosDeclaration(), employees_name);
  DataFile entries(dictionary::MovimentoDeclaration(), entries_name);
  sqlite3_stmt* by_code = employees.Walk(FUN.KEY.CODIGO, "rid");
  const int first = CountEmployees(employees, by_code, summary.first_day);
  const int last = CountEmployees(employees, by_code, summary.last_day);
  summary.text = "DASN_F|" + std::to_string(first) + "|" + std::to_string(last) + "\r\n";
  AddPartners(employees, by_code, entries, &summary);

  std::FILE* out = std::fopen(output.c_str(), "wb");
  const bool written = out != nullptr && std::fwrite(summary.text.data(), 1, summary.text.size(),
                                                     out) == summary.text.size();
  if (out == nullptr || std::fclose(out) != 0 || !written) {
    std::remove(output.c_str());
    Fail(output + ": cannot be written");
  }
  return 0;
}
