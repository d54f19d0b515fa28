// The relation manager on three real data files linked parent -> child -> grandchild by their
// company field: open and close cascades, the four integrity rules for updates and deletes, and
// transactions that leave every file as it was when anything fails.

#include "framework/files/relation_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/files/file_manager_testing.h"
#include "framework/files/files_manager.h"
#include "runtime/base/error_codes.h"
#include "runtime/platform/assertion.h"
#include "runtime/records/file_errors.h"
#include "runtime/window/halt.h"
#include "tests/station_process.h"
#include "tests/testing.h"

namespace framework {
namespace {

using testing::kCode;
using testing::kCompany;
using testing::kCompanyNumberKey;
using testing::kNumber;
using testing::NumberedDeclaration;
using testing::NumberedKeys;
using testing::RecordingErrors;
using testing::TestAccess;

// A relation object whose relations the test gives.
class TestRelation : public RelationManager {
 public:
  std::function<void()> relations;
  void DeferedAddRelations() override {
    if (relations) relations();
    RelationManager::DeferedAddRelations();
  }
};

// One data file of the chain with its access and relation objects.
struct ChainFile {
  ChainFile(const std::string& path, ErrorClass& errors)
      : access(file, errors, NumberedKeys()), path(path) {
    file.SetName(path);
    access.Init();
    relation.Init(&access, 1);
  }
  ~ChainFile() {
    relation.Kill();
    access.Kill();
  }
  runtime::RecordFile file{NumberedDeclaration()};
  TestAccess access;
  TestRelation relation;
  std::string path;
};

// The three files of one chain, in a folder of their own.
struct Chain {
  Chain(const std::string& folder, ErrorClass& errors)
      : parent(folder + "/Pais.Tps", errors),
        child(folder + "/Filhos.Tps", errors),
        grandchild(folder + "/Netos.Tps", errors) {}
  ChainFile parent, child, grandchild;
};

class RelationManagerTest : public ::testing::Test {
 protected:
  RelationManagerTest() { NewChain("chain"); }
  ~RelationManagerTest() override {
    chain_.reset();
    DetachFilesManager();
  }

  // A new chain in sub-folder `name`: parent companies 1 and 2; children and grandchildren of
  // each company. The parent's rules are cascades until Link gives others.
  void NewChain(const std::string& name) {
    chain_.reset();
    std::filesystem::create_directories(dir_.path() / name);
    chain_ = std::make_unique<Chain>(dir_ / name, errors_);
    Add(chain_->parent, {{1, 1}, {2, 1}});
    Add(chain_->child, {{1, 1}, {1, 2}, {2, 5}});
    Add(chain_->grandchild, {{1, 1}, {1, 2}, {2, 1}});
    Link(kRiCascade, kRiCascade);
    errors_.shown.clear();
  }

  // Adds records (company, number) with distinct codes through a plain instance.
  void Add(ChainFile& chain, std::vector<std::pair<int, int>> records) {
    runtime::RecordFile other(NumberedDeclaration());
    other.SetName(chain.path);
    if (other.Open() == runtime::kFileNotFound) {
      ASSERT_EQ(other.Create(), 0);
      ASSERT_EQ(other.Open(), 0);
    }
    for (auto [company, number] : records) {
      other.Clear();
      other.SetInteger(kCompany, company);
      other.SetInteger(kNumber, number);
      other.SetInteger(kCode, ++codes_);
      ASSERT_EQ(other.Add(), 0) << runtime::FILEERRORMSG();
    }
  }
  // The parent's rules on the child are given; the child cascades to the grandchild. Each lower
  // file also looks its parent up (a relation back up, which the cascades must visit only once).
  void Link(uint8_t update, uint8_t del) {
    chain_->parent.relation.relations = [this, update, del] {
      chain_->parent.relation.AddRelation(&chain_->child.relation, update, del, kCompanyNumberKey);
      chain_->parent.relation.AddRelationLink(chain_->parent.file.Field(kCompany),
                                              chain_->child.file.Field(kCompany));
    };
    chain_->child.relation.relations = [this] {
      chain_->child.relation.AddRelation(&chain_->parent.relation);
      chain_->child.relation.AddRelation(&chain_->grandchild.relation, kRiCascade, kRiCascade,
                                         kCompanyNumberKey);
      chain_->child.relation.AddRelationLink(chain_->child.file.Field(kCompany),
                                             chain_->grandchild.file.Field(kCompany));
    };
    chain_->grandchild.relation.relations = [this] {
      chain_->grandchild.relation.AddRelation(&chain_->child.relation);
    };
  }
  // Reads parent (company, 1).
  void FetchParent(int company) {
    chain_->parent.file.SetInteger(kCompany, company);
    chain_->parent.file.SetInteger(kNumber, 1);
    ASSERT_EQ(chain_->parent.access.TryFetch(kCompanyNumberKey), kBenign);
  }
  // Companies of the records of a file, in record order.
  std::vector<int64_t> Companies(const ChainFile& chain) {
    runtime::RecordFile other(NumberedDeclaration());
    other.SetName(chain.path);
    std::vector<int64_t> companies;
    if (other.Open(runtime::open_mode::kRead | runtime::open_mode::kDenyNone) != 0) return {-1};
    other.SetFile();
    while (other.Next() == 0) companies.push_back(other.GetInteger(kCompany));
    return companies;
  }
  std::map<std::string, std::string> Bytes() const {
    return {{"parent", testing_support::ReadBytes(chain_->parent.path)},
            {"child", testing_support::ReadBytes(chain_->child.path)},
            {"grandchild", testing_support::ReadBytes(chain_->grandchild.path)}};
  }
  std::vector<std::string> Captions() const { return errors_.Captions(); }

  testing_support::ScratchDir dir_;
  runtime::AssertionRecorder assertions_;
  runtime::HaltRecorder halts_;
  RecordingErrors errors_;
  int codes_ = 0;
  std::unique_ptr<Chain> chain_;
};

using CompanyList = std::vector<int64_t>;

TEST_F(RelationManagerTest, OpenAndCloseCascadesCountExactlyThroughCycles) {
  // Lazily opened files: a plain open reaches the files related to this one, no further.
  ASSERT_EQ(chain_->parent.relation.Open(0), kBenign);
  EXPECT_EQ(chain_->parent.access.GetOpened(), 1);
  EXPECT_EQ(chain_->child.access.GetOpened(), 1);
  EXPECT_EQ(chain_->grandchild.access.GetOpened(), 0);
  ASSERT_EQ(chain_->parent.relation.Close(0), kBenign);
  EXPECT_EQ(chain_->child.access.GetOpened(), 0);

  // Every level: each file once, although the lower ones link back up.
  chain_->grandchild.access.Open();  // someone else uses the grandchild already
  chain_->parent.relation.SetOpenRelated();
  ASSERT_EQ(chain_->parent.relation.Open(0), kBenign);
  EXPECT_EQ(chain_->parent.access.GetOpened(), 1);
  EXPECT_EQ(chain_->child.access.GetOpened(), 1);
  EXPECT_EQ(chain_->grandchild.access.GetOpened(), 2);
  EXPECT_EQ(chain_->parent.relation.Relations->row(1).Opened, 1);

  ASSERT_EQ(chain_->parent.relation.Close(0), kBenign);
  EXPECT_EQ(chain_->parent.access.GetOpened(), 0);
  EXPECT_EQ(chain_->child.access.GetOpened(), 0);
  EXPECT_EQ(chain_->grandchild.access.GetOpened(), 1);  // the other user's open stays
  EXPECT_EQ(chain_->parent.relation.Relations->row(1).Opened, 0);
  EXPECT_TRUE(testing::AssertionMessages(assertions_).empty());
}

struct RuleCase {
  uint8_t mode;
  CompanyList parent, child, grandchild;  // the companies each file holds afterwards
  uint8_t result;
  std::vector<std::string> captions;
};

TEST_F(RelationManagerTest, ChangingTheParentsLinkFollowsEachUpdateRule) {
  const RuleCase cases[] = {
      {kRiNone, {3, 2}, {1, 1, 2}, {1, 1, 2}, kBenign, {}},
      {kRiClear, {3, 2}, {0, 0, 2}, {0, 0, 2}, kBenign, {}},
      {kRiRestrict,
       {1, 2},
       {1, 1, 2},
       {1, 1, 2},
       kNotify,
       {"Erro de Atualiza\xC3\xA7\xC3\xA3o de Integridade referente"}},
      {kRiCascade, {3, 2}, {3, 3, 2}, {3, 3, 2}, kBenign, {}},
  };
  for (const RuleCase& rule : cases) {
    SCOPED_TRACE(::testing::Message() << "update mode " << int{rule.mode});
    NewChain("update" + std::to_string(rule.mode));
    Link(rule.mode, kRiNone);
    const auto before = Bytes();

    FetchParent(1);
    chain_->parent.relation.Save();
    chain_->parent.file.SetInteger(kCompany, 3);
    EXPECT_EQ(chain_->parent.relation.Update(0), rule.result);
    EXPECT_EQ(Companies(chain_->parent), rule.parent);
    EXPECT_EQ(Companies(chain_->child), rule.child);
    EXPECT_EQ(Companies(chain_->grandchild), rule.grandchild);
    EXPECT_EQ(Captions(), rule.captions);
    if (rule.mode == kRiRestrict) {
      EXPECT_EQ(chain_->parent.file.GetInteger(kCompany), 1);  // the old link is shown again
      EXPECT_TRUE(Bytes() == before);
    }
    EXPECT_FALSE(runtime::TransactionRunning());
  }
}

TEST_F(RelationManagerTest, DeletingTheParentFollowsEachDeleteRule) {
  const RuleCase cases[] = {
      {kRiNone, {2}, {1, 1, 2}, {1, 1, 2}, kBenign, {}},
      {kRiClear, {2}, {0, 0, 2}, {0, 0, 2}, kBenign, {}},
      {kRiRestrict, {1, 2}, {1, 1, 2}, {1, 1, 2}, kNotify, {"Erro Integridade referente exclui"}},
      {kRiCascade, {2}, {2}, {2}, kBenign, {}},
  };
  for (const RuleCase& rule : cases) {
    SCOPED_TRACE(::testing::Message() << "delete mode " << int{rule.mode});
    NewChain("delete" + std::to_string(rule.mode));
    Link(kRiNone, rule.mode);
    const auto before = Bytes();

    FetchParent(1);
    EXPECT_EQ(chain_->parent.relation.Delete(0), rule.result);
    EXPECT_EQ(Companies(chain_->parent), rule.parent);
    EXPECT_EQ(Companies(chain_->child), rule.child);
    EXPECT_EQ(Companies(chain_->grandchild), rule.grandchild);
    EXPECT_EQ(Captions(), rule.captions);
    if (rule.mode == kRiRestrict) {
      EXPECT_TRUE(Bytes() == before);
    }
    EXPECT_FALSE(runtime::TransactionRunning());
  }
}

// The grandchild cannot be read while the cascade reaches it: parent and children were already
// rewritten in the transaction, and all of it goes back.
TEST_F(RelationManagerTest, AFailedReadDeepInTheCascadeRollsEveryFileBack) {
  const auto before = Bytes();
  FetchParent(1);
  chain_->parent.relation.Save();
  chain_->parent.file.SetInteger(kCompany, 3);
  chain_->grandchild.access.refuse_reads = 1;
  EXPECT_NE(chain_->parent.relation.Update(0), kBenign);
  EXPECT_FALSE(runtime::TransactionRunning());
  EXPECT_TRUE(Bytes() == before);
  EXPECT_EQ(Companies(chain_->child), (CompanyList{1, 1, 2}));
  EXPECT_EQ(errors_.shown.size(), 1u);

  FetchParent(1);
  chain_->grandchild.access.refuse_reads = 1;
  EXPECT_NE(chain_->parent.relation.Delete(0), kBenign);
  EXPECT_TRUE(Bytes() == before);
}

TEST_F(RelationManagerTest, AFailedDeleteOffersARetryAndYesTriesAgain) {
  FetchParent(1);
  // The record goes away behind the manager's back, so the delete itself fails: error 13, then
  // the question 36; Yes tries again (and fails again), No gives up.
  runtime::RecordFile other(NumberedDeclaration());
  other.SetName(chain_->parent.path);
  ASSERT_EQ(other.Open(), 0);
  other.SetInteger(kCompany, 1);
  other.SetInteger(kNumber, 1);
  ASSERT_EQ(other.Get(kCompanyNumberKey), 0);
  ASSERT_EQ(other.Delete(), 0);
  other.Close();
  errors_.answers = {1, 2, 1, 4};  // OK to 13, Yes to 36, OK to 13, No to 36
  EXPECT_EQ(chain_->parent.relation.Delete(0), kNotify);
  const std::vector<std::string> captions = Captions();
  ASSERT_EQ(captions.size(), 4u);
  EXPECT_EQ(captions[1], "Erro ao excluir o registro");
  EXPECT_EQ(captions[3], "Erro ao excluir o registro");
  // The children of company 1 went in each attempt's transaction and came back each time.
  EXPECT_EQ(Companies(chain_->child), (CompanyList{1, 1, 2}));
  EXPECT_FALSE(runtime::TransactionRunning());
}

// Another station reads the child file in a transaction of its own, so the commit cannot write:
// the change is rolled back and reported as a cancelled transaction, not taken for saved.
TEST_F(RelationManagerTest, ACommitThatFailsIsRolledBackAndReported) {
  const auto before = Bytes();
  {
    testing_support::StationProcess reader({"readlock", chain_->child.path});
    ASSERT_EQ(reader.ReadLine(), "reading 0");
    FetchParent(1);
    EXPECT_EQ(chain_->parent.relation.Delete(0), kNotify);
    EXPECT_FALSE(runtime::TransactionRunning());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Transa\xC3\xA7\xC3\xA3o cancelada"}));
    // With the runtime's reason: the other station holds the file.
    EXPECT_NE(errors_.shown.at(0).text.find("(32)"), std::string::npos) << errors_.shown[0].text;
    reader.Finish();
  }
  EXPECT_TRUE(Bytes() == before);

  // The thread's next transaction works.
  errors_.shown.clear();
  FetchParent(1);
  EXPECT_EQ(chain_->parent.relation.Delete(0), kBenign);
  EXPECT_EQ(Companies(chain_->child), (CompanyList{2}));
  EXPECT_TRUE(errors_.shown.empty());
}

TEST_F(RelationManagerTest, RelationsNeedInitAndRulesNeedAKnownMode) {
  TestRelation uninitialised;
  uninitialised.AddRelation(&chain_->child.relation);
  uninitialised.AddRelationLink(chain_->parent.file.Field(kCompany),
                                chain_->child.file.Field(kCompany));
  EXPECT_EQ(testing::AssertionMessages(assertions_),
            (std::vector<std::string>{"Relation manager incorrectly initialized",
                                      "Relation manager incorrectly initialized"}));

  // A relation without rules takes no links.
  chain_->parent.relation.relations = [this] {
    chain_->parent.relation.AddRelation(&chain_->child.relation);
    chain_->parent.relation.AddRelationLink(chain_->parent.file.Field(kCompany),
                                            chain_->child.file.Field(kCompany));
  };
  chain_->parent.relation.DeferedRelations();
  EXPECT_EQ(testing::AssertionMessages(assertions_).size(), 3u);
  EXPECT_EQ(LocalAction(0), 0);
  EXPECT_EQ(LocalAction(4), 0);
  EXPECT_EQ(LocalAction(kRiClear) + LocalAction(kRiRestrict) + LocalAction(kRiCascade), 3);
}

}  // namespace
}  // namespace framework
