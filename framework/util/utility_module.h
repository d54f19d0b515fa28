// The module name that the utility classes (INI manager, constant-block walker, field pairs) give
// their internal consistency reports.
#pragma once

#include <string_view>

namespace framework {

inline constexpr std::string_view kUtilityModule = "utility";

}  // namespace framework
