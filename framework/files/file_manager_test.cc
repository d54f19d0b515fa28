#include "framework/files/file_manager.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/file_errors.h"
#include "runtime/window/halt.h"
#include "runtime/window/message_box.h"
#include "tests/testing.h"

namespace framework {
namespace {

using runtime::button::kNo;
using runtime::button::kYes;
using testing::kCode;
using testing::kCodeKey;
using testing::kCompany;
using testing::kCompanyNumberKey;
using testing::kName;
using testing::kNameKey;
using testing::kNote;
using testing::kNumber;
using testing::NumberedDeclaration;
using testing::NumberedKeys;
using testing::RecordingErrors;
using testing::TestAccess;

class FileManagerTest : public ::testing::Test {
 protected:
  FileManagerTest() : access_(file_, errors_, NumberedKeys()) {
    file_.SetName(path_);
    access_.Init();
  }
  ~FileManagerTest() override {
    access_.Kill();
    DetachFilesManager();
  }

  // Adds (company, number, name, code) through a plain instance of the file.
  void AddRecord(uint32_t company, int number, const std::string& name, int code) {
    runtime::RecordFile other(NumberedDeclaration());
    other.SetName(path_);
    if (!other.IsOpen() && other.Open() == runtime::kFileNotFound) {
      ASSERT_EQ(other.Create(), 0);
      ASSERT_EQ(other.Open(), 0);
    }
    other.Clear();
    other.SetInteger(kCompany, company);
    other.SetInteger(kNumber, number);
    other.SetText(kName, name);
    other.SetInteger(kCode, code);
    ASSERT_EQ(other.Add(), 0) << runtime::FILEERRORMSG();
  }
  std::vector<std::string> Assertions() const { return testing::AssertionMessages(assertions_); }
  int64_t Records() {
    runtime::RecordFile other(NumberedDeclaration());
    other.SetName(path_);
    if (other.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) != 0) return -1;
    return other.Records();
  }

  testing_support::ScratchDir dir_;
  const std::string path_ = dir_ / "Numerados.Tps";
  runtime::AssertionRecorder assertions_;
  runtime::HaltRecorder halts_;
  RecordingErrors errors_;
  runtime::RecordFile file_{NumberedDeclaration()};
  TestAccess access_;
};

// ---- Opening ----

TEST_F(FileManagerTest, LazyOpenCountsAndOpensOnFirstUseKeepingTheBuffer) {
  AddRecord(1, 5, "ana", 1);
  ASSERT_EQ(access_.Open(), 0);
  EXPECT_FALSE(file_.IsOpen()) << "Open of a lazily opened file only counts";
  EXPECT_EQ(access_.GetOpened(), 1);
  file_.SetInteger(kCompany, 1);
  file_.SetInteger(kNumber, 5);
  ASSERT_EQ(access_.Fetch(kCompanyNumberKey), 0);
  EXPECT_TRUE(file_.IsOpen());
  EXPECT_EQ(file_.GetText(kName), "ana     ");
  EXPECT_EQ(access_.GetOpened(), 1);

  // More closes than opens: the counter stays at 0 and the file is closed once.
  access_.Close();
  EXPECT_FALSE(file_.IsOpen());
  access_.Close();
  EXPECT_EQ(access_.GetOpened(), 0);
  EXPECT_TRUE(errors_.shown.empty());
  EXPECT_TRUE(Assertions().empty());
}

TEST_F(FileManagerTest, RecordOperationBeforeOpenOpensThroughUseFileAndLeavesOneOpen) {
  AddRecord(1, 5, "ana", 1);
  ASSERT_EQ(access_.UseFile(2), 0);
  EXPECT_TRUE(file_.IsOpen());
  EXPECT_EQ(access_.GetOpened(), 1);
  EXPECT_TRUE(access_.IsOpened());
  EXPECT_EQ(access_.Keys->Records(), 3) << "the keys are added once";
  ASSERT_EQ(access_.UseFile(2), 0);
  EXPECT_EQ(access_.Keys->Records(), 3);
  EXPECT_EQ(access_.PrimaryKey, 1);
}

TEST_F(FileManagerTest, MissingFileIsCreatedOrIsAFatalAccessError) {
  ASSERT_EQ(access_.Open(), 0);
  ASSERT_EQ(access_.UseFile(2), 0);
  EXPECT_TRUE(file_.IsOpen());
  EXPECT_EQ(Records(), 0);
  access_.Close();

  // Without Create the missing file is error 26, which is fatal.
  runtime::RecordFile missing(NumberedDeclaration());
  missing.SetName(dir_ / "Faltando.Tps");
  TestAccess no_create(missing, errors_, NumberedKeys());
  no_create.Init();
  no_create.Init(&missing, &errors_);  // the set-up, without opening
  no_create.Create = 0;
  ASSERT_EQ(no_create.Open(), 0);
  EXPECT_EQ(no_create.UseFile(2), kFatal);
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].caption, "Erro de Acesso de arquivo");
  EXPECT_NE(errors_.shown[0].text.find("Faltando.Tps"), std::string::npos);
  EXPECT_EQ(halts_.entries().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "Faltando.Tps"));
  no_create.Kill();
}

TEST_F(FileManagerTest, TryOpenFailureIsSilentAndKeepsTheErrorForALaterThrow) {
  runtime::RecordFile missing(NumberedDeclaration());
  missing.SetName((dir_.path() / "nowhere" / "Faltando.Tps").string());
  TestAccess no_folder(missing, errors_, NumberedKeys());
  no_folder.Init();
  no_folder.Init(&missing, &errors_);
  no_folder.LazyOpen = 0;
  EXPECT_EQ(no_folder.TryOpen(), kNotify);
  EXPECT_TRUE(errors_.shown.empty());
  EXPECT_EQ(no_folder.LastError, 12) << "the create in a missing folder failed";
  EXPECT_EQ(no_folder.GetOpened(), 0);
  no_folder.Throw();
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].caption, "Erro na criação do arquivo");
  no_folder.Kill();
}

TEST_F(FileManagerTest, MissingKeyIndexIsReportedRebuiltAndOpened) {
  AddRecord(1, 5, "ana", 7);
  AddRecord(1, 6, "bia", 3);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "DROP INDEX \"NUM:KEY:CODE\"", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);

  ASSERT_EQ(access_.Open(), 0);
  ASSERT_EQ(access_.UseFile(2), 0);
  EXPECT_EQ(errors_.Captions(), std::vector<std::string>{"Chave Inválida"});
  // The rebuilt key walks: CODE descending.
  file_.Set(kCodeKey);
  std::vector<int64_t> codes;
  while (access_.TryNext() == 0) codes.push_back(file_.GetInteger(kCode));
  EXPECT_EQ(codes, (std::vector<int64_t>{7, 3}));
  EXPECT_TRUE(access_.GetEOF());
}

// ---- Fetching and walking ----

TEST_F(FileManagerTest, FetchOfAMissingKeyClearsTheBufferTryFetchLeavesIt) {
  AddRecord(1, 5, "ana", 1);
  ASSERT_EQ(access_.Open(), 0);
  file_.SetInteger(kCompany, 1);
  file_.SetInteger(kNumber, 9);
  file_.SetText(kNote, "xy");
  EXPECT_EQ(access_.TryFetch(kCompanyNumberKey), kNotify);
  EXPECT_EQ(file_.GetInteger(kNumber), 9);
  EXPECT_EQ(access_.Fetch(kCompanyNumberKey), kNotify);
  EXPECT_EQ(file_.GetInteger(kNumber), 0);
  EXPECT_EQ(file_.GetText(kNote), "  ");
  EXPECT_TRUE(errors_.shown.empty());
}

TEST_F(FileManagerTest, UnknownKeyIsAnAssertion) {
  ASSERT_EQ(access_.Open(), 0);
  access_.TryFetch(17);
  EXPECT_EQ(Assertions(), std::vector<std::string>{"Key does not exist in this file"});
}

TEST_F(FileManagerTest, ClearKeySetsTheExtremesOfTheKeyOrder) {
  ASSERT_EQ(access_.Open(), 0);
  access_.ClearKey(kCompanyNumberKey, 1, 2, 1);
  EXPECT_EQ(file_.GetInteger(kCompany), 4294967295);
  EXPECT_EQ(file_.GetInteger(kNumber), 255);
  access_.ClearKey(kCodeKey, 1, 1, 1);
  EXPECT_EQ(file_.GetInteger(kCode), 0) << "the end of a descending component is its lowest value";
  access_.ClearKey(kCodeKey, 1, 1, 0);
  EXPECT_EQ(file_.GetInteger(kCode), 65535);
}

// ---- Automatic numbering ----

TEST_F(FileManagerTest, NumberingOnEmptyFileAfterGapsAndPerLeadingValue) {
  ASSERT_EQ(access_.Open(), 0);
  ASSERT_EQ(access_.PrimeRecord(), 0);
  EXPECT_EQ(file_.GetInteger(kNumber), 1);
  EXPECT_EQ(file_.GetInteger(kCode), 1) << "descending component numbered from the top";
  EXPECT_TRUE(access_.AutoIncDone);
  file_.SetText(kName, "first");
  ASSERT_EQ(access_.Insert(), 0);
  EXPECT_FALSE(access_.AutoIncDone);
  EXPECT_EQ(Records(), 1) << "the insert completes the placeholder with a put";
  access_.Close();

  AddRecord(1, 5, "um", 41);
  AddRecord(2, 9, "dois", 12);
  ASSERT_EQ(access_.Open(), 0);
  // (Company, Number): company 1 has numbers 1 and 5, company 2 has 9, company 3 none.
  for (auto [company, expected] : {std::pair{1, 6}, std::pair{2, 10}, std::pair{3, 1}}) {
    file_.Clear();
    file_.SetInteger(kCompany, company);
    ASSERT_EQ(access_.PrimeRecord(1), 0) << company;
    EXPECT_EQ(file_.GetInteger(kNumber), expected) << company;
    EXPECT_EQ(file_.GetInteger(kCompany), company) << "the leading value is kept";
    EXPECT_EQ(access_.CancelAutoInc(), 0);
  }
  file_.Clear();
  file_.SetInteger(kCompany, 1);
  ASSERT_EQ(access_.PrimeRecord(1), 0);
  EXPECT_EQ(file_.GetInteger(kCode), 42) << "highest code was 41";
  EXPECT_TRUE(errors_.shown.empty());
}

TEST_F(FileManagerTest, NumberingAtTheTopOfTheRangeFailsInsteadOfWrapping) {
  AddRecord(1, 255, "cheio", 1);
  ASSERT_EQ(access_.Open(), 0);
  file_.Clear();
  file_.SetInteger(kCompany, 1);
  file_.SetText(kName, "novo");
  EXPECT_EQ(access_.Insert(), kNotify);
  ASSERT_EQ(errors_.Captions(), std::vector<std::string>{"Erro de Incremento de automatico"});
  EXPECT_EQ(Records(), 1) << "no record numbered 0 or 255 was written";
  EXPECT_FALSE(access_.AutoIncDone);
  EXPECT_EQ(file_.GetText(kName), "novo    ") << "the caller's record is intact";

  // The descending single-component key at its top as well.
  AddRecord(2, 1, "max", 65535);
  file_.Clear();
  file_.SetInteger(kCompany, 2);
  EXPECT_EQ(access_.TryPrimeAutoInc(), kNotify);
  EXPECT_EQ(Records(), 2);
}

TEST_F(FileManagerTest, FailedNumberingProbeLeavesTheCallersRecordAndNoSavedBuffer) {
  AddRecord(1, 5, "um", 41);
  ASSERT_EQ(access_.Open(), 0);
  file_.Clear();
  file_.SetInteger(kCompany, 1);
  file_.SetText(kName, "meu");
  access_.refuse_reads = 1;
  EXPECT_EQ(access_.PrimeRecord(1), kNotify);
  EXPECT_EQ(errors_.Captions(), std::vector<std::string>{" Erro de Recuperação do registro"});
  EXPECT_EQ(file_.GetText(kName), "meu     ");
  EXPECT_EQ(file_.GetInteger(kCompany), 1);
  EXPECT_EQ(access_.Buffers->Records(), 0);
  EXPECT_FALSE(access_.AutoIncDone);
  EXPECT_EQ(Records(), 1);
}

TEST_F(FileManagerTest, ThreeFailedAddsAskAndYesStartsAgain) {
  ASSERT_EQ(access_.Open(), 0);
  access_.refuse_adds = 6;
  errors_.answers = {kYes, kNo};
  file_.Clear();
  file_.SetInteger(kCompany, 1);
  EXPECT_EQ(access_.PrimeRecord(1), kNotify);
  EXPECT_EQ(access_.refuse_adds, 0) << "two rounds of three attempts";
  EXPECT_EQ(errors_.Captions(), (std::vector<std::string>{"Erro de Incremento de automatico",
                                                          "Erro de Incremento de automatico"}));
  EXPECT_FALSE(access_.AutoIncDone);
  EXPECT_NE(errors_.shown[0].text.find("Chave: Código"), std::string::npos)
      << errors_.shown[0].text;

  // The Try form gives up after the third failure without asking.
  access_.refuse_adds = 3;
  EXPECT_EQ(access_.TryPrimeAutoInc(), kNotify);
  EXPECT_EQ(errors_.shown.size(), 2u);
  EXPECT_EQ(Records(), 0);
}

TEST_F(FileManagerTest, DuplicateKeyMessageNamesTheKey) {
  AddRecord(1, 1, "Ana", 5);
  ASSERT_EQ(access_.Open(), 0);
  file_.Clear();
  file_.SetInteger(kCompany, 1);
  file_.SetText(kName, "ANA");  // the name key ignores case
  errors_.answers = {kNo};
  EXPECT_EQ(access_.Insert(), kNotify);
  // The numbering's add fails on the name: three attempts, then the question.
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_NE(errors_.shown[0].text.find("Chave: NUM:KEY:NAME"), std::string::npos)
      << "a blank description names the key by its label: " << errors_.shown[0].text;
  EXPECT_EQ(Records(), 1);
}

TEST_F(FileManagerTest, DuplicateKeyWithoutNumberingShowsChaveDuplicada) {
  TestAccess plain(file_, errors_,
                   {{kCompanyNumberKey, "Empresa e n\xFAmero", 0}, {kNameKey, "Nome", 0}});
  access_.Kill();
  DetachFilesManager();
  plain.Init();
  AddRecord(1, 1, "Ana", 5);
  ASSERT_EQ(plain.Open(), 0);
  file_.Clear();
  file_.SetInteger(kCompany, 1);
  file_.SetInteger(kNumber, 2);
  file_.SetText(kName, "ana");
  EXPECT_EQ(plain.Insert(), kNotify);
  ASSERT_EQ(errors_.shown.size(), 1u);
  EXPECT_EQ(errors_.shown[0].caption, "Erro chave duplicada");
  EXPECT_EQ(errors_.shown[0].text, "Chave duplicada: Nome");
  EXPECT_EQ(plain.TryInsert(), kNotify);
  EXPECT_EQ(plain.LastError, 15);
  EXPECT_EQ(errors_.shown.size(), 1u);
  plain.Kill();
}

// ---- Validation ----

TEST_F(FileManagerTest, ValidateFieldsStopsAtTheFirstInvalidField) {
  ASSERT_EQ(access_.Open(), 0);
  access_.invalid_fields = {5};
  int32_t failed = 0;
  EXPECT_EQ(access_.ValidateFields(3, 7, &failed), kNotify);
  EXPECT_EQ(failed, 5);
  EXPECT_EQ(access_.validated, (std::vector<int32_t>{3, 4, 5}));
  // An invalid record is not inserted.
  access_.validated.clear();
  file_.SetInteger(kCompany, 1);
  EXPECT_EQ(access_.Insert(), kNotify);
  EXPECT_EQ(Records(), 0);
}

// ---- Aliases ----

TEST_F(FileManagerTest, AliasDelegatesValidationAndPrimingToItsBaseFile) {
  AddRecord(1, 4, "base", 9);
  ASSERT_EQ(access_.Open(), 0);
  runtime::RecordFile alias_file(NumberedDeclaration());
  alias_file.SetName(path_);
  TestAccess alias(alias_file, errors_, NumberedKeys());
  alias.Init();
  alias.AliasedFile = &access_;
  ASSERT_EQ(alias.Open(), 0);

  // The base validates the alias's record and gets its own buffer back.
  file_.SetText(kName, "mine");
  access_.invalid_fields = {kName};
  alias_file.SetText(kName, "alias");
  EXPECT_EQ(alias.ValidateField(kName), kNotify);
  EXPECT_EQ(access_.validated, std::vector<int32_t>{kName});
  EXPECT_EQ(file_.GetText(kName), "mine    ");
  access_.invalid_fields.clear();

  // The base numbers the alias's new record; the placeholder is the alias's to complete.
  alias_file.Clear();
  alias_file.SetInteger(kCompany, 1);
  alias_file.SetText(kName, "novo");
  ASSERT_EQ(alias.PrimeRecord(1), 0);
  EXPECT_EQ(alias_file.GetInteger(kNumber), 5);
  EXPECT_EQ(alias_file.GetText(kName), "novo    ");
  EXPECT_EQ(file_.GetText(kName), "mine    ") << "the base's buffer is back";
  EXPECT_EQ(Records(), 2);

  // An alias of an alias is refused.
  runtime::RecordFile second_file(NumberedDeclaration());
  second_file.SetName(path_);
  TestAccess second(second_file, errors_, NumberedKeys());
  second.Init();
  second.AliasedFile = &alias;
  second.ValidateField(kName);
  EXPECT_EQ(Assertions(), std::vector<std::string>{"Cannot have alias based upon an alias"});
  second.Kill();
  alias.Close();
  alias.Kill();
}

// ---- Registration and tear-down ----

TEST_F(FileManagerTest, KillBeforeSetUpAndTwiceDoesNothingAndMappingsAreUnique) {
  TestAccess second(file_, errors_, NumberedKeys());
  second.Init();
  EXPECT_EQ(Assertions(), std::vector<std::string>{"Mapping for file already exists for the FM"});
  second.Kill();
  second.Kill();
  EXPECT_EQ(ThreadFilesManager().GetFileMapping(FilesManager::GetFileID(&file_)), &access_);
  access_.Kill();
  EXPECT_EQ(ThreadFilesManager().GetFileMapping(FilesManager::GetFileID(&file_)), &access_)
      << "Kill before the set-up does nothing";
  ASSERT_EQ(access_.UseFile(2), 0);
  access_.Kill();
  EXPECT_EQ(ThreadFilesManager().GetFileMapping(FilesManager::GetFileID(&file_)), nullptr);
  EXPECT_TRUE(access_.Killed);
}

TEST_F(FileManagerTest, ClosingTheFileBehindTheManagerIsAnAssertion) {
  ASSERT_EQ(access_.Open(), 0);
  ASSERT_EQ(access_.UseFile(2), 0);
  file_.Close();
  EXPECT_EQ(Assertions(), std::vector<std::string>{"You are calling CLOSE(" + path_ +
                                                   ") instead of FileManager.Close()"});
}

TEST_F(FileManagerTest, UsingTheFileAroundTheManagerIsAnAssertion) {
  ASSERT_EQ(access_.Open(), 0);
  access_.Init(&file_, &errors_);  // set up, not opened
  file_.Next();
  EXPECT_EQ(Assertions(),
            std::vector<std::string>{"You have not called FileManager.UseFile() for " + path_});
}

}  // namespace
}  // namespace framework
