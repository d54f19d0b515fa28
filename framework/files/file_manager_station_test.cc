// The file manager against a second station: a separate process (vardimo_station) that holds the
// data file open, changes a record or holds one, and data files that cannot be opened at all.
// Every case checks the message shown, the result level and what became of the data file.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/files/file_manager.h"
#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/file_errors.h"
#include "runtime/records/record_file.h"
#include "runtime/window/halt.h"
#include "tests/sample_file.h"
#include "tests/station_process.h"
#include "tests/testing.h"

namespace framework {
namespace {

using runtime::RecordFile;
using testing::RecordingErrors;
using testing::TestAccess;
using testing_support::kCode;
using testing_support::kCodeKey;
using testing_support::kName;
using testing_support::ReadBytes;
using testing_support::SampleCodes;
using testing_support::SampleDeclaration;
using testing_support::StationProcess;

// What the runtime did to the file: every open (its mode and code) and every option sent.
class OperationLog : public runtime::FileCallback {
 public:
  uint8_t FunctionCalled(int32_t, runtime::PARAMS&, std::string*, std::string*) override {
    return 1;
  }
  uint8_t FunctionDone(int32_t op, runtime::PARAMS& parameters, std::string*,
                       std::string*) override {
    if (op == runtime::op_code::kOpen)
      opens.emplace_back(parameters.OpenMode, runtime::ERRORCODE());
    if (op == runtime::op_code::kSend) sends.push_back(parameters.Text);
    return 1;
  }

  std::vector<std::pair<int, int>> opens;
  std::vector<std::string> sends;
};

// A sample data file at `path` with records (code, name).
void WriteSample(const std::string& path, const std::vector<std::pair<int, std::string>>& rows) {
  RecordFile file(SampleDeclaration());
  file.SetName(path);
  ASSERT_EQ(file.Create(), 0) << runtime::FILEERRORMSG();
  ASSERT_EQ(file.Open(), 0) << runtime::FILEERRORMSG();
  for (const auto& [code, name] : rows) {
    file.Clear();
    file.SetInteger(kCode, code);
    file.SetText(kName, name);
    ASSERT_EQ(file.Add(), 0) << runtime::FILEERRORMSG();
  }
}

// The name stored in the record with `code`, read by an instance of its own.
std::string StoredName(const std::string& path, int code) {
  RecordFile file(SampleDeclaration());
  file.SetName(path);
  if (file.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) != 0) return "?";
  file.SetInteger(kCode, code);
  if (file.Get(kCodeKey) != 0) return "?";
  return std::string(file.GetText(kName));
}

// The access class's keys over the sample file: the code key, described as "Código"
// (Windows-1252).
std::vector<testing::KeySpec> SampleKeys() { return {{kCodeKey, "C\363digo", 0}}; }

class FileManagerStationTest : public ::testing::Test {
 protected:
  FileManagerStationTest() : access_(file_, errors_, SampleKeys()) {
    file_.SetName(path_);
    file_.AddCallback(&log_);
    access_.Init();
  }
  ~FileManagerStationTest() override {
    access_.Kill();
    file_.RemoveCallback(&log_);
    DetachFilesManager();
  }

  // The only message shown so far; a test failure when there is not exactly one.
  testing::ShownMessage OnlyMessage() const {
    EXPECT_EQ(errors_.shown.size(), 1u) << ::testing::PrintToString(errors_.Captions());
    return errors_.shown.empty() ? testing::ShownMessage() : errors_.shown.back();
  }
  // Reads the record with `code` through the manager.
  uint8_t FetchCode(int code) {
    file_.SetInteger(kCode, code);
    return access_.TryFetch(kCodeKey);
  }

  testing_support::ScratchDir dir_;
  const std::string path_ = dir_ / "Sample.Tps";
  runtime::AssertionRecorder assertions_;
  runtime::HaltRecorder halts_;
  RecordingErrors errors_;
  OperationLog log_;
  RecordFile file_{SampleDeclaration()};
  TestAccess access_;
};

using Opens = std::vector<std::pair<int, int>>;

// ---- Opening against another station ----

TEST_F(FileManagerStationTest, DenyWriteElsewhereWarnsOnceAndOpensReadOnly) {
  WriteSample(path_, {{1, "ana"}, {2, "bia"}});
  const std::string before = ReadBytes(path_);
  StationProcess station(
      {"hold", path_, std::to_string(runtime::open_mode::kRead | runtime::open_mode::kDenyWrite)});
  ASSERT_EQ(station.ReadLine(), "opened 0");

  // Read/write is refused twice (before and after the recover setting); reading beside a
  // station that only denies writing is allowed, so the read-only retry opens the file.
  ASSERT_EQ(access_.Open(), kBenign);
  ASSERT_EQ(FetchCode(2), kBenign);
  EXPECT_EQ(file_.GetText(kName), "bia   ");
  EXPECT_EQ(log_.opens, (Opens{{0x42, 5}, {0x42, 5}, {0x40, 0}}));
  EXPECT_EQ(log_.sends, std::vector<std::string>{"Recover=10"});
  EXPECT_EQ(file_.Send("Recover"), "10");
  EXPECT_EQ(access_.OpenMode, 0x40);
  const testing::ShownMessage warning = OnlyMessage();
  EXPECT_EQ(warning.caption, "Acesso Negado");
  EXPECT_EQ(warning.text, "Não pôde adquirir acesso para " + path_ + " somente leitura.");

  // Open for reading only: an insert is refused and reported, and nothing is written.
  file_.Clear();
  file_.SetInteger(kCode, 3);
  file_.SetText(kName, "caio");
  EXPECT_EQ(access_.Insert(), kNotify);
  ASSERT_EQ(errors_.shown.size(), 2u);
  EXPECT_EQ(errors_.shown[1].caption, "Erro Inclusão");
  EXPECT_NE(errors_.shown[1].text.find("Arquivo: " + path_ + "|Erro: "), std::string::npos)
      << errors_.shown[1].text;
  access_.Close();
  EXPECT_FALSE(file_.IsOpen());
  EXPECT_EQ(station.Finish(), 0);
  EXPECT_TRUE(halts_.entries().empty());
  EXPECT_EQ(ReadBytes(path_), before);
  EXPECT_EQ(SampleCodes(path_), (std::set<int64_t>{1, 2}));
}

TEST_F(FileManagerStationTest, DenyAllElsewhereEndsInFatalAccessErrorAfterTwoAttempts) {
  WriteSample(path_, {{1, "ana"}});
  const std::string before = ReadBytes(path_);
  StationProcess station(
      {"hold", path_, std::to_string(runtime::open_mode::kRead | runtime::open_mode::kDenyAll)});
  ASSERT_EQ(station.ReadLine(), "opened 0");

  ASSERT_EQ(access_.Open(), kBenign);
  EXPECT_EQ(FetchCode(1), kFatal);
  EXPECT_FALSE(file_.IsOpen());
  // Each attempt is one open, the recover setting and a second open; there is no third.
  EXPECT_EQ(log_.opens, (Opens{{0x42, 5}, {0x42, 5}, {0x40, 5}, {0x40, 5}}));
  EXPECT_EQ(log_.sends, (std::vector<std::string>{"Recover=10", "Recover=10"}));
  ASSERT_EQ(errors_.Captions(),
            (std::vector<std::string>{"Acesso Negado", "Erro de Acesso de arquivo"}));
  const std::string& text = errors_.shown[1].text;
  EXPECT_EQ(text.find("Arquivo " + path_ + " não pôde ser aberto.  Erro: "), 0u) << text;
  EXPECT_NE(text.find("(5)."), std::string::npos) << text;
  // Error 26 is fatal: the program ends.
  ASSERT_EQ(halts_.entries().size(), 1u);
  EXPECT_EQ(halts_.entries()[0].text, "Erro de Acesso de arquivo");
  EXPECT_EQ(station.Finish(), 0);
  EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(FileManagerStationTest, ReadOnlyFileOnDiskWarnsAndStaysReadOnlyForLaterOpens) {
  WriteSample(path_, {{1, "ana"}});
  namespace fs = std::filesystem;
  fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const std::string before = ReadBytes(path_);

  ASSERT_EQ(access_.Open(), kBenign);
  ASSERT_EQ(FetchCode(1), kBenign);
  EXPECT_EQ(log_.opens, (Opens{{0x42, runtime::kWriteRefused}, {0x40, 0}}));
  EXPECT_TRUE(log_.sends.empty()) << "the recover setting is only for a denied open";
  EXPECT_EQ(access_.OpenMode, 0x40);
  const testing::ShownMessage warning = OnlyMessage();
  EXPECT_EQ(warning.caption, "Limite de registro Excedeu");
  EXPECT_EQ(warning.text, "Não será permitido incluir registros para arquivar " + path_ +
                              ". Será aberto como somente-leitura");

  file_.SetInteger(kCode, 2);
  EXPECT_EQ(access_.Insert(), kNotify);
  ASSERT_EQ(errors_.shown.size(), 2u);
  EXPECT_EQ(errors_.shown[1].caption, "Erro Inclusão");
  access_.Close();

  // The downgrade stays: the next physical open asks for reading at once, without a warning.
  ASSERT_EQ(access_.Open(), kBenign);
  ASSERT_EQ(FetchCode(1), kBenign);
  EXPECT_EQ(log_.opens.back(), (std::pair<int, int>{0x40, 0}));
  EXPECT_EQ(log_.opens.size(), 3u);
  EXPECT_EQ(errors_.shown.size(), 2u);
  access_.Close();
  EXPECT_TRUE(halts_.entries().empty());
  fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadBytes(path_), before);
}

// ---- Records another station changes or holds ----

TEST_F(FileManagerStationTest, UpdateCollidingWithAnotherStationShowsTheOtherVersion) {
  WriteSample(path_, {{1, "ana"}, {2, "bia"}});
  ASSERT_EQ(access_.Open(), kBenign);
  ASSERT_EQ(FetchCode(1), kBenign);
  {
    StationProcess station({"change", path_, "1", "caio"});
    EXPECT_EQ(station.ReadLine(), "changed 0");
    EXPECT_EQ(station.Finish(), 0);
  }
  file_.SetText(kName, "davi");
  EXPECT_EQ(access_.Update(), kNotify);
  const testing::ShownMessage shown = OnlyMessage();
  EXPECT_EQ(shown.caption, "Registro não atualizado");
  EXPECT_EQ(shown.text, "Este registro foi atualizado por outra estação.");
  EXPECT_EQ(file_.GetText(kName), "caio  ") << "the buffer holds the other station's version";
  EXPECT_EQ(StoredName(path_, 1), "caio  ");

  // The window form (HandleError 2) says that the other version is shown now.
  {
    StationProcess station({"change", path_, "1", "eva"});
    EXPECT_EQ(station.ReadLine(), "changed 0");
    EXPECT_EQ(station.Finish(), 0);
  }
  file_.SetText(kName, "davi");
  EXPECT_EQ(access_.UpdateServer(2), kNotify);
  ASSERT_EQ(errors_.shown.size(), 2u);
  EXPECT_EQ(errors_.shown[1].caption, "Registro não Atualizado");
  EXPECT_EQ(errors_.shown[1].text.find("Este registro foi atualizado por outra estação. Essas "
                                       "mudanças serão exibidas agora."),
            0u);
  EXPECT_EQ(file_.GetText(kName), "eva   ");

  // The silent form shows nothing, and after a re-read a change goes through.
  {
    StationProcess station({"change", path_, "1", "fabio"});
    EXPECT_EQ(station.ReadLine(), "changed 0");
    EXPECT_EQ(station.Finish(), 0);
  }
  EXPECT_EQ(access_.TryUpdate(), kNotify);
  EXPECT_EQ(access_.LastError, 7);
  EXPECT_EQ(file_.GetText(kName), "fabio ");
  file_.SetText(kName, "davi");
  EXPECT_EQ(access_.Update(), kBenign);
  EXPECT_EQ(errors_.shown.size(), 2u);
  access_.Close();
  EXPECT_EQ(StoredName(path_, 1), "davi  ");
  EXPECT_EQ(StoredName(path_, 2), "bia   ");
  EXPECT_TRUE(halts_.entries().empty());
}

TEST_F(FileManagerStationTest, RecordHeldElsewhereIsSkippedOrStopsTheWalk) {
  WriteSample(path_, {{1, "ana"}, {2, "bia"}, {3, "caio"}});
  const std::string before = ReadBytes(path_);
  StationProcess station({"holdrecord", path_, "2"});
  ASSERT_EQ(station.ReadLine(), "held 0");
  ASSERT_EQ(access_.Open(), kBenign);
  ASSERT_EQ(access_.UseFile(2), kBenign);
  ASSERT_EQ(file_.Hold(), 0);  // our reads hold too, so they meet the other station's hold

  auto walk = [&] {
    std::vector<int64_t> codes;
    EXPECT_EQ(file_.Set(kCodeKey), 0);
    while (access_.Next() == kBenign) codes.push_back(file_.GetInteger(kCode));
    return codes;
  };
  access_.SkipHeldRecords = 1;
  EXPECT_EQ(walk(), (std::vector<int64_t>{1, 3}));
  EXPECT_TRUE(access_.GetEOF());
  EXPECT_TRUE(errors_.shown.empty());

  access_.SkipHeldRecords = 0;
  EXPECT_EQ(walk(), (std::vector<int64_t>{1}));
  EXPECT_FALSE(access_.GetEOF());
  EXPECT_EQ(file_.GetInteger(kCode), 1) << "the held record is not read into the buffer";
  const testing::ShownMessage shown = OnlyMessage();
  EXPECT_EQ(shown.caption, "Erro na leitura do registro");
  EXPECT_EQ(shown.text, "O registro está sendo usado por outra estação. Arquivo " + path_ + " .");

  // The silent form stops there too, without a message.
  ASSERT_EQ(file_.Set(kCodeKey), 0);
  EXPECT_EQ(access_.TryNext(), kBenign);
  EXPECT_EQ(access_.TryNext(), kNotify);
  EXPECT_EQ(access_.LastError, 31);
  EXPECT_EQ(errors_.shown.size(), 1u);

  EXPECT_EQ(file_.Release(), 0);
  access_.Close();
  EXPECT_EQ(station.Finish(), 0);
  EXPECT_EQ(ReadBytes(path_), before);
}

// ---- Files that cannot be opened ----

TEST_F(FileManagerStationTest, ForeignOrDamagedDataFileIsFatalAndStaysUntouched) {
  struct Case {
    const char* what;
    void (*make)(const std::string& path);
  };
  const Case cases[] = {
      {"a text file named like the data file",
       [](const std::string& path) { testing_support::WriteText(path, "CODIGO;NOME\n1;ana\n"); }},
      {"a data file with a damaged header",
       [](const std::string& path) {
         WriteSample(path, {{1, "ana"}});
         std::string bytes = ReadBytes(path);
         bytes.replace(0, 32, std::string(32, 'x'));
         testing_support::WriteText(path, bytes);
       }},
      {"a data file of another layout",
       [](const std::string& path) {
         RecordFile other(testing::NumberedDeclaration());
         other.SetName(path);
         ASSERT_EQ(other.Create(), 0);
       }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir_ / ("Foreign" + std::to_string(++n) + ".Tps");
    c.make(path);
    const std::string before = ReadBytes(path);
    ASSERT_FALSE(before.empty());
    // What the runtime says about the file, for the message's %ErrorText.
    int code = 0;
    std::string runtime_text;
    {
      RecordFile probe(SampleDeclaration());
      probe.SetName(path);
      code = probe.Open();
      runtime_text = runtime::ERROR();
    }
    ASSERT_NE(code, 0);
    ASSERT_NE(code, runtime::kFileNotFound) << "a missing file would be created";

    errors_.shown.clear();
    const size_t halts = halts_.entries().size();
    RecordFile file(SampleDeclaration());
    file.SetName(path);
    TestAccess access(file, errors_, SampleKeys());
    access.Init();
    ASSERT_EQ(access.Open(), kBenign);
    EXPECT_EQ(access.UseFile(2), kFatal);
    EXPECT_FALSE(file.IsOpen());
    const testing::ShownMessage shown = OnlyMessage();
    EXPECT_EQ(shown.caption, "Erro de Acesso de arquivo");
    EXPECT_EQ(shown.text.find("Arquivo " + path + " não pôde ser aberto.  Erro: " + runtime_text +
                              " (" + std::to_string(code) + ")."),
              0u)
        << shown.text;
    EXPECT_EQ(halts_.entries().size(), halts + 1);
    access.Kill();
    EXPECT_EQ(ReadBytes(path), before);
  }
}

TEST_F(FileManagerStationTest, MissingFolderIsNeitherCreatedNorOpened) {
  const std::string folder = dir_ / "Falta";
  const std::string path = folder + "/Sample.Tps";
  // With Create set the missing file is made, which fails for want of its folder: error 12.
  {
    RecordFile file(SampleDeclaration());
    file.SetName(path);
    TestAccess access(file, errors_, SampleKeys());
    access.Init();
    ASSERT_EQ(access.Open(), kBenign);
    EXPECT_EQ(access.UseFile(2), kFatal);
    const testing::ShownMessage shown = OnlyMessage();
    EXPECT_EQ(shown.caption, "Erro na criação do arquivo");
    EXPECT_EQ(shown.text.find("Erro: ("), 0u) << shown.text;
    EXPECT_NE(shown.text.find(") criando " + path + "."), std::string::npos) << shown.text;
    access.Kill();
  }
  // Without it the missing file is error 26.
  {
    errors_.shown.clear();
    RecordFile file(SampleDeclaration());
    file.SetName(path);
    TestAccess access(file, errors_, SampleKeys());
    access.Init();
    access.Init(&file, &errors_);  // the set-up without the open, so that Create can be cleared
    access.Create = 0;
    ASSERT_EQ(access.Open(), kBenign);
    EXPECT_EQ(access.UseFile(2), kFatal);
    const testing::ShownMessage shown = OnlyMessage();
    EXPECT_EQ(shown.caption, "Erro de Acesso de arquivo");
    EXPECT_EQ(shown.text.find("Arquivo " + path + " não pôde ser aberto.  Erro: "), 0u)
        << shown.text;
    access.Kill();
  }
  EXPECT_EQ(halts_.entries().size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace framework
