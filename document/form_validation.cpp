#include "document/form_validation.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>

#include "document/framework_texts.h"

namespace tolvex {

void ShowValidationMessage(QWidget* field, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(texts::kApplicationTitle), text, QMessageBox::Ok,
                  field ? field->window() : nullptr);
  box.exec();
  if (!field) return;
  field->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
}

std::optional<long> ParseInteger(const QString& text) {
  static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
  if (!pattern.match(text).hasMatch()) return std::nullopt;
  bool ok = false;
  const long value = text.trimmed().toLong(&ok);
  if (!ok) return std::nullopt;
  return value;
}

std::optional<double> ParseNumber(const QString& text) {
  static const QRegularExpression pattern(
      QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
  if (!pattern.match(text).hasMatch()) return std::nullopt;
  bool ok = false;
  const QString number = text.trimmed();
  const double value = number.toDouble(&ok);
  if (!ok) return std::nullopt;
  // A zero must be written with the digit 0 first: ".0" or "-0" is not taken for a number.
  if (value == 0 && !number.startsWith(QLatin1Char('0'))) return std::nullopt;
  return value;
}

QString FormatBound(double value) { return QString::number(value, 'g', 15); }

std::optional<long> ReadIntegerField(QLineEdit* field, long min, long max) {
  const std::optional<long> value = ParseInteger(field->text());
  if (!value) {
    ShowValidationMessage(field, QString::fromLatin1(texts::kEnterInteger));
    return std::nullopt;
  }
  if (*value < min || *value > max) {
    ShowValidationMessage(field, QString::fromLatin1(texts::kEnterIntegerBetween).arg(min).arg(max));
    return std::nullopt;
  }
  return value;
}

std::optional<double> ReadNumberField(QLineEdit* field, double min, double max) {
  const std::optional<double> value = ParseNumber(field->text());
  if (!value) {
    ShowValidationMessage(field, QString::fromLatin1(texts::kEnterNumber));
    return std::nullopt;
  }
  if (*value < min || *value > max) {
    ShowValidationMessage(field,
                          QString::fromLatin1(texts::kEnterNumberBetween).arg(FormatBound(min), FormatBound(max)));
    return std::nullopt;
  }
  return value;
}

std::optional<QString> ReadTextField(QLineEdit* field, int maxLength) {
  if (field->text().size() > maxLength) {
    ShowValidationMessage(field, QString::fromLatin1(texts::kEnterNoMoreThan).arg(maxLength));
    return std::nullopt;
  }
  return field->text();
}

}  // namespace tolvex
