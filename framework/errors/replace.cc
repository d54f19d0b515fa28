#include "framework/errors/replace.h"

#include "runtime/values/text.h"

namespace framework {
namespace {

// The position of the first occurrence of `upper_find` (upper case) in `target` at or after
// `from`, or npos.
size_t FindNoCase(std::string_view target, std::string_view upper_find, size_t from) {
  if (upper_find.empty() || upper_find.size() > target.size()) return std::string_view::npos;
  for (size_t at = from; at + upper_find.size() <= target.size(); ++at) {
    size_t k = 0;
    while (k < upper_find.size() && runtime::UpperCp1252(target[at + k]) == upper_find[k]) ++k;
    if (k == upper_find.size()) return at;
  }
  return std::string_view::npos;
}

}  // namespace

void Replace(std::string_view find, std::string_view with, std::string* target, size_t capacity) {
  const std::string upper_find = runtime::UpperCp1252(find);
  if (upper_find.empty() || upper_find == runtime::UpperCp1252(with)) return;
  if (target->size() > capacity) target->resize(capacity);
  size_t from = 0;
  while (from < target->size()) {
    const size_t at = FindNoCase(*target, upper_find, from);
    if (at == std::string::npos) return;
    target->replace(at, upper_find.size(), with);
    if (target->size() > capacity) target->resize(capacity);
    from = at + with.size();
  }
}

bool ContainsNoCase(std::string_view text, std::string_view find) {
  return FindNoCase(text, runtime::UpperCp1252(find), 0) != std::string_view::npos;
}

}  // namespace framework
