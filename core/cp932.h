// Conversions between CP932 (Windows Shift_JIS), the encoding of every report
// line and message, and UTF-8, the encoding of Linux paths and terminals.
#pragma once

#include <string>
#include <string_view>

namespace quarnel {

// Converts UTF-8 to CP932; a character CP932 lacks, or a byte that is no
// UTF-8, becomes "?".
[[nodiscard]] std::string Utf8ToCp932(std::string_view utf8);
// Converts CP932 to UTF-8; a byte sequence that is no CP932 becomes "?".
[[nodiscard]] std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace quarnel
