#include "app/task_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <set>
#include <tuple>

#include "app/task_texts.h"
#include "document/form_validation.h"
#include "model/decoded_edid.h"
#include "model/field_paths.h"
#include "model/task_edits.h"
#include "model/vic_table.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }
QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The form's own bounds are only what a number of the kind can be; the edit refuses, with its
// reason, what the EDID cannot hold.
constexpr long kMaxHz = 1000;
constexpr long kMaxMhz = 10000;
constexpr long kMaxPixels = 65535;
constexpr double kMaxLuminance = 100000;
constexpr int kDialogCharacters = 56;
constexpr int kFrlRates[] = {0, 9, 18, 24, 32, 40, 48};

std::function<bool(QLineEdit*)> IntegerCheck(long min, long max) {
  return [min, max](QLineEdit* field) { return ReadIntegerField(field, min, max).has_value(); };
}
std::function<bool(QLineEdit*)> NumberCheck(double min, double max, bool mayBeEmpty) {
  return [=](QLineEdit* field) {
    if (mayBeEmpty && field->text().trimmed().isEmpty()) return true;
    return ReadNumberField(field, min, max).has_value();
  };
}

// A number field that may be left empty: nothing, or its value (its check has passed).
std::optional<double> OptionalNumber(QLineEdit* field) {
  if (field->text().trimmed().isEmpty()) return std::nullopt;
  return ParseNumber(field->text());
}

// The VIC list's columns: number, "1920x1080p", "60.00 Hz", "16:9".
void AddVicRow(QTreeWidget& list, int vic) {
  auto* row = new QTreeWidgetItem(&list);
  row->setText(0, QString::number(vic));
  row->setData(0, Qt::UserRole, vic);
  if (const VideoTiming* timing = FindVic(vic)) {
    row->setText(1, Text(texts::kResolution)
                        .arg(timing->hActive)
                        .arg(timing->vActive)
                        .arg(QLatin1Char(timing->interlaced ? 'i' : 'p')));
    row->setText(2, Text(texts::kRate).arg(timing->RefreshHz(), 0, 'f', 2));
    row->setText(3, Text(texts::kAspect).arg(timing->aspectH).arg(timing->aspectV));
  }
}

QTreeWidget* AddVicList(CTaskDialog& dialog) {
  QTreeWidget* list = dialog.AddList({Text(texts::kVicColumn), Text(texts::kResolutionColumn), Text(texts::kRateColumn),
                                      Text(texts::kAspectColumn)},
                                     "vicList");
  list->setMinimumHeight(260);
  return list;
}

// The VIC the list's current row stands for; nothing (and the message) when none is chosen.
std::optional<int> ChosenVic(QTreeWidget* list) {
  if (!list->currentItem()) {
    ShowValidationMessage(list, Text(texts::kChooseVic));
    return std::nullopt;
  }
  return list->currentItem()->data(0, Qt::UserRole).toInt();
}

// Every VIC the EDID lists: in Video Data Blocks and the YCbCr 4:2:0 Video Data Block.
std::set<int> HeldVics(const EdidData& edid) {
  std::set<int> vics;
  for (const DecodedBlock& block : DecodeEdid(edid).blocks) {
    const CtaBlock* cta = block.As<CtaBlock>();
    if (!cta) continue;
    for (const ShortVideo& svd : cta->Svds()) vics.insert(svd.vic);
    if (const CtaYcbcr420Video* only420 = cta->First<CtaYcbcr420Video>()) {
      for (const ShortVideo& svd : only420->svds) vics.insert(svd.vic);
    }
  }
  return vics;
}

// What the EDID holds now of the field `key`, everywhere it is kept in walk order (only at paths
// that contain `within`), as the report prints it: the dialogs start from the values they change.
QStringList HeldValues(const std::vector<FieldAtPath>& fields, std::string_view key, std::string_view within = {}) {
  QStringList values;
  for (const FieldAtPath& field : fields) {
    const std::string_view path = field.path;
    if (path.size() > key.size() && path.ends_with(key) && path[path.size() - key.size() - 1] == '.' &&
        path.find(within) != std::string_view::npos) {
      values << Text(FormatFieldValue(field.field.value));
    }
  }
  return values;
}

std::vector<FieldAtPath> HeldFields(const TaskContext& context) { return FieldPaths(DecodeEdid(context.edid)); }

std::unique_ptr<CTaskDialog> MakeVrrDialog(const TaskContext& context, ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdTaskVrr), std::move(apply), parent);
  QLineEdit* min = dialog->AddField(texts::kVrrMin, "vrrMin", IntegerCheck(1, kMaxHz));
  QLineEdit* max = dialog->AddField(texts::kVrrMax, "vrrMax", IntegerCheck(1, kMaxHz));
  QCheckBox* amd = dialog->AddCheck(texts::kVrrAddAmd, "vrrAddAmd");
  // The range as the AMD block, else the HDMI Forum block, else the range limits keep it.
  const std::vector<FieldAtPath> fields = HeldFields(context);
  for (auto [low, high, within] : {std::tuple{"min_hz", "max_hz", ".data_blocks["},
                                   std::tuple{"vrr_min_hz", "vrr_max_hz", ""}, std::tuple{"min_v_hz", "max_v_hz", ""}}) {
    const QStringList lows = HeldValues(fields, low, within), highs = HeldValues(fields, high, within);
    if (lows.isEmpty() || highs.isEmpty()) continue;
    min->setText(lows.front());
    max->setText(highs.front());
    break;
  }
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    const std::optional<long> low = ReadIntegerField(min, 1, kMaxHz);
    if (!low) return std::nullopt;
    const std::optional<long> high = ReadIntegerField(max, 1, kMaxHz);
    if (!high) return std::nullopt;
    const bool addAmd = amd->isChecked();
    return [=](EdidData& edid) { return SetVrrRange(edid, static_cast<int>(*low), static_cast<int>(*high), addAmd); };
  });
  return dialog;
}

// What RGB Only would do, tried on a copy, is what the dialog asks about.
std::unique_ptr<CTaskDialog> MakeRgbOnlyDialog(const TaskContext& context, ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdTaskRgbOnly), std::move(apply), parent);
  EdidData trial = context.edid;
  const EditResult preview = MakeRgbOnly(trial);
  if (!preview.Ok()) {
    dialog->AddNote(Text(texts::kRefusedPrefix).arg(Text(preview.error)));
  } else if (trial == context.edid) {
    dialog->AddNote(Text(texts::kRgbOnlyNothing));
  } else {
    QString text = Text(texts::kRgbOnlyWill);
    for (const std::string& note : preview.notes) text += Text(texts::kNoteBullet) + Text(note);
    dialog->AddNote(text)->setObjectName(QStringLiteral("rgbOnlyChanges"));
  }
  dialog->SetReader([]() -> std::optional<EdidEdit> { return EdidEdit(MakeRgbOnly); });
  return dialog;
}

std::unique_ptr<CTaskDialog> MakeMaxTmdsDialog(const TaskContext& context, ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdTaskMaxTmds), std::move(apply), parent);
  QLineEdit* mhz = dialog->AddField(texts::kTmdsMhz, "tmdsMhz", IntegerCheck(1, kMaxMhz));
  // The HDMI Forum block's clock, where there is one, is above the HDMI block's.
  long held = 0;
  for (const QString& value : HeldValues(HeldFields(context), "max_tmds_mhz")) held = std::max(held, value.toLong());
  if (held > 0) mhz->setText(QString::number(held));
  QComboBox* frl = dialog->AddChoice(texts::kFrlRate, "frlRate");
  frl->addItem(Text(texts::kFrlUnchanged));
  for (int rate : kFrlRates) frl->addItem(rate == 0 ? Text(texts::kFrlNone) : Text(texts::kFrlGbps).arg(rate), rate);
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    const std::optional<long> clock = ReadIntegerField(mhz, 1, kMaxMhz);
    if (!clock) return std::nullopt;
    const QVariant rate = frl->currentData();
    const std::optional<int> gbps = rate.isValid() ? std::optional(rate.toInt()) : std::nullopt;
    return [=](EdidData& edid) { return SetMaxTmds(edid, static_cast<int>(*clock), gbps); };
  });
  return dialog;
}

std::unique_ptr<CTaskDialog> MakeAddVicDialog(ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdTaskAddVic), std::move(apply), parent);
  QTreeWidget* list = AddVicList(*dialog);
  for (const VicEntry& entry : kVicTable) AddVicRow(*list, entry.vic);
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    const std::optional<int> vic = ChosenVic(list);
    if (!vic) return std::nullopt;
    return [v = *vic](EdidData& edid) { return AddVic(edid, v); };
  });
  return dialog;
}

std::unique_ptr<CTaskDialog> MakeRemoveVicDialog(const TaskContext& context, ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdTaskRemoveVic), std::move(apply), parent);
  const std::set<int> held = HeldVics(context.edid);
  if (held.empty()) dialog->AddNote(Text(texts::kNoVicHeld));
  QTreeWidget* list = AddVicList(*dialog);
  for (int vic : held) AddVicRow(*list, vic);
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    const std::optional<int> vic = ChosenVic(list);
    if (!vic) return std::nullopt;
    return [v = *vic](EdidData& edid) { return RemoveVic(edid, v); };
  });
  return dialog;
}

std::unique_ptr<CTaskDialog> MakeHdrDialog(const TaskContext& context, ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdTaskHdrLuminance), std::move(apply), parent);
  QLineEdit* max = dialog->AddField(texts::kHdrMax, "hdrMax", NumberCheck(0, kMaxLuminance, false));
  QLineEdit* avg = dialog->AddField(texts::kHdrAvg, "hdrAvg", NumberCheck(0, kMaxLuminance, true));
  QLineEdit* min = dialog->AddField(texts::kHdrMin, "hdrMin", NumberCheck(0, kMaxLuminance, true));
  // The first HDR static metadata block's values, the one the edit changes.
  const std::vector<FieldAtPath> fields = HeldFields(context);
  for (auto [field, key] : {std::pair{max, "max_luminance"}, std::pair{avg, "max_fall"}, std::pair{min, "min_luminance"}}) {
    const QStringList held = HeldValues(fields, key, ".data_blocks[");
    if (!held.isEmpty()) field->setText(held.front());
  }
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    const std::optional<double> high = ReadNumberField(max, 0, kMaxLuminance);
    if (!high) return std::nullopt;
    for (QLineEdit* field : {avg, min}) {
      if (!NumberCheck(0, kMaxLuminance, true)(field)) return std::nullopt;
    }
    const std::optional<double> average = OptionalNumber(avg), low = OptionalNumber(min);
    return [=](EdidData& edid) { return SetHdrLuminance(edid, *high, average, low); };
  });
  return dialog;
}

std::unique_ptr<CTaskDialog> MakeAddTimingDialog(ApplyEditFn apply, QWidget* parent) {
  auto dialog = std::make_unique<CTaskDialog>(StepName(kCmdTaskAddTiming), std::move(apply), parent);
  QLineEdit* width = dialog->AddField(texts::kTimingWidth, "timingWidth", IntegerCheck(1, kMaxPixels));
  QLineEdit* height = dialog->AddField(texts::kTimingHeight, "timingHeight", IntegerCheck(1, kMaxPixels));
  QLineEdit* hz = dialog->AddField(texts::kTimingHz, "timingHz", NumberCheck(1, kMaxHz, false));
  QCheckBox* rb2 = dialog->AddCheck(texts::kTimingRb2, "timingRb2");
  dialog->SetReader([=]() -> std::optional<EdidEdit> {
    const std::optional<long> w = ReadIntegerField(width, 1, kMaxPixels);
    if (!w) return std::nullopt;
    const std::optional<long> h = ReadIntegerField(height, 1, kMaxPixels);
    if (!h) return std::nullopt;
    const std::optional<double> rate = ReadNumberField(hz, 1, kMaxHz);
    if (!rate) return std::nullopt;
    const bool v2 = rb2->isChecked();
    return [=](EdidData& edid) { return AddCvtTiming(edid, static_cast<int>(*w), static_cast<int>(*h), *rate, v2); };
  });
  return dialog;
}

}  // namespace

CTaskDialog::CTaskDialog(const QString& title, ApplyEditFn apply, QWidget* parent)
    : QDialog(parent), apply_(std::move(apply)), form_(new QFormLayout), refusal_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setObjectName(QStringLiteral("taskDialog"));
  setWindowTitle(title);
  setModal(true);
  // Wide enough for a note of a few words a line and the VIC list's four columns.
  setMinimumWidth(fontMetrics().averageCharWidth() * kDialogCharacters);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form_);
  refusal_->setObjectName(QStringLiteral("taskRefusal"));
  refusal_->setWordWrap(true);
  refusal_->setStyleSheet(QStringLiteral("color: #b00020"));
  refusal_->hide();
  layout->addWidget(refusal_);
  layout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &CTaskDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &CTaskDialog::reject);
}

CTaskDialog::~CTaskDialog() = default;

QLineEdit* CTaskDialog::AddField(const char* label, const char* objectName, std::function<bool(QLineEdit*)> check) {
  auto* field = new QLineEdit(this);
  field->setObjectName(QString::fromLatin1(objectName));
  form_->addRow(Text(label), field);
  checks_[field] = [field, check = std::move(check)] { return check(field); };
  field->installEventFilter(this);
  return field;
}

QCheckBox* CTaskDialog::AddCheck(const char* label, const char* objectName) {
  auto* box = new QCheckBox(Text(label), this);
  box->setObjectName(QString::fromLatin1(objectName));
  form_->addRow(box);
  return box;
}

QComboBox* CTaskDialog::AddChoice(const char* label, const char* objectName) {
  auto* choice = new QComboBox(this);
  choice->setObjectName(QString::fromLatin1(objectName));
  form_->addRow(Text(label), choice);
  return choice;
}

QTreeWidget* CTaskDialog::AddList(const QStringList& columns, const char* objectName) {
  auto* list = new QTreeWidget(this);
  list->setObjectName(QString::fromLatin1(objectName));
  list->setColumnCount(static_cast<int>(columns.size()));
  list->setHeaderLabels(columns);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // A double click chooses the row and goes ahead, as OK does.
  connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
  form_->addRow(list);
  return list;
}

QLabel* CTaskDialog::AddNote(const QString& text) {
  auto* note = new QLabel(text, this);
  note->setWordWrap(true);
  form_->addRow(note);
  return note;
}

void CTaskDialog::accept() {
  if (!reader_) return;
  const std::optional<EdidEdit> edit = reader_();
  if (!edit) return;
  EditResult result = apply_(windowTitle(), *edit);
  if (!result.Ok()) {
    refusal_->setText(Text(texts::kRefusedPrefix).arg(Text(result.error)));
    refusal_->show();
    return;
  }
  result_ = std::move(result);
  QDialog::accept();
}

bool CTaskDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && checks_.count(watched) > 0) {
    // Another window or a popup taking the focus is not the user leaving the field; Cancel and
    // OK need no check on the way (OK checks every field itself).
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !checking_) {
      QMetaObject::invokeMethod(
          this,
          [this, check = checks_[watched]] {
            QWidget* focus = QApplication::focusWidget();
            if (checking_ || !focus || !isAncestorOf(focus) || buttons_->isAncestorOf(focus)) return;
            checking_ = true;
            check();
            checking_ = false;
          },
          Qt::QueuedConnection);
    }
  }
  return QDialog::eventFilter(watched, event);
}

std::unique_ptr<CTaskDialog> MakeEditDialog(CommandId id, const TaskContext& context, ApplyEditFn apply,
                                            QWidget* parent) {
  switch (id) {
    case kCmdTaskVrr: return MakeVrrDialog(context, std::move(apply), parent);
    case kCmdTaskRgbOnly: return MakeRgbOnlyDialog(context, std::move(apply), parent);
    case kCmdTaskMaxTmds: return MakeMaxTmdsDialog(context, std::move(apply), parent);
    case kCmdTaskAddVic: return MakeAddVicDialog(std::move(apply), parent);
    case kCmdTaskRemoveVic: return MakeRemoveVicDialog(context, std::move(apply), parent);
    case kCmdTaskHdrLuminance: return MakeHdrDialog(context, std::move(apply), parent);
    case kCmdTaskAddTiming: return MakeAddTimingDialog(std::move(apply), parent);
    default: return nullptr;
  }
}

std::unique_ptr<CTaskDialog> MakeTaskDialog(CommandId id, const TaskContext& context, ApplyEditFn apply,
                                            QWidget* parent) {
  if (std::unique_ptr<CTaskDialog> dialog = MakeEditDialog(id, context, apply, parent)) return dialog;
  return MakeBlockDialog(id, context, std::move(apply), parent);
}

QString StepName(CommandId id) {
  QString name = Text(FindCommand(id).label);
  name.remove(QLatin1Char('&'));
  if (name.endsWith(QLatin1String("..."))) name.chop(3);
  return name;
}

std::string JoinNotes(const EditResult& result) {
  std::string joined;
  for (const std::string& note : result.notes) {
    if (!joined.empty()) joined += texts::kNotesSeparator;
    joined += note;
  }
  return joined;
}

}  // namespace tolvex
