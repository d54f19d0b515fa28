// For the file manager tests: a numbered test file, an access class derived from FileManager as
// the dictionary derives them, and an error manager that records its message boxes and answers
// them from a script.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "framework/errors/error_class.h"
#include "framework/files/file_manager.h"
#include "runtime/platform/assertion.h"
#include "runtime/platform/thread_context.h"
#include "runtime/records/file_declaration.h"

namespace framework::testing {

// Fields: 1 COMPANY ULONG, 2 NUMBER BYTE, 3 NAME STRING(8), 4 CODE USHORT, 5 NOTE STRING(6);
// 17 bytes. Keys: 0 NUM:KEY:COMPANYNUMBER (COMPANY, NUMBER) unique, primary, NUMBER numbered;
// 1 NUM:KEY:NAME (NAME) unique, case-insensitive, excludes empty; 2 NUM:KEY:CODE (CODE
// descending) unique, numbered.
enum NumberedField { kCompany = 1, kNumber, kName, kCode, kNote };
enum NumberedKey { kCompanyNumberKey = 0, kNameKey, kCodeKey };
const runtime::FileDeclaration& NumberedDeclaration();

// What a key of the access class hands to AddKey.
struct KeySpec {
  int key = 0;
  std::string description;
  uint8_t auto_inc = 0;
};

// The keys of the numbered file: descriptions "Empresa e n\xFAmero", "" (the label is used) and
// "C\xF3digo"; NUMBER and CODE numbered.
std::vector<KeySpec> NumberedKeys();

// An access class as the dictionary makes them: Init() fills the buffer, the name and the file,
// and the first UseFile runs the full set-up and adds the keys.
class TestAccess : public FileManager {
 public:
  using FileManager::Init;
  using FileManager::RestoreBuffer;
  using FileManager::Throw;

  TestAccess(runtime::RecordFile& file, ErrorClass& errors, std::vector<KeySpec> keys)
      : file_(file), errors_(errors), keys_(std::move(keys)) {}

  void Init() override;
  uint8_t UseFile(uint8_t UseType = 2) override;

  // Set: adds (opcodes 1, 4, 51, 59) are refused this many more times with error 40.
  int refuse_adds = 0;
  // Set: sequential reads (opcodes 17 and 24) are refused this many more times with error 90.
  int refuse_reads = 0;
  // Field numbers ValidateFieldServer finds invalid (answered with Notify), and every field it
  // was asked about.
  std::vector<int32_t> invalid_fields;
  std::vector<int32_t> validated;

  uint8_t ValidateFieldServer(int32_t Field, uint8_t HandleErrors) override;
  uint8_t FunctionCalled(int32_t OpCode, runtime::PARAMS& Parameters, std::string* ErrCode,
                         std::string* ErrMsg) override;
  uint8_t PreInsert(int32_t OpCode, int32_t AddLen, std::string* ErrCode,
                    std::string* ErrMsg) override;

 private:
  runtime::RecordFile& file_;
  ErrorClass& errors_;
  std::vector<KeySpec> keys_;
};

// The messages of the assertions `recorder` recorded, in order.
std::vector<std::string> AssertionMessages(const runtime::AssertionRecorder& recorder);

struct ShownMessage {
  std::string text;
  std::string caption;
  int32_t buttons = 0;
};

// Records every message box (text converted from Windows-1252 to UTF-8) and answers it from
// `answers`, else with its default button. Set up with a per-thread error status of its own.
class RecordingErrors : public ErrorClass {
 public:
  RecordingErrors();
  ~RecordingErrors() override;
  int32_t MessageBox(uint8_t level, std::string_view txt, std::string_view caption,
                     std::string_view icon, int32_t buttons, int32_t default_button,
                     int32_t style) override;
  // The captions shown, in order.
  std::vector<std::string> Captions() const;

  std::vector<ShownMessage> shown;
  std::deque<int32_t> answers;

 private:
  runtime::ThreadInstance<ErrorStatusClass> status_;
};

}  // namespace framework::testing
