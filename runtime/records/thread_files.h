// Per-thread instances of data files: each thread that uses a data file has its own instance
// (record buffer, position, open state), made on first use and destroyed when the thread detaches.
#pragma once

#include "runtime/records/file_declaration.h"
#include "runtime/records/record_file.h"

namespace runtime {

// THREAD_FILE: the calling thread's instance of the data file `declaration`, made on first use.
// `declaration` must outlive the thread's instances.
RecordFile& THREAD_FILE(const FileDeclaration& declaration);

// FILE_DESTROY of every instance of the calling thread, in the order they were made (each tells
// its callbacks with operation 104 and closes), then frees them. The thread detach step.
void DestroyThreadFiles();

}  // namespace runtime
