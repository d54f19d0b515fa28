#include "framework/windows/translator_class.h"

#include <algorithm>
#include <atomic>

#include "framework/util/constant_class.h"
#include "framework/util/utility_module.h"
#include "runtime/base/status.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/text_file.h"
#include "runtime/values/text.h"
#include "runtime/window/event_loop.h"

namespace framework {
namespace {

// The table knows the list-like controls as 14, 15, 33 and 34; the runtime's list is 37 and is
// translated as 14.
constexpr uint16_t kRuntimeList = static_cast<uint16_t>(runtime::ControlType::List);
constexpr uint16_t kTableList = 14;

uint16_t TableType(uint16_t runtime_type) {
  return runtime_type == kRuntimeList ? kTableList : runtime_type;
}

bool IsListLike(uint16_t table_type) {
  return table_type == 14 || table_type == 15 || table_type == 33 || table_type == 34;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string_view Cut(std::string_view text) { return text.substr(0, kTranslationTextLength); }

std::string_view DropTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The extraction file's group name: its file name up to the first '.', at most 8 characters.
std::string GroupName(std::string_view full_name) {
  const size_t separator = full_name.find_last_of("\\/");
  std::string_view name =
      separator == std::string_view::npos ? full_name : full_name.substr(separator + 1);
  name = name.substr(0, name.find('.'));
  return std::string(name.substr(0, 8));
}

runtime::Window* Resolve(runtime::Window* win) {
  return win != nullptr ? win : runtime::TargetWindow();
}

}  // namespace

TranslatorClass::TranslatorClass() = default;

TranslatorClass::~TranslatorClass() {
  if (!Killed) Kill();
}

void TranslatorClass::Init() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  Queue = std::make_unique<runtime::Queue<TranslationRow>>();
  TypeMapping = std::make_unique<runtime::Queue<TypeMappingRow>>();
  Killed = 0;
  AddTranslation(TRANSLATION());
  ConstantClass walker;
  walker.Init(ConstTermination::Size);
  walker.AddItem(ConstItem::UShort, runtime::FieldRef::Of(&TypeMapping->buffer().ControlType));
  walker.AddItem(ConstItem::UShort, runtime::FieldRef::Of(&TypeMapping->buffer().Property));
  walker.Set(TRANSLATORTYPEMAPPINGS());
  walker.Next(*TypeMapping);
  walker.Kill();
  TypeMapping->Sort(runtime::ByFields<TypeMappingRow>(&TypeMappingRow::ControlType));
}

void TranslatorClass::AddTranslation(TranslatorGroup Group) {
  std::string text;
  std::string replacement;
  ConstantClass walker;
  walker.Init(ConstTermination::UShortCount);
  walker.AddItem(ConstItem::PString, runtime::FieldRef::Of(&text));
  walker.AddItem(ConstItem::PString, runtime::FieldRef::Of(&replacement));
  walker.Set(Group);
  walker.Reset();
  while (walker.Next() == ConstantClass::kDelivered) AddTranslation(text, replacement);
  walker.Kill();
}

int64_t TranslatorClass::Find(std::string_view text) const {
  // Binary search over the rows, which stand in text order.
  int64_t low = 1;
  int64_t high = Queue->Records();
  while (low <= high) {
    const int64_t middle = low + (high - low) / 2;
    const std::string& here = Queue->row(middle).TextProp;
    if (here == text) return middle;
    if (here < text) {
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  return 0;
}

void TranslatorClass::AddTranslation(std::string_view Text, std::string_view Replacement) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (Queue == nullptr) {
    runtime::Assert("Translation queue not initialized", kUtilityModule);
    return;
  }
  if (Text.empty()) return;
  const std::string_view text = Cut(Text);
  if (const int64_t position = Find(text); position != 0) {
    (void)Queue->Get(position);
    Queue->buffer().Replacement = std::string(Cut(Replacement));
    (void)Queue->Put();
    return;
  }
  Queue->buffer() = {std::string(text), std::string(Cut(Replacement))};
  (void)Queue->AddInOrder(runtime::ByFields<TranslationRow>(&TranslationRow::TextProp));
}

int32_t TranslatorClass::Translate(std::string_view Text, char* Buffer, size_t Size,
                                   int32_t Depth) {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (IsBlank(Text)) {
    const size_t blanks = std::min(Size, Text.size());
    std::fill_n(Buffer, blanks, ' ');
    return static_cast<int32_t>(blanks);
  }
  if (Depth > kMaxTranslationDepth) {
    runtime::Assert("Too deep recursion", kUtilityModule);
    return 0;
  }
  std::string source(Text);
  if (Queue != nullptr) {
    const std::string_view key = Cut(Text);
    const int64_t position = Find(key);
    if (position == 0) {
      // Remembered with no replacement, so that Kill extracts it.
      if (!ExtractText.empty()) AddTranslation(key, {});
    } else if (!Queue->row(position).Replacement.empty()) {
      source = Queue->row(position).Replacement;
    }
  }
  size_t written = 0;
  size_t next = 0;
  while (next < source.size() && written < Size) {
    if (source[next] == '%') {
      const size_t close = source.find('%', next + 1);
      if (close != std::string::npos) {
        if (close > next + 1) {
          written += static_cast<size_t>(
              Translate(std::string_view(source).substr(next + 1, close - next - 1),
                        Buffer + written, Size - written, Depth + 1));
        } else {
          Buffer[written++] = '%';
        }
        next = close + 1;
        continue;
      }
    }
    Buffer[written++] = source[next++];
  }
  return static_cast<int32_t>(written);
}

std::string TranslatorClass::TranslateString(std::string_view Text) {
  std::string buffer(kTranslationBufferSize, ' ');
  const int32_t count = Translate(Text, buffer.data(), buffer.size(), 0);
  buffer.resize(static_cast<size_t>(std::max(count, 0)));
  return buffer;
}

void TranslatorClass::TranslateProperty(uint16_t Property, int16_t Control, runtime::Window* Win) {
  runtime::Window* window = Resolve(Win);
  if (window == nullptr) return;
  const auto property = static_cast<runtime::Property>(Property);
  // A property the control does not have cannot be set; nothing is lost by ignoring that.
  (void)runtime::SetPropS(*window, Control, property,
                          TranslateString(runtime::GetPropS(*window, Control, property)));
}

void TranslatorClass::TranslateControl(int16_t Control, runtime::Window* Win) {
  runtime::Window* window = Resolve(Win);
  if (window == nullptr) return;
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (TypeMapping == nullptr) {
    runtime::Assert("Translator type mapping not initialized", kUtilityModule);
    return;
  }
  const auto type = TableType(static_cast<uint16_t>(
      runtime::TextToInteger(runtime::GetPropS(*window, Control, runtime::Property::Type))));
  for (int64_t position = 1; position <= TypeMapping->Records(); ++position) {
    const TypeMappingRow row = TypeMapping->row(position);
    if (row.ControlType == type) TranslateProperty(row.Property, Control, window);
  }
  if (!IsListLike(type)) return;
  for (int column = 1;
       runtime::GetPropS(*window, Control, runtime::Property::Column, column) == "1"; ++column) {
    for (runtime::Property property :
         {runtime::Property::ColumnHeader, runtime::Property::ColumnTip}) {
      const std::string text = runtime::GetPropS(*window, Control, property, column);
      if (!text.empty()) {
        (void)runtime::SetPropS(*window, Control, property, TranslateString(text), column);
      }
    }
  }
}

void TranslatorClass::TranslateControls(int16_t First, int16_t Last, runtime::Window* Win) {
  runtime::Window* window = Resolve(Win);
  if (window == nullptr) return;
  int control = 0;
  for (;;) {
    control = static_cast<int>(runtime::TextToInteger(
        runtime::GetPropS(*window, 0, runtime::Property::NextField, control)));
    if (control == 0 || control < First || control > Last) return;
    TranslateControl(static_cast<int16_t>(control), window);
  }
}

void TranslatorClass::TranslateWindow(runtime::Window* Win) {
  runtime::Window* window = Resolve(Win);
  if (window == nullptr) return;
  TranslateProperty(static_cast<uint16_t>(runtime::Property::Text), 0, window);
  TranslateControls(INT16_MIN, INT16_MAX, window);
}

void TranslatorClass::Kill() {
  CriticalProcedure lock;
  lock.Init(CritSect.GetIface());
  if (!ExtractText.empty() && Queue != nullptr) WriteExtraction();
  Queue.reset();
  TypeMapping.reset();
  Killed = 1;
}

void TranslatorClass::WriteExtraction() {
  runtime::TextFile file;
  file.set_name(ExtractText);
  if (runtime::Status status = file.Create(); !status.ok()) {
    runtime::Assert("Unable to create the extraction file " + ExtractText + ": " + status.message(),
                    kUtilityModule);
    return;
  }
  if (runtime::Status status = file.Open(runtime::kOpenReadWrite | runtime::kShareDenyWrite);
      !status.ok()) {
    runtime::Assert("Unable to open the extraction file " + ExtractText + ": " + status.message(),
                    kUtilityModule);
    return;
  }
  ExtractText = file.FullName();
  int64_t count = 0;
  for (int64_t position = 1; position <= Queue->Records(); ++position) {
    if (Queue->row(position).Replacement.empty()) ++count;
  }
  const std::string indent(11, ' ');
  auto append = [&](const std::string& line) {
    if (runtime::Status status = file.Append(line); !status.ok()) {
      runtime::Assert("Unable to add to the extraction file: " + status.message(), kUtilityModule);
    }
  };
  append(GroupName(ExtractText) + " GROUP");
  append("Items      USHORT(" + std::to_string(count) + ")");
  for (int64_t position = 1; position <= Queue->Records(); ++position) {
    const TranslationRow& row = Queue->row(position);
    if (!row.Replacement.empty()) continue;
    append(indent + "PSTRING('" + std::string(DropTrailingBlanks(row.TextProp)) + "')");
    append(indent + "PSTRING('')");
  }
  append("   END");
  file.Close();
}

namespace {
std::atomic<TranslatorClass*> installed_translator{nullptr};
}  // namespace

TranslatorClass* GlobalTranslator() { return installed_translator.load(); }

TranslatorClass* SetGlobalTranslator(TranslatorClass* translator) {
  return installed_translator.exchange(translator);
}

}  // namespace framework
