// The process's fuzzy matcher (`FuzzyMatcher`): its word weights, options and set-up. The program
// uses only its construction, Init, SetOption and Kill; matching itself is not part of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

// Set up once at program start on the main thread and then only read, so it carries no lock.
// The fields keep the names and order of the matcher's state; only set-up touches them.
class FuzzyClass {
 public:
  static constexpr int kMaxWords = 10;

  // Fills BaseValue with the weights of 1- to 10-word queries.
  FuzzyClass();
  // An object that goes while it is the current one stops being current.
  ~FuzzyClass();
  FuzzyClass(const FuzzyClass&) = delete;
  FuzzyClass& operator=(const FuzzyClass&) = delete;

  // Clears NoCase and WordOnly and makes this object the process's current fuzzy matcher.
  void Init();
  // Option 1: NoCase = (value != 0), clearing Query when that changes the flag. Option 2:
  // WordOnly likewise, keeping Query. Other options are ignored.
  void SetOption(uint16_t option, int32_t value);
  // Nothing to release.
  void Kill() {}

  // BaseValue[n - 1][k - 1]: the weight, in percent, of word k of an n-word query; the cells
  // after word n are 0 and each row sums to 100.
  uint8_t BaseValue[kMaxWords][kMaxWords] = {};
  std::string_view Doc;  // the document text last matched; not owned
  uint8_t NoCase = 0;    // case-insensitive matching
  std::string Query;     // the prepared query; Query to WordCnt hold it and the match results
  uint16_t QWordPos[kMaxWords] = {};
  int32_t Res = 0;
  int32_t ResultIndex = 0;
  int32_t Ret = 0;
  int32_t ReturnIndex = 0;
  uint8_t ReturnIndexDone = 0;
  uint16_t WordCnt = 0;
  uint8_t WordOnly = 0;  // whole words only
  std::vector<std::string> Words;
};

// The process's current fuzzy matcher: the object that last ran Init and still exists, or null.
FuzzyClass* CurrentFuzzyMatcher();

}  // namespace framework
