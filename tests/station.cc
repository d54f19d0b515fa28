// Another station for the record-file tests: a separate process that opens and writes the test
// data files, so that tests can watch sharing, and crashes, across processes.
//
//   vardimo_station hold FILE MODE     opens FILE in MODE, prints "opened <code>", and keeps it
//                                      open until its standard input closes
//   vardimo_station transactions A B C adds record n to all three files in one transaction, for
//                                      n = 1, 2, ... until killed
//   vardimo_station change FILE CODE NAME
//                                      reads the record with CODE, puts it back with NAME, and
//                                      prints "changed <code>" (0 when the put succeeded)
//   vardimo_station holdrecord FILE CODE
//                                      reads the record with CODE held, prints "held <code>", and
//                                      keeps it held until its standard input closes
//   vardimo_station close-in-transaction A B
//                                      adds record 1 to both files in one transaction, closes B,
//                                      prints "closed <code>" and waits, the transaction open,
//                                      until killed or its standard input closes
//   vardimo_station readlock FILE      reads FILE's storage in a transaction of its own, prints
//                                      "reading <code>" and keeps reading until its standard
//                                      input closes, so that no other station can commit to it

#include <sqlite3.h>

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

// Waits for the test to close our standard input.
void WaitForInput() {
  std::string ignored;
  while (std::getline(std::cin, ignored)) {
  }
}

// The storage engine's own read lock, taken beside the runtime: a reading transaction.
int ReadLock(const char* name) {
  sqlite3* db = nullptr;
  int code = sqlite3_open_v2(name, &db, SQLITE_OPEN_READONLY, nullptr);
  if (code == SQLITE_OK) code = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  if (code == SQLITE_OK) {
    code = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  }
  std::cout << "reading " << code << std::endl;
  WaitForInput();
  sqlite3_close(db);
  return 0;
}

int Hold(const char* name, int mode) {
  RecordFile file(SampleDeclaration());
  file.SetName(name);
  std::cout << "opened " << file.Open(mode) << std::endl;
  WaitForInput();
  return 0;
}

// Opens FILE read/write with deny none and reads the record whose CODE is `code`; the code of
// the first step that failed, else 0.
int ReadRecord(RecordFile& file, const char* name, int64_t code, bool hold) {
  file.SetName(name);
  int err = file.Open();
  if (err == 0 && hold) err = file.Hold();
  if (err != 0) return err;
  file.Clear();
  file.SetInteger(testing_support::kCode, code);
  return file.Get(testing_support::kCodeKey);
}

int Change(const char* name, int64_t code, const char* text) {
  RecordFile file(SampleDeclaration());
  int err = ReadRecord(file, name, code, false);
  if (err == 0) {
    file.SetText(testing_support::kName, text);
    err = file.Put();
  }
  if (err != 0) std::cerr << name << ": " << runtime::FILEERRORMSG() << "\n";
  std::cout << "changed " << err << std::endl;
  return 0;
}

int HoldRecord(const char* name, int64_t code) {
  RecordFile file(SampleDeclaration());
  const int err = ReadRecord(file, name, code, true);
  if (err != 0) std::cerr << name << ": " << runtime::FILEERRORMSG() << "\n";
  std::cout << "held " << err << std::endl;
  WaitForInput();
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

int CloseInTransaction(const char* first, const char* second) {
  RecordFile a(SampleDeclaration()), b(SampleDeclaration());
  a.SetName(first);
  b.SetName(second);
  if (a.Open() != 0 || b.Open() != 0) {
    std::cerr << "open: " << runtime::FILEERRORMSG() << "\n";
    return 1;
  }
  a.SetProperty(runtime::property::kLogout, "1");
  b.SetProperty(runtime::property::kLogout, "1");
  if (runtime::LOGOUT(5) != 0) {
    std::cerr << "logout: " << runtime::FILEERRORMSG() << "\n";
    return 1;
  }
  for (RecordFile* file : {&a, &b}) {
    file->Clear();
    file->SetInteger(testing_support::kCode, 1);
    if (file->Add() != 0) {
      std::cerr << "add: " << runtime::FILEERRORMSG() << "\n";
      return 1;
    }
  }
  std::cout << "closed " << b.Close() << std::endl;
  std::string ignored;
  while (std::getline(std::cin, ignored)) {
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "readlock" && argc == 3) return ReadLock(argv[2]);
  if (command == "hold" && argc == 4) return Hold(argv[2], std::atoi(argv[3]));
  if (command == "transactions" && argc == 5) return Transactions({argv[2], argv[3], argv[4]});
  if (command == "close-in-transaction" && argc == 4) return CloseInTransaction(argv[2], argv[3]);
  if (command == "change" && argc == 5) return Change(argv[2], std::atoll(argv[3]), argv[4]);
  if (command == "holdrecord" && argc == 4) return HoldRecord(argv[2], std::atoll(argv[3]));
  std::cerr << "usage: vardimo_station hold FILE MODE | transactions A B C | "
               "close-in-transaction A B | change FILE CODE NAME | holdrecord FILE CODE\n";
  return 2;
}
