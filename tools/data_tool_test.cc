// Import and export through the library: export then import gives every file's records back byte
// for byte, bad input leaves the data file exactly as it was, and what spreadsheets write is read.

#include "tools/data_tool.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "dictionary/dictionary.h"
#include "runtime/base/error_codes.h"
#include "runtime/records/record_file.h"
#include "runtime/values/date_time.h"
#include "runtime/values/decimal.h"
#include "runtime/values/text.h"
#include "tests/testing.h"

namespace tools {
namespace {

using testing_support::ReadBytes;
using testing_support::WriteText;

using dictionary::FUN;
using runtime::FieldDeclaration;
using runtime::FieldMeaning;
using runtime::FieldType;
using runtime::FileDeclaration;
using runtime::RecordFile;

int PrimaryKey(const FileDeclaration& declaration) {
  for (size_t k = 0; k < declaration.keys.size(); ++k) {
    if (declaration.keys[k].primary()) return static_cast<int>(k);
  }
  return -1;
}

// The records of the data file at `path`, in the order of `key` (-1: record order).
std::vector<std::string> Records(const FileDeclaration& dictionary_declaration,
                                 const std::string& path, int key) {
  const FileDeclaration declaration = WithoutNameVariable(dictionary_declaration);
  RecordFile file(declaration);
  file.SetName(path);
  std::vector<std::string> records;
  EXPECT_EQ(file.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone), 0) << path;
  EXPECT_EQ(key >= 0 ? file.Set(key) : file.SetFile(), 0);
  while (file.Next() == 0) records.emplace_back(file.record());
  return records;
}

// A record with random values of every field: integers over their whole range, dates and times
// (valid, none, and stored numbers that are neither), decimals of any digits and sign, and text
// of any Windows-1252 byte, with commas, quotes and line breaks among them.
std::string RandomRecord(const FileDeclaration& declaration, std::mt19937_64& random) {
  std::string record(declaration.record_length, '\0');
  auto below = [&](uint64_t n) { return random() % n; };
  static const std::string kTextBytes("abcXYZ 019,\"\r\n;|\xE1\xE7\xC3\xC9\xFC\x80\x81\x9D\xFF\x00",
                                      26);
  for (const FieldDeclaration& field : declaration.fields) {
    for (int e = 0; e < field.count; ++e) {
      char* p = record.data() + field.offset + e * field.size;
      int64_t value = static_cast<int64_t>(random());
      if (field.type == FieldType::Long && field.meaning != FieldMeaning::Plain) {
        const bool date = field.meaning == FieldMeaning::Date;
        const uint64_t kind = below(10);
        const int32_t last = date ? runtime::kLastDate : runtime::kLastTime;
        const int32_t first = date ? runtime::kFirstDate : 1;
        value = kind < 2                ? 0
                : kind < 9              ? first + static_cast<int64_t>(below(last - first + 1))
                : kind == 9 && below(2) ? last + 1
                                        : -7;
      }
      switch (field.type) {
        case FieldType::Decimal: {
          const int digits = 2 * field.size - 1;
          int64_t units = 0;
          for (int d = static_cast<int>(below(digits + 1)); d > 0; --d) {
            units = units * 10 + static_cast<int64_t>(below(10));
          }
          if (below(2)) units = -units;
          EXPECT_TRUE(
              runtime::Decimal(units, field.places).Encode(field.size, field.places, p).ok());
          break;
        }
        case FieldType::String: {
          const int length = static_cast<int>(below(field.size + 1));
          for (int i = 0; i < field.size; ++i) {
            p[i] = i < length ? kTextBytes[below(kTextBytes.size())] : ' ';
          }
          break;
        }
        default:
          for (int i = 0; i < field.size; ++i) p[i] = static_cast<char>(value >> (8 * i));
      }
    }
  }
  return record;
}

class DataToolTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_ / name; }

  // Writes `csv` and imports it into `data`.
  runtime::Status Import(const char* file, const std::string& data, const std::string& csv,
                         ImportResult* result = nullptr) {
    WriteText(Path("in.csv"), csv);
    ImportResult ignored;
    return ImportCsv(file, data, Path("in.csv"), result ? result : &ignored);
  }

  std::string Export(const char* file, const std::string& data, const std::string& key = "") {
    std::ostringstream out;
    int64_t rows = 0;
    const runtime::Status status = ExportCsv(file, data, key, out, &rows);
    EXPECT_TRUE(status.ok()) << status.message();
    return out.str();
  }

  testing_support::ScratchDir dir_;
};

TEST_F(DataToolTest, ExportThenImportGivesEveryFilesRecordsBack) {
  std::mt19937_64 random(20240601);
  for (const FileDeclaration* declaration : dictionary::AllFileDeclarations()) {
    SCOPED_TRACE(declaration->label);
    const std::string original = Path(declaration->label + ".Tps");
    const FileDeclaration unnamed = WithoutNameVariable(*declaration);
    {
      RecordFile file(unnamed);
      file.SetName(original);
      ASSERT_EQ(file.Create(), 0);
      ASSERT_EQ(file.Open(), 0);
      for (int i = 0; i < 25; ++i) {
        const std::string record = RandomRecord(*declaration, random);
        std::memcpy(file.buffer(), record.data(), record.size());
        const int code = file.Add();
        ASSERT_TRUE(code == 0 || code == runtime::kDuplicateKey) << code;
      }
    }
    const std::string csv = Export(declaration->label.c_str(), original);
    WriteText(Path("out.csv"), csv);
    ImportResult result;
    const std::string copy = Path("copy/" + declaration->label + ".Tps");
    const runtime::Status status = ImportCsv(declaration->label, copy, Path("out.csv"), &result);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_TRUE(result.created);
    EXPECT_GT(result.rows, 15);
    EXPECT_EQ(Export(declaration->label.c_str(), copy), csv);
    const int key = PrimaryKey(*declaration);
    EXPECT_EQ(Records(*declaration, copy, key), Records(*declaration, original, key));
  }
}

// Bad input: the message (after the CSV's path) and that the data file is untouched, whether it
// existed or not.
struct BadInputCase {
  const char* id;
  std::string csv;
  std::string message;    // what follows the CSV file's path
  bool existing = false;  // only against the file that holds codes 1 and 2
};

TEST_F(DataToolTest, BadInputLeavesTheDataFileAsItWas) {
  std::string many = "CODIGO,NOME\n";
  for (int code = 10; code < 3010; ++code) many += std::to_string(code) + ",Nome\n";
  const BadInputCase cases[] = {
      {"unknown-field", "CODIGO,NOMBRE\n3,x\n", ":1: NOMBRE: no such field in Funcionarios"},
      {"field-of-another-file", "EMP:CODIGO\n3\n", ":1: EMP:CODIGO: no such field in Funcionarios"},
      {"array-without-element", "CODIGO,PPP:CATDATA\n3,\n",
       ":1: PPP:CATDATA: an array of 4 elements; name each as FUN:PPP:CATDATA[1] to "
       "FUN:PPP:CATDATA[4]"},
      {"array-element-beyond", "CODIGO,FUN:PPP:CATDATA[5]\n3,\n",
       ":1: FUN:PPP:CATDATA[5]: FUN:PPP:CATDATA has 4 elements"},
      {"named-twice", "CODIGO,NOME,fun:nome\n3,x,y\n",
       ":1: FUN:NOME: named twice in the header (columns 2 and 3)"},
      {"empty-label", "CODIGO,,NOME\n3,,x\n", ":1: column 2: the header names no field"},
      {"text-too-long", "CODIGO,UF\n3,SP\n4,S\xC3\xA3o\n",
       ":3: FUN:UF: text of 3 characters is too long for STRING(2)"},
      {"byte-out-of-range", "CODIGO,CATEGORIA\n3,300\n",
       ":2: FUN:CATEGORIA: \"300\" is out of range for BYTE (0 to 255)"},
      {"negative-code", "CODIGO\n-3\n",
       ":2: FUN:CODIGO: \"-3\" is out of range for ULONG (0 to 4294967295)"},
      {"bad-date", "CODIGO,ADMISSAO\n3,2014-02-30\n",
       ":2: FUN:ADMISSAO: \"2014-02-30\" is not a date of the calendar (1801-01-01 to "
       "9999-12-31)"},
      {"non-numeric", "CODIGO\nabc\n", ":2: FUN:CODIGO: \"abc\" is not a number"},
      {"decimal-places", "CODIGO,PCTCAPTOTAL\n3,1.23456\n",
       ":2: FUN:PCTCAPTOTAL: \"1.23456\" has more than the 4 decimal places of DECIMAL(7,4)"},
      {"not-windows-1252", "CODIGO,NOME\n3,\xE2\x88\x9E\n",
       ":2: FUN:NOME: the text holds \"\xE2\x88\x9E\" (character 1), which Windows-1252 cannot "
       "hold"},
      {"duplicate-in-csv", "CODIGO\n3\n4\n3\n",
       ":4: FUN:KEY:CODIGO: duplicate key: line 2 has the same FUN:CODIGO = 3"},
      {"duplicate-of-the-row-before", "CODIGO\n5\n5\n",
       ":3: FUN:KEY:CODIGO: duplicate key: line 2 has the same FUN:CODIGO = 5"},
      {"duplicate-after-multi-line-values", "CODIGO,NOME\n3,\"a\nb\"\n\n4,x\n3,y\n",
       ":6: FUN:KEY:CODIGO: duplicate key: line 2 has the same FUN:CODIGO = 3"},
      {"surrogate-in-utf8", "CODIGO,NOME\n3,\xED\xA0\x80\n",
       ":2: FUN:NOME: the text is not valid UTF-8 (character 1)"},
      {"ten-megabyte-value", "CODIGO\n3\n" + std::string(10000000, '1') + "\n",
       ":3: row: a row of more than 1024 KiB; no data file's row is that long (is a quote left "
       "open?)"},
      {"long-header-label", std::string(200, 'X') + "\n1\n",
       ":1: \"" + std::string(40, 'X') + "\"... (200 bytes): no such field in Funcionarios"},
      {"duplicate-of-existing", "CODIGO\n3\n1\n",
       ":3: FUN:KEY:CODIGO: duplicate key: the data file already has a record with FUN:CODIGO = 1",
       true},
      {"duplicate-after-many-rows", many + "2,Dois\n",
       ":3002: FUN:KEY:CODIGO: duplicate key: the data file already has a record with "
       "FUN:CODIGO = 2",
       true},
      {"too-many-columns", "CODIGO,NOME\n3,a\n4,b,c\n",
       ":3: row: 3 values where the header names 2 fields"},
      {"too-few-columns", "CODIGO,NOME\n3\n", ":2: row: 1 values where the header names 2 fields"},
      {"row-after-multi-line-value", "CODIGO,NOME\n3,\"a\nb\nc\"\n4,\"x\ny\",z\n",
       ":5: row: 3 values where the header names 2 fields"},
      {"unclosed-quote", "CODIGO,NOME\n3,\"abc\n", ":2: row: a quoted value is not closed"},
      {"empty-file", "", ":1: header: the file is empty; its first row must name the fields"},
      {"blank-lines-only", "\r\n\r\n",
       ":1: header: the file is empty; its first row must name the fields"},
  };
  const std::string existing = Path("Funciona.Tps");
  ASSERT_OK(Import("Funcionarios", existing, "CODIGO,NOME\n1,Um\n2,Dois\n"));
  const std::string before = ReadBytes(existing);
  const std::string missing = Path("new/folder/Funciona.Tps");
  for (const BadInputCase& c : cases) {
    SCOPED_TRACE(c.id);
    for (const std::string& data : {existing, missing}) {
      if (c.existing && data == missing) continue;
      const runtime::Status status = Import("Funcionarios", data, c.csv);
      EXPECT_EQ(status.code(), runtime::kInvalidData);
      EXPECT_EQ(status.message(), Path("in.csv") + c.message);
    }
    EXPECT_TRUE(ReadBytes(existing) == before) << "the data file changed";
    EXPECT_FALSE(std::filesystem::exists(Path("new")));
  }
  EXPECT_EQ(Records(dictionary::FuncionariosDeclaration(), existing, -1).size(), 2u);
}

TEST_F(DataToolTest, UnknownFileOrMissingCsvCreatesNothing) {
  WriteText(Path("in.csv"), "CODIGO\n1\n");
  ImportResult result;
  runtime::Status status = ImportCsv("Funcionario", Path("f.Tps"), Path("in.csv"), &result);
  EXPECT_EQ(status.message().rfind("Funcionario: no such data file; the files are ", 0), 0u);
  status = ImportCsv("Funcionarios", Path("f.Tps"), Path("none.csv"), &result);
  EXPECT_EQ(status.message(), Path("none.csv") + ": the CSV file cannot be read: no such file");
  std::filesystem::create_directory(Path("folder.csv"));
  status = ImportCsv("Funcionarios", Path("f.Tps"), Path("folder.csv"), &result);
  EXPECT_EQ(status.message(),
            Path("folder.csv") + ": the CSV file cannot be read: a folder, not a file");
  EXPECT_FALSE(std::filesystem::exists(Path("f.Tps")));
  // Nor does a data path that names a folder.
  status = Import("Funcionarios", Path("folder.csv"), "CODIGO\n1\n");
  EXPECT_EQ(status.message(), Path("folder.csv") + ": not a data file but a folder or device");
}

TEST_F(DataToolTest, ReadsWhatSpreadsheetsWrite) {
  const std::string data = Path("Funciona.Tps");
  ImportResult result;
  ASSERT_OK(Import("Funcionarios", data,
                   "\xEF\xBB\xBF"
                   "codigo,Fun:Nome, ADMISSAO ,FUN:PPP:CATDATA[2],HOMOLOGACAOHORA\r\n"
                   "7,\"Silva, Ana \"\"Aninha\"\"\r\nsegunda linha\",2014-01-02,1801-01-01,"
                   "08:30\r\n"
                   "5,Jo\xC3\xA3o,,,\r\n",
                   &result));
  EXPECT_TRUE(result.created);
  EXPECT_EQ(result.rows, 2);
  const FileDeclaration unnamed = WithoutNameVariable(dictionary::FuncionariosDeclaration());
  RecordFile file(unnamed);
  file.SetName(data);
  ASSERT_EQ(file.Open(), 0);
  file.Clear();
  file.SetInteger(FUN.CODIGO, 7);
  ASSERT_EQ(file.Get(FUN.KEY.CODIGO), 0);
  EXPECT_EQ(runtime::ClipRight(file.GetText(FUN.NOME)), "Silva, Ana \"Aninha\"\r\nsegunda linha");
  EXPECT_EQ(file.GetInteger(FUN.ADMISSAO), runtime::DATE(1, 2, 2014));
  EXPECT_EQ(file.GetInteger(FUN.PPP.CATDATA, 2), runtime::kFirstDate);
  EXPECT_EQ(file.GetInteger(FUN.PPP.CATDATA, 1), 0);
  EXPECT_EQ(file.GetInteger(FUN.HOMOLOGACAOHORA), runtime::MakeTime(8, 30, 0, 0));
  // Fields the header does not name are zero or blank.
  EXPECT_EQ(file.GetText(FUN.CPF), std::string(11, ' '));
  EXPECT_EQ(file.GetInteger(FUN.CATEGORIA), 0);
  file.SetInteger(FUN.CODIGO, 5);
  ASSERT_EQ(file.Get(FUN.KEY.CODIGO), 0);
  EXPECT_EQ(runtime::ClipRight(file.GetText(FUN.NOME)), "Jo\xE3o");
  EXPECT_EQ(file.GetInteger(FUN.ADMISSAO), 0);
  EXPECT_EQ(file.GetInteger(FUN.HOMOLOGACAOHORA), 0);
}

TEST_F(DataToolTest, AHeaderWithoutRowsCreatesAnEmptyFile) {
  ImportResult result;
  ASSERT_OK(Import("Movimento", Path("00000012/Folha/2014/MOVIMENT.Tps"),
                   "MOVFOLHA:CODIGOFUNCIONARIO,MOVFOLHA:VALOR\r\n", &result));
  EXPECT_TRUE(result.created);
  EXPECT_EQ(result.rows, 0);
  const std::string text = Export("Movimento", Path("00000012/Folha/2014/MOVIMENT.Tps"));
  EXPECT_EQ(text.find("\r\n"), text.size() - 2);  // the header alone
  // Into a file of another layout it fails and the file stays.
  const std::string before = ReadBytes(Path("00000012/Folha/2014/MOVIMENT.Tps"));
  const runtime::Status status =
      Import("Funcionarios", Path("00000012/Folha/2014/MOVIMENT.Tps"), "CODIGO\n");
  EXPECT_EQ(status.code(), runtime::kLayoutMismatch);
  EXPECT_TRUE(ReadBytes(Path("00000012/Folha/2014/MOVIMENT.Tps")) == before);
}

TEST_F(DataToolTest, ExportFollowsTheChosenKey) {
  const std::string data = Path("MOVIMENT.Tps");
  // The second row has every component of MOVFOLHA:KEY:FUNCCONTMES empty.
  ASSERT_OK(Import("Movimento", data,
                   "MESANOCOMPETENCIA,CODIGOFUNCIONARIO,CODIGOCONTA,CLANCAMENTO,VALOR\n"
                   "2014-03-01,9,1,1,10.5\n"
                   ",0,0,0,1\n"
                   "2014-01-01,9,5004,2,-2\n"));
  auto months = [&](const std::string& key) {
    std::istringstream in(Export("Movimento", data, key));
    std::vector<std::string> first_values;
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) first_values.push_back(line.substr(0, line.find(',')));
    return first_values;
  };
  // The primary key orders by competence month first.
  EXPECT_EQ(months(""), (std::vector<std::string>{"", "2014-01-01", "2014-03-01"}));
  // Employee and account first; the empty record is left out.
  EXPECT_EQ(months("KEY:FUNCCONTMES"), (std::vector<std::string>{"2014-03-01", "2014-01-01"}));

  std::ostringstream out;
  int64_t count = 0;
  EXPECT_EQ(
      ExportCsv("Movimento", data, "MOVFOLHA:KEY:NONE", out, &count).message(),
      "MOVFOLHA:KEY:NONE: no such key of Movimento; its keys are "
      "MOVFOLHA:KEY:MESTPGTOFUNCIONARIO, MOVFOLHA:KEY:FUNCCONTMES, MOVFOLHA:KEY:MOVIMENTACAO, "
      "MOVFOLHA:KEY:FUNCMESTIPOPGTO, MOVFOLHA:KEY:FUNCMESTIPOORDEM, "
      "MOVFOLHA:KEY:FUNCCONTADTAPAGTO, MOVFOLHA:KEY:DATAPAGAMENTO, MOVFOLHA:KEY:MESCODLANC, "
      "MOVFOLHA:KEY:MESCODFUN, MOVFOLHA:KEY:CLANC");
  EXPECT_EQ(ExportCsv("Funcionarios", Path("none.Tps"), "", out, &count).code(),
            runtime::kFileNotFound);
  EXPECT_EQ(ExportCsv("Empresa", data, "EMP:KEY:CUSTOM", out, &count).message(),
            "EMP:KEY:CUSTOM: a key without fixed components orders no records");
}

TEST_F(DataToolTest, DescribeListsFieldsAndKeys) {
  std::ostringstream out;
  ASSERT_OK(Describe("funcionarios", out));
  std::map<std::string, std::vector<std::string>> lines;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::vector<std::string> tokens;
    for (std::string word; words >> word;) tokens.push_back(word);
    if (tokens.size() > 1) lines[tokens[1]] = tokens;
    if (!tokens.empty()) lines[tokens[0]] = tokens;
  }
  EXPECT_EQ(
      lines["FUN:PCTCAPTOTAL"],
      (std::vector<std::string>{"71", "FUN:PCTCAPTOTAL", "DECIMAL(7,4)", "814", "4", "4", "1"}));
  EXPECT_EQ(lines["FUN:PPP:REGAMBIENTAISDATAFINAL"],
            (std::vector<std::string>{"110", "FUN:PPP:REGAMBIENTAISDATAFINAL", "LONG", "2815", "4",
                                      "0", "3", "date"}));
  EXPECT_EQ(out.str().find("FUN:KEY:CODIGO: FUN:CODIGO; primary, unique, case-insensitive, "
                           "numbered on component 1;"),
            out.str().find("FUN:KEY:CODIGO:"));
  EXPECT_NE(out.str().find("FUN:KEY:CODIGO:"), std::string::npos);
  EXPECT_EQ(
      out.str().rfind("Funcionarios (prefix FUN): record length 6077 bytes, 214 fields, 6 keys", 0),
      0u);
}

}  // namespace
}  // namespace tools
