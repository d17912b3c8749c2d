#include "document/tolvex_doc.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "document/edid_code_view.h"
#include "document/config_dlg.h"
#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "ddc/linux/linux_texts.h"
#include "ddc/usb/usb_texts.h"
#include "document/document_texts.h"
#include "document/framework_texts.h"
#include "document/production_dlg.h"
#include "document/settings.h"
#include "model/edid_block.h"
#include "report/edid_report.h"
#include "report/edid_input.h"
#include "report/report_reader.h"
#include "util/file_io.h"
#include "wizard/edid_wizard.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }

// The wizard's steps know EDID 1.0 to 1.3.
constexpr int kLastWizardRevision = 3;

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// One warning box: the framework's text, and why below it.
void Warn(QWidget* window, const char* text, const std::string& reason) {
  QMessageBox box(QMessageBox::Warning, Text(texts::kApplicationTitle), Text(text), QMessageBox::Ok, window);
  if (!reason.empty()) box.setInformativeText(QString::fromLocal8Bit(reason.c_str()));
  box.exec();
}

}  // namespace

CTolvexDoc::CTolvexDoc(Hardware& hardware, ProbeUi& probeUi)
    : hardware_(hardware), bus_(hardware.Io(), hardware.GetClock(), probeUi), configDlg_(std::make_unique<CConfigDlg>()) {
  LoadSettings(settings_);
  FindChannelOptions();
  ChooseRememberedChannel();
}

void CTolvexDoc::FindChannelOptions() {
  linux_ = DiscoverLinux(hardware_.Files(), hardware_.Paths());
  MatchBusesByEdid(linux_, hardware_.Devices(), hardware_.GetClock());
  if (bus_.Channel() != kChannelNone) options_.push_back({Text(texts::kChannelNames[bus_.Channel()]), {}, bus_.Channel()});
  for (const UsbProgrammer& programmer : FindUsbProgrammers(hardware_.Usb())) {
    options_.push_back({QString::fromStdString(programmer.Label()), {}, kChannelLinuxBus, -1, programmer.Name()});
  }
  for (const LinuxBusChannel& channel : ListLinuxBuses(linux_)) {
    // Choosing a bus in the list names it; a system bus stays refused without --force, which
    // only tolvex-cli offers.
    const std::optional<Refusal> refusal = AdapterRefusal(*channel.adapter, true, false);
    options_.push_back({QString::fromStdString(channel.Label()),
                        refusal ? QString::fromStdString(refusal->reason) : QString(), kChannelLinuxBus,
                        channel.adapter->number});
  }
}

// The bus or programmer chosen last when it is still there; else the adapter discovery found;
// else the bus the simulation stands for; else the one USB programmer plugged in; else the first
// connected display's bus the rules allow.
void CTolvexDoc::ChooseRememberedChannel() {
  const std::string remembered = LoadChannelChoice();
  const std::vector<UsbProgrammer> programmers = FindUsbProgrammers(hardware_.Usb());
  for (const UsbProgrammer& programmer : programmers) {
    if (remembered.empty() || programmer.Name() != remembered) continue;
    programmer_ = remembered;
    return;
  }
  for (const LinuxBusChannel& channel : ListLinuxBuses(linux_)) {
    if (remembered.empty() || channel.Key() != remembered || AdapterRefusal(*channel.adapter, true, false)) continue;
    linuxBus_ = channel.adapter->number;
    return;
  }
  if (bus_.Channel() != kChannelNone) return;
  if (hardware_.SimulatedBus() >= 0) {
    linuxBus_ = hardware_.SimulatedBus();
    return;
  }
  if (programmers.size() == 1) {
    programmer_ = programmers.front().Name();
    return;
  }
  for (const LinuxBusChannel& channel : ListLinuxBuses(linux_)) {
    if (!channel.connector || !channel.connector->connected || channel.refusal) continue;
    linuxBus_ = channel.adapter->number;
    return;
  }
}

int CTolvexDoc::Channel() const { return OnMessageBus() ? kChannelLinuxBus : transfer_->Channel(); }

int CTolvexDoc::CurrentOption() const {
  for (size_t i = 0; i < options_.size(); ++i) {
    const ChannelOption& option = options_[i];
    const bool current = !programmer_.empty() ? option.programmer == programmer_
                         : linuxBus_ >= 0     ? option.bus == linuxBus_
                                              : option.channel == transfer_->Channel();
    if (current) return static_cast<int>(i);
  }
  return -1;
}

void CTolvexDoc::ChooseOption(int index) {
  if (index < 0 || index >= static_cast<int>(options_.size()) || !options_[index].refusal.isEmpty()) return;
  const ChannelOption& option = options_[index];
  if (option.channel != kChannelLinuxBus) {
    OnChannel(option.channel);
    return;
  }
  linuxBus_ = option.bus;
  programmer_ = option.programmer;
  if (!programmer_.empty()) SaveChannelChoice(programmer_);
  for (const LinuxBusChannel& channel : ListLinuxBuses(linux_)) {
    if (channel.adapter->number == option.bus) SaveChannelChoice(channel.Key());
  }
}

void CTolvexDoc::OnChannel(int channel) {
  if (OnMessageBus()) SaveChannelChoice({});
  linuxBus_ = -1;
  programmer_.clear();
  transfer_->OnChannel(channel);
}

void CTolvexDoc::OnEdidRead() {
  // A successful read replaces the document; its unsaved edits are offered for saving first.
  if (!SaveModified()) return;
  documentReplaced_ = false;
  RunTransferCommand([](CEdidTransfer& transfer) { transfer.OnEdidRead(); }, true);
  if (!documentReplaced_) return;
  // What the read found wrong follows what it read.
  const QString notes = frame_->StatusText();
  const int blocks = 1 + extensions_.Count();
  QString summary = Text(texts::kEdidReadSummary).arg(blocks).arg(blocks * kEdidSize);
  if (notes != Text(texts::kReady)) summary += Text(texts::kNoteSeparator) + notes;
  frame_->SetStatusText(summary.toStdString());
}

void CTolvexDoc::OnEdidWrite() {
  // A failure ends in its error box; success would leave only "Ready", or nothing, behind.
  RunTransferCommand(
      [this](CEdidTransfer& transfer) {
        if (!transfer.OnEdidWrite()) return;
        // Where the old EDID went (or why it went nowhere) stays in view after the write.
        std::string status = texts::kEdidWrittenAndVerified;
        if (!transfer.BackupNote().empty()) status += texts::kNoteSeparator + transfer.BackupNote();
        frame_->SetStatusText(status);
      },
      false);
}

void CTolvexDoc::OnDviDigital() {
  RunTransferCommand([this](CEdidTransfer& t) { ShowDviResult(t.OnDviDigital(), texts::kDviDigitalSelected); }, false);
}

void CTolvexDoc::OnDviAnalog() {
  RunTransferCommand([this](CEdidTransfer& t) { ShowDviResult(t.OnDviAnalog(), texts::kDviAnalogSelected); }, false);
}

void CTolvexDoc::OnDviAuto() {
  RunTransferCommand([this](CEdidTransfer& t) { ShowDviResult(t.OnDviAuto(), texts::kDviAutoSelected); }, false);
}

void CTolvexDoc::ShowDviResult(uint8_t status, const char* selected) {
  frame_->SetStatusText(status ? FormatText(texts::kDviSwitchUnanswered, status) : std::string(selected));
}

void CTolvexDoc::RunTransferCommand(const std::function<void(CEdidTransfer&)>& command, bool reading) {
  if (!programmer_.empty()) {
    if (std::unique_ptr<CCh341aBus> bus = OpenProgrammer()) {
      CEdidTransfer transfer(*bus, frame_->Block(), extensions_, settings_, hardware_.GetClock(), *frame_, *this);
      command(transfer);
    }
    return;
  }
  if (linuxBus_ < 0) {
    command(*transfer_);
    return;
  }
  RunOnLinuxBus(reading, command);
}

std::unique_ptr<CCh341aBus> CTolvexDoc::OpenProgrammer() {
  std::string error;
  std::unique_ptr<CCh341aBus> bus = OpenUsbProgrammer(hardware_.Usb(), hardware_.GetClock(), programmer_, false, error);
  if (!bus) frame_->ShowError(error, texts::kProgrammerUnavailableCaption);
  return bus;
}

void CTolvexDoc::RunOnLinuxBus(bool reading, const std::function<void(CEdidTransfer&)>& command) {
  std::string error;
  std::unique_ptr<CI2cDevBus> bus =
      OpenLinuxBus(linux_, hardware_.Devices(), hardware_.GetClock(), linuxBus_, {true, false}, error);
  if (!bus) {
    const DrmConnector* connector = linux_.ConnectorOf(linuxBus_);
    if (reading && connector && KernelEdid(*connector)) {
      const std::string path = hardware_.Paths().sysfs + "/class/drm/" + connector->name + "/edid";
      const std::string note = FormatText(texts::kFallbackToSysfs, error.c_str(), path.c_str());
      ReadKernelCopy(*connector, note);
      QMessageBox::information(frame_->Window(), Text(texts::kBusUnavailableCaption), QString::fromStdString(note));
      return;
    }
    frame_->ShowError(error, texts::kBusUnavailableCaption);
    return;
  }
  CEdidTransfer transfer(*bus, frame_->Block(), extensions_, settings_, hardware_.GetClock(), *frame_, *this);
  command(transfer);
}

// The rules are the transfer's, whichever bus the write then takes.
bool CTolvexDoc::RefuseEdidWrite() { return transfer_->RefuseFaultyEdid(); }

const DrmConnector* CTolvexDoc::DisplayToRead() const {
  const DrmConnector* chosen = linux_.ConnectorOf(linuxBus_);
  if (chosen && chosen->connected && KernelEdid(*chosen)) return chosen;
  for (const DrmConnector& connector : linux_.connectors) {
    if (connector.connected && KernelEdid(connector)) return &connector;
  }
  return nullptr;
}

void CTolvexDoc::OnReadFromDisplay() {
  const DrmConnector* connector = DisplayToRead();
  // Like EDID Read, the kernel's copy replaces the document.
  if (!connector || !SaveModified()) return;
  const std::string path = hardware_.Paths().sysfs + "/class/drm/" + connector->name + "/edid";
  ReadKernelCopy(*connector, FormatText(texts::kReadFromDisplay, path.c_str()));
}

void CTolvexDoc::ReadKernelCopy(const DrmConnector& connector, const std::string& note) {
  // The kernel read the display when it was connected; a display may have changed since, so the
  // file is read again now.
  const std::string path = hardware_.Paths().sysfs + "/class/drm/" + connector.name + "/edid";
  DrmConnector current = connector;
  current.edid = hardware_.Files().ReadFile(path, 256 * 128).value_or(connector.edid);
  const std::optional<WholeEdid> edid = KernelEdid(current);
  if (!edid) return;
  ShowCodeWindow();
  TakeReadEdid({edid->base, edid->extensions, {note}}, frame_->Block(), extensions_, *frame_, *this);
}

CTolvexDoc::~CTolvexDoc() = default;

void CTolvexDoc::AttachFrame(DocumentFrame& frame) {
  frame_ = &frame;
  transfer_ =
      std::make_unique<CEdidTransfer>(bus_, frame.Block(), extensions_, settings_, hardware_.GetClock(), frame, *this);
}

void CTolvexDoc::OnProductionWrite() {
  const EdidBlock& block = frame_->Block();
  const auto runDialog = [&](const ProductionStation& station) {
    CProductionDlg dialog(station, block.Bytes(), extensions_, block.GetSerialFormat(), frame_->Window());
    dialog.exec();
  };
  if (!programmer_.empty()) {
    if (std::unique_ptr<CCh341aBus> bus = OpenProgrammer()) runDialog(ProductionStation(*bus, settings_, hardware_));
    return;
  }
  if (linuxBus_ < 0) {
    runDialog(ProductionStation(bus_, settings_, hardware_));
    return;
  }
  // The kernel bus stays open while the dialog is: one station for the whole batch.
  std::string error;
  std::unique_ptr<CI2cDevBus> bus =
      OpenLinuxBus(linux_, hardware_.Devices(), hardware_.GetClock(), linuxBus_, {true, false}, error);
  if (!bus) {
    frame_->ShowError(error, texts::kBusUnavailableCaption);
    return;
  }
  runDialog(ProductionStation(*bus, settings_, hardware_));
}

QString CTolvexDoc::Title() const { return title_.isEmpty() ? Text(texts::kUntitled) : title_; }

void CTolvexDoc::SetModifiedFlag(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit stateChanged();
}

bool CTolvexDoc::IsWriteEnabled() const {
  return OnMessageBus() ? frame_->IsCodeWindowShown() : transfer_->IsWriteEnabled(frame_->IsCodeWindowShown());
}

bool CTolvexDoc::OnNewDocument() {
  pathName_.clear();
  title_.clear();
  modified_ = false;
  fileText_ = FileText();
  frame_->SetViewText(QString());
  frame_->SetViewModified(false);
  emit stateChanged();
  return true;
}

// The checks of File Open, each refusal in its own box; the question about a report whose dump
// is damaged (or missing) comes before anything changes, and No refuses too.
bool CTolvexDoc::ReadEdidFile(const QString& path, std::string& bytes, EdidInput& input) {
  QWidget* window = frame_->Window();
  if (!QFile::exists(path)) {
    QMessageBox::warning(window, Text(texts::kApplicationTitle), Text(texts::kCannotFindFile).arg(path));
    return false;
  }
  // Read without waiting: a FIFO or a device that never ends must not hang the program.
  FileContent file = ReadInputFile(LocalPath(path), kMaxReportFileSize);
  if (file.error) {
    if (file.error.problem == FileProblem::kTooLarge) {
      QMessageBox::warning(window, Text(texts::kApplicationTitle), Text(texts::kFileTooLarge));
    } else {
      Warn(window, texts::kFailedToOpen, DescribeFileError(file.error));
    }
    return false;
  }

  const std::string_view text(file.bytes);
  input = ReadEdidInput(text, QFileInfo(path).fileName().toStdString());
  if (input.kind == EdidInput::kOversized) {
    QMessageBox::warning(window, Text(texts::kApplicationTitle), Text(texts::kBinaryTooLong));
    return false;
  }
  if (input.kind != EdidInput::kBinary && (input.kind == EdidInput::kNeither || input.damage)) {
    // Asked before the file reaches the view, so that No leaves the previous document entirely as
    // it was: its text with the undo history, and how its file is saved again (line ends, encoding).
    QMessageBox question(QMessageBox::Question, Text(texts::kOpenErrorCaption), Text(texts::kInvalidHexFile),
                         QMessageBox::Yes | QMessageBox::No, window);
    if (input.damage) {
      // One question says it all: where the dump breaks, and what that leaves missing.
      QString detail = QString::fromStdString(DescribeDumpDamage(*input.damage));
      if (input.extensions.missingBytes > 0) {
        detail += QStringLiteral("\n\n") + Text(texts::kFileLacksBytes).arg(input.extensions.missingBytes);
      }
      question.setInformativeText(detail);
    }
    question.setDefaultButton(QMessageBox::No);
    if (question.exec() != QMessageBox::Yes) return false;
    if (input.kind == EdidInput::kNeither) {
      WholeDump dump = ParseWholeDump(text, DumpStart{0, 2});
      input.bytes = dump.base;
      input.extensions = std::move(dump.extensions);
    }
  }
  bytes = std::move(file.bytes);
  return true;
}

std::optional<std::vector<uint8_t>> CTolvexDoc::ReadOtherEdid(const QString& path) {
  std::string bytes;
  EdidInput input;
  if (!ReadEdidFile(path, bytes, input)) return std::nullopt;
  // As File Open says it of the file it opens; what is there is compared.
  if (!input.damage && input.extensions.missingBytes > 0) {
    QMessageBox::warning(frame_->Window(), Text(texts::kApplicationTitle),
                         Text(texts::kFileLacksBytes).arg(input.extensions.missingBytes));
  }
  return JoinWholeEdid(input.bytes, input.extensions);
}

bool CTolvexDoc::OnOpenDocument(const QString& path) {
  std::string bytes;
  EdidInput input;
  if (!ReadEdidFile(path, bytes, input)) return false;
  const QFileInfo info(path);
  if (input.kind == EdidInput::kBinary) return OpenBinary(info, input);
  SetViewText(bytes);

  const bool missingShown = input.damage.has_value();
  TakeOpenedEdid(input.bytes, std::move(input.extensions), !missingShown);
  pathName_ = path;
  title_ = info.fileName();
  frame_->SetViewModified(false);
  modified_ = false;
  emit stateChanged();
  return true;
}

// Raw bytes have no report to show: the view gets the report of what they hold. The document
// stays without a path, so Save asks where the report goes rather than overwriting the binary
// file with text.
bool CTolvexDoc::OpenBinary(const QFileInfo& info, EdidInput& input) {
  EdidBlock& block = frame_->Block();
  TakeOpenedEdid(input.bytes, std::move(input.extensions));
  SetViewText(FormatEdidReport(block, extensions_.blocks));
  pathName_.clear();
  title_ = HasBinaryEdidName(info.fileName().toStdString()) ? info.completeBaseName() : info.fileName();
  frame_->SetViewModified(false);
  modified_ = false;
  emit stateChanged();
  return true;
}

void CTolvexDoc::TakeOpenedEdid(const EdidBytes& base, EdidExtensions extensions, bool warnMissing) {
  SetHasEdid(true);
  frame_->Block().Bytes() = base;
  extensions_ = std::move(extensions);
  // The code window's refresh puts the right checksum in byte 127; what the file held stays on
  // show, in the status bar as after EDID Read and in the check.
  const bool checksumWrong = !IsChecksumRight(base);
  if (checksumWrong) extensions_.storedChecksum = base[127];
  frame_->SetCodeWindowShown(false);
  frame_->OnEdidCode();
  HighlightRange(0, 127, true);
  ClearHighlight();
  if (checksumWrong) frame_->ShowNote(FormatText(texts::kNoteBaseChecksum, base[127], ComputeChecksum(base)));
  if (warnMissing && extensions_.missingBytes > 0) {
    QMessageBox::warning(frame_->Window(), Text(texts::kApplicationTitle),
                         Text(texts::kFileLacksBytes).arg(extensions_.missingBytes));
  }
}

bool CTolvexDoc::OnSaveDocument(const QString& path) {
  const QString text = frame_->ViewText();
  FileText::Encoded encoded = fileText_.BytesFor(text);
  // The previous file stays whole until the new one is completely written and on the disk.
  const FileError error = WriteFileAtomically(
      LocalPath(path), std::string_view(encoded.bytes.constData(), static_cast<size_t>(encoded.bytes.size())));
  if (error) {
    Warn(frame_->Window(), texts::kFailedToSave, DescribeFileError(error));
    return false;
  }
  fileText_.Saved(text, std::move(encoded));
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
  // Saved on purpose: the EDID is taken as it stands, missing bytes and all.
  extensions_.missingBytes = 0;
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
  if (block.GetVersion().revision > kLastWizardRevision) {
    QMessageBox::warning(frame_->Window(), Text(texts::kWizardCaption),
                         Text(texts::kWizardNewerRevision).arg(block.GetVersion().revision));
  }
  const EdidBytes backup = block.Bytes();
  // The wizard's keys are checked as they come; Cancel leaves the document as it was.
  const bool hadEdid = hasEdid_;
  SetHasEdid(true);
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
    // Edited on purpose: the EDID is taken as it stands, and its report shows the checksum it has.
    extensions_.missingBytes = 0;
    extensions_.storedChecksum.reset();
    ReplaceDocument(FormatEdidReport(block, extensions_.blocks));
  } else {
    block.Bytes() = backup;
    block.SetProductCodeFormat(productCodeFormat);
    block.SetSerialFormat(serialFormat);
    SetHasEdid(hadEdid);
    // From byte 0: a report loaded on step 1 may have replaced header bytes the block did not hold.
    HighlightRange(0, 127, true);
  }
  ClearHighlight();
}

void CTolvexDoc::OnFileExportBinary() {
  QWidget* window = frame_->Window();
  const EdidBytes& base = frame_->Block().Bytes();
  if (const std::optional<WholeEdidFault> fault = FindWholeEdidFault(base, extensions_)) {
    QMessageBox::warning(window, Text(texts::kExportCaption), QString::fromStdString(DescribeWholeEdidFault(*fault)));
    return;
  }
  QString suggested = pathName_.isEmpty() ? Title() : QFileInfo(pathName_).path() + QLatin1Char('/') +
                                                          QFileInfo(pathName_).completeBaseName();
  const QString target = frame_->AskExportPath(suggested + Text(texts::kExportExtension));
  if (target.isEmpty()) return;
  const std::vector<uint8_t> bytes = JoinWholeEdid(base, extensions_);
  // As a save: the previous file stays whole until the new one is completely on the disk.
  const FileError error = WriteFileAtomically(
      LocalPath(target), std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (error) {
    Warn(window, texts::kFailedToSave, DescribeFileError(error));
    return;
  }
  const qsizetype blocks = static_cast<qsizetype>(bytes.size()) / kEdidSize;
  frame_->SetStatusText(
      Text(texts::kExportSummary).arg(blocks).arg(bytes.size()).arg(QDir::toNativeSeparators(target)).toStdString());
}

void CTolvexDoc::OnConfigSetup() {
  CConfigDlg& dialog = *configDlg_;
  dialog.protocol = static_cast<int>(settings_.protocol);
  dialog.factoryEnable = settings_.factoryEnable != 0;
  dialog.pageText = QString::fromStdString(settings_.mappedPage);
  dialog.softwareDdcOnly = settings_.softwareDdcOnly;
  dialog.channelLabels.clear();
  dialog.channelRefusals.clear();
  for (const ChannelOption& option : options_) {
    dialog.channelLabels << option.label;
    dialog.channelRefusals << option.refusal;
  }
  dialog.channel = CurrentOption();
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
  if (dialog.channel != CurrentOption()) ChooseOption(dialog.channel);
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
  documentReplaced_ = true;
  SetHasEdid(true);
  SetViewText(reportText);
  frame_->SetViewModified(true);
  title_ = Text(texts::kUntitled);
  modified_ = true;
  emit stateChanged();
}

void CTolvexDoc::ShowEditedEdid(int first, int last) {
  // The file's own bytes stay behind the view, so saving encodes only the lines that changed.
  const std::string report = FormatEdidReport(frame_->Block(), extensions_.blocks);
  frame_->SetViewText(FileText::FromBytes(QByteArray::fromStdString(report)).ViewText());
  frame_->SetViewModified(true);
  SetModifiedFlag(true);
  SetHasEdid(true);
  HighlightRange(first, last, true);
}

void CTolvexDoc::SetHasEdid(bool hasEdid) {
  if (hasEdid_ == hasEdid) return;
  hasEdid_ = hasEdid;
  emit hasEdidChanged();
}

void CTolvexDoc::SetViewText(const std::string& text) {
  fileText_ = FileText::FromBytes(QByteArray::fromStdString(text));
  frame_->SetViewText(fileText_.ViewText());
  fileText_.Adopt(frame_->ViewText());
}

}  // namespace tolvex
