// The program body's order around Main, and the per-thread objects: a second thread runs the
// export over its own dictionary and files.

#include "app/program.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "dictionary/access_classes.h"
#include "export/export_window.h"
#include "framework/errors/global_errors.h"
#include "framework/util/fuzzy_class.h"
#include "runtime/records/record_file.h"
#include "runtime/window/halt.h"
#include "tests/testing.h"
#include "tools/sample.h"

namespace vardimo {
namespace {

using runtime::DragMode;

// A settings store whose update hook tells the test what the program looks like at that moment.
class ObservedSettings : public framework::INIClass {
 public:
  using framework::INIClass::Update;
  void Update() override { hook(); }
  std::function<void()> hook;
};

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~ProgramTest() override { std::filesystem::current_path(previous_); }

  static std::string Contents(const char* file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  testing_support::ScratchDir dir_;
  runtime::HaltRecorder halts_;
  std::filesystem::path previous_;
};

TEST_F(ProgramTest, DraggingIsOffWhileMainRunsAndTheUpdateHookComesBeforeAnyKill) {
  for (DragMode initial : {DragMode::On, DragMode::Off}) {
    SCOPED_TRACE(initial == DragMode::On ? "dragging on" : "dragging off");
    std::filesystem::remove("Vardimo.INI");
    framework::TranslatorClass translator;
    framework::FuzzyClass fuzzy;
    framework::ErrorClass errors;
    ObservedSettings settings;
    framework::ErrorClass* previous = framework::SetGlobalErrors(&errors);
    AttachThread();
    runtime::FakeDragSetting drag(initial);
    std::vector<std::string> seen;
    auto look = [&](const char* when) {
      seen.push_back(
          std::string(when) + ": dragging " + (drag.mode() == DragMode::On ? "on" : "off") +
          ", translator " + (translator.Killed ? "killed" : "ready") + ", fuzzy matcher " +
          (framework::CurrentFuzzyMatcher() == &fuzzy && fuzzy.NoCase && fuzzy.WordOnly ? "ready"
                                                                                        : "-") +
          ", settings " + (std::filesystem::exists("Vardimo.INI") ? "written" : "not written") +
          ", dictionary " + (dictionary::Access::Funcionarios ? "up" : "down"));
    };
    settings.hook = [&] { look("update"); };
    ProgramBody(translator, fuzzy, errors, settings, drag, [&] { look("main"); });
    look("after");
    const std::string restored = initial == DragMode::On ? "on" : "off";
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "main: dragging off, translator ready, fuzzy matcher ready, settings not "
                        "written, dictionary up",
                        "update: dragging off, translator ready, fuzzy matcher ready, settings not "
                        "written, dictionary up",
                        "after: dragging " + restored +
                            ", translator killed, fuzzy matcher ready, settings written, "
                            "dictionary up",
                    }));
    EXPECT_EQ(drag.queries(), 1);
    if (initial == DragMode::On) {
      EXPECT_EQ(drag.changes(), (std::vector<DragMode>{DragMode::Off, DragMode::On}));
    } else {
      EXPECT_TRUE(drag.changes().empty()) << "a setting that was off is left alone";
    }
    EXPECT_NE(Contents("Vardimo.INI").find("Sectors="), std::string::npos);
    DetachThread();
    EXPECT_EQ(dictionary::Access::Funcionarios, nullptr) << "the dictionary goes with the thread";
    framework::SetGlobalErrors(previous);
  }
}

TEST_F(ProgramTest, ASecondThreadRunsOnItsOwnDictionaryAndFilesAndWritesTheSameBytes) {
  tools::SampleOptions options;
  options.folder = "db";
  options.companies = 2;
  options.employees = 20;
  options.year = 2014;
  tools::SampleSummary summary;
  ASSERT_OK(tools::WriteSample(options, &summary));
  std::filesystem::current_path("db");
  std::string cnpj;
  {
    runtime::RecordFile companies(dictionary::EmpresaDeclaration());
    companies.SetName("BComuns/Empresas.Tps");
    ASSERT_EQ(companies.Open(), 0);
    companies.SetInteger(dictionary::EMP.CODIGO, 2);
    ASSERT_EQ(companies.Get(dictionary::EMP.KEY.CODIGO), 0);
    cnpj = companies.GetText(dictionary::EMP.CGC);
  }
  auto hand_over = [&] {
    std::ofstream("Quelbrix.ini", std::ios::binary)
        << "[Quelbrix]\r\nEMPID=2\r\nEMPCOD=2\r\nEMPCNPJ=" << cnpj << "\r\nEMPANO=2014\r\n";
  };

  ProcessObjects objects;
  AttachProcess(objects);
  AttachThread();
  runtime::FakeDragSetting drag(DragMode::Off);
  std::string first;
  const void* first_access = nullptr;
  const void* first_files = nullptr;
  const void* second_access = nullptr;
  const void* second_files = nullptr;
  // The second thread runs while thread 1's program body has the process-wide objects set up.
  ProgramBody(objects, drag, [&] {
    hand_over();
    dasn::Main();
    first = Contents("Temp/DASN.TXT");
    EXPECT_EQ(first.rfind("DASN_F|", 0), 0u) << first;
    EXPECT_FALSE(std::filesystem::exists("Quelbrix.ini"));
    first_access = dictionary::Access::Funcionarios;
    first_files = dictionary::Access::Funcionarios->File;
    hand_over();
    std::thread second([&] {
      AttachThread();
      second_access = dictionary::Access::Funcionarios;
      second_files = dictionary::Access::Funcionarios->File;
      dasn::Main();
      DetachThread();
    });
    second.join();
  });
  EXPECT_EQ(Contents("Temp/DASN.TXT"), first);
  EXPECT_FALSE(std::filesystem::exists("Quelbrix.ini"));
  EXPECT_NE(second_access, nullptr);
  EXPECT_NE(second_access, first_access);
  EXPECT_NE(second_files, first_files);
  EXPECT_TRUE(halts_.entries().empty());

  DetachThread();
  DetachProcess(objects);
}

}  // namespace
}  // namespace vardimo
