// The office run in this process on two threads and on one: the same results, each thread on its
// own dictionary and files, and a damaged company's messages kept with that company while the
// others go on.

#include "defis/office_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "runtime/window/halt.h"
#include "tests/testing.h"
#include "tools/sample.h"

namespace defis {
namespace {

std::string Describe(const CompanyResult& company) {
  std::string text = std::to_string(company.code) + " " +
                     std::to_string(static_cast<int>(company.status)) + "\n" + company.summary;
  for (const std::string& error : company.errors) text += "error: " + error + "\n";
  for (const Warning& warning : company.warnings) {
    text += "warning " + std::to_string(warning.partner) + ": " + warning.text + "\n";
  }
  return text;
}

TEST(OfficeRunTest, TwoThreadsGiveWhatOneGivesAndAFailureStaysWithItsCompany) {
  testing_support::ScratchDir dir;
  tools::SampleOptions sample;
  sample.folder = (dir.path() / "db").string();
  sample.companies = 5;
  sample.employees = 20;
  sample.year = 2014;
  tools::SampleSummary written;
  ASSERT_OK(tools::WriteSample(sample, &written));
  std::filesystem::remove(dir.path() / "db/00000002/Funciona.Tps");
  std::ofstream(dir.path() / "db/00000004/Funciona.Tps", std::ios::binary) << "damaged";
  runtime::HaltRecorder halts;

  RunOptions options;
  options.year = 2014;
  options.database = sample.folder;
  options.codes = {5, 1, 2, 3, 4, 9};
  std::vector<std::pair<size_t, size_t>> progress;
  std::mutex progress_lock;
  options.progress = [&](size_t done, size_t total) {
    std::lock_guard<std::mutex> lock(progress_lock);
    progress.emplace_back(done, total);
  };
  std::vector<CompanyResult> two;
  options.jobs = 2;
  ASSERT_OK(RunOffice(options, &two));
  EXPECT_EQ(progress.size(), 5u) << "the code not in the file is not computed";
  EXPECT_EQ(progress.back(), std::make_pair(size_t{5}, size_t{5}));
  std::vector<CompanyResult> one;
  options.jobs = 1;
  ASSERT_OK(RunOffice(options, &one));

  ASSERT_EQ(two.size(), 6u);
  for (size_t i = 0; i < two.size(); ++i) EXPECT_EQ(Describe(two[i]), Describe(one[i]));
  EXPECT_EQ(two[0].code, 1);
  EXPECT_EQ(two[0].status, CompanyStatus::Computed);
  EXPECT_EQ(two[0].summary.rfind("DASN_F|", 0), 0u);
  EXPECT_EQ(two[1].status, CompanyStatus::FilesMissing);
  EXPECT_EQ(two[3].status, CompanyStatus::Failed);
  ASSERT_EQ(two[3].errors.size(), 1u);
  EXPECT_EQ(two[3].errors[0].rfind("Erro de Acesso de arquivo: Arquivo ", 0), 0u)
      << two[3].errors[0];
  EXPECT_EQ(two[4].status, CompanyStatus::Computed) << "the run goes on after a failure";
  EXPECT_EQ(two[5].code, 9);
  EXPECT_EQ(two[5].status, CompanyStatus::Failed);
  EXPECT_TRUE(halts.entries().empty()) << "a fatal file error ends no process";
}

}  // namespace
}  // namespace defis
