#include "framework/util/ini_class.h"

#include <optional>

#include "framework/util/utility_module.h"
#include "runtime/platform/assertion.h"
#include "runtime/platform/ini_file.h"
#include "runtime/platform/registry_store.h"
#include "runtime/values/text.h"

namespace framework {
namespace {

constexpr std::string_view kUnknown = "---Unknown---";
constexpr std::string_view kListSector = "__Dont_Touch_Me__";
constexpr std::string_view kListName = "Sectors";
constexpr uint32_t kClassesRoot = 0x80000000u;

void Report(const std::string& message) { runtime::Assert(message, kUtilityModule); }
void ReportTable() { Report("NV_Table: Not Supported Yet"); }

std::string Cut(std::string text, size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

std::string RowName(std::string_view name, int64_t row) {
  return std::string(name) + "_" + std::to_string(row);
}

}  // namespace

std::string INIClass::KeyPath(std::string_view sector) const {
  if (FileName.empty()) return std::string(sector);
  return FileName + "\\" + std::string(sector);
}

uint32_t INIClass::Root() const {
  return ExtraData == 0 ? kClassesRoot : static_cast<uint32_t>(ExtraData);
}

std::string INIClass::Fetch(std::string_view sector, std::string_view name,
                            std::string_view default_value, std::string_view file) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  switch (NVType) {
    case IniStore::File:
      return Cut(runtime::GETINI(sector, name, default_value, file), kFetchLimit);
    case IniStore::Registry: {
      std::string value =
          runtime::GETREG(static_cast<runtime::RegistryRoot>(Root()), KeyPath(sector), name);
      return Cut(value.empty() ? std::string(default_value) : std::move(value), kFetchLimit);
    }
    default:
      ReportTable();
      return std::string();
  }
}

// The stores refuse what they cannot keep (a line break, for one) and change nothing then; the
// manager's callers expect no answer, as the legacy interface gives none.
void INIClass::Update(std::string_view sector, std::string_view name, std::string_view value,
                      std::string_view file) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  switch (NVType) {
    case IniStore::File:
      (void)runtime::PUTINI(sector, name, value, file);
      return;
    case IniStore::Registry:
      // An empty registry value would read back as missing anyway; leave none behind.
      if (value.empty()) {
        Remove(sector, name);
        return;
      }
      (void)runtime::PUTREG(static_cast<runtime::RegistryRoot>(Root()), KeyPath(sector), name,
                            value);
      return;
    default:
      ReportTable();
      return;
  }
}

void INIClass::Remove(std::string_view sector, std::string_view name) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  switch (NVType) {
    case IniStore::File:
      (void)runtime::PUTINI(sector, name, std::nullopt, FileName);
      return;
    case IniStore::Registry:
      (void)runtime::DELETEREG(static_cast<runtime::RegistryRoot>(Root()), KeyPath(sector), name);
      return;
    default:
      ReportTable();
      return;
  }
}

void INIClass::Init(std::string_view file_name, IniStore nv_type, int32_t extra_data) {
  FileName = std::string(file_name);
  NVType = nv_type;
  ExtraData = extra_data;
  Sectors = std::make_unique<IniSectorQueue>();
  Fetch();
  IniSector& row = Sectors->buffer();
  FetchQueue(kListSector, kListName, *Sectors, runtime::FieldRef::Of(&row.Family),
             runtime::FieldRef::Of(&row.Item), runtime::FieldRef::Of(&row.Type));
}

void INIClass::Kill() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (Sectors == nullptr) return;
  IniSector& row = Sectors->buffer();
  UpdateQueue(kListSector, kListName, *Sectors, runtime::FieldRef::Of(&row.Family),
              runtime::FieldRef::Of(&row.Item), runtime::FieldRef::Of(&row.Type));
  Sectors.reset();
}

std::string INIClass::Fetch(std::string_view sector, std::string_view name) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  std::string value = Fetch(sector, name, kUnknown, FileName);
  if (value == kUnknown) {
    Report("INI Assert: Could not find " + std::string(name) + " in sector " + std::string(sector) +
           " of " + FileName);
  }
  return Cut(std::move(value), kNamedFetchLimit);
}

std::string INIClass::TryFetch(std::string_view sector, std::string_view name) {
  return Fetch(sector, name, "", FileName);
}

std::string INIClass::FieldOf(std::string_view value, int field, std::string_view sector,
                              std::string_view name) {
  size_t start = 0;
  for (int i = 1; i < field; ++i) {
    const size_t comma = value.find(',', start);
    if (comma == std::string_view::npos) {
      Report("INI Assert: No field " + std::to_string(field) + " in " + std::string(name) +
             " of sector " + std::string(sector));
      return std::string();
    }
    start = comma + 1;
  }
  const size_t end = value.find(',', start);
  return std::string(value.substr(start, end == std::string_view::npos ? end : end - start));
}

std::string INIClass::FetchField(std::string_view sector, std::string_view name, uint8_t field) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  return FieldOf(Fetch(sector, name), field, sector, name);
}

void INIClass::FetchQueue(std::string_view sector, std::string_view name, runtime::QueueBase& queue,
                          runtime::FieldRef field1, runtime::FieldRef field2,
                          runtime::FieldRef field3, runtime::FieldRef field4) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  const int64_t rows = runtime::TextToInteger(TryFetch(sector, name));
  const runtime::FieldRef fields[] = {field1, field2, field3, field4};
  for (int64_t row = 1; row <= rows; ++row) {
    const std::string row_name = RowName(name, row);
    // One read per row, split here: the fields FetchField gives, without reading the store once
    // per field.
    const std::string value = Fetch(sector, row_name);
    if (value == kUnknown) {
      // Fetch has reported the missing row. Going on would add rows of "---Unknown---" that Kill
      // writes back, and a damaged count could keep loading nearly forever.
      return;
    }
    for (int i = 0; i < 4; ++i) {
      if (fields[i].null()) continue;
      (void)fields[i].SetText(FieldOf(value, i + 1, sector, row_name));  // cut to the field
    }
    if (queue.Add() != 0) Report("INI Assert: Could not add a row of " + std::string(name));
  }
}

void INIClass::Update(std::string_view sector, std::string_view name, std::string_view value) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  Update(sector, name, value, FileName);
}

void INIClass::UpdateQueue(std::string_view sector, std::string_view name,
                           runtime::QueueBase& queue, runtime::FieldRef field1,
                           runtime::FieldRef field2, runtime::FieldRef field3,
                           runtime::FieldRef field4) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  const int64_t rows = queue.Records();
  Update(sector, name, std::to_string(rows));
  for (int64_t row = 1; row <= rows; ++row) {
    if (queue.Get(row) != 0) {
      Report("INI Assert: Could not read row " + std::to_string(row) + " of " + std::string(name));
      continue;
    }
    std::string value = field1.GetText();
    for (const runtime::FieldRef& field : {field2, field3, field4}) {
      if (!field.null()) value += "," + field.GetText();
    }
    Update(sector, RowName(name, row), Cut(std::move(value), kQueueValueLimit));
  }
}

}  // namespace framework
