// An exclusive claim among processes on one folder, for work that builds files in it under
// temporary names (the data tool's import): whoever holds the claim is the only one doing such
// work there, so a temporary file found while holding it was left by a process that died. The
// operating system's part lives in the platform files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace runtime {

// One claim, held until the object goes or the process ends, however it ends. Not thread-safe.
class FolderClaim {
 public:
  enum class Result : uint8_t {
    Claimed,
    HeldElsewhere,  // another process, or another claim of this one, holds the folder
    Unsupported,    // the file system has no such claims (some network file systems)
    Failed,         // the folder cannot be opened; the error text says why
  };

  // Tries once, without waiting, to claim the folder at `path`, which must exist. `*out` is set
  // only for Claimed; `*error` only for Failed.
  static Result TryClaim(const std::filesystem::path& path, std::unique_ptr<FolderClaim>* out,
                         std::string* error);

  ~FolderClaim();
  FolderClaim(const FolderClaim&) = delete;
  FolderClaim& operator=(const FolderClaim&) = delete;

  // True while `path` still names the folder that was claimed: a claim on a folder that another
  // process removed (or replaced) since guards nothing, and the caller must claim again.
  bool StillNames(const std::filesystem::path& path) const;

 private:
  explicit FolderClaim(intptr_t handle) : handle_(handle) {}

  intptr_t handle_;
};

}  // namespace runtime
