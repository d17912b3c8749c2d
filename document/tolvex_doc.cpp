#include "document/tolvex_doc.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QStringDecoder>

#include "app/edid_code_dlg.h"
#include "ddc/config_dlg.h"
#include "ddc/format_text.h"
#include "document/document_texts.h"
#include "document/framework_texts.h"
#include "document/settings.h"
#include "model/edid_block.h"
#include "report/edid_report.h"
#include "report/report_reader.h"
#include "wizard/edid_wizard.h"

namespace tolvex {

namespace {

// The largest file the view takes.
constexpr qint64 kMaxFileSize = 1'048'575;

QString Text(const char* text) { return QString::fromLatin1(text); }

bool IsUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  (void)decoder.decode(bytes);
  return !decoder.hasError();
}

// Every line feed has a carriage return before it.
bool HasCrLfLines(const QByteArray& bytes) {
  for (qsizetype i = bytes.indexOf('\n'); i >= 0; i = bytes.indexOf('\n', i + 1)) {
    if (i == 0 || bytes[i - 1] != '\r') return false;
  }
  return true;
}

}  // namespace

CTolvexDoc::CTolvexDoc(Hardware& hardware, ProbeUi& probeUi)
    : hardware_(hardware), bus_(hardware.Io(), hardware.GetClock(), probeUi), configDlg_(std::make_unique<CConfigDlg>()) {
  LoadSettings(settings_);
}

CTolvexDoc::~CTolvexDoc() = default;

void CTolvexDoc::AttachFrame(DocumentFrame& frame) {
  frame_ = &frame;
  transfer_ = std::make_unique<CEdidTransfer>(bus_, frame.Block(), settings_, hardware_.GetClock(), frame, *this);
}

QString CTolvexDoc::Title() const { return title_.isEmpty() ? Text(texts::kUntitled) : title_; }

void CTolvexDoc::SetModifiedFlag(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit stateChanged();
}

bool CTolvexDoc::IsWriteEnabled() const { return transfer_->IsWriteEnabled(frame_->IsCodeWindowShown()); }

bool CTolvexDoc::OnNewDocument() {
  pathName_.clear();
  title_.clear();
  modified_ = false;
  crlf_ = true;
  latin1_ = true;
  frame_->SetViewText(QString());
  frame_->SetViewModified(false);
  emit stateChanged();
  return true;
}

bool CTolvexDoc::OnOpenDocument(const QString& path) {
  QWidget* window = frame_->Window();
  QFile file(path);
  if (!file.exists()) {
    QMessageBox::warning(window, Text(texts::kApplicationTitle), Text(texts::kCannotFindFile).arg(path));
    return false;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    QMessageBox::warning(window, Text(texts::kApplicationTitle), Text(texts::kFailedToOpen));
    return false;
  }
  if (file.size() > kMaxFileSize) {
    QMessageBox::warning(window, Text(texts::kApplicationTitle), Text(texts::kFileTooLarge));
    return false;
  }
  const QByteArray content = file.read(kMaxFileSize + 1);
  if (file.error() != QFileDevice::NoError || content.size() > kMaxFileSize) {
    QMessageBox::warning(window, Text(texts::kApplicationTitle),
                         content.size() > kMaxFileSize ? Text(texts::kFileTooLarge) : Text(texts::kFailedToOpen));
    return false;
  }

  const std::string_view text(content.constData(), static_cast<size_t>(content.size()));
  std::optional<DumpStart> start = FindDumpStart(text);
  if (!start) {
    // Asked before the file reaches the view, so that No leaves the previous document entirely as
    // it was: its text with the undo history, and how its file is saved again (line ends, encoding).
    QMessageBox question(QMessageBox::Question, Text(texts::kOpenErrorCaption), Text(texts::kInvalidHexFile),
                         QMessageBox::Yes | QMessageBox::No, window);
    question.setDefaultButton(QMessageBox::No);
    if (question.exec() != QMessageBox::Yes) return false;
    start = DumpStart{0, 2};
  }
  SetViewText(std::string(text));

  EdidBlock& block = frame_->Block();
  block.Bytes() = ParseDump(text, *start);
  frame_->SetCodeWindowShown(false);
  frame_->OnEdidCode();
  HighlightRange(0, 127, true);
  ClearHighlight();

  pathName_ = path;
  title_ = QFileInfo(path).fileName();
  frame_->SetViewModified(false);
  modified_ = false;
  emit stateChanged();
  return true;
}

bool CTolvexDoc::OnSaveDocument(const QString& path) {
  QString text = frame_->ViewText();
  if (crlf_) text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  bool latin1 = latin1_;
  for (QChar c : text) {
    if (c.unicode() > 0xFF) latin1 = false;
  }
  const QByteArray bytes = latin1 ? text.toLatin1() : text.toUtf8();

  // The previous file stays whole until the new one is completely written.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    QMessageBox::warning(frame_->Window(), Text(texts::kApplicationTitle), Text(texts::kFailedToSave));
    return false;
  }
  latin1_ = latin1;
  return true;
}

bool CTolvexDoc::DoSave(const QString& path, bool replace) {
  QString target = path;
  if (target.isEmpty()) {
    QString suggested = pathName_;
    if (suggested.isEmpty()) suggested = Title() + QLatin1String(".ddc");
    target = frame_->AskSavePath(suggested);
    if (target.isEmpty()) return false;
  }
  if (!OnSaveDocument(target)) return false;
  if (replace) {
    pathName_ = target;
    title_ = QFileInfo(target).fileName();
  }
  frame_->SetViewModified(false);
  modified_ = false;
  emit stateChanged();
  return true;
}

bool CTolvexDoc::DoFileSave() { return DoSave(pathName_, true); }

bool CTolvexDoc::SaveModified(QWidget* parent) {
  if (!modified_) return true;
  const QMessageBox::StandardButton answer = QMessageBox::question(
      parent ? parent : frame_->Window(), Text(texts::kApplicationTitle), Text(texts::kSaveChanges).arg(Title()),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::No) return true;
  return DoFileSave();
}

void CTolvexDoc::OnFileNew() {
  ShowCodeWindow();
  EdidBlock& block = frame_->Block();
  const EdidBytes backup = block.Bytes();
  // How the report prints the product code and the serial number goes with the bytes: step 1 may
  // change it, and a cancelled wizard must not leave it describing bytes it no longer wrote.
  const uint8_t productCodeFormat = block.GetProductCodeFormat();
  const uint8_t serialFormat = block.GetSerialFormat();
  bool finished = false;
  {
    CEdidWizard wizard(block, frame_->CodeWindow(), frame_->Window());
    wizard.setWindowTitle(Text(texts::kWizardCaption));
    // Finish replaces the document: unsaved edits are offered for saving first, and Cancel there
    // goes back to the wizard.
    wizard.SetFinishCheck([this, &wizard] { return SaveModified(&wizard); });
    finished = wizard.exec() == QDialog::Accepted;
  }
  if (finished) {
    ReplaceDocument(FormatEdidReport(block));
  } else {
    block.Bytes() = backup;
    block.SetProductCodeFormat(productCodeFormat);
    block.SetSerialFormat(serialFormat);
    // From byte 0: a report loaded on step 1 may have replaced header bytes the block did not hold.
    HighlightRange(0, 127, true);
  }
  ClearHighlight();
}

void CTolvexDoc::OnEdidRead() {
  // A successful read replaces the document; its unsaved edits are offered for saving first.
  if (!SaveModified()) return;
  transfer_->OnEdidRead();
}

void CTolvexDoc::OnEdidWrite() {
  // A failure ends in its error box; success would leave only "Ready", or nothing, behind.
  if (transfer_->OnEdidWrite()) frame_->SetStatusText(texts::kEdidWrittenAndVerified);
}

void CTolvexDoc::OnDviDigital() { ShowDviResult(transfer_->OnDviDigital(), texts::kDviDigitalSelected); }

void CTolvexDoc::OnDviAnalog() { ShowDviResult(transfer_->OnDviAnalog(), texts::kDviAnalogSelected); }

void CTolvexDoc::OnDviAuto() { ShowDviResult(transfer_->OnDviAuto(), texts::kDviAutoSelected); }

void CTolvexDoc::ShowDviResult(uint8_t status, const char* selected) {
  frame_->SetStatusText(status ? FormatText(texts::kDviSwitchUnanswered, status) : std::string(selected));
}

void CTolvexDoc::OnConfigSetup() {
  CConfigDlg& dialog = *configDlg_;
  dialog.protocol = static_cast<int>(settings_.protocol);
  dialog.factoryEnable = settings_.factoryEnable != 0;
  dialog.pageText = QString::fromStdString(settings_.mappedPage);
  dialog.softwareDdcOnly = settings_.softwareDdcOnly;
  // Modal over the main window for this run only: the document, not the window, owns the dialog.
  dialog.setParent(frame_->Window(), dialog.windowFlags());
  const int result = dialog.exec();
  dialog.setParent(nullptr, dialog.windowFlags());
  if (result != QDialog::Accepted) return;
  settings_.protocol = static_cast<uint32_t>(dialog.protocol);
  settings_.factoryEnable = dialog.factoryEnable ? 1 : 0;
  settings_.softwareDdcOnly = dialog.softwareDdcOnly;
  settings_.mappedPage = dialog.pageText.toStdString();
  SaveSettings(settings_);
}

void CTolvexDoc::ShowCodeWindow() {
  // Shown but covered by the main window is no use to a command that highlights bytes in it.
  if (frame_->IsCodeWindowShown()) frame_->RaiseCodeWindow();
  else frame_->OnEdidCode();
}

void CTolvexDoc::HighlightRange(int first, int last, bool refresh) {
  frame_->CodeWindow().HighlightRange(first, last, refresh);
}

void CTolvexDoc::ClearHighlight() { frame_->CodeWindow().ClearHighlight(); }

void CTolvexDoc::ReplaceDocument(const std::string& reportText) {
  if (!OnNewDocument()) return;
  SetViewText(reportText);
  frame_->SetViewModified(true);
  title_ = Text(texts::kUntitled);
  modified_ = true;
  emit stateChanged();
}

void CTolvexDoc::SetViewText(const std::string& text) {
  const QByteArray bytes = QByteArray::fromStdString(text);
  crlf_ = HasCrLfLines(bytes);
  latin1_ = !IsUtf8(bytes);
  QString view = latin1_ ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
  if (crlf_) view.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  frame_->SetViewText(view);
}

}  // namespace tolvex
