// The value fields: the two syntaxes, the texts of a byte, the chase between the two
// fields of a pair and the direction buttons, run through stand-in fields and
// buttons that behave as the main window's controls do.
#include "core/value_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "core/sign_flag.h"

namespace {

using quarnel::DecimalFieldByte;
using quarnel::DecimalText;
using quarnel::HexFieldByte;
using quarnel::HexText;
using quarnel::ParseDecimal;
using quarnel::ParseHex;

// ---------------------------------------------------------------------------
// Stand-in controls.

// How deep the change handlers of one form are nested right now, and how deep
// they went since the last user edit.
struct ChaseLog {
    int depth = 0;
    int maxDepth = 0;
    bool runaway = false;  // a chase went on far past any sane depth
    // Every setting since the last user edit, as "depth field=text", with
    // " (same)" when the field already held the text.
    std::vector<std::string> settings;
};

// A text field with exactly the change-event behaviour the chase needs: setting
// the text it holds does nothing; setting another text replaces it and runs
// the change handler at once, nested in the setting.
struct TestField {
    TestField(std::string fieldName, ChaseLog& chaseLog) : name(std::move(fieldName)), log(&chaseLog) {}
    TestField(const TestField&) = delete;
    TestField& operator=(const TestField&) = delete;

    std::string name;
    std::string text;
    std::function<void()> changeHandler;
    int rewrites = 0;  // settings that changed the text from inside a handler
    ChaseLog* log;
};

// Far beyond the three levels a chase may reach; stops a broken chase before
// it exhausts the stack.
constexpr int kRunawayDepth = 64;

std::string FieldText(const TestField& field) {
    return field.text;
}

void SetFieldText(TestField& field, std::string_view text) {
    ChaseLog& log = *field.log;
    log.settings.push_back(std::to_string(log.depth) + " " + field.name + "=" + std::string(text) +
                           (field.text == text ? " (same)" : ""));
    if (field.text == text) return;
    field.text.assign(text);
    if (log.depth > 0) ++field.rewrites;
    if (log.depth >= kRunawayDepth) {
        log.runaway = true;
        return;
    }
    ++log.depth;
    log.maxDepth = std::max(log.maxDepth, log.depth);
    if (field.changeHandler) field.changeHandler();
    --log.depth;
}

// A button whose caption can be set and read; it logs both, in order.
struct TestButton {
    std::string name;
    std::string caption;
    std::vector<std::string>* log = nullptr;
    std::function<void()> clickHandler;
};

std::string ButtonCaption(const TestButton& button) {
    if (button.log) button.log->push_back("read " + button.name);
    return button.caption;
}

void SetButtonCaption(TestButton& button, std::string_view caption) {
    if (button.log) button.log->push_back("set " + button.name + " " + std::string(caption));
    button.caption.assign(caption);
}

void Click(TestButton& button) {
    if (button.clickHandler) button.clickHandler();
}

// The main window's share of value entry: the two field pairs, the two direction
// buttons, the handlers that join them and the start of FormCreate.
struct StandInForm {
    StandInForm() {
        Edit3.changeHandler = [this] { quarnel::SyncFromDecimal(Edit3, Edit4); };
        Edit4.changeHandler = [this] { quarnel::SyncFromHex(Edit4, Edit3); };
        Edit5.changeHandler = [this] { quarnel::SyncFromDecimal(Edit5, Edit6); };
        Edit6.changeHandler = [this] { quarnel::SyncFromHex(Edit6, Edit5); };
        Button4.name = "Button4";
        Button5.name = "Button5";
        Button4.clickHandler = [this] { ToggleSign(); };
        Button5.clickHandler = [this] { ToggleSign(); };
    }
    StandInForm(const StandInForm&) = delete;
    StandInForm& operator=(const StandInForm&) = delete;

    // The no-argument operations the main window will have.
    void UpdateSignCaptions() { quarnel::UpdateSignCaptions(Button4, Button5); }
    void ToggleSign() { quarnel::ToggleSign(Button4, Button5); }

    // The start state, in FormCreate's order.
    void FormCreate() {
        UpdateSignCaptions();
        SetFieldText(Edit5, "0");
        SetFieldText(Edit3, FieldText(Edit5));
    }

    // An edit by the user that leaves `text` in `field`: a change of the text
    // raises the change event, an unchanged text raises nothing.
    void UserEdit(TestField& field, std::string_view text) {
        ASSERT_EQ(log.depth, 0);
        log.maxDepth = 0;
        log.settings.clear();
        for (TestField* each : {&Edit3, &Edit4, &Edit5, &Edit6}) each->rewrites = 0;
        SetFieldText(field, text);
    }

    ChaseLog log;
    TestField Edit3{"Edit3", log};
    TestField Edit4{"Edit4", log};
    TestField Edit5{"Edit5", log};
    TestField Edit6{"Edit6", log};
    TestButton Button4;
    TestButton Button5;
};

// One pair of a form, as the tests pick it.
struct PairRef {
    const char* name;
    TestField StandInForm::*decimal;
    TestField StandInForm::*hex;
};
constexpr PairRef kPairs[] = {
    {"value A (Edit3, Edit4)", &StandInForm::Edit3, &StandInForm::Edit4},
    {"value B (Edit5, Edit6)", &StandInForm::Edit5, &StandInForm::Edit6},
};

// Brings a pair to show `byte` the way the program would: by setting its
// decimal field, which runs the chase.
void SetPair(StandInForm& form, const PairRef& pair, std::uint8_t byte) {
    SetFieldText(form.*pair.decimal, DecimalText(byte));
    ASSERT_EQ((form.*pair.decimal).text, DecimalText(byte));
    ASSERT_EQ((form.*pair.hex).text, HexText(byte));
}

// The chase that the last user edit started ended as it must: no more
// than three handlers deep, each field rewritten at most once.
void ExpectChaseBounded(const StandInForm& form) {
    EXPECT_FALSE(form.log.runaway);
    EXPECT_EQ(form.log.depth, 0);
    EXPECT_LE(form.log.maxDepth, 3);
    EXPECT_LE(form.Edit3.rewrites, 1);
    EXPECT_LE(form.Edit4.rewrites, 1);
    EXPECT_LE(form.Edit5.rewrites, 1);
    EXPECT_LE(form.Edit6.rewrites, 1);
}

// A text for trace output, with its control and non-ASCII bytes escaped.
std::string Printable(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '"') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        }
    }
    return out + "\"";
}

// ---------------------------------------------------------------------------
// What the user sees after an edit, row by row, and the edge cases that
// matter, through the real chase.

// A text left in a decimal field and what the pair then shows.
struct DecimalRow {
    std::string_view row;       // the case, in words
    std::string left;           // the text the edit leaves in the decimal field
    std::string decimalShows;
    std::string hexShows;
};

// A text left in a hexadecimal field and what the pair then shows, in the
// table's column order: hexadecimal first.
struct HexRow {
    std::string_view row;
    std::string left;
    std::string hexShows;
    std::string decimalShows;
};

// Each row is tried in both pairs and from several earlier states of the pair
// (the first, 30, as in the worked example of the chase), so that the rewriting of
// the partner is always seen.
constexpr std::uint8_t kEarlierBytes[] = {30, 0, 255, 7};

void RunDecimalRows(const std::vector<DecimalRow>& rows) {
    for (const DecimalRow& row : rows) {
        for (const PairRef& pair : kPairs) {
            for (const std::uint8_t earlier : kEarlierBytes) {
                SCOPED_TRACE(::testing::Message() << "row \"" << row.row << "\", text "
                                                  << Printable(row.left) << ", " << pair.name
                                                  << ", pair showing " << int{earlier} << " before");
                StandInForm form;
                form.FormCreate();
                SetPair(form, pair, earlier);
                form.UserEdit(form.*pair.decimal, row.left);
                EXPECT_EQ((form.*pair.decimal).text, row.decimalShows);
                EXPECT_EQ((form.*pair.hex).text, row.hexShows);
                ExpectChaseBounded(form);
            }
        }
    }
}

void RunHexRows(const std::vector<HexRow>& rows) {
    for (const HexRow& row : rows) {
        for (const PairRef& pair : kPairs) {
            for (const std::uint8_t earlier : kEarlierBytes) {
                SCOPED_TRACE(::testing::Message() << "row \"" << row.row << "\", text "
                                                  << Printable(row.left) << ", " << pair.name
                                                  << ", pair showing " << int{earlier} << " before");
                StandInForm form;
                form.FormCreate();
                SetPair(form, pair, earlier);
                form.UserEdit(form.*pair.hex, row.left);
                EXPECT_EQ((form.*pair.hex).text, row.hexShows);
                EXPECT_EQ((form.*pair.decimal).text, row.decimalShows);
                ExpectChaseBounded(form);
            }
        }
    }
}

TEST(ValueFieldsWhatTheUserSees, DecimalFieldTable) {
    RunDecimalRows({
        {"nothing (all deleted)", "", "0", "0"},
        {"-", "-", "0", "0"},
        {"007", "007", "7", "7"},
        {"300", "300", "44", "2c"},
        {"256", "256", "0", "0"},
        {"2555", "2555", "251", "fb"},
        {"1ff", "1ff", "0", "0"},
        {"$1F, x1f or 0X1F", "$1F", "31", "1f"},
        {"$1F, x1f or 0X1F", "x1f", "31", "1f"},
        {"$1F, x1f or 0X1F", "0X1F", "31", "1f"},
        {"two spaces, then 12", "  12", "12", "c"},
        {"12, then a space", "12 ", "0", "0"},
        {"-1", "-1", "255", "ff"},
        {"2147483648", "2147483648", "0", "0"},
    });
}

TEST(ValueFieldsWhatTheUserSees, HexadecimalFieldTable) {
    RunHexRows({
        {"nothing (all deleted)", "", "0", "0"},
        {"FF", "FF", "ff", "255"},
        {"1ff", "1ff", "ff", "255"},
        {"100", "100", "0", "0"},
        {"0x1F", "0x1F", "1f", "31"},
        {"$1f, x1f or g", "$1f", "0", "0"},
        {"$1f, x1f or g", "x1f", "0", "0"},
        {"$1f, x1f or g", "g", "0", "0"},
        {"a space, then 1f; or 1fz", " 1f", "1f", "31"},
        {"a space, then 1f; or 1fz", "1fz", "1f", "31"},
        {"-1", "-1", "ff", "255"},
        {"-ff", "-ff", "1", "1"},
        {"- alone, or a space alone", "-", "0", "0"},
        {"- alone, or a space alone", " ", "0", "0"},
        {"f eighteen times", std::string(18, 'f'), "ff", "255"},
        {"f eighteen times (upper case)", std::string(18, 'F'), "ff", "255"},
    });
}

// Edge cases that the tables above do not already hold.
TEST(ValueFieldsEdgeCases, DecimalField) {
    RunDecimalRows({
        {"a tab in front of the digits makes a decimal entry 0", "\t12", "0", "0"},
        {"a tab in front of the digits makes a decimal entry 0", "\t255", "0", "0"},
        {"0x1F gives 31 in either field", "0x1F", "31", "1f"},
        {"1f in a decimal field gives 0", "1f", "0", "0"},
        {"outside the signed 32-bit range gives 0", "-2147483649", "0", "0"},
        {"outside the signed 32-bit range gives 0", "4294967295", "0", "0"},
        {"outside the signed 32-bit range gives 0", "4294967551", "0", "0"},
        {"outside the signed 32-bit range gives 0", std::string(300, '9'), "0", "0"},
        {"the range's ends are inside it", "2147483647", "255", "ff"},
        {"the range's ends are inside it", "-2147483648", "0", "0"},
        {"the range's ends are inside it", "-2147483647", "1", "1"},
        {"a zero in front of decimal digits is no prefix", "010", "10", "a"},
        {"a sign before a prefix is invalid", "-$1", "0", "0"},
        {"a sign before a prefix is invalid", "+0x1", "0", "0"},
        {"a prefix alone is invalid", "0x", "0", "0"},
        {"a prefix alone is invalid", "$", "0", "0"},
        {"the hexadecimal prefix reads 32 bits as signed", "$FFFFFFFF", "255", "ff"},
        {"the hexadecimal prefix reads 32 bits as signed", "$80000000", "0", "0"},
        {"a hexadecimal number above FFFFFFFF is invalid", "$100000000", "0", "0"},
        {"leading zeros after a prefix do not count", "x000000000000000000000000ff", "255", "ff"},
        {"spaces before a prefix are skipped", "  $2c", "44", "2c"},
        {"full-width digits are no digits", "\xef\xbc\x91\xef\xbc\x92", "0", "0"},
        {"a plus sign is read", "+12", "12", "c"},
        {"a single sign only", "--1", "0", "0"},
        {"a value stays within 0 to 255", "-256", "0", "0"},
        {"a value stays within 0 to 255", "-255", "1", "1"},
        {"a value stays within 0 to 255", "65535", "255", "ff"},
    });
}

TEST(ValueFieldsEdgeCases, HexadecimalField) {
    RunHexRows({
        {"a tab in front of the digits is skipped", "\t1f", "1f", "31"},
        {"all six blanks of %x are skipped", " \t\n\v\f\r1f", "1f", "31"},
        {"$1F gives 0 in a hexadecimal field", "$1F", "0", "0"},
        {"only blanks give 0", "  \t ", "0", "0"},
        {"only a sign gives 0", "+", "0", "0"},
        {"a sign and then a blank give 0", "- 1", "0", "0"},
        {"0x alone converts, to 0", "0x", "0", "0"},
        {"0x alone converts, to 0", "-0X", "0", "0"},
        {"reading stops at the first non-digit", "12 34", "12", "18"},
        {"reading stops at the first non-digit", "0x1fg2", "1f", "31"},
        {"the byte of the last two digits", "123456789abcdef0", "f0", "240"},
        {"the byte of the last two digits", "00000000000000000000000000000000ab", "ab", "171"},
        {"the byte of the last two digits", "abc", "bc", "188"},
        {"16 significant digits: 8000000000000000", "8000000000000000", "0", "0"},
        {"16 significant digits: F000000000000001", "F000000000000001", "1", "1"},
        {"16 significant digits, negated", "-F000000000000001", "ff", "255"},
        {"16 significant digits, negated", "-ffffffffffffffff", "1", "1"},
        {"17 significant digits stand for 255", "10000000000000000", "ff", "255"},
        {"17 significant digits stand for 255", "+10000000000000001", "ff", "255"},
        {"17 significant digits stand for 0 after a -", "-10000000000000000", "0", "0"},
        {"17 significant digits stand for 0 after a -", "-fffffffffffffffff", "0", "0"},
        {"many significant digits", std::string(5000, '7'), "ff", "255"},
        {"full-width digits are no digits", "\xef\xbc\x91\xef\xbc\x92", "0", "0"},
        {"a digit before a full-width one", "2\xef\xbc\x91", "2", "2"},
        {"-1 pasted", "-0x1", "ff", "255"},
    });
}

TEST(ValueFieldsEdgeCases, RightAfterStartAllFieldsReadZeroAndBothButtonsPlus) {
    quarnel::SignFlag = 0;
    StandInForm form;
    form.FormCreate();
    EXPECT_EQ(form.Edit3.text, "0");
    EXPECT_EQ(form.Edit4.text, "0");
    EXPECT_EQ(form.Edit5.text, "0");
    EXPECT_EQ(form.Edit6.text, "0");
    EXPECT_EQ(form.Button4.caption, "+");
    EXPECT_EQ(form.Button5.caption, "+");
    EXPECT_EQ(form.log.depth, 0);
    EXPECT_FALSE(form.log.runaway);
}

TEST(ValueFieldsEdgeCases, DeletingAnyFieldsWholeTextPutsZeroIntoItAndItsPartner) {
    for (const PairRef& pair : kPairs) {
        for (const bool hexField : {false, true}) {
            SCOPED_TRACE(::testing::Message() << pair.name << (hexField ? ", hexadecimal" : ", decimal"));
            StandInForm form;
            form.FormCreate();
            SetPair(form, pair, 0xa7);
            form.UserEdit(hexField ? form.*pair.hex : form.*pair.decimal, "");
            EXPECT_EQ((form.*pair.decimal).text, "0");
            EXPECT_EQ((form.*pair.hex).text, "0");
            ExpectChaseBounded(form);
        }
    }
}

TEST(ValueFieldsEdgeCases, AnEditOfOnePairLeavesTheOtherAsItWas) {
    StandInForm form;
    form.FormCreate();
    SetPair(form, kPairs[1], 200);
    form.UserEdit(form.Edit3, "300");
    EXPECT_EQ(form.Edit3.text, "44");
    EXPECT_EQ(form.Edit4.text, "2c");
    EXPECT_EQ(form.Edit5.text, "200");
    EXPECT_EQ(form.Edit6.text, "c8");
    EXPECT_EQ(form.Edit5.rewrites, 0);
    EXPECT_EQ(form.Edit6.rewrites, 0);
}

// The chase step by step: a pair showing 30, then 300 left in Edit3.
TEST(ValueFieldsChase, WorkedExampleGoesThreeHandlersDeepAndRewritesEachFieldOnce) {
    StandInForm form;
    form.FormCreate();
    SetPair(form, kPairs[0], 30);
    ASSERT_EQ(form.Edit4.text, "1e");
    form.UserEdit(form.Edit3, "300");
    EXPECT_EQ(form.Edit3.text, "44");
    EXPECT_EQ(form.Edit4.text, "2c");
    EXPECT_EQ(form.log.maxDepth, 3);
    EXPECT_EQ(form.Edit3.rewrites, 1);
    EXPECT_EQ(form.Edit4.rewrites, 1);
    // Each operation rewrites its own
    // field first.
    EXPECT_EQ(form.log.settings, (std::vector<std::string>{
                                     "0 Edit3=300",        // the user's edit
                                     "1 Edit3=44",         // 1. Edit3Change: b is 44
                                     "2 Edit3=44 (same)",  // 1.1 Edit3Change again
                                     "2 Edit4=2c",
                                     "3 Edit4=2c (same)",  // 1.1.1 Edit4Change
                                     "3 Edit3=44 (same)",
                                     "1 Edit4=2c (same)",  // 2. back in the outer one
                                 }));
}

// The same chase from the hexadecimal side: FF left in Edit6.
TEST(ValueFieldsChase, AnEditOfTheHexadecimalFieldRewritesItFirst) {
    StandInForm form;
    form.FormCreate();
    SetPair(form, kPairs[1], 30);
    form.UserEdit(form.Edit6, "FF");
    EXPECT_EQ(form.log.settings, (std::vector<std::string>{
                                     "0 Edit6=FF",
                                     "1 Edit6=ff",
                                     "2 Edit6=ff (same)",
                                     "2 Edit5=255",
                                     "3 Edit5=255 (same)",
                                     "3 Edit6=ff (same)",
                                     "1 Edit5=255 (same)",
                                 }));
}

// An edit that leaves the text a field already holds raises no event, and
// nothing is rewritten.
TEST(ValueFieldsChase, AnUnchangedTextStartsNoChase) {
    StandInForm form;
    form.FormCreate();
    SetPair(form, kPairs[0], 30);
    form.UserEdit(form.Edit3, "30");
    EXPECT_EQ(form.log.maxDepth, 0);
    EXPECT_EQ(form.Edit4.text, "1e");
}

// The chase ends within its bounds for every normalised text entered into
// every field, from a pair showing another byte, and leaves the pair showing
// the byte that the text stands for in the field's syntax.
TEST(ValueFieldsChase, EndsForEveryNormalisedText) {
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<std::uint8_t>(value);
        const std::string texts[] = {DecimalText(byte), HexText(byte)};
        for (const PairRef& pair : kPairs) {
            for (const std::string& text : texts) {
                for (const bool hexField : {false, true}) {
                    SCOPED_TRACE(::testing::Message() << "byte " << value << ", text " << text << ", "
                                                      << pair.name << (hexField ? ", hexadecimal" : ", decimal"));
                    StandInForm form;
                    form.FormCreate();
                    SetPair(form, pair, static_cast<std::uint8_t>(byte ^ 0x5a));
                    form.UserEdit(hexField ? form.*pair.hex : form.*pair.decimal, text);
                    const std::uint8_t expected = hexField ? HexFieldByte(text) : DecimalFieldByte(text);
                    EXPECT_EQ((form.*pair.decimal).text, DecimalText(expected));
                    EXPECT_EQ((form.*pair.hex).text, HexText(expected));
                    ExpectChaseBounded(form);
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Reference readings built on the standard library, for the random runs.

// The decimal syntax by way of std::from_chars, which checks the range.
std::optional<std::int32_t> ReferenceParseDecimal(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    std::string_view rest = text.substr(first);
    // Whether the digits, to their end, are one number within the range of
    // the value's type.
    auto whole = [](std::string_view digits, auto& value, int base) {
        if (digits.empty()) return false;
        const char* end = digits.data() + digits.size();
        const auto [ptr, ec] = std::from_chars(digits.data(), end, value, base);
        return ec == std::errc() && ptr == end;
    };
    std::string_view hexDigits;
    bool prefixed = false;
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        hexDigits = rest.substr(1);
        prefixed = true;
    } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
        hexDigits = rest.substr(2);
        prefixed = true;
    }
    if (prefixed) {
        // from_chars for an unsigned type takes no sign.
        std::uint32_t value = 0;
        if (!whole(hexDigits, value, 16)) return std::nullopt;
        return static_cast<std::int32_t>(value);
    }
    if (rest.starts_with('+')) {
        rest.remove_prefix(1);
        if (rest.empty() || rest[0] < '0' || rest[0] > '9') return std::nullopt;
    }
    std::int32_t value = 0;
    if (!whole(rest, value, 10)) return std::nullopt;
    return value;
}

// The hexadecimal syntax by way of strtoull, which reads as "%x" does and
// signals the 64-bit overflow; the overflow's result is then the field's rule.
std::optional<std::int32_t> ReferenceParseHex(std::string_view text) {
    // strtoull stops at a zero byte; so does ParseHex, which takes it for no
    // blank, no sign and no digit.
    const std::string copy(text.substr(0, text.find('\0')));
    const char* start = copy.c_str();
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(start, &end, 16);
    if (end == start) return std::nullopt;
    if (errno == ERANGE) {
        const std::size_t first = copy.find_first_not_of(" \t\n\v\f\r");
        const bool negative = first != std::string::npos && copy[first] == '-';
        return negative ? 0 : -1;  // low 32 bits of 8000000000000000 or 7FFFFFFFFFFFFFFF
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Adversarial texts: digits, hexadecimal letters, signs, prefixes, blanks,
// tabs and other white space, full-width digits and letters in UTF-8, odd
// bytes and very long digit runs, in random order.
class AdversarialTexts {
public:
    explicit AdversarialTexts(std::uint32_t seed) : random_(seed) {}

    std::string Next() {
        std::string text;
        const int pieces = Pick(0, 7);
        for (int i = 0; i < pieces; ++i) AppendPiece(text);
        return text;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void AppendRun(std::string& text, std::string_view alphabet, int length) {
        for (int i = 0; i < length; ++i) text += alphabet[Pick(0, static_cast<int>(alphabet.size()) - 1)];
    }

    void AppendPiece(std::string& text) {
        static constexpr std::string_view kDecimal = "0123456789";
        static constexpr std::string_view kHex = "0123456789abcdefABCDEF";
        static constexpr std::string_view kSingles[] = {
            "+", "-", "$", "x", "X", "0x", "0X", " ", " ", "\t", "\n", "\v", "\f", "\r",
            "g", "z", "G", "0", "1", "f", "F", "ff", "-1", "$FFFFFFFF", "2147483648",
            "\xef\xbc\x90", "\xef\xbc\x91", "\xef\xbc\x99",  // full-width 0, 1, 9
            "\xef\xbd\x86", "\xef\xbc\xb8",                  // full-width f, X
            "\xe3\x80\x80",                                  // ideographic space
            std::string_view("\0", 1), "\x80", "\xff", "\x82\x58",
        };
        switch (Pick(0, 9)) {
        case 0: AppendRun(text, kDecimal, Pick(1, 3)); break;
        case 1: AppendRun(text, kHex, Pick(1, 3)); break;
        case 2: AppendRun(text, kDecimal, Pick(8, 12)); break;   // about the 32-bit edges
        case 3: AppendRun(text, kHex, Pick(7, 9)); break;        // about FFFFFFFF
        case 4: AppendRun(text, kHex, Pick(15, 18)); break;      // about 16 significant digits
        case 5: AppendRun(text, "0", Pick(1, 40)); break;        // leading zeros
        case 6: AppendRun(text, Pick(0, 1) ? kDecimal : kHex, Pick(100, 3000)); break;  // very long
        default: text += kSingles[Pick(0, static_cast<int>(std::size(kSingles)) - 1)]; break;
        }
    }

    std::mt19937 random_;
};

// A few thousand adversarial texts typed into random fields, one edit after
// the other: every chase ends within its bounds and leaves the pair showing
// the byte that the text stands for, and both parsers agree with their
// reference readings.
TEST(ValueFieldsChase, EndsForRandomAdversarialTexts) {
    AdversarialTexts texts(20261211u);
    std::mt19937 choose(7u);
    StandInForm form;
    form.FormCreate();
    for (int i = 0; i < 4000; ++i) {
        const std::string text = texts.Next();
        const PairRef& pair = kPairs[choose() % 2];
        const bool hexField = choose() % 2 == 1;
        SCOPED_TRACE(::testing::Message() << "edit " << i << ", text " << Printable(text) << ", " << pair.name
                                          << (hexField ? ", hexadecimal" : ", decimal"));
        EXPECT_EQ(ParseDecimal(text), ReferenceParseDecimal(text));
        EXPECT_EQ(ParseHex(text), ReferenceParseHex(text));

        TestField& edited = hexField ? form.*pair.hex : form.*pair.decimal;
        const std::string before = edited.text;
        form.UserEdit(edited, text);
        // An edit that leaves the text unchanged raises nothing; the pair then
        // keeps the byte it showed, which is also that of the text.
        if (text == before) {
            EXPECT_EQ(form.log.maxDepth, 0);
        }
        const std::uint8_t expected = hexField ? HexFieldByte(text) : DecimalFieldByte(text);
        ASSERT_EQ((form.*pair.decimal).text, DecimalText(expected));
        ASSERT_EQ((form.*pair.hex).text, HexText(expected));
        ExpectChaseBounded(form);
        if (::testing::Test::HasFailure()) break;
    }
}

// The parsers alone over arbitrary bytes (a fixed-seed stand-in for a fuzz
// run): no crash, no overflow, no read past the end (the sanitizer build
// checks that), and agreement with the reference readings.
TEST(ValueFieldsParsers, AgreeWithReferenceOverRandomBytes) {
    std::mt19937 random(314159u);
    static constexpr std::string_view kInteresting = "0123456789abcdefABCDEFxX$+- \t\n\v\f\rgz";
    for (int i = 0; i < 20000; ++i) {
        const int length = std::uniform_int_distribution<int>(0, 24)(random);
        std::string text;
        for (int k = 0; k < length; ++k) {
            if (random() % 4 == 0) {
                text += static_cast<char>(random() % 256);
            } else {
                text += kInteresting[random() % kInteresting.size()];
            }
        }
        SCOPED_TRACE(Printable(text));
        // Parse through a view of a buffer that ends exactly at the text, so a
        // read past the end would leave the heap block.
        const auto buffer = std::make_unique<char[]>(text.size() + 1);
        std::copy(text.begin(), text.end(), buffer.get());
        const std::string_view view(buffer.get(), text.size());
        ASSERT_EQ(ParseDecimal(view), ReferenceParseDecimal(text));
        ASSERT_EQ(ParseHex(view), ReferenceParseHex(text));
        const auto exact = std::make_unique<char[]>(text.size());
        std::copy(text.begin(), text.end(), exact.get());
        ASSERT_EQ(ParseDecimal(std::string_view(exact.get(), text.size())), ReferenceParseDecimal(text));
        ASSERT_EQ(ParseHex(std::string_view(exact.get(), text.size())), ReferenceParseHex(text));
    }
}

// ---------------------------------------------------------------------------
// The parsers directly.

TEST(ValueFieldsParsers, ParseDecimalCases) {
    constexpr std::int32_t kMin = INT32_MIN;
    constexpr std::int32_t kMax = INT32_MAX;
    const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
        // Range edges: valid within the signed 32-bit range, never wrapping.
        {"2147483647", kMax},
        {"+2147483647", kMax},
        {"2147483648", std::nullopt},
        {"-2147483648", kMin},
        {"-2147483649", std::nullopt},
        {"4294967296", std::nullopt},
        {"4294967297", std::nullopt},
        {"99999999999999999999999999", std::nullopt},
        {"000000000000000000000000002147483647", kMax},
        {"-000000000000000000000000002147483648", kMin},
        {"000000000000000000000000002147483648", std::nullopt},
        // The hexadecimal prefixes: up to FFFFFFFF, 32 bits read as signed.
        {"$FFFFFFFF", -1},
        {"$ffffffff", -1},
        {"$100000000", std::nullopt},
        {"$80000000", kMin},
        {"$7FFFFFFF", kMax},
        {"$00000000000000000000FFFFFFFF", -1},
        {"0x000000000000000000000000000100000000", std::nullopt},
        {"0xFFFFFFFF", -1},
        {"0X7fffffff", kMax},
        {"x1f", 31},
        {"X1F", 31},
        {"$1F", 31},
        {"0X1F", 31},
        {"0x1f", 31},
        {"  $1F", 31},
        {"0x", std::nullopt},
        {"0X", std::nullopt},
        {"$", std::nullopt},
        {"x", std::nullopt},
        {"X", std::nullopt},
        {"-$1", std::nullopt},
        {"+$1", std::nullopt},
        {"-0x1", std::nullopt},
        {"+x1", std::nullopt},
        {"$-1", std::nullopt},
        {"$+1", std::nullopt},
        {"0x-1", std::nullopt},
        {"$ 1", std::nullopt},
        {"$1 ", std::nullopt},
        {"$1g", std::nullopt},
        {"0x0x1", std::nullopt},
        {"00x1", std::nullopt},
        // Decimal numbers.
        {"0", 0},
        {"-0", 0},
        {"+0", 0},
        {"007", 7},
        {"010", 10},
        {"-1", -1},
        {"+12", 12},
        {"  12", 12},
        {"     -12", -12},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"--1", std::nullopt},
        {"+-1", std::nullopt},
        {"-+1", std::nullopt},
        {"- 1", std::nullopt},
        {"12 ", std::nullopt},
        {"1 2", std::nullopt},
        {"\t12", std::nullopt},
        {" \t12", std::nullopt},
        {"\n12", std::nullopt},
        {"12\n", std::nullopt},
        {"1ff", std::nullopt},
        {"1f", std::nullopt},
        {"ff", std::nullopt},
        {"1e3", std::nullopt},
        {"1.0", std::nullopt},
        {"\xef\xbc\x91\xef\xbc\x92", std::nullopt},  // full-width 12
        {"1\xef\xbc\x92", std::nullopt},
        {std::string("12\0", 3), std::nullopt},
        {std::string("\0" "12", 3), std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(Printable(text));
        EXPECT_EQ(ParseDecimal(text), expected);
        EXPECT_EQ(ReferenceParseDecimal(text), expected);
    }
}

TEST(ValueFieldsParsers, ParseHexCases) {
    constexpr std::int32_t kMin = INT32_MIN;
    constexpr std::int32_t kMax = INT32_MAX;
    const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
        // Nothing converted.
        {"", std::nullopt},
        {" ", std::nullopt},
        {" \t\n\v\f\r", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"  -", std::nullopt},
        {"- 1", std::nullopt},
        {"+-1", std::nullopt},
        {"g", std::nullopt},
        {"x1f", std::nullopt},
        {"X1f", std::nullopt},
        {"$1f", std::nullopt},
        {"\xef\xbc\x91", std::nullopt},
        {std::string("\0" "1", 2), std::nullopt},
        // The prefix: its "0" is a digit read.
        {"0x", 0},
        {"0X", 0},
        {"-0x", 0},
        {"+0x", 0},
        {"  0x", 0},
        {"0xg", 0},
        {"0x 1", 0},
        {"0x0x1", 0},
        {"00x1", 0},
        {"0x1f", 31},
        {"0X1F", 31},
        {"-0x1", -1},
        // Blanks, signs, stopping.
        {" \t\n\v\f\r1f", 31},
        {"1fz", 31},
        {"12 34", 0x12},
        {"1f\xef\xbc\x91", 31},
        {std::string("1f\0" "2", 4), 31},
        {"-1", -1},
        {"-ff", -255},
        {"+ff", 255},
        {"FF", 255},
        // 32-bit results: the low 32 bits.
        {"7fffffff", kMax},
        {"80000000", kMin},
        {"ffffffff", -1},
        {"100000000", 0},
        {"1000000ff", 255},
        {"-80000000", kMin},
        {"-7fffffff", -kMax},
        // Up to 16 significant digits always fit.
        {"ffffffffffffffff", -1},
        {"-ffffffffffffffff", 1},
        {"8000000000000000", 0},
        {"F000000000000001", 1},
        {"123456789abcdef0", static_cast<std::int32_t>(0x9abcdef0u)},
        {"-123456789abcdef0", 0x65432110},
        {"0000000000000000000000000000ffffffffffffffff", -1},
        {"-0000000000000000000000000000ffffffffffffffff", 1},
        {"0x000000000000000000123456789abcdef0", static_cast<std::int32_t>(0x9abcdef0u)},
        // A 17th significant digit: 7FFFFFFFFFFFFFFF, or 8000000000000000
        // after a "-" with the sign not applied.
        {"10000000000000000", -1},
        {"+10000000000000000", -1},
        {"-10000000000000000", 0},
        {"123456789abcdef01", -1},
        {"-123456789abcdef01", 0},
        {"fffffffffffffffff", -1},
        {"-fffffffffffffffff", 0},
        {"0x10000000000000000", -1},
        {"-0x10000000000000000", 0},
        {"000010000000000000000", -1},
        {"10000000000000000zzz", -1},
        {std::string(18, 'f'), -1},
        {std::string(100000, '1'), -1},
        {"-" + std::string(100000, '1'), 0},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(Printable(text.substr(0, 60)));
        EXPECT_EQ(ParseHex(text), expected);
        EXPECT_EQ(ReferenceParseHex(text), expected);
    }
}

TEST(ValueFieldsParsers, VeryLongDecimalTextsAreInvalidWithoutOverflow) {
    EXPECT_EQ(ParseDecimal(std::string(100000, '9')), std::nullopt);
    EXPECT_EQ(ParseDecimal("-" + std::string(100000, '9')), std::nullopt);
    EXPECT_EQ(ParseDecimal("$" + std::string(100000, 'F')), std::nullopt);
    EXPECT_EQ(ParseDecimal(std::string(100000, '0') + "255"), 255);
    EXPECT_EQ(ParseDecimal("x" + std::string(100000, '0') + "FF"), 255);
    EXPECT_EQ(ParseDecimal(std::string(100000, ' ') + "1"), 1);
    EXPECT_EQ(ParseDecimal(std::string(100000, ' ')), std::nullopt);
}

// ---------------------------------------------------------------------------
// The texts of a byte.

TEST(ValueFieldsTexts, TextsAreThoseOfPercentUAndPercentX) {
    EXPECT_EQ(DecimalText(10), "10");
    EXPECT_EQ(HexText(10), "a");
    EXPECT_EQ(DecimalText(44), "44");
    EXPECT_EQ(HexText(44), "2c");
    EXPECT_EQ(DecimalText(255), "255");
    EXPECT_EQ(HexText(255), "ff");
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(HexText(0), "0");
    for (unsigned value = 0; value < 256; ++value) {
        char decimal[8];
        char hex[8];
        std::snprintf(decimal, sizeof decimal, "%u", value);
        std::snprintf(hex, sizeof hex, "%x", value);
        EXPECT_EQ(DecimalText(static_cast<std::uint8_t>(value)), decimal);
        EXPECT_EQ(HexText(static_cast<std::uint8_t>(value)), hex);
    }
}

TEST(ValueFieldsTexts, RoundTripForEveryByte) {
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<std::uint8_t>(value);
        SCOPED_TRACE(value);
        EXPECT_EQ(ParseDecimal(DecimalText(byte)), value);
        EXPECT_EQ(ParseHex(HexText(byte)), value);
        EXPECT_EQ(DecimalFieldByte(DecimalText(byte)), byte);
        EXPECT_EQ(HexFieldByte(HexText(byte)), byte);
    }
}

TEST(ValueFieldsTexts, NormalisationKeepsTheLowEightBits) {
    EXPECT_EQ(quarnel::LowByte(-1), 255);
    EXPECT_EQ(quarnel::LowByte(300), 44);
    EXPECT_EQ(quarnel::LowByte(256), 0);
    EXPECT_EQ(quarnel::LowByte(INT32_MIN), 0);
    EXPECT_EQ(quarnel::LowByte(INT32_MAX), 255);
    EXPECT_EQ(quarnel::LowByte(-255), 1);
    EXPECT_EQ(DecimalFieldByte("not a number"), 0);
    EXPECT_EQ(DecimalFieldByte(""), 0);
    EXPECT_EQ(HexFieldByte(""), 0);
    EXPECT_EQ(HexFieldByte("g"), 0);
    EXPECT_EQ(HexFieldByte("-ff"), 1);
}

// ---------------------------------------------------------------------------
// The direction buttons.

class ValueFieldsSign : public ::testing::Test {
protected:
    void SetUp() override { quarnel::SignFlag = 0; }
    void TearDown() override { quarnel::SignFlag = 0; }
};

TEST_F(ValueFieldsSign, CaptionsTableHoldsPlusAtZeroAndMinusAtOne) {
    EXPECT_STREQ(quarnel::kSignCaptions[0], "+");
    EXPECT_STREQ(quarnel::kSignCaptions[1], "-");
    EXPECT_EQ(sizeof quarnel::kSignCaptions, 4u);
}

TEST_F(ValueFieldsSign, CaptionsFollowSignFlag) {
    StandInForm form;
    form.UpdateSignCaptions();
    EXPECT_EQ(form.Button4.caption, "+");
    EXPECT_EQ(form.Button5.caption, "+");
    quarnel::SignFlag = 1;
    form.UpdateSignCaptions();
    EXPECT_EQ(form.Button4.caption, "-");
    EXPECT_EQ(form.Button5.caption, "-");
    quarnel::SignFlag = 0;
    form.UpdateSignCaptions();
    EXPECT_EQ(form.Button4.caption, "+");
    EXPECT_EQ(form.Button5.caption, "+");
}

// Button5 is set from the table, then read back, and Button4 gets what was
// read.
TEST_F(ValueFieldsSign, UpdateSetsButton5ThenCopiesItsCaptionToButton4) {
    StandInForm form;
    std::vector<std::string> log;
    form.Button4.log = &log;
    form.Button5.log = &log;
    quarnel::SignFlag = 1;
    form.UpdateSignCaptions();
    EXPECT_EQ(log, (std::vector<std::string>{"set Button5 -", "read Button5", "set Button4 -"}));
}

TEST_F(ValueFieldsSign, AClickOnEitherButtonTogglesBothAndASecondRestores) {
    for (const bool clickButton4 : {true, false}) {
        SCOPED_TRACE(clickButton4 ? "Button4" : "Button5");
        quarnel::SignFlag = 0;
        StandInForm form;
        form.FormCreate();
        TestButton& button = clickButton4 ? form.Button4 : form.Button5;
        ASSERT_EQ(form.Button4.caption, "+");
        ASSERT_EQ(form.Button5.caption, "+");

        Click(button);
        EXPECT_EQ(quarnel::SignFlag, 1);
        EXPECT_EQ(form.Button4.caption, "-");
        EXPECT_EQ(form.Button5.caption, "-");

        Click(button);
        EXPECT_EQ(quarnel::SignFlag, 0);
        EXPECT_EQ(form.Button4.caption, "+");
        EXPECT_EQ(form.Button5.caption, "+");
    }
}

TEST_F(ValueFieldsSign, ClicksOnTheTwoButtonsAlternate) {
    StandInForm form;
    form.FormCreate();
    Click(form.Button4);
    Click(form.Button5);
    EXPECT_EQ(quarnel::SignFlag, 0);
    EXPECT_EQ(form.Button4.caption, "+");
    EXPECT_EQ(form.Button5.caption, "+");
    Click(form.Button5);
    EXPECT_EQ(quarnel::SignFlag, 1);
    EXPECT_EQ(form.Button4.caption, "-");
    EXPECT_EQ(form.Button5.caption, "-");
}

// Any value other than 0 counts as "not 0": the toggle goes to 0, and the
// captions never index past the table.
TEST_F(ValueFieldsSign, AFlagOutsideZeroAndOneTogglesToZero) {
    StandInForm form;
    quarnel::SignFlag = 7;
    form.UpdateSignCaptions();
    EXPECT_EQ(form.Button5.caption, "-");
    form.ToggleSign();
    EXPECT_EQ(quarnel::SignFlag, 0);
    EXPECT_EQ(form.Button4.caption, "+");
}

TEST_F(ValueFieldsSign, FieldEditsLeaveTheSignAlone) {
    StandInForm form;
    form.FormCreate();
    Click(form.Button4);
    form.UserEdit(form.Edit3, "5");
    form.UserEdit(form.Edit6, "");
    EXPECT_EQ(quarnel::SignFlag, 1);
    EXPECT_EQ(form.Button4.caption, "-");
}

}  // namespace
