// The fuzzy matcher's set-up: its weight table, options and the process's current matcher.
#include "framework/util/fuzzy_class.h"

#include <gtest/gtest.h>

#include <memory>

namespace framework {
namespace {

TEST(FuzzyClassTest, EveryRowOfWeightsSumsToAHundredAndEndsWithZeros) {
  FuzzyClass fuzzy;
  for (int words = 1; words <= FuzzyClass::kMaxWords; ++words) {
    int sum = 0;
    for (int column = 0; column < FuzzyClass::kMaxWords; ++column) {
      const int weight = fuzzy.BaseValue[words - 1][column];
      if (column < words) {
        EXPECT_GT(weight, 0) << words << " words, column " << column + 1;
      } else {
        EXPECT_EQ(weight, 0) << words << " words, column " << column + 1;
      }
      sum += weight;
    }
    EXPECT_EQ(sum, 100) << words << " words";
  }
  EXPECT_EQ(fuzzy.BaseValue[0][0], 100);
  EXPECT_EQ(fuzzy.BaseValue[1][1], 35);
  EXPECT_EQ(fuzzy.BaseValue[4][4], 6);
  EXPECT_EQ(fuzzy.BaseValue[7][5], 10);
  EXPECT_EQ(fuzzy.BaseValue[8][8], 3);
  EXPECT_EQ(fuzzy.BaseValue[9][9], 1);
}

TEST(FuzzyClassTest, CaseOptionClearsTheQueryOnlyWhenItChanges) {
  FuzzyClass fuzzy;
  fuzzy.Init();
  fuzzy.SetOption(1, 7);
  EXPECT_EQ(fuzzy.NoCase, 1);
  fuzzy.Query = "folha";
  fuzzy.SetOption(1, 1);
  EXPECT_EQ(fuzzy.Query, "folha");
  fuzzy.SetOption(1, 0);
  EXPECT_EQ(fuzzy.NoCase, 0);
  EXPECT_EQ(fuzzy.Query, "");
}

TEST(FuzzyClassTest, WordOptionKeepsTheQueryAndOtherOptionsChangeNothing) {
  FuzzyClass fuzzy;
  fuzzy.Init();
  fuzzy.Query = "folha";
  fuzzy.SetOption(2, -3);
  EXPECT_EQ(fuzzy.WordOnly, 1);
  fuzzy.SetOption(3, 1);
  fuzzy.SetOption(0, 1);
  EXPECT_EQ(fuzzy.NoCase, 0);
  EXPECT_EQ(fuzzy.WordOnly, 1);
  EXPECT_EQ(fuzzy.Query, "folha");
  fuzzy.Init();  // start-up state again
  EXPECT_EQ(fuzzy.WordOnly, 0);
}

TEST(FuzzyClassTest, InitMakesTheObjectCurrentUntilItGoes) {
  auto first = std::make_unique<FuzzyClass>();
  FuzzyClass second;
  first->Init();
  EXPECT_EQ(CurrentFuzzyMatcher(), first.get());
  second.Init();
  EXPECT_EQ(CurrentFuzzyMatcher(), &second);
  first.reset();  // not current: changes nothing
  EXPECT_EQ(CurrentFuzzyMatcher(), &second);
  second.Kill();
  EXPECT_EQ(CurrentFuzzyMatcher(), &second);
}

TEST(FuzzyClassTest, DestroyingTheCurrentMatcherLeavesNoneCurrent) {
  {
    FuzzyClass fuzzy;
    fuzzy.Init();
  }
  EXPECT_EQ(CurrentFuzzyMatcher(), nullptr);
}

}  // namespace
}  // namespace framework
