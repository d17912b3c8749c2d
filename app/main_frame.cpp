#include "app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>

#include "app/app_texts.h"
#include "app/block_commands.h"
#include "app/check_pane.h"
#include "app/compare_window.h"
#include "app/edid_code_dlg.h"
#include "app/edid_history.h"
#include "app/node_editor.h"
#include "app/structure_pane.h"
#include "app/task_texts.h"
#include "app/tolvex_view.h"
#include "ddc/ddc_texts.h"
#include "document/document_texts.h"
#include "document/framework_texts.h"
#include "document/tolvex_doc.h"
#include "report/edid_report.h"

// The pictures are compiled into the library; a static library has to register them itself.
static void InitialiseResources() { Q_INIT_RESOURCE(tolvex); }

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }

// A toolbar picture: a short label on a rounded plate.
QIcon LabelIcon(const QString& label, const QColor& plate) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(plate.darker(150));
  painter.setBrush(plate);
  painter.drawRoundedRect(QRectF(1.5, 4.5, 29, 23), 4, 4);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(label.size() > 2 ? 10 : 13);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 4, 32, 24), Qt::AlignCenter, label);
  return QIcon(pixmap);
}

QIcon CommandIcon(CommandId id, const QStyle& style) {
  const QColor bus(0x2e, 0x6d, 0xa4), channel(0x4a, 0x7a, 0x3a), dvi(0x8a, 0x4f, 0x9e);
  switch (id) {
    case kCmdFileNew: return style.standardIcon(QStyle::SP_FileIcon);
    case kCmdFileOpen: return style.standardIcon(QStyle::SP_DialogOpenButton);
    case kCmdFileSave: return style.standardIcon(QStyle::SP_DialogSaveButton);
    case kCmdFilePrint: return QIcon::fromTheme(QStringLiteral("document-print"), LabelIcon(QStringLiteral("PRN"), Qt::darkGray));
    case kCmdEdidRead: return LabelIcon(QStringLiteral("RD"), bus);
    case kCmdEdidWrite: return LabelIcon(QStringLiteral("WR"), bus.darker(130));
    case kCmdEdidCode: return LabelIcon(QStringLiteral("0x"), QColor(0x30, 0x30, 0x30));
    case kCmdConfigSetup: return LabelIcon(QStringLiteral("CFG"), QColor(0x80, 0x60, 0x20));
    case kCmdChannelBlackBox: return LabelIcon(QStringLiteral("BB"), channel);
    case kCmdChannelServiceKit: return LabelIcon(QStringLiteral("SK"), channel);
    case kCmdChannelS3: return LabelIcon(QStringLiteral("S3"), channel);
    case kCmdDviDigital: return LabelIcon(QStringLiteral("D"), dvi);
    case kCmdDviAnalog: return LabelIcon(QStringLiteral("A"), dvi);
    case kCmdDviAuto: return LabelIcon(QStringLiteral("I"), dvi);
    default: return {};
  }
}

// The framework binds these; the "Ctrl+R", "Ctrl+W" and "Ctrl+S" shown in the I2C menu are labels only.
QKeySequence CommandShortcut(CommandId id) {
  switch (id) {
    case kCmdFileNew: return QKeySequence(Qt::CTRL | Qt::Key_N);
    case kCmdFileOpen: return QKeySequence(Qt::CTRL | Qt::Key_O);
    case kCmdFileSave: return QKeySequence(Qt::CTRL | Qt::Key_S);
    case kCmdFilePrint: return QKeySequence(Qt::CTRL | Qt::Key_P);
    default: return {};
  }
}

struct LockIndicator {
  int key;
  const char* label;
  const char* led;
};

constexpr LockIndicator kLockIndicators[] = {
    {Qt::Key_CapsLock, texts::kCapsIndicator, "capslock"},
    {Qt::Key_NumLock, texts::kNumIndicator, "numlock"},
    {Qt::Key_ScrollLock, texts::kScrollIndicator, "scrolllock"},
};

int ChannelOf(CommandId id) { return id - kCmdChannelBlackBox; }

// The commands that drive the bus.
constexpr CommandId kTransferCommands[] = {kCmdEdidRead,  kCmdEdidWrite,  kCmdChannelBlackBox, kCmdChannelServiceKit,
                                           kCmdChannelS3, kCmdDviDigital, kCmdDviAnalog,       kCmdDviAuto};

bool IsTransferCommand(CommandId id) {
  return std::find(std::begin(kTransferCommands), std::end(kTransferCommands), id) != std::end(kTransferCommands);
}

constexpr int kCheckPaneHeight = 150;
constexpr QKeyCombination kUndoKey = Qt::CTRL | Qt::Key_Z;
constexpr QKeyCombination kRedoKey = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
constexpr int kStructurePaneWidth = 460;

// The keyboard LED of a lock key as the kernel shows it ("capslock", "numlock", "scrolllock");
// nothing where the machine has no such LED (no keyboard, a virtual machine, a remote session).
std::optional<bool> LockLedOn(const QString& name) {
  const QDir leds(QStringLiteral("/sys/class/leds"));
  std::optional<bool> on;
  for (const QString& entry : leds.entryList({QStringLiteral("*::") + name}, QDir::Dirs | QDir::System)) {
    QFile brightness(leds.filePath(entry + QStringLiteral("/brightness")));
    if (!brightness.open(QIODevice::ReadOnly)) continue;
    on = on.value_or(false) || brightness.readAll().trimmed().toInt() > 0;
  }
  return on;
}

}  // namespace

CMainFrame::CMainFrame(CTolvexDoc& doc, bool splash) : doc_(doc), view_(new CTolvexView) {
  InitialiseResources();
  setObjectName(QStringLiteral("mainFrame"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/tolvex.png")));
  setCentralWidget(view_);
  // Files dropped on the view open like files dropped on the frame.
  view_->setAcceptDrops(false);
  setAcceptDrops(true);

  CreateActions();
  // An undone or redone EDID is shown as an edit shows it; the document keeps its name.
  history_ = new CEdidHistory(block_, doc_.Extensions(), [this] {
    doc_.ShowEditedEdid(0, kEdidSize * (1 + doc_.Extensions().Count()) - 1);
    CodeWindow().ClearHighlight();
  }, this);
  CreateCheckPane();
  CreateStructurePane();
  CreateMenus();
  InstallBlockCommands(*this);
  CreateToolBar();
  CreateStatusBar();
  LoadRecentFiles();

  connect(view_, &QPlainTextEdit::textChanged, this, [this] {
    if (!settingViewText_) doc_.SetModifiedFlag(true);
  });
  connect(&doc_, &CTolvexDoc::stateChanged, this, [this] {
    DocumentTitleChanged();
    // The title names the document.
    if (compareWindow_) compareWindow_->DocumentChanged();
  });

  doc_.AttachFrame(*this);
  qApp->installEventFilter(this);
  DocumentTitleChanged();
  UpdateCommandUi();
  if (splash) ShowSplash();
}

CMainFrame::~CMainFrame() {
  qApp->removeEventFilter(this);
  // The undo stack and the tree go after the frame's own members; they must not update its commands.
  history_->Stack().disconnect(this);
  structurePane_->Tree()->disconnect(this);
  if (waitCursor_) QApplication::restoreOverrideCursor();
}

void CMainFrame::CreateActions() {
  for (const Command& command : Commands()) {
    const QString prompt = Text(command.prompt);
    const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
    const QString statusTip = newline < 0 ? prompt : prompt.left(newline);
    const QString toolTip = newline < 0 ? prompt : prompt.mid(newline + 1);
    auto* action = new QAction(command.label ? Text(command.label) : toolTip, this);
    action->setObjectName(QStringLiteral("command%1").arg(command.id));
    action->setStatusTip(statusTip);
    action->setToolTip(toolTip);
    action->setIcon(CommandIcon(command.id, *style()));
    action->setShortcut(CommandShortcut(command.id));
    action->setShortcutContext(Qt::ApplicationShortcut);
    switch (command.id) {
      case kCmdChannelBlackBox:
      case kCmdChannelServiceKit:
      case kCmdChannelS3:
      case kCmdEdidCode:
      case kCmdViewToolbar:
      case kCmdViewStatusBar:
        action->setCheckable(true);
        // A menu shows an icon instead of the check box, marking "on" only with a faint frame.
        action->setIconVisibleInMenu(false);
        break;
      default:
        break;
    }
    const CommandId id = command.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_[command.id] = action;
  }
  actions_[kCmdFileMru]->setEnabled(false);
}

void CMainFrame::CreateMenus() {
  fileMenu_ = menuBar()->addMenu(Text(texts::kFileMenu));
  for (CommandId id : {kCmdFileNew, kCmdFileOpen, kCmdFileSave, kCmdFileSaveAs, kCmdFileExportBinary, kCmdFileCompare}) {
    fileMenu_->addAction(actions_[id]);
  }
  fileMenu_->addSeparator();
  for (CommandId id : {kCmdFilePrint, kCmdFilePrintPreview, kCmdFilePrintSetup}) fileMenu_->addAction(actions_[id]);
  fileMenu_->addSeparator();
  fileMenu_->addAction(actions_[kCmdFileMru]);
  recentSeparator_ = fileMenu_->addSeparator();
  fileMenu_->addAction(actions_[kCmdAppExit]);

  // The EDID's undo and redo, and the report view's of its text. Ctrl+Z and Ctrl+Shift+Z step
  // through the EDID where the focus is in the Structure panel or the code window, and through
  // the text in the report view: each pair's keys belong to its own widgets, never both at once.
  QMenu* edit = menuBar()->addMenu(Text(texts::kEditMenu));
  QAction* undo = history_->Stack().createUndoAction(this, Text(texts::kUndoEdidPrefix));
  undo->setObjectName(QStringLiteral("undoEdid"));
  QAction* redo = history_->Stack().createRedoAction(this, Text(texts::kRedoEdidPrefix));
  redo->setObjectName(QStringLiteral("redoEdid"));
  QAction* undoText = new QAction(Text(texts::kUndoReportText), this);
  undoText->setObjectName(QStringLiteral("undoReportText"));
  QAction* redoText = new QAction(Text(texts::kRedoReportText), this);
  redoText->setObjectName(QStringLiteral("redoReportText"));
  for (auto [action, key] : {std::pair{undo, kUndoKey}, std::pair{redo, kRedoKey}, std::pair{undoText, kUndoKey},
                             std::pair{redoText, kRedoKey}}) {
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  }
  structurePane_->addActions({undo, redo});
  if (codeWindow_) codeWindow_->addActions({undo, redo});
  view_->addActions({undoText, redoText});
  undoText->setEnabled(view_->document()->isUndoAvailable());
  redoText->setEnabled(view_->document()->isRedoAvailable());
  connect(view_, &QPlainTextEdit::undoAvailable, undoText, &QAction::setEnabled);
  connect(view_, &QPlainTextEdit::redoAvailable, redoText, &QAction::setEnabled);
  connect(undoText, &QAction::triggered, view_, &QPlainTextEdit::undo);
  connect(redoText, &QAction::triggered, view_, &QPlainTextEdit::redo);
  edit->addAction(undo);
  edit->addAction(redo);
  edit->addSeparator();
  edit->addAction(undoText);
  edit->addAction(redoText);

  QMenu* tasks = menuBar()->addMenu(Text(texts::kTasksMenu));
  for (int id : TaskMenuLayout()) {
    if (id == 0) tasks->addSeparator();
    else tasks->addAction(actions_[id]);
  }

  QMenu* i2c = menuBar()->addMenu(Text(texts::kI2cMenu));
  i2c->addAction(actions_[kCmdEdidRead]);
  i2c->addAction(actions_[kCmdEdidWrite]);
  i2c->addAction(actions_[kCmdReadFromDisplay]);
  i2c->addAction(actions_[kCmdApplyToConnector]);
  i2c->addAction(actions_[kCmdInstallFirmware]);
  i2c->addAction(actions_[kCmdProductionWrite]);
  i2c->addSeparator();
  QMenu* channel = i2c->addMenu(Text(texts::kChannelMenu));
  for (CommandId id : {kCmdChannelBlackBox, kCmdChannelServiceKit, kCmdChannelS3}) channel->addAction(actions_[id]);
  CreateChannelChoices(*channel);
  i2c->addAction(actions_[kCmdConfigSetup]);

  QMenu* view = menuBar()->addMenu(Text(texts::kViewMenu));
  view->addAction(actions_[kCmdViewToolbar]);
  view->addAction(actions_[kCmdViewStatusBar]);
  view->addSeparator();
  view->addAction(actions_[kCmdEdidCode]);
  view->addAction(checkPane_->toggleViewAction());
  view->addAction(structurePane_->toggleViewAction());

  QMenu* help = menuBar()->addMenu(Text(texts::kHelpMenu));
  help->addAction(actions_[kCmdAppAbout]);
}

// The kernel's I2C buses follow the three adapters in the channel menu; the toolbar lists every
// channel found. A bus the rules refuse is shown greyed with the reason.
void CMainFrame::CreateChannelChoices(QMenu& channelMenu) {
  const std::vector<CTolvexDoc::ChannelOption>& options = doc_.ChannelOptions();
  auto* group = new QActionGroup(this);
  for (size_t i = 0; i < options.size(); ++i) {
    const CTolvexDoc::ChannelOption& option = options[i];
    if (option.channel != kChannelLinuxBus) continue;
    if (channelOptionActions_.isEmpty()) channelMenu.addSeparator();
    QAction* action = channelMenu.addAction(option.label);
    action->setCheckable(true);
    action->setActionGroup(group);
    action->setStatusTip(option.refusal.isEmpty() ? option.label : option.refusal);
    const int index = static_cast<int>(i);
    connect(action, &QAction::triggered, this, [this, index] { ChooseChannelOption(index); });
    channelOptionActions_ << action;
  }
}

void CMainFrame::CreateToolBar() {
  toolBar_ = new QToolBar(Text(FindCommand(kCmdViewToolbar).label).remove(QLatin1Char('&')), this);
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  toolBar_->setIconSize(QSize(24, 24));
  for (int id : ToolbarLayout()) {
    if (id == 0) toolBar_->addSeparator();
    else toolBar_->addAction(actions_[id]);
  }
  addToolBar(Qt::TopToolBarArea, toolBar_);
  connect(toolBar_, &QToolBar::visibilityChanged, this, [this](bool) { UpdateCommandUi(); });

  channelChoice_ = new QComboBox;
  channelChoice_->setObjectName(QStringLiteral("channelChoice"));
  channelChoice_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  const std::vector<CTolvexDoc::ChannelOption>& options = doc_.ChannelOptions();
  for (size_t i = 0; i < options.size(); ++i) {
    channelChoice_->addItem(options[i].label);
    if (options[i].refusal.isEmpty()) continue;
    channelChoice_->setItemData(static_cast<int>(i), options[i].refusal, Qt::ToolTipRole);
    if (auto* model = qobject_cast<QStandardItemModel*>(channelChoice_->model())) model->item(static_cast<int>(i))->setEnabled(false);
  }
  toolBar_->addSeparator();
  toolBar_->addWidget(channelChoice_);
  connect(channelChoice_, &QComboBox::activated, this, &CMainFrame::ChooseChannelOption);
}

void CMainFrame::ChooseChannelOption(int index) {
  // The list and the menu stay live while a transfer paints its progress; the transfer keeps the
  // channel it started on.
  if (!transferRunning_) doc_.ChooseOption(index);
  UpdateCommandUi();
}

void CMainFrame::CreateStatusBar() {
  resultText_ = Text(texts::kIdleStatus);
  messagePane_ = new QLabel(resultText_);
  messagePane_->setObjectName(QStringLiteral("messagePane"));
  statusBar()->addWidget(messagePane_, 1);
  // When a command's prompt goes (the pointer left the menu item or button), the pane shows again
  // what the last command left there.
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
    if (message.isEmpty() && !waitCursor_) messagePane_->setText(resultText_);
  });
  for (const LockIndicator& indicator : kLockIndicators) {
    auto* pane = new QLabel(Text(indicator.label));
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 10);
    // Lit while the lock is on; off until known.
    pane->setEnabled(LockLedOn(QString::fromLatin1(indicator.led)).value_or(false));
    statusBar()->addPermanentWidget(pane);
    lockIndicators_[indicator.key] = pane;
  }
}

void CMainFrame::CreateCheckPane() {
  checkPane_ = new CCheckPane(block_, doc_.Extensions(), [this] { return doc_.HasEdid(); }, this);
  connect(&doc_, &CTolvexDoc::hasEdidChanged, checkPane_, &CCheckPane::BlockChanged);
  addDockWidget(Qt::BottomDockWidgetArea, checkPane_);
  // A few rows under the report, which keeps most of the window.
  resizeDocks({checkPane_}, {kCheckPaneHeight}, Qt::Vertical);
  connect(checkPane_, &CCheckPane::bytesChosen, this, &CMainFrame::ShowBytesInCodeWindow);
}

void CMainFrame::CreateStructurePane() {
  structurePane_ = new CStructurePane(block_, doc_.Extensions(), this);
  EdidEditTarget target;
  target.apply = [this](const QString& name, const std::function<EditResult(EdidData&)>& edit, const QString& key) {
    return ApplyEdit(name, edit, key);
  };
  target.current = [this] { return JoinWholeEdid(block_.Bytes(), doc_.Extensions()); };
  structurePane_->SetEditor(new CNodeEditor(*structurePane_, std::move(target)));
  addDockWidget(Qt::LeftDockWidgetArea, structurePane_);
  resizeDocks({structurePane_}, {kStructurePaneWidth}, Qt::Horizontal);
  connect(structurePane_, &CStructurePane::bytesChosen, this, &CMainFrame::ShowBytesInCodeWindow);
}

void CMainFrame::ShowBytesInCodeWindow(int first, int last) {
  if (!codeWindowShown_) OnEdidCode();
  CodeWindow().HighlightRange(first, last, false);
}

void CMainFrame::ShowSplash() {
  if (splash_) return;
  const QPixmap picture(QStringLiteral(":/icons/splash.png"));
  if (picture.isNull()) return;
  auto* splash = new QLabel(this, Qt::SplashScreen | Qt::FramelessWindowHint);
  splash->setObjectName(QStringLiteral("splash"));
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->setPixmap(picture);
  splash->setFixedSize(picture.size());
  const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  splash->move(screen.center() - splash->rect().center());
  splash->show();
  splash_ = splash;
}

void CMainFrame::HideSplash() {
  if (!splash_) return;
  splash_->close();
  splash_ = nullptr;
  update();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // A key reaches its window first, then the widgets; the window sees each key once.
      if (watched->isWindowType()) FollowLockKey(*static_cast<QKeyEvent*>(event));
      if (event->type() == QEvent::KeyRelease) break;
      if (splash_) {
        HideSplash();
        return true;
      }
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
      if (splash_) {
        HideSplash();
        return true;
      }
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::FollowLockKey(const QKeyEvent& event) {
  if (event.isAutoRepeat()) return;
  for (const LockIndicator& indicator : kLockIndicators) {
    if (event.key() != indicator.key) continue;
    QLabel* pane = lockIndicators_[indicator.key];
    // The LED tells the truth once the key is up; without one the press toggles the pane.
    if (event.type() == QEvent::KeyRelease) {
      if (const std::optional<bool> on = LockLedOn(QString::fromLatin1(indicator.led))) pane->setEnabled(*on);
    } else if (!LockLedOn(QString::fromLatin1(indicator.led))) {
      pane->setEnabled(!pane->isEnabled());
    }
  }
}

void CMainFrame::RunCommand(CommandId id) {
  // A transfer lets the event loop run to paint its progress; a command that a timer or a queued
  // signal delivers meanwhile would interleave with it on the bus or replace the document under it.
  if (transferRunning_) return;
  const bool transfer = IsTransferCommand(id);
  transferRunning_ = transfer;
  // The result a command leaves in the pane belongs to it alone, not to the next one that fails.
  // Why the ports are missing stays until a transfer has something to say instead.
  if (transfer || resultText_ != startupNote_) resultText_ = Text(texts::kIdleStatus);
  messagePane_->setText(resultText_);
  switch (id) {
    case kCmdFileNew: history_->Record(Text(texts::kWizardStep), [this] { doc_.OnFileNew(); }); break;
    case kCmdFileOpen: OnFileOpen(); break;
    case kCmdFileSave: OnFileSave(); break;
    case kCmdFileSaveAs: OnFileSaveAs(); break;
    case kCmdFileExportBinary: doc_.OnFileExportBinary(); break;
    case kCmdFileCompare: OnFileCompare(); break;
    case kCmdFilePrint: OnFilePrint(); break;
    case kCmdFilePrintPreview: OnFilePrintPreview(); break;
    case kCmdFilePrintSetup: OnFilePrintSetup(); break;
    case kCmdAppExit: close(); break;
    case kCmdAppAbout: OnAppAbout(); break;
    case kCmdEdidRead: history_->Record(Text(texts::kEdidReadStep), [this] { doc_.OnEdidRead(); }); break;
    case kCmdEdidWrite:
      // A refusal needs no question first: nothing will be written.
      if (!doc_.RefuseEdidWrite() && ConfirmWriteDespiteFailures(block_, doc_.Extensions(), this)) doc_.OnEdidWrite();
      break;
    case kCmdProductionWrite:
      // Every unit gets the whole EDID, so what EDID Write refuses a run refuses too.
      if (!doc_.RefuseEdidWrite() && ConfirmWriteDespiteFailures(block_, doc_.Extensions(), this)) {
        doc_.OnProductionWrite();
      }
      break;
    case kCmdReadFromDisplay:
      history_->Record(Text(texts::kDisplayReadStep), [this] { doc_.OnReadFromDisplay(); });
      break;
    case kCmdApplyToConnector: doc_.OnApplyToConnector(); break;
    case kCmdInstallFirmware: doc_.OnInstallFirmware(); break;
    case kCmdChannelBlackBox:
    case kCmdChannelServiceKit:
    case kCmdChannelS3: doc_.OnChannel(ChannelOf(id)); break;
    case kCmdConfigSetup: doc_.OnConfigSetup(); break;
    case kCmdDviDigital: doc_.OnDviDigital(); break;
    case kCmdDviAnalog: doc_.OnDviAnalog(); break;
    case kCmdDviAuto: doc_.OnDviAuto(); break;
    case kCmdViewToolbar: toolBar_->setVisible(!toolBar_->isVisible()); break;
    case kCmdViewStatusBar: statusBar()->setVisible(!statusBar()->isVisible()); break;
    case kCmdEdidCode: OnEdidCode(); break;
    case kCmdTaskVrr:
    case kCmdTaskRgbOnly:
    case kCmdTaskMaxTmds:
    case kCmdTaskAddVic:
    case kCmdTaskRemoveVic:
    case kCmdTaskHdrLuminance:
    case kCmdTaskAddTiming:
    case kCmdAddDataBlock:
    case kCmdRemoveDataBlock:
    case kCmdMoveDataBlockUp:
    case kCmdMoveDataBlockDown:
    case kCmdAddExtensionBlock:
    case kCmdRemoveExtensionBlock: RunTaskCommand(*this, id); break;
    case kCmdFileMru: break;
  }
  transferRunning_ = false;
  UpdateCommandUi();
  // A close asked for during the transfer goes ahead now, with its usual question.
  if (transfer && closeAfterTransfer_) {
    closeAfterTransfer_ = false;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  }
}

// The prompts come from the command table; a greyed command's prompts add why it is greyed.
void CMainFrame::EnableCommand(CommandId id, bool enabled, const QString& whyNot) {
  QAction* action = actions_[id];
  action->setEnabled(enabled);
  const QString prompt = Text(FindCommand(id).prompt);
  const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
  QString statusTip = newline < 0 ? prompt : prompt.left(newline);
  QString toolTip = newline < 0 ? prompt : prompt.mid(newline + 1);
  if (!enabled) {
    statusTip = Text(texts::kGreyedBecause).arg(statusTip, whyNot);
    toolTip = Text(texts::kGreyedBecause).arg(toolTip, whyNot);
  }
  action->setStatusTip(statusTip);
  action->setToolTip(toolTip);
}

void CMainFrame::UpdateCommandUi() {
  const QString noChannel = Text(texts::kNoChannelFound);
  EnableCommand(kCmdEdidRead, doc_.IsReadEnabled(), noChannel);
  EnableCommand(kCmdEdidWrite, doc_.IsWriteEnabled(),
                doc_.IsReadEnabled() ? Text(texts::kWriteWaitsForCodeWindow) : noChannel);
  EnableCommand(kCmdProductionWrite, doc_.IsReadEnabled(), noChannel);
  EnableCommand(kCmdReadFromDisplay, doc_.IsReadFromDisplayEnabled(), Text(texts::kNeedsDisplayConnector));
  for (CommandId id : {kCmdApplyToConnector, kCmdInstallFirmware}) {
    EnableCommand(id, doc_.IsConnectorCommandEnabled(), Text(texts::kNeedsKernelConnector));
  }
  for (CommandId id : {kCmdChannelBlackBox, kCmdChannelServiceKit, kCmdChannelS3}) {
    EnableCommand(id, doc_.IsChannelEnabled(ChannelOf(id)),
                  Text(texts::kChannelNotFound).arg(Text(texts::kChannelNames[ChannelOf(id)])));
    actions_[id]->setChecked(doc_.IsChannelChecked(ChannelOf(id)));
  }
  const int current = doc_.CurrentOption();
  const int firstBus = static_cast<int>(doc_.ChannelOptions().size()) - static_cast<int>(channelOptionActions_.size());
  for (int i = 0; i < channelOptionActions_.size(); ++i) {
    QAction* action = channelOptionActions_[i];
    action->setEnabled(doc_.ChannelOptions()[firstBus + i].refusal.isEmpty());
    action->setChecked(firstBus + i == current);
  }
  channelChoice_->setCurrentIndex(current);
  channelChoice_->setEnabled(channelChoice_->count() > 1);
  for (const CommandState& state : TaskCommandStates(*this)) EnableCommand(state.id, state.enabled, state.whyNot);
  actions_[kCmdEdidCode]->setChecked(codeWindowShown_);
  actions_[kCmdViewToolbar]->setChecked(!toolBar_->isHidden());
  actions_[kCmdViewStatusBar]->setChecked(!statusBar()->isHidden());
}

CEdidCodeDlg& CMainFrame::CodeWindow() {
  if (!codeWindow_) {
    codeWindow_ = std::make_unique<CEdidCodeDlg>(block_, doc_.Extensions(), this);
    codeWindow_->Initialise();
    connect(codeWindow_.get(), &CEdidCodeDlg::closedByUser, this, [this] {
      codeWindowShown_ = false;
      UpdateCommandUi();
    });
    connect(codeWindow_.get(), &CEdidCodeDlg::bytesRefreshed, checkPane_, &CCheckPane::BlockChanged);
    connect(codeWindow_.get(), &CEdidCodeDlg::bytesRefreshed, structurePane_, &CStructurePane::EdidChanged);
    connect(codeWindow_.get(), &CEdidCodeDlg::bytesRefreshed, this, [this] {
      if (compareWindow_) compareWindow_->DocumentChanged();
    });
    // The EDID's Ctrl+Z there too (once the Edit menu has made the actions).
    for (const char* name : {"undoEdid", "redoEdid"}) {
      if (auto* action = findChild<QAction*>(QString::fromLatin1(name))) codeWindow_->addAction(action);
    }
  }
  return *codeWindow_;
}

void CMainFrame::OnEdidCode() {
  CEdidCodeDlg& window = CodeWindow();
  codeWindowShown_ = !codeWindowShown_;
  if (codeWindowShown_) RaiseCodeWindow();
  else window.hide();
  UpdateCommandUi();
}

void CMainFrame::RaiseCodeWindow() {
  // A tool window shown before its frame would end up under it (a file opened from the command
  // line); it follows the frame onto the screen instead, see showEvent.
  if (!isVisible()) return;
  CEdidCodeDlg& window = CodeWindow();
  window.show();
  window.raise();
}

void CMainFrame::OnAppAbout() {
  QString text = Text(texts::kAboutText);
  if (!startupNote_.isEmpty()) text += QLatin1String("\n\n") + startupNote_;
  QMessageBox box(QMessageBox::Information, Text(texts::kAboutTitle), text, QMessageBox::Ok, this);
  box.setIconPixmap(windowIcon().pixmap(64, 64));
  box.exec();
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A code window put off until the frame is up (see RaiseCodeWindow) follows it now. The frame
  // asks to be mapped only after this event, and the code window's request must come later, so
  // that the window manager stacks it above the frame. Placed now, it sits beside the frame's
  // final size; a window already on the screen keeps where the user put it.
  if (codeWindowShown_ && !(codeWindow_ && codeWindow_->isVisible())) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (!codeWindowShown_ || CodeWindow().isVisible()) return;
          if (!CodeWindow().testAttribute(Qt::WA_WState_Created)) CodeWindow().PlaceBesideOwner();
          RaiseCodeWindow();
        },
        Qt::QueuedConnection);
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The window manager's close reaches the frame while a transfer paints its progress: the bus and
  // the document must not go away under it.
  if (transferRunning_) {
    closeAfterTransfer_ = true;
    event->ignore();
    return;
  }
  if (!doc_.SaveModified()) {
    event->ignore();
    return;
  }
  if (codeWindow_) codeWindow_->hide();
  event->accept();
}

}  // namespace tolvex
