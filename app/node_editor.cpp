#include "app/node_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

#include "app/data_block_editors.h"
#include "app/node_editor_texts.h"
#include "app/structure_pane.h"
#include "document/form_validation.h"
#include "document/framework_texts.h"
#include "report/decoded_tree.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }
QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Fields the edit bookkeeping keeps right by itself: typing into them would be undone at once
// or would break the block's layout.
bool KeptByProgram(std::string_view key) {
  for (std::string_view kept : {"checksum", "section_checksum", "extension_count", "dtd_offset", "section_bytes"}) {
    if (key == kept) return true;
  }
  return false;
}

bool Editable(const DecodedField& field) {
  if (!field.code || KeptByProgram(field.key)) return false;
  switch (field.value.kind) {
    case FieldValue::Kind::kFlag: return field.code->Width() == 1;
    case FieldValue::Kind::kInteger:
    case FieldValue::Kind::kReal:
    case FieldValue::Kind::kEnum: return true;
    default: return false;
  }
}

// The values a number field's bits hold: from `add` in steps of `scale`.
struct NumberRule {
  double min;
  double max;
  double step;
  bool integer;
};

NumberRule RuleOf(const DecodedField& field) {
  const BitCode& code = *field.code;
  const double last = code.Value(static_cast<uint32_t>(std::ldexp(1.0, code.Width()) - 1));
  const bool integer = field.value.kind == FieldValue::Kind::kInteger && code.scale == std::floor(code.scale) &&
                       code.add == std::floor(code.add);
  return {std::min(code.add, last), std::max(code.add, last), std::fabs(code.scale), integer};
}

// The value to store for `text`, as SetField reads it, or the message that refuses it.
std::optional<QString> CheckNumber(const DecodedField& field, const QString& text, QString& message) {
  const NumberRule rule = RuleOf(field);
  const QString min = FormatBound(rule.min);
  const QString max = FormatBound(rule.max);
  const QString step = FormatBound(rule.step);
  if (rule.integer) {
    const std::optional<long> value = ParseInteger(text);
    const bool stepped = rule.step != 1;
    const QString range = stepped ? Text(texts::kEnterIntegerInSteps).arg(min, max, step)
                                  : Text(texts::kEnterIntegerBetween).arg(min, max);
    if (!value) {
      message = Text(texts::kEnterInteger);
      return std::nullopt;
    }
    const bool inSteps = std::fmod(static_cast<double>(*value) - rule.min, rule.step) == 0;
    if (*value < rule.min || *value > rule.max || !inSteps) {
      message = range;
      return std::nullopt;
    }
    return QString::number(*value);
  }
  const std::optional<double> value = ParseNumber(text);
  if (!value) {
    message = Text(texts::kEnterNumber);
    return std::nullopt;
  }
  if (*value < rule.min || *value > rule.max) {
    message = rule.step == 1 ? Text(texts::kEnterNumberBetween).arg(min, max)
                             : Text(texts::kEnterNumberInSteps).arg(min, max, step);
    return std::nullopt;
  }
  // A real is stored as its nearest step.
  const BitCode& code = *field.code;
  const double stored = code.Value(static_cast<uint32_t>(std::lround((*value - code.add) / code.scale)));
  return QString::number(stored, 'g', 17);
}

bool IsUndoKey(const QKeyEvent& key) {
  const QKeyCombination combination = key.keyCombination();
  return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
         combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
         combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

}  // namespace

CNodeEditor::CNodeEditor(CStructurePane& pane, EdidEditTarget target, QWidget* parent)
    : QWidget(parent),
      pane_(pane),
      target_(std::move(target)),
      scroll_(new QScrollArea(this)),
      message_(new QLabel(this)) {
  setObjectName(QStringLiteral("nodeEditor"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  layout->addWidget(scroll_, 1);
  message_->setObjectName(QStringLiteral("nodeEditorMessage"));
  message_->setWordWrap(true);
  message_->setStyleSheet(QStringLiteral("color: #c00000"));
  message_->hide();
  layout->addWidget(message_);

  connect(&pane_, &CStructurePane::decoded, this, &CNodeEditor::Follow);
  connect(pane_.Tree(), &QTreeWidget::currentItemChanged, this, [this] {
    if (!pane_.IsRebuilding()) ShowCurrent();
  });
  ShowCurrent();
}

const DecodedTree& CNodeEditor::Tree() const { return pane_.Structure(); }

void CNodeEditor::ShowMessage(const QString& text) {
  message_->setText(text);
  message_->setVisible(!text.isEmpty());
}

const CNodeEditor::Row* CNodeEditor::RowOf(const QWidget* widget) const {
  for (const Row& row : rows_) {
    if (row.widget == widget) return &row;
  }
  return nullptr;
}

QWidget* CNodeEditor::FieldWidget(const std::string& path) const {
  for (const Row& row : rows_) {
    if (row.path == path) return row.widget;
  }
  return nullptr;
}

void CNodeEditor::Follow(bool sameShape) {
  if (!sameShape) stale_ = true;
  ShowCurrent();
}

void CNodeEditor::ShowCurrent() {
  const int node = pane_.CurrentNode();
  const std::vector<DecodedNode>& nodes = Tree().Nodes();
  int item = node;
  if (item >= 0 && nodes[static_cast<size_t>(item)].IsField()) item = nodes[static_cast<size_t>(item)].parent;
  const std::string path = item >= 0 ? nodes[static_cast<size_t>(item)].path : std::string();
  const bool rebuilt = stale_ || path != itemPath_ || !form_;
  if (rebuilt) {
    Build(item);
  } else {
    Refresh();
  }
  // The field chosen in the tree stands out in its item's form.
  QWidget* chosen = node >= 0 && node != item ? FieldWidget(nodes[static_cast<size_t>(node)].path) : nullptr;
  for (const Row& row : rows_) {
    if (auto* label = qobject_cast<QLabel*>(fields_ ? fields_->labelForField(row.widget) : nullptr)) {
      if (label->font().bold() == (row.widget == chosen)) continue;
      QFont font = label->font();
      font.setBold(row.widget == chosen);
      label->setFont(font);
    }
  }
  // Scrolled to once when chosen, not at every keystroke elsewhere in the form.
  const std::string chosenPath = chosen ? nodes[static_cast<size_t>(node)].path : std::string();
  if (chosen && (rebuilt || chosenPath != chosenPath_)) scroll_->ensureWidgetVisible(chosen);
  chosenPath_ = chosenPath;
}

void CNodeEditor::Build(int item) {
  // The widget being typed into may be the one asking for this: the old form goes when it is done.
  std::string focused;
  int cursor = -1;
  for (const Row& row : rows_) {
    if (!row.widget->hasFocus()) continue;
    focused = row.path;
    if (auto* edit = qobject_cast<QLineEdit*>(row.widget)) cursor = edit->cursorPosition();
  }
  if (form_) {
    // Its fields must not report leaving the focus as they go.
    for (const Row& row : rows_) row.widget->blockSignals(true);
    scroll_->takeWidget();
    form_->hide();
    form_->deleteLater();
  }
  rows_.clear();
  special_ = nullptr;
  stale_ = false;
  item_ = item;
  itemPath_.clear();

  form_ = new QWidget;
  form_->setObjectName(QStringLiteral("nodeEditorForm"));
  formLayout_ = new QVBoxLayout(form_);
  fields_ = nullptr;
  heading_ = new QLabel(form_);
  heading_->setWordWrap(true);
  formLayout_->addWidget(heading_);
  if (item < 0) {
    heading_->setText(Text(texts::kNodeEditorNothing));
  } else {
    const DecodedNode& node = Tree().Nodes()[static_cast<size_t>(item)];
    itemPath_ = node.path;
    heading_->setText(Text(texts::kNodeEditorHeading).arg(Text(node.label).toHtmlEscaped()));
    special_ = MakeDataBlockEditor(*this, Tree(), item, form_);
    if (special_) formLayout_->addWidget(special_);
    fields_ = new QFormLayout;
    fields_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    formLayout_->addLayout(fields_);
    const std::vector<DecodedNode>& nodes = Tree().Nodes();
    for (size_t i = static_cast<size_t>(item) + 1; i < nodes.size() && nodes[i].depth > node.depth; ++i) {
      if (nodes[i].parent == item && nodes[i].IsField() && nodes[i].field->role != FieldRole::kIdentity) {
        AddFieldRow(static_cast<int>(i));
        fields_->addRow(Text(nodes[i].label), rows_.back().widget);
      }
    }
  }
  formLayout_->addStretch(1);
  scroll_->setWidget(form_);
  Refresh();

  if (QWidget* widget = focused.empty() ? nullptr : FieldWidget(focused)) {
    refocusing_ = true;
    widget->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && cursor >= 0) edit->setCursorPosition(cursor);
    refocusing_ = false;
  }
}

void CNodeEditor::AddFieldRow(int node) {
  const DecodedNode& decoded = Tree().Nodes()[static_cast<size_t>(node)];
  const DecodedField& field = *decoded.field;
  const QString name = QString::fromStdString(decoded.path);
  rows_.push_back({node, decoded.path, nullptr});
  const size_t index = rows_.size() - 1;  // the row's widget is set below
  if (!Editable(field)) {
    auto* value = new QLabel(form_);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rows_[index].widget = value;
  } else if (field.value.kind == FieldValue::Kind::kFlag) {
    auto* box = new QCheckBox(form_);
    connect(box, &QCheckBox::clicked, this, [this, box](bool on) {
      if (const Row* row = RowOf(box)) ApplyField(*row, QString::fromLatin1(on ? "yes" : "no"), {});
    });
    rows_[index].widget = box;
  } else if (field.value.kind == FieldValue::Kind::kEnum) {
    auto* list = new QComboBox(form_);
    for (size_t i = 0; i < field.code->names.size(); ++i) {
      list->addItem(Text(field.code->names[i].text), static_cast<int>(i));
    }
    connect(list, &QComboBox::activated, this, [this, list](int choice) {
      if (const Row* row = RowOf(list)) ApplyField(*row, QString::number(list->itemData(choice).toInt()), {});
    });
    rows_[index].widget = list;
  } else {
    auto* edit = new QLineEdit(form_);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, edit] {
      if (const Row* row = RowOf(edit)) OnNumberEdited(*row, false);
    });
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
      if (const Row* row = RowOf(edit)) OnNumberEdited(*row, true);
    });
    rows_[index].widget = edit;
  }
  rows_[index].widget->setObjectName(name);
  rows_[index].widget->setToolTip(name);
}

void CNodeEditor::Refresh() {
  const std::vector<DecodedNode>& nodes = Tree().Nodes();
  if (item_ >= 0 && static_cast<size_t>(item_) < nodes.size()) {
    const QString label = Text(nodes[static_cast<size_t>(item_)].label);
    heading_->setText(Text(texts::kNodeEditorHeading).arg(label.toHtmlEscaped()));
  }
  for (const Row& row : rows_) {
    if (row.widget == editing_) continue;
    const DecodedField& field = *nodes[static_cast<size_t>(row.node)].field;
    const QString value = Text(nodes[static_cast<size_t>(row.node)].value);
    if (auto* box = qobject_cast<QCheckBox*>(row.widget)) {
      box->setChecked(field.value.number != 0);
    } else if (auto* list = qobject_cast<QComboBox*>(row.widget)) {
      // A stored code the table has no name for stays choosable as it reads.
      const int raw = static_cast<int>(field.value.number);
      int at = list->findData(raw);
      if (at < 0) {
        list->addItem(value, raw);
        at = list->count() - 1;
      }
      list->setCurrentIndex(at);
    } else if (auto* edit = qobject_cast<QLineEdit*>(row.widget)) {
      if (edit->text() != value) edit->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(row.widget)) {
      const bool kept = field.code && KeptByProgram(field.key);
      label->setText(kept ? value + QLatin1String("  (") + Text(texts::kNodeEditorKept) + QLatin1Char(')') : value);
    }
  }
  if (special_ && item_ >= 0) special_->Refresh(Tree(), item_);
}

void CNodeEditor::OnNumberEdited(const Row& row, bool finished) {
  auto* edit = static_cast<QLineEdit*>(row.widget);
  const DecodedField& field = *Tree().Nodes()[static_cast<size_t>(row.node)].field;
  QString message;
  const std::optional<QString> value = CheckNumber(field, edit->text(), message);
  if (!value) {
    ShowMessage(Text(field.label) + QLatin1String(": ") + message);
    // Left with a value it cannot take, the field shows again what the EDID holds.
    if (finished) edit->setText(Text(Tree().Nodes()[static_cast<size_t>(row.node)].value));
    return;
  }
  if (finished) {
    ++entry_;  // the next keystroke here starts a step of its own
    edit->setText(Text(Tree().Nodes()[static_cast<size_t>(row.node)].value));
    return;
  }
  const std::string path = row.path;
  ApplyField(row, *value, QString::fromStdString(path) + QLatin1Char('#') + QString::number(entry_));
}

void CNodeEditor::ApplyField(const Row& row, const QString& value, const QString& mergeKey) {
  const std::string path = row.path;
  const std::string text = value.toStdString();
  const DecodedField& field = *Tree().Nodes()[static_cast<size_t>(row.node)].field;
  Apply(Text(texts::kSetFieldStep).arg(Text(field.key)),
        [path, text](EdidData& edid) { return SetField(edid, path, text); }, row.widget, mergeKey);
}

EditResult CNodeEditor::Apply(const QString& name, const std::function<EditResult(EdidData&)>& edit, QWidget* source,
                              const QString& mergeKey) {
  editing_ = source;
  const EditResult result = target_.apply(name, edit, mergeKey);
  editing_ = nullptr;
  ShowMessage(result.Ok() ? QString() : QString::fromStdString(result.error));
  // A refused choice shows again what the EDID holds.
  if (!result.Ok()) Refresh();
  return result;
}

bool CNodeEditor::eventFilter(QObject* watched, QEvent* event) {
  // Ctrl+Z in a field steps through the EDID's history, as everywhere in the panel; the
  // field's own undo of its text would only undo half of what the keystrokes did.
  if (event->type() == QEvent::ShortcutOverride && IsUndoKey(*static_cast<QKeyEvent*>(event))) {
    event->ignore();
    return true;
  }
  if (event->type() == QEvent::FocusIn && !refocusing_) ++entry_;
  return QWidget::eventFilter(watched, event);
}

}  // namespace tolvex
