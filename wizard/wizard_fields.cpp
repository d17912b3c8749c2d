#include "wizard/wizard_fields.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
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

void AddTabbedLabel(QGridLayout* grid, const char* text, int row, int column, int lastSpan) {
  const QStringList pieces = QString::fromLatin1(text).split(QLatin1Char('\t'));
  for (qsizetype i = 0; i < pieces.size(); ++i) {
    if (pieces[i].isEmpty()) continue;
    const bool last = i + 1 == pieces.size();
    grid->addWidget(new QLabel(pieces[i], grid->parentWidget()), row, column + static_cast<int>(i), 1, last ? lastSpan : 1);
  }
}

QFrame* MakeRule(QWidget* parent) {
  auto* rule = new QFrame(parent);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

namespace {

// Draws a list line with its tabs at stops every eight characters. The item views' own stops lie
// every 80 pixels, which a column can end a fraction of a pixel short of: "1024 x 1024" then runs
// into "100Hz". In a fixed-pitch font the padded columns never end on a stop.
class TabColumnDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* view = item.widget;
    const QStyle* style = view ? view->style() : QApplication::style();
    QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    textRect.adjust(margin, 0, -margin, 0);
    const QString text = item.text;
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);  // background, selection, focus

    QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
    layout.setWrapMode(QTextOption::NoWrap);
    layout.setTabStopDistance(kTabColumns * QFontMetricsF(item.font).horizontalAdvance(QLatin1Char('0')));
    const QPalette::ColorGroup group = item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(group, item.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                   : QPalette::Text));
    painter->drawText(QRectF(textRect), text, layout);
    painter->restore();
  }

 private:
  static constexpr int kTabColumns = 8;
};

}  // namespace

void UseFixedPitchColumns(QAbstractItemView* list) {
  list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list->setItemDelegate(new TabColumnDelegate(list));
}

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
