// Record files: opening and refusing files, rebuilding keys, sharing between stations, changes by
// other stations, transactions that survive a crash, properties and states.

#include "runtime/records/record_file.h"

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <thread>

#include "runtime/base/error_codes.h"
#include "runtime/platform/path.h"
#include "runtime/records/file_errors.h"
#include "tests/sample_file.h"
#include "tests/station_process.h"
#include "tests/testing.h"

namespace runtime {
namespace {

using namespace testing_support;

class RecordFileTest : public ::testing::Test {
 protected:
  // A new data file `name` in the scratch folder holding records with codes 1..count.
  std::string MakeFile(const std::string& name, int count) {
    const std::string path = dir_ / name;
    RecordFile file(SampleDeclaration());
    file.SetName(path);
    EXPECT_EQ(file.Create(), 0) << FILEERRORMSG();
    EXPECT_EQ(file.Open(), 0) << FILEERRORMSG();
    for (int code = 1; code <= count; ++code) {
      file.Clear();
      file.SetInteger(kCode, code);
      file.SetText(kName, "n" + std::to_string(code));
      EXPECT_EQ(file.Add(), 0) << FILEERRORMSG();
    }
    return path;
  }

  ScratchDir dir_;
};

TEST_F(RecordFileTest, BufferSurvivesCloseAndReopenAndNamesIgnoreCase) {
  std::filesystem::create_directories(dir_.path() / "Comuns");
  MakeFile("Comuns/Dados.Tps", 3);
  RecordFile file(SampleDeclaration());
  file.SetName((dir_.path() / "COMUNS").string() + "\\dados.TPS");
  ASSERT_EQ(file.Open(), 0) << FILEERRORMSG();
  file.SetInteger(kCode, 2);
  ASSERT_EQ(file.Get(kCodeKey), 0);
  EXPECT_EQ(file.GetText(kName), "n2    ");
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(file.Close(), 0) << "a second close is harmless";
  EXPECT_EQ(file.GetInteger(kCode), 2);
  EXPECT_EQ(file.Next(), kFileNotOpen);
  ASSERT_EQ(file.Open(), 0);
  EXPECT_EQ(file.Open(), kFileAlreadyOpen);
  EXPECT_EQ(file.Records(), 3);
  EXPECT_TRUE(FileExists((dir_.path() / "comuns/DADOS.tps").string()));
}

TEST_F(RecordFileTest, MissingFileIsErrorTwoUntilCreated) {
  RecordFile file(SampleDeclaration());
  file.SetName(dir_ / "missing.tps");
  EXPECT_EQ(file.Open(), kFileNotFound);
  EXPECT_EQ(ERRORCODE(), kFileNotFound);
  ASSERT_EQ(file.Create(), 0);
  EXPECT_EQ(file.Open(), 0);
  EXPECT_EQ(file.Create(), kFileAlreadyOpen);
}

TEST_F(RecordFileTest, ForeignAndDamagedFilesAreRefusedWithAMessage) {
  const std::string good = MakeFile("good.tps", 400);
  std::mt19937 random(7);
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return dir_ / name;
  };
  std::string noise(20000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string content;
  {
    std::ifstream in(good, std::ios::binary);
    content.assign(std::istreambuf_iterator<char>(in), {});
  }
  sqlite3* db = nullptr;
  sqlite3_open((dir_ / "other.db").c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr);
  sqlite3_close(db);

  struct Case {
    const char* id;
    std::string path;
  } cases[] = {
      {"random bytes", write("noise.tps", noise)},
      {"text", write("text.tps", "EMPRESA;CODIGO\n1;2\n")},
      {"empty", write("empty.tps", "")},
      {"truncated", write("truncated.tps", content.substr(0, content.size() / 3))},
      {"header only", write("header.tps", content.substr(0, 100))},
      {"sqlite without our layout", dir_ / "other.db"},
  };
  for (const Case& c : cases) {
    RecordFile file(SampleDeclaration());
    file.SetName(c.path);
    int code = file.Open();
    if (code == 0) {
      // A damaged file may open; then reading it fails, never yields made-up records.
      file.Set(kCodeKey);
      int read = 0;
      while ((code = file.Next()) == 0) ++read;
      EXPECT_NE(code, kRecordNotAvailable) << c.id << ": read " << read << " records";
    }
    EXPECT_EQ(code, kNotADataFile) << c.id << ": " << FILEERRORMSG();
    EXPECT_NE(FILEERRORMSG().find(c.path), std::string::npos) << c.id << ": " << FILEERRORMSG();
  }
}

TEST_F(RecordFileTest, StoredFieldsThatDifferFromTheDeclarationAreRefusedAlsoForARebuild) {
  const std::string path = MakeFile("layout.tps", 2);
  const std::string before = ReadBytes(path);
  FileDeclaration changed = SampleDeclaration();
  changed.fields[1].label = "SAM:NOME";
  FileDeclaration longer = SampleDeclaration();
  longer.fields[6].size = 2;
  longer.fields[6].type = FieldType::UShort;
  longer.record_length = 24;
  FileDeclaration both = changed;  // fields and keys: the fields decide
  both.keys[4].components[0].order = KeyOrder::Ascending;
  for (const FileDeclaration* declaration : {&changed, &longer, &both}) {
    RecordFile file(*declaration);
    file.SetName(path);
    EXPECT_EQ(file.Open(), kLayoutMismatch);
    EXPECT_NE(FILEERRORMSG().find("stored layout differs"), std::string::npos) << FILEERRORMSG();
    EXPECT_EQ(file.Build(), kLayoutMismatch);
  }
  EXPECT_EQ(ReadBytes(path), before);
}

// The record numbers that every key (and the record order) walks, in order, and the records.
std::vector<std::vector<int64_t>> Walks(const FileDeclaration& declaration, const std::string& path,
                                        std::vector<std::string>* records = nullptr) {
  RecordFile file(declaration);
  file.SetName(path);
  EXPECT_EQ(file.Open(open_mode::kRead | open_mode::kDenyNone), 0) << FILEERRORMSG();
  std::vector<std::vector<int64_t>> walks;
  for (int order = kRecordOrder; order < static_cast<int>(declaration.keys.size()); ++order) {
    EXPECT_EQ(order == kRecordOrder ? file.SetFile() : file.Set(order), 0);
    walks.emplace_back();
    while (file.Next() == 0) {
      walks.back().push_back(file.Pointer());
      if (records != nullptr && order == kRecordOrder) records->emplace_back(file.record());
    }
  }
  return walks;
}

TEST_F(RecordFileTest, KeysThatDoNotFitNeedARebuildThatMendsThem) {
  // Records with values in every key, added out of key order.
  auto make = [&](const FileDeclaration& declaration, const std::string& name) {
    RecordFile file(declaration);
    file.SetName(dir_ / name);
    EXPECT_EQ(file.Create(), 0);
    EXPECT_EQ(file.Open(), 0);
    for (int i = 0; i < 12; ++i) {
      file.Clear();
      file.SetInteger(kCode, (i * 7) % 23 + 1);
      file.SetText(kName, i % 3 == 0 ? "ana" : i % 3 == 1 ? "Bob" : "ANA");
      file.SetInteger(kSigned, i % 4 - 2);
      file.SetText(kTag, i % 5 == 0 ? "" : std::string(1, static_cast<char>('a' + i)));
      file.SetInteger(kSmall, i % 2);
      file.SetInteger(kFlag, i);
      EXPECT_EQ(file.Add(), 0) << FILEERRORMSG();
    }
    return dir_ / name;
  };
  const FileDeclaration& original = SampleDeclaration();
  FileDeclaration rekeyed = original;
  rekeyed.keys[4].components[0].order = KeyOrder::Ascending;
  FileDeclaration more_keys = original;
  more_keys.keys.push_back({"SAM:KEY:FLAG", {{kFlag}}, KeyFlags::None, "flag", 0, ""});
  FileDeclaration fewer_keys = original;
  fewer_keys.keys.pop_back();
  struct Case {
    const char* id;
    const FileDeclaration* declaration;
    const char* damage;  // done by the engine to a file of the original declaration
  } cases[] = {
      {"a key's order changed", &rekeyed, nullptr},
      {"a key added", &more_keys, nullptr},
      {"a key dropped", &fewer_keys, nullptr},
      {"key description damaged", &original,
       "UPDATE layout SET value = replace(value, 'key SAM:KEY:TAG', 'k?y ~~')"},
      {"index missing", &original, "DROP INDEX \"TagIndex\""},
      {"index defined otherwise", &original,
       "DROP INDEX \"SAM:KEY:NAME\"; CREATE INDEX \"SAM:KEY:NAME\" ON records(rid)"},
      {"index not declared", &original, "CREATE INDEX extra ON records(ver)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string path = make(original, std::string(c.id) + ".tps");
    if (c.damage != nullptr) {
      sqlite3* db = nullptr;
      sqlite3_open(path.c_str(), &db);
      EXPECT_EQ(sqlite3_exec(db, c.damage, nullptr, nullptr, nullptr), SQLITE_OK);
      sqlite3_close(db);
    }
    RecordFile file(*c.declaration);
    file.SetName(path);
    EXPECT_EQ(file.Open(), kKeysNeedRebuild) << FILEERRORMSG();
    EXPECT_NE(FILEERRORMSG().find("rebuilt"), std::string::npos) << FILEERRORMSG();
    ASSERT_EQ(file.Build(), 0) << FILEERRORMSG();
    ASSERT_EQ(file.Open(), 0) << FILEERRORMSG();
    ASSERT_EQ(file.Close(), 0);
    // Every key walks as in a file made afresh under the declaration, over the same records.
    const std::string fresh = make(*c.declaration, std::string(c.id) + ".fresh.tps");
    std::vector<std::string> records, expected_records;
    EXPECT_EQ(Walks(*c.declaration, path, &records),
              Walks(*c.declaration, fresh, &expected_records));
    EXPECT_EQ(records, expected_records);
  }
}

TEST_F(RecordFileTest, RebuildThatFailsLeavesTheFileAsItWas) {
  const std::string path = MakeFile("unique.tps", 4);  // every SAM:SIGNED is 0
  FileDeclaration unique = SampleDeclaration();
  unique.keys[4].flags = KeyFlags::Unique;
  const std::string before = ReadBytes(path);
  RecordFile file(unique);
  file.SetName(path);
  EXPECT_EQ(file.Open(), kKeysNeedRebuild);
  EXPECT_EQ(file.Build(), kDuplicateKey) << FILEERRORMSG();
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(file.Open(), kKeysNeedRebuild);
  RecordFile original(SampleDeclaration());
  original.SetName(path);
  EXPECT_EQ(original.Open(), 0) << FILEERRORMSG();
}

TEST_F(RecordFileTest, RebuildInATransactionIsPartOfIt) {
  const std::string first = MakeFile("tx1.tps", 3), second = MakeFile("tx2.tps", 3);
  RecordFile a(SampleDeclaration()), b(SampleDeclaration());
  a.SetName(first);
  b.SetName(second);
  ASSERT_EQ(a.Open(), 0);
  ASSERT_EQ(b.Open(), 0);
  for (const bool commit : {false, true}) {
    ASSERT_EQ(a.SetProperty(property::kLogout, "1"), 0);
    ASSERT_EQ(b.SetProperty(property::kLogout, "1"), 0);
    ASSERT_EQ(LOGOUT(1), 0) << FILEERRORMSG();
    b.Clear();
    b.SetInteger(kCode, commit ? 9 : 8);
    ASSERT_EQ(b.Add(), 0);
    ASSERT_EQ(b.Build(), 0) << FILEERRORMSG();  // the second file: attached to the transaction
    ASSERT_EQ(commit ? COMMIT() : ROLLBACK(), 0);
  }
  ASSERT_EQ(b.Close(), 0);
  ASSERT_EQ(b.Open(), 0) << FILEERRORMSG();
  EXPECT_EQ(testing_support::SampleCodes(second), (std::set<int64_t>{1, 2, 3, 9}));
}

TEST_F(RecordFileTest, ReadOnlyFileOpenedForWritingIs94) {
  const std::string path = MakeFile("readonly.tps", 1);
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  RecordFile file(SampleDeclaration());
  file.SetName(path);
  EXPECT_EQ(file.Open(open_mode::kReadWrite | open_mode::kDenyNone), kWriteRefused);
  EXPECT_EQ(file.Open(open_mode::kWrite | open_mode::kDenyNone), kWriteRefused);
  ASSERT_EQ(file.Open(open_mode::kRead | open_mode::kDenyNone), 0) << FILEERRORMSG();
  file.SetInteger(kCode, 1);
  EXPECT_EQ(file.Get(kCodeKey), 0);
  EXPECT_EQ(file.Add(), kAccessDenied);
}

TEST_F(RecordFileTest, DenyWriteRefusesWritersOfOtherStationsButNotReaders) {
  const std::string path = MakeFile("shared.tps", 1);
  StationProcess station(
      {"hold", path, std::to_string(open_mode::kReadWrite | open_mode::kDenyWrite)});
  ASSERT_EQ(station.ReadLine(), "opened 0");
  RecordFile writer(SampleDeclaration());
  writer.SetName(path);
  EXPECT_EQ(writer.Open(open_mode::kReadWrite | open_mode::kDenyNone), kAccessDenied);
  EXPECT_EQ(writer.Open(open_mode::kReadWrite | open_mode::kDenyWrite), kAccessDenied);
  RecordFile reader(SampleDeclaration());
  reader.SetName(path);
  EXPECT_EQ(reader.Open(open_mode::kRead | open_mode::kDenyNone), 0) << FILEERRORMSG();
  EXPECT_EQ(station.Finish(), 0);
  EXPECT_EQ(writer.Open(open_mode::kReadWrite | open_mode::kDenyNone), 0) << FILEERRORMSG();
}

TEST_F(RecordFileTest, DenyWriteIsRefusedWhileAnotherStationWrites) {
  const std::string path = MakeFile("busy.tps", 1);
  StationProcess station(
      {"hold", path, std::to_string(open_mode::kReadWrite | open_mode::kDenyNone)});
  ASSERT_EQ(station.ReadLine(), "opened 0");
  RecordFile file(SampleDeclaration());
  file.SetName(path);
  EXPECT_EQ(file.Open(open_mode::kRead | open_mode::kDenyWrite), kAccessDenied);
  EXPECT_EQ(file.Open(open_mode::kRead | open_mode::kDenyNone), 0);
  // Two instances of one process are two stations as well.
  RecordFile exclusive(SampleDeclaration());
  exclusive.SetName(path);
  EXPECT_EQ(exclusive.Open(open_mode::kReadWrite | open_mode::kDenyAll), kAccessDenied);
}

TEST_F(RecordFileTest, IdleReaderDoesNotHoldUpAnotherStationsWrite) {
  const std::string path = MakeFile("lease.tps", 3);
  RecordFile reader(SampleDeclaration()), writer(SampleDeclaration());
  reader.SetName(path);
  writer.SetName(path);
  ASSERT_EQ(reader.Open(), 0);
  ASSERT_EQ(writer.Open(), 0);
  ASSERT_EQ(reader.Set(kCodeKey), 0);
  ASSERT_EQ(reader.Next(), 0);  // the reader now keeps a snapshot and an open cursor, then idles
  const auto start = std::chrono::steady_clock::now();
  writer.Clear();
  writer.SetInteger(kCode, 9);
  ASSERT_EQ(writer.Add(), 0) << FILEERRORMSG();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2))
      << "the reader's lease should have ended within tens of milliseconds";
  // The walk goes on where it was and sees the new record.
  std::vector<int64_t> rest;
  while (reader.Next() == 0) rest.push_back(reader.GetInteger(kCode));
  EXPECT_EQ(rest, (std::vector<int64_t>{2, 3, 9}));
}

TEST_F(RecordFileTest, PutOfARecordChangedElsewhereIs89AndLosesNothing) {
  const std::string path = MakeFile("changed.tps", 2);
  RecordFile mine(SampleDeclaration()), theirs(SampleDeclaration());
  mine.SetName(path);
  theirs.SetName(path);
  ASSERT_EQ(mine.Open(), 0);
  ASSERT_EQ(theirs.Open(), 0);
  mine.SetInteger(kCode, 2);
  theirs.SetInteger(kCode, 2);
  ASSERT_EQ(mine.Get(kCodeKey), 0);
  ASSERT_EQ(theirs.Get(kCodeKey), 0);
  const std::string position = mine.Position(kCodeKey);
  theirs.SetText(kName, "theirs");
  ASSERT_EQ(theirs.Put(), 0);
  mine.SetText(kName, "mine");
  EXPECT_EQ(mine.Put(), kRecordChanged);
  EXPECT_EQ(mine.Delete(), kRecordChanged);
  ASSERT_EQ(mine.Reget(kCodeKey, position), 0);
  EXPECT_EQ(mine.GetText(kName), "theirs");
  mine.SetText(kName, "mine");
  EXPECT_EQ(mine.Put(), 0) << "after a fresh read the put goes through";
  theirs.SetInteger(kCode, 2);
  ASSERT_EQ(theirs.Get(kCodeKey), 0);
  EXPECT_EQ(theirs.GetText(kName), "mine  ");
}

TEST_F(RecordFileTest, HeldRecordIs43ForOtherStations) {
  const std::string path = MakeFile("held.tps", 3);
  RecordFile a(SampleDeclaration()), b(SampleDeclaration());
  a.SetName(path);
  b.SetName(path);
  ASSERT_EQ(a.Open(), 0);
  ASSERT_EQ(b.Open(), 0);
  ASSERT_EQ(a.Hold(), 0);
  a.SetInteger(kCode, 2);
  ASSERT_EQ(a.Get(kCodeKey), 0);
  b.SetInteger(kCode, 2);
  ASSERT_EQ(b.Get(kCodeKey), 0) << "reading without holding is allowed";
  EXPECT_EQ(b.Put(), kRecordHeld);
  ASSERT_EQ(b.Hold(), 0);
  ASSERT_EQ(b.Set(kCodeKey), 0);
  EXPECT_EQ(b.Next(), 0);
  EXPECT_EQ(b.Next(), kRecordHeld);
  EXPECT_EQ(b.Next(), 0) << "the walk goes on past the held record";
  EXPECT_EQ(b.GetInteger(kCode), 3);
  ASSERT_EQ(a.Release(), 0);
  b.SetInteger(kCode, 2);
  EXPECT_EQ(b.Get(kCodeKey), 0);
}

TEST_F(RecordFileTest, TransactionCommitsOrRollsBackEveryEnlistedFile) {
  const std::string first = MakeFile("first.tps", 0), second = MakeFile("second.tps", 0);
  RecordFile a(SampleDeclaration()), b(SampleDeclaration());
  a.SetName(first);
  b.SetName(second);
  ASSERT_EQ(a.Open(), 0);
  ASSERT_EQ(b.Open(), 0);
  for (const bool commit : {false, true}) {
    ASSERT_EQ(a.SetProperty(property::kLogout, "1"), 0);
    ASSERT_EQ(b.SetProperty(property::kLogout, "1"), 0);
    ASSERT_EQ(LOGOUT(1), 0) << FILEERRORMSG();
    for (RecordFile* file : {&a, &b}) {
      file->Clear();
      file->SetInteger(kCode, commit ? 2 : 1);
      ASSERT_EQ(file->Add(), 0) << FILEERRORMSG();
      file->Set(kCodeKey);
      ASSERT_EQ(file->Next(), 0) << "the transaction reads its own changes";
    }
    ASSERT_EQ(commit ? COMMIT() : ROLLBACK(), 0) << FILEERRORMSG();
    EXPECT_EQ(a.GetProperty(property::kLogout), "0");
  }
  EXPECT_EQ(testing_support::SampleCodes(first), std::set<int64_t>{2});
  EXPECT_EQ(testing_support::SampleCodes(second), std::set<int64_t>{2});
  EXPECT_EQ(COMMIT(), kInvalidArgument) << "no transaction is running";
}

TEST_F(RecordFileTest, InstanceThatGoesDuringItsTransactionRollsItBack) {
  const std::string first = MakeFile("keep.tps", 0), second = MakeFile("gone.tps", 0);
  RecordFile a(SampleDeclaration());
  a.SetName(first);
  ASSERT_EQ(a.Open(), 0);
  {
    RecordFile b(SampleDeclaration());
    b.SetName(second);
    ASSERT_EQ(b.Open(), 0);
    ASSERT_EQ(a.SetProperty(property::kLogout, "1"), 0);
    ASSERT_EQ(b.SetProperty(property::kLogout, "1"), 0);
    ASSERT_EQ(LOGOUT(1), 0) << FILEERRORMSG();
    for (RecordFile* file : {&a, &b}) {
      file->Clear();
      file->SetInteger(kCode, 7);
      ASSERT_EQ(file->Add(), 0) << FILEERRORMSG();
    }
    EXPECT_EQ(b.Close(), 0) << "closed for its caller, still in the transaction";
  }
  EXPECT_EQ(COMMIT(), kInvalidArgument) << "the transaction went with the instance";
  EXPECT_EQ(testing_support::SampleCodes(first), std::set<int64_t>{});
  EXPECT_EQ(testing_support::SampleCodes(second), std::set<int64_t>{});
  EXPECT_EQ(a.Close(), 0);
}

TEST_F(RecordFileTest, FileClosedDuringATransactionClosesWhenItEnds) {
  for (const bool commit : {true, false}) {
    SCOPED_TRACE(commit ? "commit" : "rollback");
    const std::string first = MakeFile(commit ? "c1.tps" : "r1.tps", 1);
    const std::string second = MakeFile(commit ? "c2.tps" : "r2.tps", 1);
    RecordFile a(SampleDeclaration()), b(SampleDeclaration()), other(SampleDeclaration());
    a.SetName(first);
    b.SetName(second);
    other.SetName(second);
    ASSERT_EQ(a.Open(), 0);
    ASSERT_EQ(b.Open(), 0);
    ASSERT_EQ(a.SetProperty(property::kLogout, "1"), 0);
    ASSERT_EQ(b.SetProperty(property::kLogout, "1"), 0);
    ASSERT_EQ(LOGOUT(1), 0) << FILEERRORMSG();
    for (RecordFile* file : {&a, &b}) {
      file->Clear();
      file->SetInteger(kCode, 7);
      ASSERT_EQ(file->Add(), 0) << FILEERRORMSG();
    }
    b.SetInteger(kCode, 1);
    ASSERT_EQ(b.Get(kCodeKey), 0);
    ASSERT_EQ(b.Delete(), 0);
    ASSERT_EQ(b.Close(), 0) << FILEERRORMSG();
    EXPECT_FALSE(b.IsOpen());
    EXPECT_EQ(b.Close(), 0) << "a second close is harmless";
    EXPECT_EQ(b.Set(kCodeKey), kFileNotOpen);
    EXPECT_EQ(b.Add(), kFileNotOpen);
    EXPECT_EQ(b.GetInteger(kCode), 1) << "the buffer stays";
    // The file is still open in the transaction: its claims stay until it ends.
    EXPECT_EQ(other.Open(open_mode::kReadWrite | open_mode::kDenyAll), kAccessDenied);
    ASSERT_EQ(commit ? COMMIT() : ROLLBACK(), 0) << FILEERRORMSG();
    ASSERT_EQ(other.Open(open_mode::kReadWrite | open_mode::kDenyAll), 0) << FILEERRORMSG();
    ASSERT_EQ(other.Close(), 0);
    const std::set<int64_t> expected = commit ? std::set<int64_t>{7} : std::set<int64_t>{1};
    EXPECT_EQ(testing_support::SampleCodes(second), expected);
    EXPECT_EQ(testing_support::SampleCodes(first), (commit ? std::set<int64_t>{1, 7} : expected));
    EXPECT_EQ(b.GetProperty(property::kLogout), "0");
    EXPECT_EQ(b.Open(), 0) << FILEERRORMSG();
    EXPECT_FALSE(TransactionRunning());
  }
}

TEST_F(RecordFileTest, FileClosedDuringATransactionOpensAgainInItInTheSameModeOnly) {
  const std::string path = MakeFile("again.tps", 0), elsewhere = MakeFile("elsewhere.tps", 0);
  RecordFile file(SampleDeclaration());
  file.SetName(path);
  ASSERT_EQ(file.Open(), 0);
  ASSERT_EQ(file.SetProperty(property::kLogout, "1"), 0);
  ASSERT_EQ(LOGOUT(1), 0) << FILEERRORMSG();
  file.Clear();
  file.SetInteger(kCode, 1);
  ASSERT_EQ(file.Add(), 0);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(file.Open(open_mode::kRead | open_mode::kDenyNone), kAccessDenied);
  EXPECT_NE(FILEERRORMSG().find("transaction"), std::string::npos) << FILEERRORMSG();
  file.SetName(elsewhere);
  EXPECT_EQ(file.Open(), kAccessDenied);
  file.SetName(path);
  ASSERT_EQ(file.Open(), 0) << FILEERRORMSG();
  file.SetInteger(kCode, 1);
  EXPECT_EQ(file.Get(kCodeKey), 0) << "the transaction's own change";
  file.SetInteger(kCode, 2);
  ASSERT_EQ(file.Add(), 0);
  ASSERT_EQ(ROLLBACK(), 0);
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(testing_support::SampleCodes(path), std::set<int64_t>{});
}

TEST_F(RecordFileTest, ProcessKilledAfterClosingAFileInATransactionRollsAllOfItBack) {
  const std::string first = MakeFile("k1.tps", 0), second = MakeFile("k2.tps", 0);
  {
    StationProcess station({"close-in-transaction", first, second});
    ASSERT_EQ(station.ReadLine(), "closed 0");
    station.Kill();
  }
  EXPECT_EQ(testing_support::SampleCodes(first), std::set<int64_t>{});
  EXPECT_EQ(testing_support::SampleCodes(second), std::set<int64_t>{});
}

TEST_F(RecordFileTest, ProcessKilledInATransactionLeavesAllOrNoneOfIt) {
  const std::vector<std::string> paths = {MakeFile("t1.tps", 0), MakeFile("t2.tps", 0),
                                          MakeFile("t3.tps", 0)};
  std::mt19937 random(11);
  size_t committed = 0;
  for (int round = 0; round < 12; ++round) {
    {
      StationProcess station({"transactions", paths[0], paths[1], paths[2]});
      std::this_thread::sleep_for(std::chrono::milliseconds(80 + random() % 320));
      station.Kill();
    }
    const std::set<int64_t> one = testing_support::SampleCodes(paths[0]);
    EXPECT_EQ(testing_support::SampleCodes(paths[1]), one) << "round " << round;
    EXPECT_EQ(testing_support::SampleCodes(paths[2]), one) << "round " << round;
    committed += one.size();
    // Clear the files for the next round.
    for (const std::string& path : paths) {
      RecordFile file(SampleDeclaration());
      file.SetName(path);
      ASSERT_EQ(file.Open(open_mode::kReadWrite | open_mode::kDenyAll), 0) << FILEERRORMSG();
      ASSERT_EQ(file.Empty(), 0);
    }
  }
  EXPECT_GT(committed, 0u) << "the station committed nothing; the test proves nothing";
}

TEST_F(RecordFileTest, KeyValueThatCannotBeEncodedIsRefusedAndChangesNothing) {
  RecordFile file(SampleDeclaration());
  file.SetName(MakeFile("invalid.tps", 1));
  ASSERT_EQ(file.Open(), 0);
  file.Clear();
  file.SetInteger(kCode, 5);
  file.buffer()[10] = static_cast<char>(0xA1);  // SAM:AMOUNT, a key component: not a digit
  EXPECT_EQ(file.Add(), kInvalidData);
  EXPECT_NE(FILEERRORMSG().find("SAM:AMOUNT"), std::string::npos) << FILEERRORMSG();
  EXPECT_EQ(file.Records(), 1);
  file.SetInteger(kCode, 1);
  ASSERT_EQ(file.Get(kCodeKey), 0);
  file.buffer()[10] = static_cast<char>(0xA1);
  EXPECT_EQ(file.Put(), kInvalidData);
  ASSERT_EQ(file.Get(kCodeKey), 0);
  EXPECT_EQ(file.GetInteger(kAmount), 0) << "the stored record is as it was";
}

TEST_F(RecordFileTest, PropertiesDescribeFieldsAndKeys) {
  RecordFile file(SampleDeclaration());
  file.SetName(MakeFile("properties.tps", 0));
  EXPECT_EQ(file.GetProperty(property::kFieldCount), "7");
  EXPECT_EQ(file.GetProperty(property::kFieldLabel, kAmount), "SAM:AMOUNT");
  EXPECT_EQ(file.GetProperty(property::kPerThread), "1");
  EXPECT_EQ(file.GetProperty(property::kMemoCount), "0");
  EXPECT_EQ(file.GetKeyProperty(kNameKey, property::kComponents), "2");
  EXPECT_EQ(file.GetKeyProperty(kNameKey, property::kDuplicates), "1");
  EXPECT_EQ(file.GetKeyProperty(kNameKey, property::kNoCase), "1");
  EXPECT_EQ(file.GetKeyProperty(kNameKey, property::kComponentField, 2), std::to_string(kSigned));
  EXPECT_EQ(file.GetKeyProperty(kNameKey, property::kComponentAscend, 2), "0");
  EXPECT_EQ(file.GetKeyProperty(kCodeKey, property::kPrimary), "1");
  EXPECT_EQ(file.GetKeyProperty(kCodeKey, property::kLabel), "SAM:KEY:CODE");
  EXPECT_EQ(file.SetProperty(property::kFieldCount, "9"), kNotSupported);
  EXPECT_EQ(file.SetProperty(property::kLogout, "1"), kFileNotOpen);
  EXPECT_EQ(file.Send("Recover=10"), "10");
  EXPECT_EQ(file.Send("recover"), "10");
}

TEST_F(RecordFileTest, RestoredStatePutsBufferWalkAndOpenStateBack) {
  RecordFile file(SampleDeclaration());
  file.SetName(MakeFile("state.tps", 4));
  ASSERT_EQ(file.Open(), 0);
  file.Set(kCodeKey);
  file.Next();
  file.Next();
  const std::string position = file.Position(kCodeKey);
  const int32_t state = file.GetState();
  file.Next();
  file.Close();
  file.Clear();
  ASSERT_EQ(file.RestoreState(state), 0) << FILEERRORMSG();
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.GetInteger(kCode), 2);
  EXPECT_EQ(file.Position(kCodeKey), position);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(file.GetInteger(kCode), 3);
  file.FreeState(state);
  EXPECT_EQ(file.RestoreState(state), kInvalidArgument);
}

}  // namespace
}  // namespace runtime
