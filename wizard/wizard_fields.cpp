#include "wizard/wizard_fields.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "document/framework_texts.h"
#include "wizard/std_timing_text.h"

namespace tolvex {

QValidator::State UpperCaseValidator::validate(QString& input, int& /*position*/) const {
  input = input.toUpper();
  return Acceptable;
}

QLineEdit* MakeEdit(QWidget* parent, const char* objectName, bool digitsOnly) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(objectName));
  if (digitsOnly) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  }
  return edit;
}

QLineEdit* MakeUpperCaseEdit(QWidget* parent, const char* objectName) {
  QLineEdit* edit = MakeEdit(parent, objectName);
  edit->setValidator(new UpperCaseValidator(edit));
  return edit;
}

void FitToCharacters(QLineEdit* edit, int characters) {
  // The frame and the text margins of the box come on top of the digits.
  constexpr int kBoxPadding = 14;
  const QFontMetrics metrics(edit->font());
  edit->setFixedWidth(metrics.horizontalAdvance(QString(characters, QLatin1Char('0'))) + kBoxPadding);
}

ListButtons AddListButtons(QWidget* owner, QBoxLayout* layout, const QString& namePrefix) {
  auto* row = new QHBoxLayout;
  const auto make = [&](const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(text), owner);
    button->setObjectName(namePrefix + QLatin1String(name));
    button->setAutoDefault(false);
    button->setEnabled(false);
    row->addWidget(button);
    return button;
  };
  ListButtons buttons{};
  buttons.remove = make(texts::kRemove, "Remove");
  buttons.add = make(texts::kAdd, "Add");
  buttons.replace = make(texts::kReplace, "Replace");
  row->addStretch(1);
  layout->addLayout(row);
  return buttons;
}

QFrame* MakeRule(QWidget* parent) {
  auto* rule = new QFrame(parent);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

void UseFixedPitch(QWidget* list) { list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); }

QString FormatDecimal(double value) { return QString::number(value, 'g', 6); }

void ShowEntryWarning(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(texts::kApplicationTitle), text, QMessageBox::Ok,
                  parent ? parent->window() : nullptr);
  box.exec();
}

void PutText(QLineEdit* field, const QString& text) {
  const int fromEnd = static_cast<int>(field->text().size()) - field->cursorPosition();
  field->setText(text);
  field->setCursorPosition(std::clamp(static_cast<int>(text.size()) - fromEnd, 0, static_cast<int>(text.size())));
}

}  // namespace tolvex
