// Lets the core's value-field operations (SyncFromDecimal, SyncFromHex,
// UpdateSignCaptions, ToggleSign) work on the main window's own controls.
// They reach a control only through these functions, found by argument-
// dependent lookup, so they live in the global namespace beside Qt's classes.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <string>
#include <string_view>

// A field's text as UTF-8 bytes; the syntaxes read only ASCII, so any other
// character simply fails to be a digit, a sign or a blank.
inline std::string FieldText(const QLineEdit& field)
{
    return field.text().toStdString();
}

// QLineEdit::setText does nothing for an equal text and emits textChanged at
// once, nested in the call, for any other: what the fields' chase relies on.
inline void SetFieldText(QLineEdit& field, std::string_view text)
{
    field.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

inline std::string ButtonCaption(const QPushButton& button)
{
    return button.text().toStdString();
}

inline void SetButtonCaption(QPushButton& button, std::string_view caption)
{
    button.setText(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}
