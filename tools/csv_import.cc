// The data tool's import: where the checked rows go. An existing data file takes them in one
// transaction; a new one is built under a temporary name and renamed into place once complete;
// a claim on the folder keeps two imports from working there at once.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/base/error_codes.h"
#include "runtime/platform/file_reader.h"
#include "runtime/platform/file_rename.h"
#include "runtime/platform/folder_claim.h"
#include "runtime/platform/path.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "tools/data_tool.h"
#include "tools/data_tool_internal.h"
#include "tools/field_value.h"
#include "tools/import_rows.h"

namespace tools {

namespace {

namespace fs = std::filesystem;
using runtime::FileDeclaration;
using runtime::FolderClaim;
using runtime::KeyDeclaration;
using runtime::RecordFile;
using runtime::Status;
using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::milliseconds(50);
// A new data file is built under its name with this added, in the same folder.
constexpr const char* kBuildingSuffix = ".importing";

Status BadInput(std::string message) { return Status(runtime::kInvalidData, std::move(message)); }

// The CSV file, read in pieces.
class FileSource : public ByteSource {
 public:
  explicit FileSource(std::unique_ptr<runtime::FileReader> reader) : reader_(std::move(reader)) {}
  Status Read(char* buffer, size_t size, size_t* got) override {
    return reader_->Read(buffer, size, got);
  }

 private:
  std::unique_ptr<runtime::FileReader> reader_;
};

Status OpenCsv(const std::string& where, std::unique_ptr<ByteSource>* out) {
  const std::string path = runtime::ResolvePath(where);
  std::unique_ptr<runtime::FileReader> reader;
  const Status status = runtime::FileReader::Open(path, &reader);
  if (!status.ok()) {
    std::string reason = status.message();
    if (reason.compare(0, path.size() + 2, path + ": ") == 0) reason.erase(0, path.size() + 2);
    return BadInput(where + ": the CSV file cannot be read: " + reason);
  }
  *out = std::make_unique<FileSource>(std::move(reader));
  return Status::Ok();
}

// "FUN:CODIGO = 12, FUN:NOME = Ana": the components of `key` in `record`, for messages.
std::string KeyValues(const FileDeclaration& declaration, const KeyDeclaration& key,
                      std::string_view record) {
  std::string text;
  for (const runtime::KeyComponent& component : key.components) {
    const runtime::FieldDeclaration& field = *declaration.field(component.field);
    std::string value;
    FormatFieldValue(field, record.data() + field.offset, &value).ok();
    if (!text.empty()) text += ", ";
    text += field.label + " = " + value;
  }
  return text;
}

// Why the row in `file`'s buffer, which Add refused as a duplicate, clashes: with which key, and
// with an earlier row of the CSV (records from `first_number` on came from it) or with a record
// the file had before.
Status DescribeDuplicate(const FileDeclaration& declaration, RecordFile& file, ImportRows& rows,
                         int64_t first_number) {
  const std::string runtime_message = runtime::FILEERRORMSG();
  const std::string row(file.record());
  const std::string at = rows.At(rows.line());
  for (size_t k = 0; k < declaration.keys.size(); ++k) {
    const KeyDeclaration& key = declaration.keys[k];
    if (!key.unique() || key.dynamic()) continue;
    std::memcpy(file.buffer(), row.data(), row.size());
    if (file.Get(static_cast<int>(k)) != 0) continue;
    const std::string values = KeyValues(declaration, key, row);
    if (first_number > 0 && file.Pointer() >= first_number) {
      const int line = rows.LineOfRow(file.Pointer() - first_number);
      return BadInput(at + key.label + ": duplicate key: " +
                      (line > 0 ? "line " + std::to_string(line) : std::string("a row above")) +
                      " has the same " + values);
    }
    return BadInput(at + key.label + ": duplicate key: the data file already has a record with " +
                    values);
  }
  return BadInput(at + "duplicate key: " + runtime_message);
}

// The failure of a transaction step, in plain words when another process is in the way.
Status TransactionFailure(const std::string& path, const char* what, const char* in_use) {
  if (runtime::ERRORCODE() == runtime::kFileLocked) {
    return Status(runtime::kFileLocked, path + ": in use by another process " + in_use);
  }
  return FileFailure(path, what);
}

// Adds the rows to `file` (open for writing) in one transaction; on any failure none of them
// stays. `*added` counts the rows added.
Status AddRows(const FileDeclaration& declaration, RecordFile& file, ImportRows& rows,
               const std::string& path, int busy_seconds, int64_t* added) {
  *added = 0;
  if (file.SetProperty(runtime::property::kLogout, "1") != 0) {
    return FileFailure(path, "transaction");
  }
  if (runtime::LOGOUT(busy_seconds) != 0) {
    return TransactionFailure(path, "transaction",
                              "that is changing it; try again when it is done");
  }
  int64_t first_number = 0;
  Status status;
  while (true) {
    bool done = false;
    status = rows.Next(file.buffer(), &done);
    if (!status.ok() || done) break;
    if (file.Add() != 0) {
      status = runtime::ERRORCODE() == runtime::kDuplicateKey
                   ? DescribeDuplicate(declaration, file, rows, first_number)
                   : FileFailure(path, "add");
      break;
    }
    if (*added == 0) first_number = file.Pointer();
    ++*added;
  }
  if (status.ok() && runtime::COMMIT() != 0) {
    status = TransactionFailure(path, "commit",
                                "that is reading it; nothing was added, try again when it is done");
  }
  if (!status.ok()) {
    runtime::ROLLBACK();
    *added = 0;
  }
  return status;
}

// The folders above `path` that do not exist yet, deepest first.
std::vector<fs::path> MissingFolders(const fs::path& path) {
  std::vector<fs::path> missing;
  std::error_code error;
  for (fs::path folder = path.parent_path(); !folder.empty() && !fs::exists(folder, error);
       folder = folder.parent_path()) {
    missing.push_back(folder);
    if (folder == folder.parent_path()) break;
  }
  return missing;
}

// Removes the folders (those still empty), deepest first.
void RemoveFolders(std::vector<fs::path> folders) {
  std::sort(folders.begin(), folders.end(), [](const fs::path& a, const fs::path& b) {
    return a.native().size() > b.native().size();
  });
  std::error_code ignored;
  for (const fs::path& folder : folders) fs::remove(folder, ignored);
}

// Claims the folder of `target`, creating it (and those above) when missing, so that no other
// import works there meanwhile; waits up to `wait_seconds` for one that does. `*created` gets
// the folders this call made. Without a claim where the file system has none.
Status ClaimFolder(const std::string& path, const fs::path& target, int wait_seconds,
                   std::unique_ptr<FolderClaim>* claim, std::vector<fs::path>* created) {
  const fs::path folder = target.parent_path();
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(wait_seconds);
  while (true) {
    // Made again on each attempt: an import that failed meanwhile removes folders it made.
    const std::vector<fs::path> missing = MissingFolders(target);
    if (!missing.empty()) {
      std::error_code error;
      fs::create_directories(missing.front(), error);
      created->insert(created->end(), missing.begin(), missing.end());
      if (error) {
        return Status(runtime::kPathNotFound,
                      path + ": the folder cannot be created: " + error.message());
      }
    }
    std::string error;
    switch (FolderClaim::TryClaim(folder, claim, &error)) {
      case FolderClaim::Result::Claimed:
        if ((*claim)->StillNames(folder)) return Status::Ok();
        claim->reset();  // removed by an import that failed meanwhile
        continue;
      case FolderClaim::Result::Unsupported:
        return Status::Ok();
      case FolderClaim::Result::Failed:
        return Status(runtime::kAccessDenied, path + ": the folder cannot be opened: " + error);
      case FolderClaim::Result::HeldElsewhere:
        break;
    }
    if (Clock::now() >= deadline) {
      return Status(runtime::kFileLocked,
                    path + ": in use by another process: an import into its folder has run for " +
                        std::to_string(wait_seconds) + " s; try again when it is done");
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

Status ImportIntoExisting(const FileDeclaration& declaration, const std::string& path,
                          ImportRows& rows, int busy_seconds, ImportResult* result) {
  RecordFile file(declaration);
  file.SetName(path);
  // No other program may change the file while the rows go in. One that has it open for
  // writing is waited for a while: it may be closing it.
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(busy_seconds);
  while (file.Open(runtime::open_mode::kReadWrite | runtime::open_mode::kDenyWrite) != 0) {
    const bool in_use = runtime::ERRORCODE() == runtime::kAccessDenied &&
                        runtime::FILEERRORMSG().find("in use") != std::string::npos;
    if (!in_use) return FileFailure(path, "open");
    if (Clock::now() >= deadline) {
      return Status(runtime::kAccessDenied,
                    path +
                        ": in use by another process that has it open for writing; try again "
                        "when it is closed");
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  const Status status = AddRows(declaration, file, rows, path, busy_seconds, &result->rows);
  file.Close();
  return status;
}

// Removes what building `building` leaves: the file, the engine's journal, and the runtime's own
// temporary file of a create.
void RemoveBuilding(const std::string& building) {
  runtime::RemoveFile(building + ".creating");
  runtime::RemoveFile(building);
}

Status ImportIntoNew(const FileDeclaration& declaration, const std::string& path,
                     const fs::path& target, ImportRows& rows, int busy_seconds,
                     ImportResult* result) {
  const std::string building = target.string() + kBuildingSuffix;
  // The folder's claim is held, so such a file is what a killed import left.
  RemoveBuilding(building);
  RecordFile file(declaration);
  file.SetName(building);
  if (file.Create() != 0) {
    const Status status = FileFailure(path, "create");
    RemoveBuilding(building);
    return status;
  }
  Status status;
  if (file.Open(runtime::open_mode::kReadWrite | runtime::open_mode::kDenyAll) != 0) {
    status = FileFailure(path, "open");
  } else {
    status = AddRows(declaration, file, rows, path, busy_seconds, &result->rows);
    file.Close();
  }
  if (!status.ok()) {
    RemoveBuilding(building);
    return status;
  }
  std::string error;
  switch (runtime::RenameWithoutReplacing(building, target, &error)) {
    case runtime::RenameResult::Renamed:
      result->created = true;
      return Status::Ok();
    case runtime::RenameResult::TargetExists:
      status = Status(runtime::kAccessDenied,
                      path +
                          ": another program created the data file during the import; "
                          "nothing was added");
      break;
    case runtime::RenameResult::Failed:
      status = Status(runtime::kAccessDenied, path +
                                                  ": the new data file cannot be put in "
                                                  "place: " +
                                                  error);
      break;
  }
  RemoveBuilding(building);
  result->rows = 0;
  return status;
}

}  // namespace

Status ImportCsv(std::string_view file_label, std::string_view data_path, std::string_view csv_path,
                 ImportResult* result) {
  return ImportCsv(file_label, data_path, csv_path, ImportOptions(), result);
}

Status ImportCsv(std::string_view file_label, std::string_view data_path, std::string_view csv_path,
                 const ImportOptions& options, ImportResult* result) {
  *result = ImportResult();
  const FileDeclaration* found = nullptr;
  Status status = FindFile(file_label, &found);
  if (!status.ok()) return status;
  const FileDeclaration declaration = WithoutNameVariable(*found);
  const std::string where(csv_path);
  const std::string path(data_path);

  // The CSV's header is checked before any file is touched.
  ImportRows rows(declaration, where,
                  [&where](std::unique_ptr<ByteSource>* out) { return OpenCsv(where, out); });
  status = rows.Start();
  if (!status.ok()) return status;

  const fs::path target = runtime::ResolvePath(path);
  std::unique_ptr<FolderClaim> claim;
  std::vector<fs::path> created_folders;
  status = ClaimFolder(path, target, options.wait_seconds, &claim, &created_folders);
  // Without the claim, folders made here may be another import's by now (it waited for no one).
  const bool may_remove_folders = status.ok() || status.code() != runtime::kFileLocked;
  if (status.ok()) {
    std::error_code error;
    if (runtime::FileExists(path)) {
      status = ImportIntoExisting(declaration, path, rows, options.busy_seconds, result);
    } else if (fs::exists(target, error)) {
      status = Status(runtime::kAccessDenied, path + ": not a data file but a folder or device");
    } else {
      status = ImportIntoNew(declaration, path, target, rows, options.busy_seconds, result);
    }
  }
  // Folders made for a file that failed go while the claim is held, so that an import waiting
  // for it finds them gone and makes them again.
  if (!status.ok()) {
    if (may_remove_folders) RemoveFolders(created_folders);
    *result = ImportResult();
  }
  return status;
}

}  // namespace tools
