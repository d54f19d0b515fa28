// Token replacement in message texts, the step under the error manager's substitution.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace framework {

// Replaces every occurrence of `find` in `target` by `with`, comparing with the Windows-1252 case
// map (a token matches in any letter case). The search resumes after each inserted text, so a
// replacement that contains its own token still ends. The result is cut to `capacity` bytes.
// Nothing changes when `find` is empty or equals `with` ignoring case.
void Replace(std::string_view find, std::string_view with, std::string* target, size_t capacity);

// Whether `text` contains `find`, ignoring letter case.
bool ContainsNoCase(std::string_view text, std::string_view find);

}  // namespace framework
