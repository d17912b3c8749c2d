// "Apply to Connector..." and "Install as Firmware...": the kernel's files need root, so the
// desktop program does not write them itself. It puts the whole EDID into a private temporary
// file and has pkexec run the tolvex-cli beside it, whose polkit action asks for the
// administrator password; what the command line tool prints is what the user is shown.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cstring>

#include "ddc/format_text.h"
#include "ddc/linux/connector_edid.h"
#include "ddc/linux/linux_texts.h"
#include "document/connector_dlg.h"
#include "document/connector_dlg_texts.h"
#include "document/tolvex_doc.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }
QString Local(const std::string& text) { return QString::fromStdString(text); }

constexpr char kPkexec[] = "pkexec";
// pkexec's own exit codes: the dialog dismissed, and not authorised (or no agent to ask).
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorised = 127;
// What tolvex-cli puts before each line it writes to standard error.
constexpr char kCliPrefix[] = "tolvex-cli: ";

// An argument as a shell takes it back: quoted only where it has to be.
QString ShellWord(const QString& word) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=@%+,-]+$"));
  if (plain.match(word).hasMatch()) return word;
  QString quoted = word;
  quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString CommandLine(const QStringList& words) {
  QStringList quoted;
  for (const QString& word : words) quoted << ShellWord(word);
  return quoted.join(QLatin1Char(' '));
}

// What one choice in the dialog makes happen.
struct ConnectorPlan {
  QStringList cli;  // tolvex-cli and its arguments, as pkexec gets them
  QStringList preview;
  bool needsEdid = true;
};

void ShowBox(QWidget* window, QMessageBox::Icon icon, const char* caption, const QString& text,
             const QString& details = {}) {
  QMessageBox box(icon, Text(caption), text, QMessageBox::Ok, window);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (!details.isEmpty()) box.setInformativeText(details);
  box.exec();
}

// The lines tolvex-cli wrote, without its name before each.
QString CliReport(const QString& output) {
  QStringList lines = output.trimmed().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  for (QString& line : lines) {
    if (line.startsWith(QLatin1String(kCliPrefix))) line.remove(0, static_cast<qsizetype>(std::strlen(kCliPrefix)));
  }
  return lines.join(QLatin1Char('\n'));
}

// Says why tolvex-cli did not run or what it refused; false when it did its work.
bool ReportFailure(const CommandResult& result, const ConnectorPlan& planned, QTemporaryFile& edidFile,
                   QWidget* window) {
  if (!result.started) {
    QString text = Text(texts::kPkexecMissing).arg(CommandLine(planned.cli));
    if (planned.needsEdid) {
      // The command above names it: it has to outlive this run.
      edidFile.setAutoRemove(false);
      text += QStringLiteral("\n\n") + Text(texts::kPkexecMissingKept).arg(edidFile.fileName());
    }
    ShowBox(window, QMessageBox::Warning, texts::kPkexecMissingCaption, text);
    return true;
  }
  if (result.exitCode == kPkexecDismissed || result.exitCode == kPkexecNotAuthorised) {
    const QString text = Text(texts::kNotAuthorised).arg(result.exitCode);
    ShowBox(window, QMessageBox::Warning, texts::kNotAuthorisedCaption, text);
    return true;
  }
  if (result.exitCode != 0) {
    const QString report = CliReport(result.err);
    ShowBox(window, QMessageBox::Critical, texts::kCommandFailedCaption,
            report.isEmpty() ? Text(texts::kCommandFailed).arg(result.exitCode) : report);
    return true;
  }
  return false;
}

}  // namespace

QString CTolvexDoc::CliPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/tolvex-cli"); }

void CTolvexDoc::RunConnectorCommand(bool firmware) {
  QWidget* window = frame_->Window();
  const char* caption = firmware ? texts::kFirmwareCaption : texts::kApplyCaption;
  if (!runner_ || linux_.connectors.empty()) return;
  const QString cli = CliPath();
  if (!QFileInfo(cli).isExecutable()) {
    ShowBox(window, QMessageBox::Warning, caption, Text(texts::kCliMissing).arg(cli));
    return;
  }
  // Opened now, so that the preview names the very file; written only once the dialog is accepted.
  QTemporaryFile edidFile(QDir::tempPath() + QStringLiteral("/tolvex-edid-XXXXXX.bin"));
  if (!edidFile.open()) {
    ShowBox(window, QMessageBox::Warning, caption, Text(texts::kTemporaryFileFailed).arg(edidFile.errorString()));
    return;
  }
  const EdidBytes& base = frame_->Block().Bytes();
  const std::vector<uint8_t> whole = JoinWholeEdid(base, extensions_);
  const qsizetype blocks = static_cast<qsizetype>(whole.size()) / kEdidSize;

  QStringList labels;
  for (const DrmConnector& connector : linux_.connectors) {
    const QString name = Local(connector.name);
    labels << Text(connector.connected ? texts::kConnectorConnected : texts::kConnectorDisconnected).arg(name);
  }
  const DrmConnector* shown = DisplayToRead();
  const int current = shown ? static_cast<int>(shown - linux_.connectors.data()) : 0;

  const ConnectorRoots roots{ConnectorRoots().debugfs, hardware_.Paths().sysfs};
  const auto plan = [&](const CConnectorDlg::Choice& choice) {
    const std::string& name = linux_.connectors[choice.connector].name;
    ConnectorPlan planned;
    planned.needsEdid = choice.action != ConnectorAction::kReset;
    const QString edid = Text(texts::kPreviewEdid).arg(whole.size()).arg(blocks);
    if (choice.action == ConnectorAction::kInstallFirmware) {
      planned.cli = {cli, QStringLiteral("install-firmware"), QStringLiteral("--connector"), Local(name),
                     edidFile.fileName()};
      planned.preview << edid << Text(texts::kPreviewFirmware).arg(Local(EdidFirmwarePath("", name)))
                      << Text(texts::kPreviewParameter).arg(Local(EdidFirmwareParameter(name)))
                      << Text(texts::kPreviewBootUnchanged);
    } else {
      planned.cli = {cli, QStringLiteral("apply"), QStringLiteral("--connector"), Local(name)};
      planned.cli << (planned.needsEdid ? edidFile.fileName() : QStringLiteral("--reset"));
      planned.preview << (planned.needsEdid ? edid : Text(texts::kPreviewReset))
                      << Text(texts::kPreviewOverride).arg(Local(EdidOverridePath(hardware_.Files(), roots, name)))
                      << Text(texts::kPreviewStatus).arg(Local(roots.sysfs + "/class/drm/" + name + "/status"));
      if (planned.needsEdid) planned.preview << Text(texts::kPreviewUntilBoot);
    }
    planned.preview << QString() << Text(texts::kPreviewCommand)
                    << CommandLine(QStringList{QString::fromLatin1(kPkexec)} + planned.cli);
    return planned;
  };

  const auto preview = [&](const CConnectorDlg::Choice& choice) { return plan(choice).preview.join(QLatin1Char('\n')); };
  CConnectorDlg dialog(firmware, labels, current, preview, window);
  if (dialog.exec() != QDialog::Accepted) return;
  const CConnectorDlg::Choice choice = dialog.Chosen();
  const ConnectorPlan planned = plan(choice);
  const std::string& name = linux_.connectors[choice.connector].name;

  if (planned.needsEdid) {
    // What EDID Write and Export Binary refuse, the kernel does not get either.
    if (const std::optional<WholeEdidFault> fault = FindWholeEdidFault(base, extensions_)) {
      ShowBox(window, QMessageBox::Warning, caption, Local(DescribeWholeEdidFault(*fault)));
      return;
    }
    const qint64 size = static_cast<qint64>(whole.size());
    if (edidFile.write(reinterpret_cast<const char*>(whole.data()), size) != size || !edidFile.flush()) {
      ShowBox(window, QMessageBox::Warning, caption, Text(texts::kTemporaryFileFailed).arg(edidFile.errorString()));
      return;
    }
  }

  // The run waits for the password dialog and then for tolvex-cli; nothing else starts meanwhile.
  frame_->SetWaitCursor(true);
  const CommandResult result = runner_->Run(QString::fromLatin1(kPkexec), planned.cli);
  frame_->SetWaitCursor(false);
  if (ReportFailure(result, planned, edidFile, window)) return;
  if (choice.action == ConnectorAction::kInstallFirmware) {
    frame_->SetStatusText(FormatText(texts::kFirmwareWritten, EdidFirmwarePath("", name).c_str()));
    ShowBox(window, QMessageBox::Information, caption, Text(texts::kFirmwareInstalled).arg(Local(name)),
            CliReport(result.out));
    return;
  }
  // tolvex-cli says where the bytes went (a card's debugfs folder may be named after its PCI
  // address, which only root can see); the preview's path stands in when it said nothing.
  const QString report = CliReport(result.err);
  const std::string target = EdidOverridePath(hardware_.Files(), roots, name);
  const std::string done = choice.action == ConnectorAction::kReset
                               ? FormatText(texts::kOverrideReset, name.c_str(), target.c_str())
                               : FormatText(texts::kOverrideApplied, name.c_str(), whole.size(), target.c_str());
  frame_->SetStatusText(report.isEmpty() ? done : report.split(QLatin1Char('\n')).last().toStdString());
}

}  // namespace tolvex
