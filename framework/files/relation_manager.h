// RelationManager: the relation object of one record file. The file managers and the per-thread
// files manager know it by the access object of its file; its relations and their cascades build
// on that.
#pragma once

#include <cstdint>

namespace framework {

class FileManager;

class RelationManager {
 public:
  RelationManager() = default;
  virtual ~RelationManager() = default;
  RelationManager(const RelationManager&) = delete;
  RelationManager& operator=(const RelationManager&) = delete;

  // Deletes the current record of this file (after asking when `Query` is set). Without
  // relations to other files that is the file manager's own delete.
  virtual uint8_t Delete(uint8_t Query = 1);

  FileManager* Me = nullptr;  // the access object of this file
};

}  // namespace framework
