// libFuzzer target for the value parsers and the chase of a field pair.
//
// Not part of the default build (it needs clang and libclang-rt-14-dev). Run
// by hand from the repository root, for example:
//
//   clang++-14 -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
//     -fno-sanitize-recover=all -I. tests/fuzz/value_fields_fuzz.cpp \
//     core/value_fields.cpp core/sign_flag.cpp -o /tmp/value_fields_fuzz
//   /tmp/value_fields_fuzz -max_total_time=60 -max_len=4096
//
// The sanitizers catch any overflow or read past the input; the checks below
// abort on any broken property.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/value_fields.h"

namespace {

// A field with a text field's change-event behaviour, and a pair of them joined
// as Edit3 and Edit4 are.
struct FuzzField {
    std::string text;
    void (*handler)(FuzzField&) = nullptr;
    int rewrites = 0;
};

int depth = 0;
int maxDepth = 0;
FuzzField decimalField;
FuzzField hexField;

std::string FieldText(const FuzzField& field) {
    return field.text;
}

void SetFieldText(FuzzField& field, std::string_view text) {
    if (field.text == text) return;
    field.text.assign(text);
    if (depth > 0) ++field.rewrites;
    if (depth > 8) std::abort();  // the chase does not end
    ++depth;
    if (depth > maxDepth) maxDepth = depth;
    field.handler(field);
    --depth;
}

void DecimalChange(FuzzField&) {
    quarnel::SyncFromDecimal(decimalField, hexField);
}

void HexChange(FuzzField&) {
    quarnel::SyncFromHex(hexField, decimalField);
}

void Check(bool holds) {
    if (!holds) std::abort();
}

// One user edit leaving `text` in `field`; the pair must end in step, showing
// the byte that the text stands for, within the chase's bounds.
void Edit(FuzzField& field, std::string_view text, bool hex) {
    decimalField.rewrites = 0;
    hexField.rewrites = 0;
    maxDepth = 0;
    SetFieldText(field, text);
    const std::uint8_t byte = hex ? quarnel::HexFieldByte(text) : quarnel::DecimalFieldByte(text);
    Check(decimalField.text == quarnel::DecimalText(byte));
    Check(hexField.text == quarnel::HexText(byte));
    Check(maxDepth <= 3 && decimalField.rewrites <= 1 && hexField.rewrites <= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The parsers alone: each result must read back through the texts of its
    // byte.
    const std::uint8_t decimalByte = quarnel::LowByte(quarnel::ParseDecimal(text).value_or(0));
    const std::uint8_t hexByte = quarnel::LowByte(quarnel::ParseHex(text).value_or(0));
    Check(quarnel::ParseDecimal(quarnel::DecimalText(decimalByte)) == decimalByte);
    Check(quarnel::ParseHex(quarnel::HexText(hexByte)) == hexByte);

    // The chase, from a pair showing 30, once from each field.
    decimalField.handler = DecimalChange;
    hexField.handler = HexChange;
    decimalField.text = "30";
    hexField.text = "1e";
    if (text != decimalField.text) Edit(decimalField, text, false);
    decimalField.text = "30";
    hexField.text = "1e";
    if (text != hexField.text) Edit(hexField, text, true);
    return 0;
}
