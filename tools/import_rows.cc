#include "tools/import_rows.h"

#include <cstring>
#include <map>
#include <string_view>
#include <utility>

#include "runtime/base/error_codes.h"
#include "tools/field_value.h"
#include "tools/message_text.h"

namespace tools {

namespace {

using runtime::FieldDeclaration;
using runtime::Status;

Status BadInput(std::string message) { return Status(runtime::kInvalidData, std::move(message)); }

std::string_view TrimBlanks(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return std::string_view();
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// The element named by "[n]" after a label: n from 1 to 9999, or -1 when it is no such index.
int ElementIndex(std::string_view index) {
  if (index.size() < 3 || index.size() > 6 || index.front() != '[' || index.back() != ']') {
    return -1;
  }
  int element = 0;
  for (char c : index.substr(1, index.size() - 2)) {
    if (c < '0' || c > '9') return -1;
    element = element * 10 + (c - '0');
  }
  return element > 0 ? element : -1;
}

}  // namespace

ImportRows::ImportRows(const runtime::FileDeclaration& declaration, std::string where,
                       OpenCsvText open)
    : declaration_(declaration), where_(std::move(where)), open_(std::move(open)) {
  cleared_.assign(declaration.record_length, '\0');
  for (const FieldDeclaration& field : declaration.fields) {
    if (field.type == runtime::FieldType::String) {
      std::memset(cleared_.data() + field.offset, ' ', field.total_size());
    }
  }
}

std::string ImportRows::At(int line) const { return where_ + ":" + std::to_string(line) + ": "; }

Status ImportRows::ReaderFailure(std::string_view what) const {
  if (reader_->read_failed()) {
    return BadInput(where_ + ": the CSV file cannot be read: " + reader_->error());
  }
  return BadInput(At(reader_->error_line()) + std::string(what) + ": " + reader_->error());
}

Status ImportRows::Open() {
  reader_.reset();
  source_.reset();
  Status status = open_(&source_);
  if (!status.ok()) return status;
  reader_ = std::make_unique<CsvReader>(source_.get());
  return Status::Ok();
}

Status ImportRows::Start() {
  Status status = Open();
  if (!status.ok()) return status;
  if (!reader_->Next(&row_)) {
    if (!reader_->error().empty()) return ReaderFailure("header");
    return BadInput(where_ + ":1: header: the file is empty; its first row must name the fields");
  }
  return ReadHeader();
}

Status ImportRows::ReadHeader() {
  columns_.clear();
  std::map<std::pair<int, int>, size_t> seen;  // (field, element) -> column
  const std::string at = At(row_.line);
  for (size_t i = 0; i < row_.values.size(); ++i) {
    const std::string_view text = TrimBlanks(row_.values[i]);
    if (text.empty()) {
      return BadInput(at + "column " + std::to_string(i + 1) + ": the header names no field");
    }
    std::string_view name = text;
    int element = 0;
    const size_t bracket = text.find('[');
    if (bracket != std::string_view::npos) {
      name = text.substr(0, bracket);
      element = ElementIndex(text.substr(bracket));
      if (element < 0)
        return BadInput(at + NameText(text) + ": an array element is named as LABEL[n]");
    }
    const FieldDeclaration* field = declaration_.FindField(name);
    if (field == nullptr) {
      return BadInput(at + NameText(name) + ": no such field in " + declaration_.label);
    }
    if (element == 0 && field->count > 1) {
      return BadInput(at + NameText(text) + ": an array of " + std::to_string(field->count) +
                      " elements; name each as " + field->label + "[1] to " + field->label + "[" +
                      std::to_string(field->count) + "]");
    }
    if (element > 0 && field->count == 1) {
      return BadInput(at + NameText(text) + ": " + field->label + " is not an array");
    }
    if (element > field->count) {
      return BadInput(at + NameText(text) + ": " + field->label + " has " +
                      std::to_string(field->count) + " elements");
    }
    if (element == 0) element = 1;
    const auto [it, added] = seen.emplace(std::make_pair(field->number, element), i);
    if (!added) {
      return BadInput(at + ElementLabel(*field, element) + ": named twice in the header (columns " +
                      std::to_string(it->second + 1) + " and " + std::to_string(i + 1) + ")");
    }
    columns_.push_back(Column{field, element});
  }
  return Status::Ok();
}

Status ImportRows::Next(char* record, bool* done) {
  *done = false;
  if (!reader_->Next(&row_)) {
    if (!reader_->error().empty()) return ReaderFailure("row");
    *done = true;
    return Status::Ok();
  }
  if (row_.values.size() != columns_.size()) {
    return BadInput(At(row_.line) + "row: " + std::to_string(row_.values.size()) +
                    " values where the header names " + std::to_string(columns_.size()) +
                    " fields");
  }
  std::memcpy(record, cleared_.data(), cleared_.size());
  for (size_t i = 0; i < columns_.size(); ++i) {
    const FieldDeclaration& field = *columns_[i].field;
    const Status status = ParseFieldValue(
        field, row_.values[i],
        record + field.offset + static_cast<size_t>(columns_[i].element - 1) * field.size);
    if (!status.ok()) {
      return BadInput(At(row_.line) + ElementLabel(field, columns_[i].element) + ": " +
                      status.message());
    }
  }
  return Status::Ok();
}

int ImportRows::LineOfRow(int64_t index) {
  // The current reader stays where it is; a second one reads the text from its start.
  std::unique_ptr<ByteSource> source;
  if (!open_(&source).ok()) return 0;
  CsvReader reader(source.get());
  CsvRow row;
  if (!reader.Next(&row)) return 0;  // the header
  for (int64_t i = 0; i <= index; ++i) {
    if (!reader.Next(&row)) return 0;
  }
  return row.line;
}

}  // namespace tools
