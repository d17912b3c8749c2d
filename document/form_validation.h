// The framework's checks of form fields: read a field as an integer, a number or a text of limited
// length; a field that fails shows the standard message (caption "tolvex3.01", exclamation icon),
// gets the keyboard focus, and gives nothing, so its value is never written anywhere.
#pragma once

#include <optional>

#include <QString>

class QLineEdit;
class QWidget;

namespace tolvex {

// The message box of a failed check, owned by the field's window; then the field gets the focus
// with its text selected.
void ShowValidationMessage(QWidget* field, const QString& text);

// An integer field: leading and trailing blanks allowed, an optional sign, decimal digits.
std::optional<long> ReadIntegerField(QLineEdit* field, long min, long max);
// A number field: a decimal number, optionally with a fraction and an exponent; a value of zero
// must begin with the digit 0.
std::optional<double> ReadNumberField(QLineEdit* field, double min, double max);
// A text field of at most maxLength characters.
std::optional<QString> ReadTextField(QLineEdit* field, int maxLength);

// The same checks without a field or a message, for callers that only need the value.
std::optional<long> ParseInteger(const QString& text);
std::optional<double> ParseNumber(const QString& text);

// A bound as the messages print it: the shortest form ("1", "3.55").
QString FormatBound(double value);

}  // namespace tolvex
