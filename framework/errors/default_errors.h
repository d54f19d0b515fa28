// The default error block: the 53 Portuguese messages every error manager starts with.
#pragma once

#include <cstddef>
#include <string_view>

namespace framework {

// The packed form of a list of error entries, as ErrorClass::AddErrors reads it: a little-endian
// 16-bit count, then per entry a little-endian 16-bit identifier, the severity byte, the title's
// length byte and bytes, the message's length byte and bytes. Texts are Windows-1252.
inline constexpr size_t kDefaultErrorsSize = 4411;

// The default block; static, so error tables may refer to its texts for the life of the process.
std::string_view DefaultErrors();

}  // namespace framework
