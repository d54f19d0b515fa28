#include "framework/files/relation_manager.h"

#include "framework/files/file_manager.h"

namespace framework {

uint8_t RelationManager::Delete(uint8_t Query) {
  if (Me == nullptr) return kNotify;
  return Me->DeleteRecord(Query);
}

}  // namespace framework
