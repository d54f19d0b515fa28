// File names as the payroll data gives them: `\` or `/` between folders, relative to the working
// directory, and spelled without regard to letter case (the folders come from a case-insensitive
// system).
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// The native path of `name`: separators made native; each component that does not exist with
// its exact spelling is looked up ignoring letter case. Components that do not exist at all keep
// their spelling (so a file can be created under that name).
std::string ResolvePath(std::string_view name);

// True when `name` names an existing file (not a folder).
bool FileExists(std::string_view name);
// Deletes the file `name` and the engine's journal beside it. A missing file is no error.
// Returns false when an existing file could not be deleted, and for a folder of that name, which
// is never deleted.
bool RemoveFile(std::string_view name);

}  // namespace runtime
