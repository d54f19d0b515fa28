// Interned strings: one shared copy of each distinct text for the process, so that error entries,
// history rows and procedure-name rows carry a small handle instead of their own copy.
#pragma once

#include <string>
#include <string_view>

namespace framework {

// A handle to an interned text. Copyable and trivially destructible; the text lives until the
// process ends. Interning is safe from several threads at once.
class InternedString {
 public:
  InternedString() = default;
  // The handle of `text`; the empty text is the default handle.
  static InternedString Of(std::string_view text);

  std::string_view text() const { return text_ != nullptr ? std::string_view(*text_) : ""; }
  bool empty() const { return text_ == nullptr; }

  friend bool operator==(InternedString a, InternedString b) { return a.text_ == b.text_; }

 private:
  explicit InternedString(const std::string* text) : text_(text) {}
  const std::string* text_ = nullptr;
};

}  // namespace framework
