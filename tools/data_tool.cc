#include "tools/data_tool.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "dictionary/dictionary.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/file_system.h"
#include "runtime/platform/path.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/key_encoder.h"
#include "runtime/records/record_file.h"
#include "runtime/values/text.h"
#include "tools/csv.h"
#include "tools/field_value.h"

namespace tools {

namespace {

namespace fs = std::filesystem;
using runtime::FieldDeclaration;
using runtime::FileDeclaration;
using runtime::KeyDeclaration;
using runtime::RecordFile;
using runtime::Status;

// How long an import waits for other stations to finish their changes.
constexpr int kTransactionTimeoutSeconds = 10;

Status BadInput(std::string message) { return Status(runtime::kInvalidData, std::move(message)); }

// The outcome of the last runtime operation on the data file `path`, as one line.
Status FileFailure(const std::string& path, const char* what) {
  std::string message = runtime::FILEERRORMSG();
  // The runtime's messages mostly start with the path already.
  for (const std::string& name : {path, runtime::ResolvePath(path)}) {
    if (message.compare(0, name.size() + 2, name + ": ") == 0) message.erase(0, name.size() + 2);
  }
  return Status(runtime::ERRORCODE(), path + ": " + what + ": " + message);
}

std::string ElementLabel(const FieldDeclaration& field, int element) {
  return field.count == 1 ? field.label : field.label + "[" + std::to_string(element) + "]";
}

// A record with every number 0 and every text blank.
std::string ClearedRecord(const FileDeclaration& declaration) {
  std::string record(declaration.record_length, '\0');
  for (const FieldDeclaration& field : declaration.fields) {
    if (field.type == runtime::FieldType::String) {
      std::memset(record.data() + field.offset, ' ', field.total_size());
    }
  }
  return record;
}

// "FUN:CODIGO = 12, FUN:NOME = Ana": the components of `key` in `record`, for messages.
std::string KeyValues(const FileDeclaration& declaration, const KeyDeclaration& key,
                      std::string_view record) {
  std::string text;
  for (const runtime::KeyComponent& component : key.components) {
    const FieldDeclaration& field = *declaration.field(component.field);
    std::string value;
    FormatFieldValue(field, record.data() + field.offset, &value).ok();
    if (!text.empty()) text += ", ";
    text += field.label + " = " + value;
  }
  return text;
}

// One column of the CSV: the field element its values go to.
struct Column {
  const FieldDeclaration* field;
  int element;
};

Status ReadHeader(const FileDeclaration& declaration, const CsvRow& header,
                  const std::string& where, std::vector<Column>* columns) {
  std::map<std::pair<int, int>, size_t> seen;  // (field, element) -> column
  for (size_t i = 0; i < header.values.size(); ++i) {
    const std::string_view given = header.values[i];
    const size_t begin = given.find_first_not_of(" \t");
    const std::string_view text =
        begin == std::string_view::npos
            ? std::string_view()
            : given.substr(begin, given.find_last_not_of(" \t") - begin + 1);
    const std::string at = where + ":" + std::to_string(header.line) + ": ";
    if (text.empty()) {
      return BadInput(at + "column " + std::to_string(i + 1) + ": the header names no field");
    }
    std::string_view name = text;
    int element = 0;
    const size_t bracket = text.find('[');
    if (bracket != std::string_view::npos) {
      name = text.substr(0, bracket);
      const std::string_view index = text.substr(bracket + 1);
      element = -1;
      if (index.size() >= 2 && index.size() <= 5 && index.back() == ']') {
        element = 0;
        for (char c : index.substr(0, index.size() - 1)) {
          element = c >= '0' && c <= '9' && element >= 0 ? element * 10 + (c - '0') : -1;
        }
      }
      if (element <= 0) {
        return BadInput(at + std::string(text) + ": an array element is named as LABEL[n]");
      }
    }
    const FieldDeclaration* field = declaration.FindField(name);
    if (field == nullptr) {
      return BadInput(at + std::string(name) + ": no such field in " + declaration.label);
    }
    if (element == 0 && field->count > 1) {
      return BadInput(at + std::string(text) + ": an array of " + std::to_string(field->count) +
                      " elements; name each as " + field->label + "[1] to " + field->label + "[" +
                      std::to_string(field->count) + "]");
    }
    if (element > 0 && field->count == 1) {
      return BadInput(at + std::string(text) + ": " + field->label + " is not an array");
    }
    if (element > field->count) {
      return BadInput(at + std::string(text) + ": " + field->label + " has " +
                      std::to_string(field->count) + " elements");
    }
    if (element == 0) element = 1;
    const auto [it, added] = seen.emplace(std::make_pair(field->number, element), i);
    if (!added) {
      return BadInput(at + ElementLabel(*field, element) + ": named twice in the header (columns " +
                      std::to_string(it->second + 1) + " and " + std::to_string(i + 1) + ")");
    }
    columns->push_back(Column{field, element});
  }
  return Status::Ok();
}

// The rows of the CSV as records, checked: `records` holds them one after another, `lines` the
// line each starts on.
struct Rows {
  std::string records;
  std::vector<int> lines;
};

Status ReadRows(const FileDeclaration& declaration, std::string_view text, const std::string& where,
                Rows* rows) {
  CsvReader reader(text);
  CsvRow row;
  if (!reader.Next(&row)) {
    if (!reader.error().empty()) {
      return BadInput(where + ":" + std::to_string(reader.error_line()) +
                      ": header: " + reader.error());
    }
    return BadInput(where + ":1: header: the file is empty; its first row must name the fields");
  }
  std::vector<Column> columns;
  Status status = ReadHeader(declaration, row, where, &columns);
  if (!status.ok()) return status;

  const std::string cleared = ClearedRecord(declaration);
  const size_t length = cleared.size();
  while (reader.Next(&row)) {
    const std::string at = where + ":" + std::to_string(row.line) + ": ";
    if (row.values.size() != columns.size()) {
      return BadInput(at + "row: " + std::to_string(row.values.size()) + " values where the " +
                      "header names " + std::to_string(columns.size()) + " fields");
    }
    rows->records.append(cleared);
    char* record = rows->records.data() + rows->records.size() - length;
    for (size_t i = 0; i < columns.size(); ++i) {
      const FieldDeclaration& field = *columns[i].field;
      status = ParseFieldValue(
          field, row.values[i],
          record + field.offset + static_cast<size_t>(columns[i].element - 1) * field.size);
      if (!status.ok()) {
        return BadInput(at + ElementLabel(field, columns[i].element) + ": " + status.message());
      }
    }
    rows->lines.push_back(row.line);
  }
  if (!reader.error().empty()) {
    return BadInput(where + ":" + std::to_string(reader.error_line()) + ": row: " + reader.error());
  }

  // Unique keys among the rows themselves; clashes with records already in the file show when
  // the rows are added.
  const runtime::KeyEncoder encoder(declaration);
  for (size_t k = 0; k < declaration.keys.size(); ++k) {
    const KeyDeclaration& key = declaration.keys[k];
    if (!key.unique() || key.dynamic()) continue;
    std::unordered_map<std::string, size_t> first;
    first.reserve(rows->lines.size());
    std::string encoded;
    for (size_t r = 0; r < rows->lines.size(); ++r) {
      const std::string_view record(rows->records.data() + r * length, length);
      bool excluded = false;
      status = encoder.Encode(static_cast<int>(k), record, 0, &encoded, &excluded);
      if (!status.ok()) return status;
      if (excluded) continue;
      const auto [it, added] = first.emplace(encoded, r);
      if (!added) {
        return BadInput(where + ":" + std::to_string(rows->lines[r]) + ": " + key.label +
                        ": duplicate key: line " + std::to_string(rows->lines[it->second]) +
                        " has the same " + KeyValues(declaration, key, record));
      }
    }
  }
  return Status::Ok();
}

Status ReadCsvFile(const std::string& path, std::string* text) {
  if (!runtime::ReadWholeFile(runtime::ResolvePath(path), text).ok()) {
    return BadInput(path + ": the CSV file cannot be read");
  }
  return Status::Ok();
}

// The folders above `path` that do not exist yet, deepest first.
std::vector<fs::path> MissingFolders(const std::string& path) {
  std::vector<fs::path> missing;
  std::error_code error;
  for (fs::path folder = fs::path(path).parent_path();
       !folder.empty() && !fs::exists(folder, error); folder = folder.parent_path()) {
    missing.push_back(folder);
    if (folder == folder.parent_path()) break;
  }
  return missing;
}

void RemoveFolders(const std::vector<fs::path>& folders) {
  std::error_code ignored;
  for (const fs::path& folder : folders) fs::remove(folder, ignored);
}

// Adds `rows` to `file` (open) in one transaction; on failure nothing of them stays.
Status AddAll(const FileDeclaration& declaration, RecordFile& file, const Rows& rows,
              const std::string& path, const std::string& where) {
  if (file.SetProperty(runtime::property::kLogout, "1") != 0) {
    return FileFailure(path, "transaction");
  }
  if (runtime::LOGOUT(kTransactionTimeoutSeconds) != 0) return FileFailure(path, "transaction");
  const size_t length = declaration.record_length;
  Status status;
  for (size_t r = 0; r < rows.lines.size() && status.ok(); ++r) {
    std::memcpy(file.buffer(), rows.records.data() + r * length, length);
    if (file.Add() == 0) continue;
    if (runtime::ERRORCODE() != runtime::kDuplicateKey) {
      status = FileFailure(path, "add");
      break;
    }
    status = BadInput(where + ":" + std::to_string(rows.lines[r]) +
                      ": duplicate key: " + runtime::FILEERRORMSG());
    // Rows do not clash among themselves (checked before), so the clash is with a record that
    // was in the file before.
    for (size_t k = 0; k < declaration.keys.size(); ++k) {
      const KeyDeclaration& key = declaration.keys[k];
      if (key.unique() && file.Duplicate(static_cast<int>(k))) {
        status = BadInput(where + ":" + std::to_string(rows.lines[r]) + ": " + key.label +
                          ": duplicate key: the data file already has a record with " +
                          KeyValues(declaration, key, file.record()));
        break;
      }
    }
  }
  if (status.ok() && runtime::COMMIT() != 0) status = FileFailure(path, "commit");
  if (!status.ok()) runtime::ROLLBACK();
  return status;
}

}  // namespace

FileDeclaration WithoutNameVariable(const FileDeclaration& declaration) {
  FileDeclaration copy = declaration;
  copy.name = nullptr;
  return copy;
}

Status FindFile(std::string_view label, const FileDeclaration** out) {
  *out = dictionary::FindFileDeclaration(label);
  if (*out != nullptr) return Status::Ok();
  std::vector<std::string> labels;
  for (const FileDeclaration* file : dictionary::AllFileDeclarations()) {
    labels.push_back(file->label);
  }
  std::sort(labels.begin(), labels.end());
  std::string known;
  for (const std::string& name : labels) known += (known.empty() ? "" : ", ") + name;
  return Status(runtime::kInvalidArgument,
                std::string(label) + ": no such data file; the files are " + known);
}

Status ImportCsv(std::string_view file_label, std::string_view data_path, std::string_view csv_path,
                 ImportResult* result) {
  *result = ImportResult();
  const FileDeclaration* found = nullptr;
  Status status = FindFile(file_label, &found);
  if (!status.ok()) return status;
  const FileDeclaration declaration = WithoutNameVariable(*found);
  const std::string where(csv_path);
  const std::string path(data_path);

  std::string text;
  status = ReadCsvFile(where, &text);
  if (!status.ok()) return status;
  Rows rows;
  status = ReadRows(declaration, text, where, &rows);
  if (!status.ok()) return status;
  text.clear();
  text.shrink_to_fit();

  RecordFile file(declaration);
  file.SetName(path);
  const std::string resolved = runtime::ResolvePath(path);
  std::vector<fs::path> created_folders;
  if (!runtime::FileExists(path)) {
    created_folders = MissingFolders(resolved);
    std::error_code error;
    if (!created_folders.empty()) fs::create_directories(created_folders.front(), error);
    if (error) {
      RemoveFolders(created_folders);
      return Status(runtime::kPathNotFound,
                    path + ": the folder cannot be created: " + error.message());
    }
    if (file.Create() != 0) {
      status = FileFailure(path, "create");
      RemoveFolders(created_folders);
      return status;
    }
    result->created = true;
  }
  // No other station may change the file while the rows go in.
  if (file.Open(runtime::open_mode::kReadWrite | runtime::open_mode::kDenyWrite) != 0) {
    status = FileFailure(path, "open");
  } else {
    status = AddAll(declaration, file, rows, path, where);
    file.Close();
  }
  if (!status.ok()) {
    if (result->created) {
      runtime::RemoveFile(path);
      RemoveFolders(created_folders);
      result->created = false;
    }
    return status;
  }
  result->rows = static_cast<int64_t>(rows.lines.size());
  return Status::Ok();
}

Status ExportCsv(std::string_view file_label, std::string_view data_path,
                 std::string_view key_label, std::ostream& out, int64_t* rows) {
  *rows = 0;
  const FileDeclaration* found = nullptr;
  Status status = FindFile(file_label, &found);
  if (!status.ok()) return status;
  const FileDeclaration declaration = WithoutNameVariable(*found);
  const std::string path(data_path);

  int key = -1;
  if (!key_label.empty()) {
    const KeyDeclaration* chosen = declaration.FindKey(key_label);
    if (chosen == nullptr) {
      std::string known;
      for (const KeyDeclaration& k : declaration.keys)
        known += (known.empty() ? "" : ", ") + k.label;
      return Status(runtime::kInvalidArgument, std::string(key_label) + ": no such key of " +
                                                   declaration.label + "; its keys are " + known);
    }
    if (chosen->dynamic()) {
      return Status(runtime::kInvalidArgument,
                    chosen->label + ": a key without fixed components orders no records");
    }
    key = static_cast<int>(chosen - declaration.keys.data());
  } else {
    for (size_t k = 0; k < declaration.keys.size(); ++k) {
      if (declaration.keys[k].primary()) key = static_cast<int>(k);
    }
  }

  RecordFile file(declaration);
  file.SetName(path);
  if (!runtime::FileExists(path)) {
    return Status(runtime::kFileNotFound, path + ": no such data file");
  }
  if (file.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) != 0) {
    return FileFailure(path, "open");
  }
  if ((key >= 0 ? file.Set(key) : file.SetFile()) != 0) return FileFailure(path, "read");

  std::string text;
  for (const FieldDeclaration& field : declaration.fields) {
    for (int e = 1; e <= field.count; ++e) {
      if (!text.empty()) text += ',';
      AppendCsvValue(ElementLabel(field, e), &text);
    }
  }
  text += "\r\n";
  std::string value;
  int code;
  while ((code = file.Next()) == 0) {
    bool first = true;
    for (const FieldDeclaration& field : declaration.fields) {
      for (int e = 0; e < field.count; ++e) {
        status = FormatFieldValue(field, file.buffer() + field.offset + e * field.size, &value);
        if (!status.ok()) {
          return Status(runtime::kInvalidData, path + ": record " + std::to_string(file.Pointer()) +
                                                   ": " + ElementLabel(field, e + 1) + ": " +
                                                   status.message());
        }
        if (!first) text += ',';
        first = false;
        AppendCsvValue(value, &text);
      }
    }
    text += "\r\n";
    ++*rows;
    if (text.size() >= (1 << 16)) {
      out << text;
      text.clear();
    }
  }
  if (code != runtime::kRecordNotAvailable) return FileFailure(path, "read");
  out << text;
  out.flush();
  if (!out) return Status(runtime::kAccessDenied, "the CSV text cannot be written");
  return Status::Ok();
}

Status Describe(std::string_view file_label, std::ostream& out) {
  const FileDeclaration* declaration = nullptr;
  Status status = FindFile(file_label, &declaration);
  if (!status.ok()) return status;
  out << declaration->label << " (prefix " << declaration->prefix << "): record length "
      << declaration->record_length << " bytes, " << declaration->fields.size() << " fields, "
      << declaration->keys.size() << " keys\n\n";
  size_t width = 5;
  for (const FieldDeclaration& field : declaration->fields) {
    width = std::max(width, field.label.size());
  }
  out << std::left << std::setw(5) << "No." << std::setw(width + 2) << "Field" << std::setw(15)
      << "Type" << std::right << std::setw(7) << "Offset" << std::setw(6) << "Size" << std::setw(8)
      << "Places" << std::setw(7) << "Count"
      << "  Meaning\n";
  for (const FieldDeclaration& field : declaration->fields) {
    const char* meaning = field.meaning == runtime::FieldMeaning::Date   ? "date"
                          : field.meaning == runtime::FieldMeaning::Time ? "time"
                                                                         : "";
    std::ostringstream line;
    line << std::left << std::setw(5) << field.number << std::setw(width + 2) << field.label
         << std::setw(15) << TypeText(field) << std::right << std::setw(7) << field.offset
         << std::setw(6) << field.size << std::setw(8) << field.places << std::setw(7)
         << field.count << "  " << meaning;
    std::string text = line.str();
    text.erase(text.find_last_not_of(' ') + 1);
    out << text << "\n";
  }
  out << "\nKeys\n";
  for (const KeyDeclaration& key : declaration->keys) {
    out << key.label << ":";
    if (key.dynamic()) out << " (components set at run time)";
    for (size_t c = 0; c < key.components.size(); ++c) {
      out << (c == 0 ? " " : ", ") << declaration->field(key.components[c].field)->label;
      if (key.components[c].order == runtime::KeyOrder::Descending) out << " descending";
    }
    out << ";";
    if (key.primary()) out << " primary,";
    out << (key.unique() ? " unique" : " duplicates allowed");
    if (key.no_case()) out << ", case-insensitive";
    if (key.exclude_empty()) out << ", excludes empty values";
    if (key.auto_increment > 0) out << ", numbered on component " << key.auto_increment;
    if (!key.external_name.empty()) out << ", stored as \"" << key.external_name << "\"";
    out << "; \"" << runtime::Cp1252ToUtf8(key.description) << "\"\n";
  }
  return Status::Ok();
}

}  // namespace tools
