// Small pieces the wizard's forms share: edit-box behaviours, the number format of decimal
// fields, and the message box of a refused entry.
#pragma once

#include <QString>
#include <QValidator>

class QAbstractItemView;
class QBoxLayout;
class QFrame;
class QGridLayout;
class QPushButton;
class QLineEdit;
class QWidget;

namespace tolvex {

// Turns every typed letter into upper case as it is typed.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

// A line edit with an object name; `digitsOnly` refuses everything but the digits 0-9.
QLineEdit* MakeEdit(QWidget* parent, const char* objectName, bool digitsOnly = false);
QLineEdit* MakeUpperCaseEdit(QWidget* parent, const char* objectName);

// Gives a field the width of `characters` digits, so that a short number does not sit in a box as
// wide as the form and the fields of one column line up.
void FitToCharacters(QLineEdit* edit, int characters);
// The Remove, Add and Replace buttons of a list editor, in a row at the end of `layout`, disabled
// until the list's rules enable them; their object names are `namePrefix` + "Remove" etc.
struct ListButtons {
  QPushButton* remove;
  QPushButton* add;
  QPushButton* replace;
};
ListButtons AddListButtons(QWidget* owner, QBoxLayout* layout, const QString& namePrefix);

// A label whose text separates columns with tabs, one grid cell per column from (row, column) on;
// the last piece spans `lastSpan` columns. (A label shows a tab as a stop at a fixed distance,
// which a word can end just short of, and then runs into the next.)
void AddTabbedLabel(QGridLayout* grid, const char* text, int row, int column, int lastSpan = 1);

// The sunken horizontal line under an editor's heading.
QFrame* MakeRule(QWidget* parent);
// A list whose lines pad their numbers with blanks and separate their columns with tabs: a
// fixed-pitch font, and tab stops every eight characters of it.
void UseFixedPitchColumns(QAbstractItemView* list);

// A decimal value as the forms show it: up to six significant digits, no trailing zeros.
QString FormatDecimal(double value);

// The refused-entry message: OK button, exclamation icon, the application title as caption.
void ShowEntryWarning(QWidget* parent, const QString& text);

// Puts `text` into the field, keeping the caret where it was relative to the end of the text.
void PutText(QLineEdit* field, const QString& text);

}  // namespace tolvex
