#include "runtime/records/thread_files.h"

#include <memory>
#include <vector>

namespace runtime {

namespace {

struct ThreadFiles {
  std::vector<std::unique_ptr<RecordFile>> files;
};

// Trivially destructible: the instances themselves go in DestroyThreadFiles.
thread_local ThreadFiles* thread_files = nullptr;

}  // namespace

RecordFile& THREAD_FILE(const FileDeclaration& declaration) {
  if (thread_files == nullptr) thread_files = std::make_unique<ThreadFiles>().release();
  for (const auto& file : thread_files->files) {
    if (&file->declaration() == &declaration) return *file;
  }
  thread_files->files.push_back(std::make_unique<RecordFile>(declaration));
  return *thread_files->files.back();
}

void DestroyThreadFiles() {
  std::unique_ptr<ThreadFiles> files(thread_files);
  thread_files = nullptr;
  if (files == nullptr) return;
  for (const auto& file : files->files) file->Destroy();
}

}  // namespace runtime
