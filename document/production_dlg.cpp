#include "document/production_dlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "document/production_dlg_texts.h"
#include "document/settings.h"
#include "production/production_texts.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }
QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Big enough to read from the other end of a workbench.
constexpr int kVerdictPointSize = 48;
constexpr int kPathFieldChars = 48;

QLabel* VerdictLabel() {
  auto* label = new QLabel;  // empty until the first unit
  label->setObjectName(QStringLiteral("verdict"));
  label->setAlignment(Qt::AlignCenter);
  QFont font = label->font();
  font.setPointSize(kVerdictPointSize);
  font.setBold(true);
  label->setFont(font);
  label->setAutoFillBackground(true);
  label->setMinimumHeight(label->fontMetrics().height() * 3 / 2);
  return label;
}

// A wrapped message asks its layout for the height its lines need at the width it has, so a
// longer message makes the dialog taller instead of being cut off at its top and bottom.
class WrappedMessage final : public QLabel {
 public:
  WrappedMessage() { setWordWrap(true); }

  QSize minimumSizeHint() const override {
    QSize hint = QLabel::minimumSizeHint();
    if (isVisible()) hint.setHeight(std::max(hint.height(), heightForWidth(width())));
    return hint;
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    if (event->oldSize().width() != width()) updateGeometry();
  }
  void showEvent(QShowEvent* event) override {
    QLabel::showEvent(event);
    updateGeometry();
  }
};

void PaintVerdict(QLabel* label, bool pass) {
  label->setText(Text(pass ? production_texts::kPass : production_texts::kFail));
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, pass ? QColor(0x2E, 0x7D, 0x32) : QColor(0xC6, 0x28, 0x28));
  palette.setColor(QPalette::WindowText, Qt::white);
  label->setPalette(palette);
}

// A line edit with a Browse... button that fills it from a file dialog.
QWidget* WithBrowse(QLineEdit* edit, QWidget* parent, const char* filter, bool forSaving) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* browse = new QPushButton(Text(texts::kBrowse));
  layout->addWidget(edit, 1);
  layout->addWidget(browse);
  QObject::connect(browse, &QPushButton::clicked, parent, [edit, parent, filter, forSaving] {
    const QString path = forSaving
                             ? QFileDialog::getSaveFileName(parent, QString(), edit->text(), Text(filter), nullptr,
                                                            QFileDialog::DontConfirmOverwrite)
                             : QFileDialog::getOpenFileName(parent, QString(), edit->text(), Text(filter));
    if (!path.isEmpty()) edit->setText(path);
  });
  return row;
}

}  // namespace

// The loop's reports, carried over to the dialog's thread.
class CProductionDlg::Events final : public ProductionEvents {
 public:
  explicit Events(CProductionDlg& dialog) : dialog_(dialog) {}

  void OnStatus(std::string_view text) override {
    Post([text = Text(text)](CProductionDlg& d) { d.status_->setText(text); });
  }
  void OnUnitDone(const UnitRecord& record) override {
    Post([record](CProductionDlg& d) { d.ShowUnit(record); });
  }
  void OnRunError(std::string_view text) override {
    Post([text = Text(text)](CProductionDlg& d) {
      QMessageBox::warning(&d, Text(texts::kProductionCaption), text);
    });
  }

 private:
  // The call may run after this object is gone, never after the dialog: it carries the dialog.
  template <typename Show>
  void Post(Show show) {
    CProductionDlg* dialog = &dialog_;
    QMetaObject::invokeMethod(dialog, [dialog, show] { show(*dialog); }, Qt::QueuedConnection);
  }
  CProductionDlg& dialog_;
};

CProductionDlg::CProductionDlg(const ProductionStation& station, const EdidBytes& base,
                               const EdidExtensions& extensions, uint8_t serialFormat, QWidget* parent)
    : QDialog(parent),
      station_(station),
      base_(base),
      extensions_(extensions),
      serialFormat_(serialFormat),
      counterEdit_(new QLineEdit),
      fieldCombo_(new QComboBox),
      templateEdit_(new QLineEdit),
      stampDateBox_(new QCheckBox(Text(texts::kStampDate))),
      logEdit_(new QLineEdit),
      nextUnit_(new WrappedMessage),
      verdict_(VerdictLabel()),
      lastSerial_(new WrappedMessage),
      counts_(new QLabel),
      status_(new WrappedMessage),
      startButton_(new QPushButton(Text(texts::kStart))),
      closeButton_(new QPushButton(Text(texts::kClose))) {
  setWindowTitle(Text(texts::kProductionCaption));
  BuildForm();
  LoadChoices();
  UpdateNextUnit();
  counts_->setText(Text(texts::kCounts).arg(0).arg(0));
}

CProductionDlg::~CProductionDlg() {
  RequestStop();
  if (worker_.joinable()) worker_.join();
}

void CProductionDlg::BuildForm() {
  counterEdit_->setObjectName(QStringLiteral("counterFile"));
  fieldCombo_->setObjectName(QStringLiteral("serialField"));
  templateEdit_->setObjectName(QStringLiteral("serialTemplate"));
  stampDateBox_->setObjectName(QStringLiteral("stampDate"));
  logEdit_->setObjectName(QStringLiteral("logFile"));
  startButton_->setObjectName(QStringLiteral("startStop"));
  for (const char* choice : texts::kSerialFieldChoices) fieldCombo_->addItem(Text(choice));
  templateEdit_->setToolTip(Text(texts::kTemplateTip));
  // Paths are long: room for one of a typical depth without scrolling.
  for (QLineEdit* path : {counterEdit_, logEdit_}) {
    path->setMinimumWidth(path->fontMetrics().averageCharWidth() * kPathFieldChars);
  }

  auto* serialGroup = new QGroupBox(Text(texts::kSerialGroup));
  auto* serialForm = new QFormLayout(serialGroup);
  QWidget* counterRow = WithBrowse(counterEdit_, this, texts::kCounterFilter, false);
  serialForm->addRow(Text(texts::kCounterLabel), counterRow);
  static_cast<QLabel*>(serialForm->labelForField(counterRow))->setBuddy(counterEdit_);
  serialForm->addRow(Text(texts::kFieldLabel), fieldCombo_);
  serialForm->addRow(Text(texts::kTemplateLabel), templateEdit_);
  serialForm->addRow(stampDateBox_);
  serialForm->addRow(nextUnit_);

  auto* logForm = new QFormLayout;
  QWidget* logRow = WithBrowse(logEdit_, this, texts::kLogFilter, true);
  logForm->addRow(Text(texts::kLogLabel), logRow);
  static_cast<QLabel*>(logForm->labelForField(logRow))->setBuddy(logEdit_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(startButton_);
  buttons->addWidget(closeButton_);
  startButton_->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  // The messages wrap, and a longer one needs more lines: the dialog grows to show it whole.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  layout->addWidget(serialGroup);
  layout->addLayout(logForm);
  layout->addWidget(verdict_);
  layout->addWidget(lastSerial_);
  layout->addWidget(counts_);
  layout->addWidget(status_);
  layout->addLayout(buttons);

  form_ = {counterRow, fieldCombo_, templateEdit_, stampDateBox_, logRow};
  for (QLineEdit* edit : {counterEdit_, templateEdit_}) {
    connect(edit, &QLineEdit::textChanged, this, &CProductionDlg::UpdateNextUnit);
  }
  connect(fieldCombo_, &QComboBox::currentIndexChanged, this, &CProductionDlg::UpdateNextUnit);
  connect(stampDateBox_, &QCheckBox::toggled, this, &CProductionDlg::UpdateNextUnit);
  connect(startButton_, &QPushButton::clicked, this, &CProductionDlg::OnStartStop);
  connect(closeButton_, &QPushButton::clicked, this, &CProductionDlg::close);
}

void CProductionDlg::LoadChoices() {
  ProductionChoices choices;
  LoadProductionChoices(choices);
  counterEdit_->setText(choices.counterFile);
  fieldCombo_->setCurrentIndex(choices.serialField >= 0 && choices.serialField < fieldCombo_->count()
                                   ? choices.serialField
                                   : 0);
  templateEdit_->setText(choices.serialTemplate);
  stampDateBox_->setChecked(choices.stampDate);
  logEdit_->setText(choices.logFile);
}

void CProductionDlg::SaveChoices() const {
  ProductionChoices choices;
  choices.counterFile = counterEdit_->text();
  choices.serialField = fieldCombo_->currentIndex();
  choices.serialTemplate = templateEdit_->text();
  choices.stampDate = stampDateBox_->isChecked();
  choices.logFile = logEdit_->text();
  SaveProductionChoices(choices);
}

std::optional<ProductionSetup> CProductionDlg::SetupFromForm(QString& problem) const {
  ProductionSetup setup;
  setup.base = base_;
  setup.extensions = extensions_;
  setup.serialFormat = serialFormat_;
  setup.counterPath = counterEdit_->text().toStdString();
  setup.logPath = logEdit_->text().toStdString();
  setup.plan.field = static_cast<SerialField>(fieldCombo_->currentIndex());
  setup.plan.stampDate = stampDateBox_->isChecked();
  std::string error;
  std::optional<SerialTemplate> text = SerialTemplate::Parse(templateEdit_->text().toStdString(), error);
  if (!text) {
    problem = Text(error);
    return std::nullopt;
  }
  setup.plan.text = std::move(*text);
  station_.Describe(setup);
  return setup;
}

// What the next unit would get, or why it cannot, as the operator types. Nothing is created here:
// a half-typed path must not leave files behind.
void CProductionDlg::UpdateNextUnit() {
  const bool counter = !counterEdit_->text().isEmpty();
  fieldCombo_->setEnabled(counter && !Running());
  templateEdit_->setEnabled(counter && !Running());
  QString problem;
  const std::optional<ProductionSetup> setup = SetupFromForm(problem);
  std::string error;
  const std::optional<UnitBlock> unit = setup ? tolvex::NextUnit(*setup, TodayLocal(), error) : std::nullopt;
  if (!setup) {
    nextUnit_->setText(problem);
  } else if (!unit) {
    nextUnit_->setText(Text(error));
  } else {
    nextUnit_->setText(counter ? Text(texts::kNextUnit).arg(Text(unit->serialText)) : Text(texts::kNoCounter));
  }
}

void CProductionDlg::OnStartStop() {
  if (Running()) {
    RequestStop();
    return;
  }
  QString problem = station_.Problem() ? Text(*station_.Problem()) : QString();
  std::optional<ProductionSetup> setup;
  if (problem.isEmpty()) setup = SetupFromForm(problem);
  if (setup) {
    if (const std::optional<std::string> wrong = CheckSetup(*setup, TodayLocal())) {
      problem = Text(*wrong);
      setup.reset();
    }
  }
  if (!setup) {
    QMessageBox::warning(this, Text(texts::kProductionCaption), problem);
    return;
  }
  SaveChoices();
  StartRun(std::move(*setup));
}

void CProductionDlg::StartRun(ProductionSetup setup) {
  setup_ = std::move(setup);
  stop_ = false;
  closeWhenDone_ = false;
  passed_ = 0;
  failed_ = 0;
  counts_->setText(Text(texts::kCounts).arg(0).arg(0));
  EnableForm(false);
  startButton_->setText(Text(texts::kStop));
  worker_ = std::thread([this] {
    Events events(*this);
    const std::unique_ptr<UnitWriter> writer =
        station_.MakeWriter([&events](std::string_view text) { events.OnStatus(text); });
    ProductionRun run(*setup_, *writer, station_.GetClock(), events, station_.Hooks([this] { return stop_.load(); }));
    const RunSummary summary = run.RunRepeat();
    QMetaObject::invokeMethod(this, [this, summary] { RunFinished(summary); }, Qt::QueuedConnection);
  });
}

void CProductionDlg::ShowUnit(const UnitRecord& record) {
  PaintVerdict(verdict_, record.verified);
  const std::string serial = record.serialText.empty() ? std::to_string(record.serialNumber) : record.serialText;
  QString text = Text(texts::kLastSerial).arg(Text(serial));
  if (!record.verified) text += QLatin1Char('\n') + Text(record.result);  // stays until the next unit
  if (!record.help.empty()) text += QLatin1Char('\n') + Text(record.help);
  if (!record.backup.empty()) text += QLatin1Char('\n') + Text(FormatText(texts::kBackupKept, record.backup.c_str()));
  lastSerial_->setText(text);
  ++(record.verified ? passed_ : failed_);
  counts_->setText(Text(texts::kCounts).arg(passed_).arg(failed_));
  UpdateNextUnit();
}

void CProductionDlg::RunFinished(const RunSummary& summary) {
  worker_.join();
  setup_.reset();
  if (summary.stopped) status_->setText(Text(texts::kRunStopped));
  if (!summary.stopped && !summary.runError) status_->setText(Text(texts::kNoMoreMonitors));
  startButton_->setText(Text(texts::kStart));
  startButton_->setEnabled(true);
  EnableForm(true);
  UpdateNextUnit();
  if (!closeWhenDone_) return;
  // The operator asked to close while units were being programmed: the run's outcome must not
  // vanish with the window.
  QMessageBox::information(this, Text(texts::kProductionCaption),
                           status_->text() + QLatin1Char('\n') + counts_->text());
  QDialog::reject();
}

// Close stays enabled: during a run it ends the run after the unit, as Stop does, then closes.
void CProductionDlg::EnableForm(bool enable) {
  for (QWidget* widget : form_) widget->setEnabled(enable);
}

bool CProductionDlg::RequestStop() {
  if (!Running()) return false;
  stop_ = true;
  startButton_->setEnabled(false);
  status_->setText(Text(texts::kStopping));
  return true;
}

// Escape, Close and the window's close button (QDialog's closeEvent rejects) end the run first; the
// dialog goes when it has ended.
void CProductionDlg::reject() {
  if (RequestStop()) {
    closeWhenDone_ = true;
    return;
  }
  QDialog::reject();
}

}  // namespace tolvex
