// The set-up the dictionary's tests share: the files named into a scratch folder, a recording
// error manager installed as GlobalErrors, and this thread's dictionary started and killed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/access_classes.h"
#include "dictionary/dictionary_testing.h"
#include "framework/errors/global_errors.h"
#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "runtime/platform/assertion.h"
#include "runtime/window/halt.h"
#include "tests/testing.h"

namespace dictionary::testing {

class DictionaryTest : public ::testing::Test {
 protected:
  DictionaryTest() {
    NameFilesIn(dir_.path().string());
    previous_errors_ = framework::SetGlobalErrors(&errors_);
  }
  ~DictionaryTest() override {
    adder_.Close();
    DctKill();
    // Killing the dictionary closes every file it opened: no "still open" report.
    EXPECT_TRUE(Assertions().empty()) << Assertions().front();
    framework::DetachFilesManager();
    framework::SetGlobalErrors(previous_errors_);
  }
  void StartDictionary() {
    DctInit();
    FilesInit();
  }
  std::vector<std::string> Assertions() const {
    return framework::testing::AssertionMessages(assertions_);
  }

  testing_support::ScratchDir dir_;
  runtime::AssertionRecorder assertions_;
  runtime::HaltRecorder halts_;
  framework::testing::RecordingErrors errors_;
  framework::ErrorClass* previous_errors_ = nullptr;
  RecordAdder adder_;
};

}  // namespace dictionary::testing
