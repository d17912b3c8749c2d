// The one document: the EDID block's life as a .ddc file, and the owner of the bus, the transfer
// settings and the configuration dialog. It handles File New and every I2C command itself; the
// block, the code window and the view text belong to the main window and are reached through it.
#pragma once

#include <QFileInfo>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ddc/edid_transfer.h"
#include "ddc/hardware.h"
#include "ddc/i2c_bus.h"
#include "ddc/linux/linux_channels.h"
#include "ddc/usb/usb_programmers.h"
#include "document/command_runner.h"
#include "document/document_frame.h"
#include "document/file_text.h"
#include "model/edid_extensions.h"
#include "report/edid_input.h"

namespace tolvex {

class CConfigDlg;

class CTolvexDoc : public QObject, public EdidDocumentUi {
  Q_OBJECT

 public:
  // Calibrates the bus delay and discovers the I2C channel on `hardware` (probe messages go to
  // `probeUi`), finds the kernel's I2C buses and connectors, then loads the settings and the
  // channel chosen last.
  CTolvexDoc(Hardware& hardware, ProbeUi& probeUi);
  ~CTolvexDoc() override;

  // The main window, once it exists; the commands need it.
  void AttachFrame(DocumentFrame& frame);

  // File state.
  const QString& PathName() const { return pathName_; }
  QString Title() const;
  bool IsModified() const { return modified_; }
  // An EDID came in (File New's wizard, File Open, EDID Read, Read from display, an undo or redo);
  // until then the block is the blank one nothing shows.
  bool HasEdid() const { return hasEdid_; }
  void SetModifiedFlag(bool modified = true);

  // The framework's steps.
  bool OnNewDocument();
  bool OnOpenDocument(const QString& path);
  bool OnSaveDocument(const QString& path);
  // The whole EDID of another file, read as File Open reads it (with its boxes when it cannot be
  // read); the document stays as it is.
  std::optional<std::vector<uint8_t>> ReadOtherEdid(const QString& path);
  // Asks "Save changes to %1?" when modified (the box over `parent`, the main window by default);
  // false when the user cancels or the save fails.
  bool SaveModified(QWidget* parent = nullptr);
  // Save: to the current path, or through Save As when there is none.
  bool DoFileSave();
  bool DoSave(const QString& path, bool replace);

  // Commands. On a kernel I2C bus each opens the bus for its own run.
  void OnFileNew();
  // The whole EDID as raw binary, for the kernel's EDID firmware.
  void OnFileExportBinary();
  void OnEdidRead();
  void OnEdidWrite();
  // Says why the whole EDID must not be written, when it must not.
  bool RefuseEdidWrite();
  void OnChannel(int channel);
  void OnConfigSetup();
  // "Production Write...": the dialog that programs monitor after monitor with the whole EDID,
  // each unit's base block its own.
  void OnProductionWrite();
  void OnDviDigital();
  void OnDviAnalog();
  void OnDviAuto();
  // The kernel's copy of a connected display's EDID: the chosen bus's display, else the first.
  void OnReadFromDisplay();
  // "Apply to Connector..." and "Install as Firmware...": the whole EDID (or, for Apply, a reset
  // of the override) goes to a connector the kernel drives, through tolvex-cli run as root by
  // pkexec. Nothing runs until the dialog showing what goes where is accepted.
  void OnApplyToConnector() { RunConnectorCommand(false); }
  void OnInstallFirmware() { RunConnectorCommand(true); }
  // Where tolvex-cli is run from: beside this program, as the polkit action names it installed.
  static QString CliPath();

  // Enabling and check marks of the I2C commands. The channel is kChannelLinuxBus while a kernel
  // I2C bus or a USB programmer is chosen.
  int Channel() const;
  bool IsReadEnabled() const { return OnMessageBus() || transfer_->IsReadEnabled(); }
  bool IsWriteEnabled() const;
  // The channel discovery found can be chosen; the check mark follows the current one.
  bool IsChannelEnabled(int channel) const { return channel >= 0 && channel == bus_.Channel(); }
  bool IsChannelChecked(int channel) const { return !OnMessageBus() && transfer_->IsChannelEnabled(channel); }
  bool IsReadFromDisplayEnabled() const { return DisplayToRead() != nullptr; }
  // Discovery found a connector of the kernel's graphics drivers, and commands may run as root.
  bool IsConnectorCommandEnabled() const { return runner_ && !linux_.connectors.empty(); }
  // What runs tolvex-cli as root; none (the connector commands greyed) under a simulation, whose
  // connectors are not the kernel's.
  void SetCommandRunner(std::unique_ptr<CommandRunner> runner) { runner_ = std::move(runner); }

  // What the user chooses among: the channel discovery found, the USB programmers, then every
  // kernel I2C bus.
  struct ChannelOption {
    QString label;
    QString refusal;  // why it cannot be chosen; empty when it can
    int channel = kChannelNone;
    int bus = -1;
    std::string programmer;  // a USB programmer's name ("ch341a:1.4"); empty for the others
  };
  const std::vector<ChannelOption>& ChannelOptions() const { return options_; }
  // Index into ChannelOptions; -1 when nothing is chosen.
  int CurrentOption() const;
  // Chooses and remembers an option; one that cannot be chosen is ignored.
  void ChooseOption(int index);

  // The extension blocks that make the frame's block a whole EDID.
  EdidExtensions& Extensions() { return extensions_; }
  const EdidExtensions& Extensions() const { return extensions_; }

  const TransferSettings& Settings() const { return settings_; }
  CConfigDlg& ConfigDialog() { return *configDlg_; }
  CI2cBus& Bus() { return bus_; }
  Hardware& GetHardware() { return hardware_; }

  // What a transfer does to the document and the code window.
  void ShowCodeWindow() override;
  void HighlightRange(int first, int last, bool refresh) override;
  void ClearHighlight() override;
  void ReplaceDocument(const std::string& reportText) override;
  // The whole EDID (the frame's block and the extensions) was edited in place: the report view
  // shows its report, the document keeps its name and is marked modified, and the code window
  // shows every block with bytes first..last of the whole EDID selected.
  void ShowEditedEdid(int first, int last);

 signals:
  // Title, path or modified flag changed.
  void stateChanged();
  // HasEdid changed.
  void hasEdidChanged();

 private:
  void SetViewText(const std::string& text);
  void SetHasEdid(bool hasEdid);
  // A file's bytes became the document's whole EDID: the code window shows the base block
  // (whose checksum it recomputes), and a file that lacked bytes says so.
  void TakeOpenedEdid(const EdidBytes& base, EdidExtensions extensions, bool warnMissing = true);
  bool OpenBinary(const QFileInfo& info, EdidInput& input);
  bool ReadEdidFile(const QString& path, std::string& bytes, EdidInput& input);
  // The status bar names the switch's result.
  void ShowDviResult(uint8_t status, const char* selected);
  void FindChannelOptions();
  void ChooseRememberedChannel();
  // Runs a transfer command on the channel discovery found, or on the chosen kernel bus.
  void RunTransferCommand(const std::function<void(CEdidTransfer&)>& command, bool reading);
  // Runs a command on the chosen kernel bus; a read whose bus cannot be opened takes the
  // connector's kernel copy instead, saying so.
  void RunOnLinuxBus(bool reading, const std::function<void(CEdidTransfer&)>& command);
  // The chosen USB programmer, opened for one command or one production batch; nothing after
  // its error box.
  std::unique_ptr<CCh341aBus> OpenProgrammer();
  bool OnMessageBus() const { return linuxBus_ >= 0 || !programmer_.empty(); }
  void ReadKernelCopy(const DrmConnector& connector, const std::string& note);
  const DrmConnector* DisplayToRead() const;
  void RunConnectorCommand(bool firmware);

  Hardware& hardware_;
  CI2cBus bus_;
  LinuxDiscovery linux_;
  std::vector<ChannelOption> options_;
  int linuxBus_ = -1;
  std::string programmer_;  // the chosen USB programmer's name; empty when none is chosen
  std::unique_ptr<CConfigDlg> configDlg_;
  TransferSettings settings_;
  DocumentFrame* frame_ = nullptr;
  std::unique_ptr<CEdidTransfer> transfer_;
  EdidExtensions extensions_;
  std::unique_ptr<CommandRunner> runner_;

  QString pathName_;
  QString title_;
  bool modified_ = false;
  // A read replaced the document (EDID Read says what it read only then).
  bool documentReplaced_ = false;
  bool hasEdid_ = false;
  // The bytes behind the view text, so a save writes back what was read plus what was typed.
  FileText fileText_;
};

}  // namespace tolvex
