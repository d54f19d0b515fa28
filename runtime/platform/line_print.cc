#include "runtime/platform/line_print.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "runtime/platform/system_property.h"
#include "runtime/values/text.h"

namespace runtime {

namespace {

// The writer's process-wide state: the bytes and name of the current call and what the file
// calls returned. One call at a time holds `mutex`.
struct LinePrintState {
  std::mutex mutex;
  char hpvBuffer[kLinePrintBufferSize];
  char lpszFilename[kLinePrintNameSize] = {};
  ClassicFileHandle hf = kNoClassicFile;
  int32_t cbBuffer = 0;
  int32_t BytesWritten = 0;

  LinePrintState() { std::memset(hpvBuffer, ' ', sizeof hpvBuffer); }
};

LinePrintState& State() {
  static LinePrintState state;
  return state;
}

// The target name: the given one, or the runtime's default target with its last character
// dropped, whatever it is.
std::string TargetName(std::optional<std::string_view> file_name) {
  if (file_name) return std::string(ClipRight(*file_name));
  const std::string property = SystemProperty(kPropLinePrintTarget);
  std::string_view name = ClipRight(property);
  if (!name.empty()) name.remove_suffix(1);
  return std::string(name);
}

// Fills the fixed buffer with `text`, padded with blanks, and returns how many bytes to write:
// the buffer without its trailing blanks.
int32_t FillBuffer(char (&buffer)[kLinePrintBufferSize], std::string_view text, bool line_end) {
  std::memset(buffer, ' ', sizeof buffer);
  const size_t text_size = std::min(text.size(), sizeof buffer);
  std::memcpy(buffer, text.data(), text_size);
  size_t size = text_size;
  if (line_end) {
    for (char c : {CR, LF}) {
      if (size < sizeof buffer) buffer[size++] = c;
    }
  }
  return static_cast<int32_t>(ClipRight(std::string_view(buffer, size)).size());
}

}  // namespace

uint8_t LinePrint(std::string_view text, std::optional<std::string_view> file_name,
                  std::optional<uint8_t> append_newline) {
  return LinePrint(SystemClassicFile(), text, file_name, append_newline);
}

uint8_t LinePrint(ClassicFile& files, std::string_view text,
                  std::optional<std::string_view> file_name,
                  std::optional<uint8_t> append_newline) {
  const std::string name = TargetName(file_name);
  LinePrintState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);

  const size_t kept = std::min(name.size(), kLinePrintNameSize - 1);
  std::memcpy(state.lpszFilename, name.data(), kept);
  state.lpszFilename[kept] = '\0';
  // The name goes to the system zero-terminated. One too long for the buffer is refused rather
  // than cut, which would write the line to some other file.
  if (name.size() > kLinePrintNameSize - 1) return kLinePrintNotOpened;
  const std::string_view target(state.lpszFilename);

  const bool line_end =
      (!append_newline || *append_newline == 1) && ClipRight(text) != std::string_view(&FF, 1);
  state.cbBuffer = FillBuffer(state.hpvBuffer, text, line_end);

  state.hf = files.OpenForWriting(target);
  if (state.hf == kNoClassicFile) state.hf = files.Create(target);
  if (state.hf == kNoClassicFile) return kLinePrintNotOpened;

  // Device ports have no end to seek to; the test is on the name as written, upper case only.
  const std::string_view prefix = target.substr(0, 3);
  if (prefix != "COM" && prefix != "LPT" && !files.SeekToEnd(state.hf)) {
    files.Close(state.hf);  // the handle is released on every failure
    state.hf = kNoClassicFile;
    return kLinePrintSeekFailed;
  }

  const int64_t written = files.Write(state.hf, std::string_view(state.hpvBuffer, state.cbBuffer));
  state.BytesWritten = static_cast<int32_t>(written);
  if (written < state.cbBuffer) {
    files.Close(state.hf);
    state.hf = kNoClassicFile;
    return kLinePrintShortWrite;
  }

  const bool closed = files.Close(state.hf);
  state.hf = kNoClassicFile;
  return closed ? kLinePrintOk : kLinePrintCloseFailed;
}

void LinePrintAttach() {
  LinePrintState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  std::memset(state.hpvBuffer, ' ', sizeof state.hpvBuffer);
}

}  // namespace runtime
