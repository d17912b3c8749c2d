#include "app/check_pane.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/app_texts.h"
#include "app/check_pane_texts.h"
#include "document/framework_texts.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }
QString Text(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// Beside the recent-file list, in the store of the application's own window state.
constexpr char kPaneGroup[] = "Check Pane";
constexpr char kShownValue[] = "Shown";

QString ShownKey() { return Text(kPaneGroup) + QLatin1Char('/') + Text(kShownValue); }

bool LoadShown() {
  const QSettings store(QSettings::NativeFormat, QSettings::UserScope, Text(texts::kCompanyKey),
                        Text(texts::kApplicationTitle));
  return store.value(ShownKey(), true).toBool();
}

void SaveShown(bool shown) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, Text(texts::kCompanyKey), Text(texts::kApplicationTitle));
  store.setValue(ShownKey(), shown);
}

enum Column { kBytesColumn, kRuleColumn, kFindingColumn };

QIcon LevelIcon(CheckLevel level, const QStyle& style) {
  return style.standardIcon(level == CheckLevel::kFailure ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning);
}

}  // namespace

CCheckPane::CCheckPane(const EdidBlock& block, const EdidExtensions& extensions, std::function<bool()> hasEdid,
                       QWidget* parent)
    : QDockWidget(Text(texts::kCheckPaneTitle), parent),
      block_(block),
      extensions_(extensions),
      hasEdid_(std::move(hasEdid)),
      summary_(new QLabel),
      list_(new QTreeWidget) {
  setObjectName(QStringLiteral("checkPane"));
  setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
  toggleViewAction()->setText(Text(texts::kCheckPaneMenuLabel));
  toggleViewAction()->setStatusTip(Text(texts::kCheckPanePrompt));

  list_->setObjectName(QStringLiteral("checkList"));
  list_->setColumnCount(3);
  list_->setHeaderLabels({Text(texts::kCheckColumnBytes), Text(texts::kCheckColumnRule), Text(texts::kCheckColumnFinding)});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->header()->setStretchLastSection(true);
  list_->header()->setSectionResizeMode(kBytesColumn, QHeaderView::ResizeToContents);
  list_->header()->setSectionResizeMode(kRuleColumn, QHeaderView::ResizeToContents);
  connect(list_, &QTreeWidget::itemClicked, this, [this] { ChooseRow(); });
  connect(list_, &QTreeWidget::itemActivated, this, [this] { ChooseRow(); });
  // The arrow keys choose the row they move to; a list rebuilt by a re-check chooses nothing.
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
    if (current && !rebuilding_) ChooseRow();
  });

  summary_->setObjectName(QStringLiteral("checkSummary"));
  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->addWidget(summary_);
  layout->addWidget(list_);
  setWidget(body);

  setVisible(LoadShown());
  // Only the user's choices are remembered (the menu here, the close box in closeEvent): the
  // main window hides the pane too when it closes.
  connect(toggleViewAction(), &QAction::triggered, this, [](bool shown) { SaveShown(shown); });
  Recheck();
}

void CCheckPane::BlockChanged() {
  // A closed pane costs a keystroke nothing; it catches up when it opens.
  if (isHidden()) {
    stale_ = true;
    return;
  }
  Recheck();
}

void CCheckPane::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  if (event->isAccepted()) SaveShown(false);
}

void CCheckPane::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  if (stale_) Recheck();
}

void CCheckPane::Recheck() {
  stale_ = false;
  const bool hasEdid = hasEdid_();
  CheckFindings findings;
  if (hasEdid) {
    findings =
        CheckEdid(JoinWholeEdid(block_.Bytes(), extensions_), extensions_.storedChecksum, extensions_.storedByMonitor);
  }
  // Most keystrokes leave the findings as they were; the list is rebuilt only when they change.
  if (listed_ && hasEdid == listedEdid_ && findings == findings_) return;
  listed_ = true;
  listedEdid_ = hasEdid;
  findings_ = std::move(findings);
  ShowFindings();
}

void CCheckPane::ShowFindings() {
  rebuilding_ = true;
  list_->setUpdatesEnabled(false);
  list_->clear();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(findings_.size()));
  for (const CheckFinding& finding : findings_) {
    auto* row = new QTreeWidgetItem;
    row->setIcon(kBytesColumn, LevelIcon(finding.level, *style()));
    row->setText(kBytesColumn, Text(texts::kCheckBytes).arg(finding.first).arg(finding.last));
    row->setText(kRuleColumn, Text(finding.rule));
    row->setText(kFindingColumn, Text(finding.text));
    row->setToolTip(kFindingColumn, Text(finding.text));
    rows << row;
  }
  list_->addTopLevelItems(rows);
  list_->setUpdatesEnabled(true);
  rebuilding_ = false;

  const auto failures = std::count_if(findings_.begin(), findings_.end(),
                                      [](const CheckFinding& f) { return f.level == CheckLevel::kFailure; });
  const auto warnings = static_cast<qsizetype>(findings_.size()) - failures;
  if (!listedEdid_) summary_->setText(Text(texts::kCheckNothing));
  else if (findings_.empty()) summary_->setText(Text(texts::kCheckClean));
  else summary_->setText(Text(texts::kCheckSummary).arg(failures).arg(warnings));
}

void CCheckPane::ChooseRow() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0 || row >= static_cast<int>(findings_.size())) return;
  const CheckFinding& finding = findings_[static_cast<size_t>(row)];
  emit bytesChosen(finding.first, finding.last);
}

bool ConfirmWriteDespiteFailures(const EdidBlock& block, const EdidExtensions& extensions, QWidget* parent) {
  const CheckFindings findings = CheckEdid(JoinWholeEdid(block.Bytes(), extensions));
  QStringList named;
  int failures = 0;
  for (const CheckFinding& finding : findings) {
    if (finding.level != CheckLevel::kFailure) continue;
    if (++failures <= texts::kWriteFailuresShown) named << Text(FormatFinding(finding));
  }
  if (failures == 0) return true;
  QString text = Text(texts::kWriteFailuresText).arg(failures) + QLatin1String("\n\n") + named.join(QLatin1String("\n\n"));
  if (failures > texts::kWriteFailuresShown) {
    text += QLatin1String("\n\n") + Text(texts::kWriteFailuresMore).arg(failures - texts::kWriteFailuresShown);
  }
  text += QLatin1String("\n\n") + Text(texts::kWriteFailuresQuestion);
  QMessageBox box(QMessageBox::Warning, Text(texts::kWriteFailuresTitle), text, QMessageBox::Yes | QMessageBox::Cancel,
                  parent);
  box.button(QMessageBox::Yes)->setText(Text(texts::kWriteAnyway));
  box.setDefaultButton(QMessageBox::Cancel);
  box.setEscapeButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace tolvex
