// A RecordFile's properties by number, driver options (FILE_SEND) and saved states
// (FILE_GETSTATE, FILE_RESTORESTATE, FILE_FREESTATE).
#include "runtime/records/record_file.h"
#include "runtime/records/record_file_internal.h"
#include "runtime/values/text.h"

namespace runtime {

std::string RecordFile::GetProperty(int number, int index) const {
  switch (number) {
    case property::kLabel:
      return Name();
    case property::kFieldLabel: {
      const FieldDeclaration* f = declaration_.field(index);
      return f == nullptr ? std::string() : f->label;
    }
    case property::kMemoCount:
      return "0";
    case property::kFieldCount:
      return std::to_string(declaration_.fields.size());
    case property::kPerThread:
      return declaration_.per_thread ? "1" : "0";
    case property::kMemo:
      return std::string();
    default:
      break;
  }
  auto it = properties_.find(number);
  if (it != properties_.end()) return it->second;
  return number == property::kLogout || number == property::kAliasBase ? "0" : std::string();
}

int RecordFile::SetProperty(int number, std::string_view value, int index) {
  return Run(
      op_code::kSetProperty,
      [&](PARAMS& parameters) {
        parameters.Property = std::to_string(number);
        parameters.Index = index;
      },
      false,
      [&] {
        switch (number) {
          case property::kLabel:
          case property::kFieldLabel:
          case property::kMemoCount:
          case property::kFieldCount:
          case property::kPerThread:
            return Status(kNotSupported, "property " + std::to_string(number) + " is read-only");
          case property::kMemo:
            return Status(kNotSupported, declaration_.label + " has no memo or BLOB fields");
          default:
            break;
        }
        if (number == property::kLogout) {
          if (!IsOpen()) return Status(kFileNotOpen, Name() + " is not open");
          Enlist(TextToInteger(value) != 0);
        }
        properties_[number] = std::string(value);
        return Status::Ok();
      });
}

std::string RecordFile::GetKeyProperty(int key, int number, int index) const {
  if (!CheckKey(key).ok()) return std::string();
  const KeyDeclaration& k = declaration_.keys[key];
  const bool component = index >= 1 && index <= static_cast<int>(k.components.size());
  switch (number) {
    case property::kLabel:
      return k.label;
    case property::kComponents:
      return std::to_string(k.components.size());
    case property::kDuplicates:
      return k.unique() ? "0" : "1";
    case property::kNoCase:
      return k.no_case() ? "1" : "0";
    case property::kPrimary:
      return k.primary() ? "1" : "0";
    case property::kComponentField:
      return component ? std::to_string(k.components[index - 1].field) : "0";
    case property::kComponentAscend:
      return component && k.components[index - 1].order == KeyOrder::Ascending ? "1" : "0";
    default:
      return std::string();
  }
}

std::string RecordFile::Send(std::string_view option) {
  // Options are kept and answered. "Recover=" (how long a station's stale lock is waited for)
  // has nothing to do here, because locks of a dead station vanish with it; "QUICKSCAN=" (read
  // ahead) is what the read lease does anyway.
  std::string name(option.substr(0, option.find('=')));
  name = UpperCp1252(ClipRight(name));
  std::string answer;
  Run(
      op_code::kSend, [&](PARAMS& parameters) { parameters.Text = std::string(option); }, false,
      [&] {
        const size_t equals = option.find('=');
        if (equals != std::string_view::npos)
          options_[name] = std::string(option.substr(equals + 1));
        auto it = options_.find(name);
        answer = it == options_.end() ? std::string() : it->second;
        return Status::Ok();
      });
  return answer;
}

int32_t RecordFile::GetState() {
  auto state = std::make_unique<SavedState>();
  state->buffer = buffer_;
  state->walk = walk_;
  state->current = current_;
  state->current_key = CurrentKey();
  state->current_key_order = current_key_order_;
  state->open = IsOpen();
  state->mode = mode_;
  const int32_t handle = next_state_++;
  states_[handle] = std::move(state);
  SetFileError(Status::Ok());
  return handle;
}

int RecordFile::RestoreState(int32_t handle) {
  return Run(
      op_code::kRestoreState, [&](PARAMS& parameters) { parameters.State = handle; }, false,
      [&] {
        auto it = states_.find(handle);
        if (it == states_.end())
          return Status(kInvalidArgument, "no saved state " + std::to_string(handle));
        const SavedState& state = *it->second;
        if (!state.open && IsOpen()) {
          Close();
        } else if (state.open && !IsOpen()) {
          if (Open(state.mode) != 0) return Status(ERRORCODE(), FILEERRORMSG());
        }
        buffer_ = state.buffer;
        walk_ = state.walk;
        current_ = state.current;
        for (const OwnPut& put : own_puts_) {
          if (put.number == current_.number && put.from == current_.version) {
            current_.version = put.to;
          }
        }
        current_key_ = state.current_key;
        current_key_pending_ = false;
        current_key_order_ = state.current_key_order;
        return Status::Ok();
      });
}

void RecordFile::FreeState(int32_t handle) {
  states_.erase(handle);
  if (states_.empty()) own_puts_.clear();
}

}  // namespace runtime
