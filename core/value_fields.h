// The byte value fields and the change direction: the decimal and
// the hexadecimal syntax, the texts of a byte, the keeping-in-step of a field
// pair and the direction buttons' captions. Nothing of Qt: the operations over
// fields and buttons are templates that reach their controls only through the
// customisation functions described below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/sign_flag.h"

namespace quarnel {

// ---------------------------------------------------------------------------
// The two syntaxes. Both take the text as bytes (the windows pass the UTF-8 of
// a field's text); a byte outside ASCII is never a digit, a sign or a blank.
// Neither reads outside the view, and no input can overflow them.

// The decimal syntax: after any leading spaces (byte 32 only; a tab is no
// blank here), to the very end of the text, either an optional "+" or "-"
// and one or more decimal digits, or one of the prefixes "$", "x", "X", "0x",
// "0X" (with no sign before it) and one or more hexadecimal digits in either
// case. A decimal number is valid from -2147483648 to 2147483647 and never
// wraps; a hexadecimal number is valid up to FFFFFFFF, with any number of
// leading zeros, and its 32 bits are read as a signed integer ($FFFFFFFF is
// -1). Returns the value, or an empty optional for an invalid text (which
// every caller takes as 0).
std::optional<std::int32_t> ParseDecimal(std::string_view text);

// The hexadecimal syntax, that of formatted input's "%x": leading white space
// (space, tab, line feed, vertical tab, form feed, carriage return) is
// skipped, an optional "+" or "-" is read, then an optional "0x"/"0X" (whose
// "0" counts as a digit, so "0x" alone converts to 0), then hexadecimal
// digits as long as they come; whatever follows is ignored. The digits are
// accumulated as an unsigned 64-bit number, negated in two's complement after
// a "-"; a 17th significant digit stops the reading with the result
// 7FFFFFFFFFFFFFFF, or 8000000000000000 after a "-" (the sign then not
// applied). Returns the low 32 bits of the result as a signed integer, or an
// empty optional when no digit was converted (which every caller takes as 0).
std::optional<std::int32_t> ParseHex(std::string_view text);

// ---------------------------------------------------------------------------
// Bytes and their texts.

// The low 8 bits of a value in its 32-bit two's complement form: -1 gives
// 255, 300 gives 44, 256 gives 0.
std::uint8_t LowByte(std::int32_t value);

// The byte that a decimal field's text stands for: the low 8 bits of its
// ParseDecimal value, 0 for an invalid text.
std::uint8_t DecimalFieldByte(std::string_view text);

// The byte that a hexadecimal field's text stands for: the low 8 bits of its
// ParseHex value, 0 for an empty text or one that converts nothing.
std::uint8_t HexFieldByte(std::string_view text);

// The decimal text of a byte, as "%u" writes it: "0" to "255".
std::string DecimalText(std::uint8_t byte);

// The hexadecimal text of a byte, as "%x" writes it, lower case, no prefix,
// no leading zeros: "0" to "ff".
std::string HexText(std::uint8_t byte);

// ---------------------------------------------------------------------------
// Keeping a field pair in step.
//
// A field type F is usable with SyncFromDecimal and SyncFromHex when these two
// functions can be called on it unqualified, found by argument-dependent
// lookup (declare them in F's own namespace; for QLineEdit, which lives in
// the global namespace, in the global namespace):
//
//   std::string FieldText(const F& field);
//       The field's whole text as bytes (for QLineEdit: text().toUtf8()).
//   void SetFieldText(F& field, std::string_view text);
//       Sets the field's text, and must behave as QLineEdit::setText does:
//       - a text equal to the one the field holds changes nothing and raises
//         no change event;
//       - any other text replaces it and raises the field's change event at
//         once, so that the field's change handler (which calls SyncFromDecimal
//         or SyncFromHex for its pair) runs nested inside this call, whether
//         or not the field is on screen.
//       For QLineEdit: setText(QString::fromUtf8(text)), with the change
//       handler bound to textChanged (not textEdited, which setText does not
//       emit), so that the user's edits and the program's settings alike run
//       it.
//
// Both halves of that rule are needed: a field that raised its change event
// also for an unchanged text would make the chase between the two fields of a
// pair endless. With them, every chase ends at most three handlers deep, with
// each field of the pair rewritten at most once, because each operation
// rewrites its own field first and a normalised text reads back as the same
// byte in both syntaxes.

// Normalises the decimal field of a pair and rewrites its hexadecimal
// partner: the byte b of the decimal field's text (0 if invalid) is written
// back as its decimal text into the decimal field, then as its hexadecimal
// text into the hexadecimal field.
template <typename DecimalField, typename HexField>
void SyncFromDecimal(DecimalField& decimalField, HexField& hexField) {
    const std::uint8_t byte = DecimalFieldByte(FieldText(std::as_const(decimalField)));
    SetFieldText(decimalField, std::string_view(DecimalText(byte)));
    SetFieldText(hexField, std::string_view(HexText(byte)));
}

// Normalises the hexadecimal field of a pair and rewrites its decimal
// partner: the byte b of the hexadecimal field's text (0 if it converts
// nothing) is written back as its hexadecimal text into the hexadecimal
// field, then as its decimal text into the decimal field.
template <typename HexField, typename DecimalField>
void SyncFromHex(HexField& hexField, DecimalField& decimalField) {
    const std::uint8_t byte = HexFieldByte(FieldText(std::as_const(hexField)));
    SetFieldText(hexField, std::string_view(HexText(byte)));
    SetFieldText(decimalField, std::string_view(DecimalText(byte)));
}

// ---------------------------------------------------------------------------
// The change direction's buttons.

// The sign captions, indexed by SignFlag: "+" (increase) at 0, "-"
// (decrease) at 1; each a one-character zero-terminated text.
inline constexpr char kSignCaptions[2][2] = {"+", "-"};

// A button type B is usable with UpdateSignCaptions and ToggleSign when these
// two functions can be called on it unqualified, found by argument-dependent
// lookup (for QPushButton/QToolButton: in the global namespace):
//
//   std::string ButtonCaption(const B& button);        // the caption's bytes
//   void SetButtonCaption(B& button, std::string_view caption);
//
// The main window wraps both operations as functions without arguments that
// reach Button4 (left of Edit3) and Button5 (left of Edit4) through Form1.

// Sets Button5's caption to the sign caption of SignFlag, then reads Button5's
// caption back and gives Button4 the same. SignFlag is always 0 or 1; any
// other value is read as 1 rather than indexing past the table.
template <typename Button4, typename Button5>
void UpdateSignCaptions(Button4& button4, Button5& button5) {
    SetButtonCaption(button5, std::string_view(kSignCaptions[SignFlag == 0 ? 0 : 1]));
    const std::string caption = ButtonCaption(std::as_const(button5));
    SetButtonCaption(button4, std::string_view(caption));
}

// Flips SignFlag (to 1 if it is 0, to 0 otherwise) and updates both captions.
template <typename Button4, typename Button5>
void ToggleSign(Button4& button4, Button5& button5) {
    SignFlag = SignFlag == 0 ? 1 : 0;
    UpdateSignCaptions(button4, button5);
}

}  // namespace quarnel
