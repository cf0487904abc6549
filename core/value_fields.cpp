// The decimal and hexadecimal syntaxes and the texts of a byte.
#include "core/value_fields.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarnel {
namespace {

// The value of a decimal digit byte, or -1. Bytes outside ASCII (the pieces
// of a full-width digit in UTF-8, for instance) are no digits.
int DecimalDigit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// The value of a hexadecimal digit byte in either case, or -1.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The white space that "%x" skips, as the C locale's isspace has it.
bool IsFormattedInputSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One or more decimal digits to the end of the text, negated after a "-";
// invalid outside -2147483648 to 2147483647.
std::optional<std::int32_t> ParseDecimalDigits(std::string_view digits, bool negative) {
    if (digits.empty()) return std::nullopt;
    // The largest magnitude the range allows: 2147483648 after a "-".
    const std::uint64_t limit = negative ? std::uint64_t{2147483648u} : std::uint64_t{2147483647u};
    std::uint64_t magnitude = 0;
    for (const char c : digits) {
        const int digit = DecimalDigit(c);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(digit);
        // Checked at every digit, so the magnitude never exceeds 10 * limit + 9.
        if (magnitude > limit) return std::nullopt;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    return static_cast<std::int32_t>(bits);
}

// One or more hexadecimal digits to the end of the text; invalid above
// FFFFFFFF, with its 32 bits read as a signed integer.
std::optional<std::int32_t> ParsePrefixedHexDigits(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        // Checked at every digit, so the value never exceeds 16 * FFFFFFFF + 15.
        if (value > std::uint64_t{0xFFFFFFFFu}) return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    const std::string_view rest = text.substr(at);
    if (rest.empty()) return std::nullopt;

    // A hexadecimal prefix. "0" followed by a decimal digit is no prefix (010
    // is ten), nor is "0" alone.
    if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X') {
        return ParsePrefixedHexDigits(rest.substr(1));
    }
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        return ParsePrefixedHexDigits(rest.substr(2));
    }

    // A decimal number with an optional sign.
    if (rest[0] == '+' || rest[0] == '-') {
        return ParseDecimalDigits(rest.substr(1), rest[0] == '-');
    }
    return ParseDecimalDigits(rest, false);
}

std::optional<std::int32_t> ParseHex(std::string_view text) {
    std::size_t at = 0;
    const std::size_t size = text.size();
    while (at < size && IsFormattedInputSpace(text[at])) ++at;

    bool negative = false;
    if (at < size && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }

    bool converted = false;
    if (at + 1 < size && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        converted = true;  // the prefix's "0" is a digit read
        at += 2;
    }

    // A value above this one cannot take another digit without passing
    // FFFFFFFFFFFFFFFF: that is a 17th significant digit.
    constexpr std::uint64_t kLastRoom = 0x0FFFFFFFFFFFFFFFu;
    std::uint64_t value = 0;
    bool overflowed = false;
    for (; at < size; ++at) {
        const int digit = HexDigit(text[at]);
        if (digit < 0) break;
        converted = true;
        if (value > kLastRoom) {
            overflowed = true;
            break;
        }
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    if (!converted) return std::nullopt;

    std::uint64_t result = 0;
    if (overflowed) {
        result = negative ? std::uint64_t{0x8000000000000000u} : std::uint64_t{0x7FFFFFFFFFFFFFFFu};
    } else {
        result = negative ? 0 - value : value;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
}

std::uint8_t LowByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

std::uint8_t DecimalFieldByte(std::string_view text) {
    return LowByte(ParseDecimal(text).value_or(0));
}

std::uint8_t HexFieldByte(std::string_view text) {
    if (text.empty()) return 0;
    return LowByte(ParseHex(text).value_or(0));
}

std::string DecimalText(std::uint8_t byte) {
    return std::to_string(static_cast<unsigned>(byte));
}

std::string HexText(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    if (byte >= 16) text += kDigits[byte >> 4];
    text += kDigits[byte & 0xFu];
    return text;
}

}  // namespace quarnel
