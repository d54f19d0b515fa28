#include "framework/util/fuzzy_class.h"

#include <atomic>

namespace framework {
namespace {

// Row n holds the weights of the words of an n-word query, most weight on the first word.
constexpr uint8_t kWeights[FuzzyClass::kMaxWords][FuzzyClass::kMaxWords] = {
    {100},
    {65, 35},
    {50, 30, 20},
    {40, 30, 20, 10},
    {34, 27, 20, 13, 6},
    {29, 24, 19, 14, 9, 5},
    {25, 21, 17, 14, 11, 8, 4},
    {20, 18, 15, 14, 11, 10, 7, 5},
    {20, 17, 15, 13, 11, 9, 7, 5, 3},
    {19, 17, 15, 13, 11, 9, 7, 5, 3, 1},
};

// Process-wide, so atomic: Init on one thread may be read by another.
std::atomic<FuzzyClass*> current{nullptr};

uint8_t Flag(int32_t value) { return value != 0 ? 1 : 0; }

}  // namespace

FuzzyClass::FuzzyClass() {
  for (int row = 0; row < kMaxWords; ++row) {
    for (int column = 0; column < kMaxWords; ++column) {
      BaseValue[row][column] = kWeights[row][column];
    }
  }
}

FuzzyClass::~FuzzyClass() {
  // A current pointer left to a destroyed object would dangle.
  FuzzyClass* self = this;
  current.compare_exchange_strong(self, nullptr);
}

void FuzzyClass::Init() {
  NoCase = 0;
  WordOnly = 0;
  current.store(this);
}

void FuzzyClass::SetOption(uint16_t option, int32_t value) {
  switch (option) {
    case 1:
      // A prepared query depends on the case rule, so it goes when the rule changes.
      if (NoCase != Flag(value)) {
        NoCase = Flag(value);
        Query.clear();
      }
      return;
    case 2:
      WordOnly = Flag(value);
      return;
    default:
      return;
  }
}

FuzzyClass* CurrentFuzzyMatcher() { return current.load(); }

}  // namespace framework
