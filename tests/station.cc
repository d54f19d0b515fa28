// Another station for the record-file tests: a separate process that opens and writes the test
// data files, so that tests can watch sharing, and crashes, across processes.
//
//   vardimo_station hold FILE MODE     opens FILE in MODE, prints "opened <code>", and keeps it
//                                      open until its standard input closes
//   vardimo_station transactions A B C adds record n to all three files in one transaction, for
//                                      n = 1, 2, ... until killed

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "tests/sample_file.h"

namespace {

using runtime::RecordFile;
using testing_support::SampleDeclaration;

int Hold(const char* name, int mode) {
  RecordFile file(SampleDeclaration());
  file.SetName(name);
  std::cout << "opened " << file.Open(mode) << std::endl;
  std::string ignored;
  while (std::getline(std::cin, ignored)) {
  }
  return 0;
}

int Transactions(const std::vector<std::string>& names) {
  std::vector<std::unique_ptr<RecordFile>> files;
  for (const std::string& name : names) {
    files.push_back(std::make_unique<RecordFile>(SampleDeclaration()));
    files.back()->SetName(name);
    if (files.back()->Open() != 0) {
      std::cerr << name << ": " << runtime::FILEERRORMSG() << "\n";
      return 1;
    }
  }
  for (int64_t n = 1;; ++n) {
    for (auto& file : files) file->SetProperty(runtime::property::kLogout, "1");
    if (runtime::LOGOUT(5) != 0) {
      std::cerr << "logout: " << runtime::FILEERRORMSG() << "\n";
      return 1;
    }
    for (auto& file : files) {
      file->Clear();
      file->SetInteger(testing_support::kCode, n);
      file->SetText(testing_support::kName, "n" + std::to_string(n));
      if (file->Add() != 0) {
        std::cerr << "add: " << runtime::FILEERRORMSG() << "\n";
        return 1;
      }
    }
    if (runtime::COMMIT() != 0) {
      std::cerr << "commit: " << runtime::FILEERRORMSG() << "\n";
      return 1;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "hold" && argc == 4) return Hold(argv[2], std::atoi(argv[3]));
  if (command == "transactions" && argc == 5) return Transactions({argv[2], argv[3], argv[4]});
  std::cerr << "usage: vardimo_station hold FILE MODE | transactions A B C\n";
  return 2;
}
