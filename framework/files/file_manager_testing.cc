#include "framework/files/file_manager_testing.h"

#include <algorithm>

#include "runtime/records/record_file.h"
#include "runtime/values/text.h"

namespace framework::testing {

using runtime::FieldMeaning;
using runtime::FieldType;
using runtime::KeyFlags;
using runtime::KeyOrder;

const runtime::FileDeclaration& NumberedDeclaration() {
  static const runtime::FileDeclaration declaration = [] {
    runtime::FileDeclaration d;
    d.label = "Numerados";
    d.prefix = "NUM";
    d.fields = {
        {kCompany, "NUM:COMPANY", FieldType::ULong, 0, 4, 0, 1, FieldMeaning::Plain},
        {kNumber, "NUM:NUMBER", FieldType::Byte, 4, 1, 0, 1, FieldMeaning::Plain},
        {kName, "NUM:NAME", FieldType::String, 5, 8, 0, 1, FieldMeaning::Plain},
        {kCode, "NUM:CODE", FieldType::UShort, 13, 2, 0, 1, FieldMeaning::Plain},
        {kNote, "NUM:NOTE", FieldType::String, 15, 2, 0, 1, FieldMeaning::Plain},
    };
    d.record_length = 17;
    d.keys = {
        {"NUM:KEY:COMPANYNUMBER",
         {{kCompany, KeyOrder::Ascending}, {kNumber, KeyOrder::Ascending}},
         KeyFlags::Unique | KeyFlags::Primary,
         "",
         0,
         ""},
        {"NUM:KEY:NAME",
         {{kName, KeyOrder::Ascending}},
         KeyFlags::Unique | KeyFlags::NoCase | KeyFlags::ExcludeEmpty,
         "",
         0,
         ""},
        {"NUM:KEY:CODE", {{kCode, KeyOrder::Descending}}, KeyFlags::Unique, "", 0, ""},
    };
    return d;
  }();
  return declaration;
}

std::vector<KeySpec> NumberedKeys() {
  return {{kCompanyNumberKey, "Empresa e n\xFAmero", 2},
          {kNameKey, "", 0},
          {kCodeKey,
           "C\xF3"
           "digo",
           1}};
}

void TestAccess::Init() {
  Initialized = 0;
  Buffer = file_.buffer();
  BufferLength = file_.declaration().record_length;
  FileNameValue = file_.declaration().label;
  SetErrors(&errors_);
  File = &file_;
  FileName = file_.declaration().name;
  FileManager::Init();
}

uint8_t TestAccess::UseFile(uint8_t UseType) {
  if (UseType != 5) UseFile(5);
  if (UseType == 5 && !Initialized) {
    InUseFile = 1;
    Init(File, &errors_);
    Create = 1;
    LockRecover = 10;
    for (const KeySpec& key : keys_) AddKey(key.key, key.description, key.auto_inc);
  }
  return FileManager::UseFile(UseType);
}

uint8_t TestAccess::ValidateFieldServer(int32_t Field, uint8_t HandleErrors) {
  validated.push_back(Field);
  if (std::find(invalid_fields.begin(), invalid_fields.end(), Field) != invalid_fields.end()) {
    return kNotify;
  }
  return FileManager::ValidateFieldServer(Field, HandleErrors);
}

uint8_t TestAccess::FunctionCalled(int32_t OpCode, runtime::PARAMS& Parameters,
                                   std::string* ErrCode, std::string* ErrMsg) {
  if (refuse_reads > 0 &&
      (OpCode == runtime::op_code::kNext || OpCode == runtime::op_code::kPrevious)) {
    --refuse_reads;
    *ErrCode = "90";
    *ErrMsg = "read refused by the test";
    return 0;
  }
  return FileManager::FunctionCalled(OpCode, Parameters, ErrCode, ErrMsg);
}

uint8_t TestAccess::PreInsert(int32_t, int32_t, std::string* ErrCode, std::string* ErrMsg) {
  if (refuse_adds <= 0) return 1;
  --refuse_adds;
  *ErrCode = "40";
  *ErrMsg = "refused by the test";
  return 0;
}

std::vector<std::string> AssertionMessages(const runtime::AssertionRecorder& recorder) {
  std::vector<std::string> messages;
  for (const auto& entry : recorder.entries()) messages.push_back(entry.message);
  return messages;
}

RecordingErrors::RecordingErrors() {
  status_.Attach();
  Init(status_);
}

RecordingErrors::~RecordingErrors() {
  Kill();
  status_.Detach();
}

int32_t RecordingErrors::MessageBox(uint8_t, std::string_view txt, std::string_view caption,
                                    std::string_view, int32_t buttons, int32_t default_button,
                                    int32_t) {
  shown.push_back({runtime::Cp1252ToUtf8(txt), runtime::Cp1252ToUtf8(caption), buttons});
  if (answers.empty()) return default_button;
  const int32_t answer = answers.front();
  answers.pop_front();
  return answer;
}

std::vector<std::string> RecordingErrors::Captions() const {
  std::vector<std::string> captions;
  for (const ShownMessage& message : shown) captions.push_back(message.caption);
  return captions;
}

}  // namespace framework::testing
