#include "framework/errors/interned_string.h"

#include <mutex>
#include <unordered_set>

namespace framework {
namespace {

// The nodes of an unordered_set never move, so handles stay valid while texts are added.
struct InternTable {
  std::mutex mutex;
  std::unordered_set<std::string> texts;
};

InternTable& Table() {
  static InternTable table;
  return table;
}

}  // namespace

InternedString InternedString::Of(std::string_view text) {
  if (text.empty()) return InternedString();
  InternTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  return InternedString(&*table.texts.emplace(text).first);
}

}  // namespace framework
