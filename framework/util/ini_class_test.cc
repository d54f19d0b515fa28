// The INI manager: its sectors list in a settings file and in the registry, the value forms and
// limits, damaged settings files and use from two threads.
#include "framework/util/ini_class.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "framework/util/utility_module.h"
#include "runtime/platform/assertion.h"
#include "runtime/platform/ini_file.h"
#include "tests/testing.h"

namespace framework {
namespace {

constexpr char kList[] = "__Dont_Touch_Me__";
constexpr char kRegistryPrefix[] = "Software\\Vardimo";
// Where the registry file keeps the list's key (classes root, the default root).
constexpr char kRegistryListSection[] = "HKEY_CLASSES_ROOT\\Software\\Vardimo\\__Dont_Touch_Me__";

// Runs in a scratch folder (relative settings file names resolve there) with the registry file in
// it too.
class IniClassTest : public ::testing::Test {
 protected:
  IniClassTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
    testing_support::SetEnvironment("VARDIMO_REGISTRY", registry_);
  }
  ~IniClassTest() override {
    testing_support::SetEnvironment("VARDIMO_REGISTRY", "");
    std::filesystem::current_path(previous_);
  }

  static void Write(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
  }
  static std::string Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    for (const auto& entry : recorder_.entries()) {
      EXPECT_EQ(entry.module, kUtilityModule);
      messages.push_back(entry.message);
    }
    return messages;
  }

  testing_support::ScratchDir dir_;
  std::filesystem::path previous_;
  std::string registry_ = dir_ / "registry.ini";
  runtime::AssertionRecorder recorder_;
  INIClass ini_;
};

// The sectors list round trip, in a settings file and in the registry.
class IniClassStoreTest : public IniClassTest, public ::testing::WithParamInterface<IniStore> {
 protected:
  bool registry() const { return GetParam() == IniStore::Registry; }
  void Start(INIClass& ini) {
    if (registry()) {
      ini.Init(kRegistryPrefix, IniStore::Registry);
    } else {
      ini.Init("Vardimo.INI");
    }
  }
  // The list's entry as the store holds it; "(none)" when missing.
  std::string Stored(const std::string& name) const {
    return registry() ? runtime::GETINI(kRegistryListSection, name, "(none)", registry_)
                      : runtime::GETINI(kList, name, "(none)", dir_ / "Vardimo.INI");
  }
  void Store(const std::string& name, const std::string& value) {
    if (registry()) {
      ASSERT_OK(runtime::PUTINI(kRegistryListSection, name, value, registry_));
    } else {
      ASSERT_OK(runtime::PUTINI(kList, name, value, dir_ / "Vardimo.INI"));
    }
  }
  std::string StoreFile() const { return registry() ? registry_ : dir_ / "Vardimo.INI"; }
};

TEST_P(IniClassStoreTest, FirstRunLeavesAnEmptyList) {
  Start(ini_);
  ASSERT_NE(ini_.Sectors, nullptr);
  EXPECT_EQ(ini_.Sectors->Records(), 0);
  ini_.Kill();
  EXPECT_EQ(ini_.Sectors, nullptr);
  EXPECT_EQ(Stored("Sectors"), "0");
  EXPECT_EQ(Stored("Sectors_1"), "(none)");
  EXPECT_TRUE(Messages().empty());
}

TEST_P(IniClassStoreTest, LoadedRowsAreWrittenBackUnchanged) {
  Store("Sectors", "2");
  Store("Sectors_1", "Janelas,Principal,Posicao");
  Store("Sectors_2", "Listas,Funcionarios,");
  const std::string before = Read(StoreFile());
  Start(ini_);
  ASSERT_EQ(ini_.Sectors->Records(), 2);
  EXPECT_STREQ(ini_.Sectors->row(1).Family, "Janelas");
  EXPECT_STREQ(ini_.Sectors->row(1).Item, "Principal");
  EXPECT_STREQ(ini_.Sectors->row(1).Type, "Posicao");
  EXPECT_STREQ(ini_.Sectors->row(2).Item, "Funcionarios");
  EXPECT_STREQ(ini_.Sectors->row(2).Type, "");
  ini_.Kill();
  EXPECT_EQ(Read(StoreFile()), before);
  EXPECT_TRUE(Messages().empty());
}

TEST_P(IniClassStoreTest, RowsAddedDuringTheRunAreStoredAndLoadedNextTime) {
  Start(ini_);
  IniSector& row = ini_.Sectors->buffer();
  for (const char* item : {"Um", "Dois"}) {
    row = IniSector{};
    std::snprintf(row.Family, sizeof(row.Family), "Janelas");
    std::snprintf(row.Item, sizeof(row.Item), "%s", item);
    ASSERT_EQ(ini_.Sectors->Add(), 0);
  }
  ini_.Kill();
  EXPECT_EQ(Stored("Sectors"), "2");
  EXPECT_EQ(Stored("Sectors_2"), "Janelas,Dois,");
  INIClass next;
  Start(next);
  ASSERT_EQ(next.Sectors->Records(), 2);
  EXPECT_STREQ(next.Sectors->row(2).Item, "Dois");
  next.Kill();
}

TEST_P(IniClassStoreTest, CountBeyondTheStoredRowsLoadsWhatIsThere) {
  Store("Sectors", "2000000000");  // would take ages row by row, and add rows of nothing
  Store("Sectors_1", "A,B,C");
  Start(ini_);
  EXPECT_EQ(ini_.Sectors->Records(), 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].find("INI Assert: Could not find Sectors_2 in sector __Dont_Touch_Me__"),
            0u);
  ini_.Kill();
  EXPECT_EQ(Stored("Sectors"), "1");
}

TEST_P(IniClassStoreTest, UpdateFetchAndRemove) {
  Start(ini_);
  ini_.Update("Janela", "Largura", "640");
  EXPECT_EQ(ini_.Fetch("Janela", "Largura"), "640");
  EXPECT_EQ(ini_.Fetch("Janela", "Altura", "480", "Vardimo.INI"), "480");
  ini_.Remove("Janela", "Largura");
  EXPECT_EQ(ini_.TryFetch("Janela", "Largura"), "");
  EXPECT_TRUE(Messages().empty());
  ini_.Kill();
}

INSTANTIATE_TEST_SUITE_P(Stores, IniClassStoreTest,
                         ::testing::Values(IniStore::File, IniStore::Registry),
                         [](const auto& info) {
                           return info.param == IniStore::File ? "File" : "Registry";
                         });

TEST_F(IniClassTest, FetchFieldSplitsAtCommas) {
  ini_.Init("Vardimo.INI");
  ini_.Update("Lista", "Linha", "a,b,c");
  ini_.Update("Lista", "Vazia", "a,,c");
  EXPECT_EQ(ini_.FetchField("Lista", "Linha", 3), "c");
  EXPECT_EQ(ini_.FetchField("Lista", "Linha", 1), "a");
  EXPECT_EQ(ini_.FetchField("Lista", "Vazia", 2), "");
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(ini_.FetchField("Lista", "Linha", 4), "");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("Linha"), std::string::npos);
  ini_.Kill();
}

TEST_F(IniClassTest, MissingEntryIsReportedWithSectorNameAndFile) {
  ini_.Init("Vardimo.INI");
  EXPECT_EQ(ini_.Fetch("Janela", "Largura"), "---Unknown---");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], "INI Assert: Could not find Largura in sector Janela of Vardimo.INI");
  EXPECT_EQ(ini_.TryFetch("Janela", "Largura"), "");
  EXPECT_EQ(Messages().size(), 1u);
  ini_.Kill();
}

TEST_F(IniClassTest, RegistryRemovesInsteadOfWritingEmpty) {
  ini_.Init(kRegistryPrefix, IniStore::Registry);
  ini_.Update("Janela", "Largura", "640");
  const std::string section = "HKEY_CLASSES_ROOT\\Software\\Vardimo\\Janela";
  EXPECT_EQ(runtime::GETINI(section, "Largura", "(none)", registry_), "640");
  ini_.Update("Janela", "Largura", "");
  EXPECT_EQ(runtime::GETINI(section, "Largura", "(none)", registry_), "(none)");
  EXPECT_EQ(ini_.Fetch("Janela", "Largura", "800", ""), "800");
  ini_.Kill();
}

TEST_F(IniClassTest, RegistryRootAndPrefix) {
  ini_.Init("", IniStore::Registry, static_cast<int32_t>(0x80000001u));
  ini_.Update("Vardimo", "Modo", "1");
  EXPECT_EQ(runtime::GETINI("HKEY_CURRENT_USER\\Vardimo", "Modo", "", registry_), "1");
  ini_.Kill();
  EXPECT_EQ(runtime::GETINI("HKEY_CURRENT_USER\\__Dont_Touch_Me__", "Sectors", "", registry_), "0");
}

TEST_F(IniClassTest, TableModeIsReportedAndGivesNothing) {
  ini_.Init("Tabela", IniStore::Table);
  EXPECT_EQ(ini_.Fetch("A", "B", "padrao", "Vardimo.INI"), "");
  ini_.Update("A", "B", "1");
  ini_.Remove("A", "B");
  ini_.Kill();
  for (const std::string& message : Messages()) EXPECT_EQ(message, "NV_Table: Not Supported Yet");
  EXPECT_GE(Messages().size(), 5u);  // Init's list, Fetch, Update, Remove, Kill's list
  EXPECT_FALSE(std::filesystem::exists("Tabela"));
}

TEST_F(IniClassTest, LongValuesAreCutToTheLimits) {
  const std::string big(10 * 1024, 'x');
  ini_.Init("Vardimo.INI");
  ini_.Update("Grande", "Valor", big);
  EXPECT_EQ(ini_.Fetch("Grande", "Valor", "", "Vardimo.INI"), big.substr(0, 1023));
  EXPECT_EQ(ini_.TryFetch("Grande", "Valor").size(), 1023u);
  EXPECT_EQ(ini_.Fetch("Grande", "Valor").size(), 999u);
  EXPECT_EQ(ini_.FetchField("Grande", "Valor", 1).size(), 999u);

  // A queue row of 10 kB is stored cut to 4999 characters; its fields read back cut to the row's.
  struct Row {
    std::string text;
    char small[100];
  };
  runtime::Queue<Row> queue;
  queue.buffer().text = big;
  ASSERT_EQ(queue.Add(), 0);
  ini_.UpdateQueue("Grande", "Fila", queue, runtime::FieldRef::Of(&queue.buffer().text));
  EXPECT_EQ(runtime::GETINI("Grande", "Fila_1", "", "Vardimo.INI").size(), 4999u);
  ini_.Update("Grande", "Linha", big + "," + big);
  ini_.Update("Grande", "Linhas", "1");
  runtime::Queue<Row> loaded;
  ini_.FetchQueue("Grande", "Linha", loaded, runtime::FieldRef::Of(&loaded.buffer().small),
                  runtime::FieldRef::Of(&loaded.buffer().text));
  EXPECT_EQ(loaded.Records(), 0);  // the count is "Linha" itself: not a number
  ini_.FetchQueue("Grande", "Linhas", loaded, runtime::FieldRef::Of(&loaded.buffer().small),
                  runtime::FieldRef::Of(&loaded.buffer().text));
  EXPECT_EQ(loaded.Records(), 0);  // no Linhas_1: reported
  ini_.Update("Grande", "Linhas_1", big + "," + big);
  ini_.FetchQueue("Grande", "Linhas", loaded, runtime::FieldRef::Of(&loaded.buffer().small),
                  runtime::FieldRef::Of(&loaded.buffer().text));
  ASSERT_EQ(loaded.Records(), 1);
  EXPECT_EQ(std::string(loaded.row(1).small), std::string(99, 'x'));
  EXPECT_EQ(loaded.row(1).text, "");  // the row was cut to 999 before its comma
  ini_.Kill();
}

TEST_F(IniClassTest, QueueRowsJoinTheGivenFieldsInOrder) {
  struct Row {
    char name[20];
    uint16_t width;
    int32_t height;
  };
  runtime::Queue<Row> queue;
  Row& row = queue.buffer();
  ini_.Init("Vardimo.INI");
  row = {"Principal", 640, -1};
  ASSERT_EQ(queue.Add(), 0);
  row = {"Lista", 800, 600};
  ASSERT_EQ(queue.Add(), 0);
  ini_.UpdateQueue("Janelas", "J", queue, runtime::FieldRef::Of(&row.name),
                   runtime::FieldRef::Of(&row.width), runtime::FieldRef::Of(&row.height));
  EXPECT_EQ(ini_.TryFetch("Janelas", "J"), "2");
  EXPECT_EQ(ini_.TryFetch("Janelas", "J_1"), "Principal,640,-1");
  runtime::Queue<Row> loaded;
  ini_.FetchQueue("Janelas", "J", loaded, runtime::FieldRef::Of(&loaded.buffer().name), {},
                  runtime::FieldRef::Of(&loaded.buffer().height));
  ASSERT_EQ(loaded.Records(), 2);
  EXPECT_STREQ(loaded.row(2).name, "Lista");
  EXPECT_EQ(loaded.row(2).width, 0);     // not asked for
  EXPECT_EQ(loaded.row(2).height, 600);  // the field given third reads the third of the value
  ini_.Kill();
}

TEST_F(IniClassTest, SettingsFileThatIsAFolderGivesDefaultsAndStaysAFolder) {
  std::filesystem::create_directory("Vardimo.INI");
  ini_.Init("Vardimo.INI");
  EXPECT_EQ(ini_.Sectors->Records(), 0);
  ini_.Update("A", "B", "1");
  EXPECT_EQ(ini_.Fetch("A", "B", "padrao", "Vardimo.INI"), "padrao");
  ini_.Kill();
  EXPECT_TRUE(std::filesystem::is_directory("Vardimo.INI"));
  EXPECT_TRUE(std::filesystem::is_empty("Vardimo.INI"));
}

TEST_F(IniClassTest, SettingsFileOfRandomBytesKeepsThemAndGainsTheList) {
  std::mt19937 random(7);
  std::string bytes(4096, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  Write("Vardimo.INI", bytes);
  ini_.Init("Vardimo.INI");
  EXPECT_EQ(ini_.Sectors->Records(), 0);
  EXPECT_EQ(ini_.Fetch("A", "B", "padrao", "Vardimo.INI"), "padrao");
  ini_.Kill();
  const std::string after = Read("Vardimo.INI");
  EXPECT_EQ(after.substr(0, bytes.size()), bytes);
  EXPECT_EQ(runtime::GETINI(kList, "Sectors", "", "Vardimo.INI"), "0");
}

// A derived manager's hooks and overrides are reached through the virtual table.
class CountingIni : public INIClass {
 public:
  using INIClass::Fetch;
  using INIClass::Update;
  std::string Fetch(std::string_view sector, std::string_view name, std::string_view default_value,
                    std::string_view file) override {
    ++fetches;
    return INIClass::Fetch(sector, name, default_value, file);
  }
  void Fetch() override { loaded = TryFetch("Proprio", "Valor"); }
  void Update() override { INIClass::Update("Proprio", "Valor", "salvo"); }
  int fetches = 0;
  std::string loaded;
};

TEST_F(IniClassTest, DerivedHooksLoadAndSaveTheirOwnValues) {
  Write("Vardimo.INI", "[Proprio]\r\nValor=antigo\r\n");
  CountingIni ini;
  ini.Init("Vardimo.INI");
  EXPECT_EQ(ini.loaded, "antigo");
  EXPECT_EQ(ini.fetches, 2);  // the hook's value and the list's count
  ini.Update();
  ini.Kill();
  EXPECT_EQ(runtime::GETINI("Proprio", "Valor", "", "Vardimo.INI"), "salvo");
}

TEST_F(IniClassTest, TwoThreadsUpdateAndFetchTheirOwnEntries) {
  ini_.Init("Vardimo.INI");
  constexpr int kRounds = 40;
  auto work = [&](std::string name, int* mismatches) {
    for (int i = 0; i < kRounds; ++i) {
      const std::string value = std::to_string(i);
      ini_.Update("Fios", name + value, value);
      if (ini_.Fetch("Fios", name + value) != value) ++*mismatches;
      if (ini_.FetchField("Fios", name + value, 1) != value) ++*mismatches;
    }
  };
  int first_mismatches = 0;
  int second_mismatches = 0;
  std::thread first(work, "A", &first_mismatches);
  std::thread second(work, "B", &second_mismatches);
  first.join();
  second.join();
  EXPECT_EQ(first_mismatches, 0);
  EXPECT_EQ(second_mismatches, 0);
  ini_.Kill();
  for (int i = 0; i < kRounds; ++i) {  // neither thread's writes lost the other's
    EXPECT_EQ(runtime::GETINI("Fios", "A" + std::to_string(i), "", "Vardimo.INI"),
              std::to_string(i));
    EXPECT_EQ(runtime::GETINI("Fios", "B" + std::to_string(i), "", "Vardimo.INI"),
              std::to_string(i));
  }
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace framework
