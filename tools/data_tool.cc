#include "tools/data_tool.h"

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/path.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/values/text.h"
#include "tools/csv.h"
#include "tools/data_tool_internal.h"
#include "tools/field_value.h"
#include "tools/message_text.h"

namespace tools {

using runtime::FieldDeclaration;
using runtime::FileDeclaration;
using runtime::KeyDeclaration;
using runtime::RecordFile;
using runtime::Status;

// The outcome of the last runtime operation on the data file `path`, as one line.
Status FileFailure(const std::string& path, const char* what) {
  std::string message = runtime::FILEERRORMSG();
  // The runtime's messages mostly start with the path already.
  for (const std::string& name : {path, runtime::ResolvePath(path)}) {
    if (message.compare(0, name.size() + 2, name + ": ") == 0) message.erase(0, name.size() + 2);
  }
  return Status(runtime::ERRORCODE(), path + ": " + what + ": " + message);
}

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
                NameText(label) + ": no such data file; the files are " + known);
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
      return Status(runtime::kInvalidArgument, NameText(key_label) + ": no such key of " +
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
