// The standard error log: the text file "ZELError.Log" in the current directory, to which every
// message is appended while logging is on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/errors/error_log_interface.h"
#include "framework/util/critical_section.h"
#include "runtime/records/text_file.h"

namespace framework {

inline constexpr std::string_view kStandardErrorLogName = "ZELError.Log";

// Counts nested Opens across threads, so the file stays open until as many Closes have come; one
// lock guards the count and the file. Lines are only ever appended: an existing log is never
// truncated. Destruction closes the file.
class StandardErrorLogClass final : public ErrorLogInterface {
 public:
  // `name`: the log file; a relative name resolves in the current directory.
  explicit StandardErrorLogClass(std::string_view name = kStandardErrorLogName);
  ~StandardErrorLogClass() override;
  StandardErrorLogClass(const StandardErrorLogClass&) = delete;
  StandardErrorLogClass& operator=(const StandardErrorLogClass&) = delete;

  // Lowers the count of Opens, closing the file at the last one (or at once with `force`, which
  // leaves the count 0). A Close with no Open outstanding does nothing.
  Level Close(uint8_t force) override;
  // The first Open (or one with `force`) creates the file when it is missing and opens it for
  // appending; every successful Open counts.
  Level Open(uint8_t force) override;
  // Appends `line` (cut to the record length of 1,024); Level::Notify when not open.
  Level Take(std::string_view line) override;

  int32_t usage() const;

 private:
  CriticalSection CritSect;
  int32_t Usage = 0;  // Opens not yet matched by a Close; 0 = file closed
  runtime::TextFile file_;
};

}  // namespace framework
