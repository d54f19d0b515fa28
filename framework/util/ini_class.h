// The INI manager: named settings (entries within sectors) kept in a settings file or in the
// registry, and the manager's own sectors list, loaded at Init and written back at Kill.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/util/critical_section.h"
#include "runtime/values/field_ref.h"
#include "runtime/values/queue.h"

namespace framework {

// Where the settings live.
enum class IniStore : int32_t {
  File = 0,      // a settings file
  Registry = 1,  // the registry, under FileName as the key path prefix
  Table = 2,     // a table: not supported
};

// One row of the sectors list.
struct IniSector {
  char Family[100] = {};
  char Item[100] = {};
  char Type[100] = {};
};
using IniSectorQueue = runtime::Queue<IniSector>;

// One per process (`INIMgr`), usable from any thread: every operation but Init, TryFetch and the
// two hooks holds CritSect for its whole run (re-entrant, so nested calls take it again). Store
// failures are not reported back: a missing file or entry gives the default; misuse raises the
// utility module's report. Derived classes that override a Fetch or Update hook need
// `using INIClass::Fetch; using INIClass::Update;` to keep the other forms visible.
class INIClass {
 public:
  // Results are cut to these lengths, the sizes of the buffers they were read into.
  static constexpr size_t kFetchLimit = 1023;
  static constexpr size_t kNamedFetchLimit = 999;
  static constexpr size_t kQueueValueLimit = 4999;  // a row's value written by UpdateQueue

  INIClass() = default;
  virtual ~INIClass() = default;
  INIClass(const INIClass&) = delete;
  INIClass& operator=(const INIClass&) = delete;

  // The value of `name` in `sector`, or `default_value` when missing. File mode reads `file`
  // (a relative name resolves in the working directory); registry mode reads the key
  // `FileName\sector` and ignores `file`. Table mode reports and gives empty text.
  virtual std::string Fetch(std::string_view sector, std::string_view name,
                            std::string_view default_value, std::string_view file);
  // Writes `value` to `name` in `sector` (of `file` in file mode). In registry mode an empty
  // value removes the entry instead. Table mode reports.
  virtual void Update(std::string_view sector, std::string_view name, std::string_view value,
                      std::string_view file);
  // Hooks in which a derived class loads (at Init) and saves its own values; nothing here.
  virtual void Fetch() {}
  virtual void Update() {}

  // Keeps the store, creates the sectors list, runs the Fetch hook and loads the list.
  // REQUIRES: runs once, before any other operation and before other threads use the object.
  void Init(std::string_view file_name, IniStore nv_type = IniStore::File, int32_t extra_data = 0);
  // Writes the sectors list back and disposes of it.
  void Kill();
  // The value from FileName; a missing entry raises the report with the sector, the name and the
  // file in its text and gives "---Unknown---".
  std::string Fetch(std::string_view sector, std::string_view name);
  // The value from FileName; empty when missing, without a report.
  std::string TryFetch(std::string_view sector, std::string_view name);
  // Field `field` (from 1) of the comma-separated value Fetch(sector, name) gives; empty text,
  // reported, when the value has fewer fields.
  std::string FetchField(std::string_view sector, std::string_view name, uint8_t field);
  // Adds to `queue` the rows stored as `name` (their count) and name_1, name_2, ...: each row's
  // fields go to `field1` to `field4`, references to fields of the queue's buffer (the last three
  // may be null). Loading stops, reported, at the first row that is missing.
  void FetchQueue(std::string_view sector, std::string_view name, runtime::QueueBase& queue,
                  runtime::FieldRef field1, runtime::FieldRef field2 = {},
                  runtime::FieldRef field3 = {}, runtime::FieldRef field4 = {});
  // Update(sector, name, value, FileName).
  void Update(std::string_view sector, std::string_view name, std::string_view value);
  // Stores the rows of `queue` in the form FetchQueue reads, each row's fields joined by ",".
  void UpdateQueue(std::string_view sector, std::string_view name, runtime::QueueBase& queue,
                   runtime::FieldRef field1, runtime::FieldRef field2 = {},
                   runtime::FieldRef field3 = {}, runtime::FieldRef field4 = {});
  // Deletes the entry from FileName or the registry. Table mode reports.
  void Remove(std::string_view sector, std::string_view name);

  std::string FileName;  // the settings file, or in registry mode the key path prefix
  std::unique_ptr<IniSectorQueue> Sectors;  // null before Init and after Kill
  IniStore NVType = IniStore::File;
  int32_t ExtraData = 0;  // registry mode: the root key; 0 is the classes root
  CriticalSection CritSect;

 private:
  // The registry key of `sector` and the root key.
  std::string KeyPath(std::string_view sector) const;
  uint32_t Root() const;
  // Field `field` of `value`, reporting (as FetchField does) when it has fewer.
  static std::string FieldOf(std::string_view value, int field, std::string_view sector,
                             std::string_view name);
};

}  // namespace framework
