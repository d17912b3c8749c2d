// The one document: the EDID block's life as a .ddc file, and the owner of the bus, the transfer
// settings and the configuration dialog. It handles File New and every I2C command itself; the
// block, the code window and the view text belong to the main window and are reached through it.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "ddc/edid_transfer.h"
#include "ddc/hardware.h"
#include "ddc/i2c_bus.h"
#include "ddc/linux/linux_channels.h"
#include "document/document_frame.h"

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
  void SetModifiedFlag(bool modified = true);

  // The framework's steps.
  bool OnNewDocument();
  bool OnOpenDocument(const QString& path);
  bool OnSaveDocument(const QString& path);
  // Asks "Save changes to %1?" when modified (the box over `parent`, the main window by default);
  // false when the user cancels or the save fails.
  bool SaveModified(QWidget* parent = nullptr);
  // Save: to the current path, or through Save As when there is none.
  bool DoFileSave();
  bool DoSave(const QString& path, bool replace);

  // Commands. On a kernel I2C bus each opens the bus for its own run.
  void OnFileNew();
  void OnEdidRead();
  void OnEdidWrite();
  void OnChannel(int channel);
  void OnConfigSetup();
  void OnDviDigital();
  void OnDviAnalog();
  void OnDviAuto();
  // The kernel's copy of a connected display's EDID: the chosen bus's display, else the first.
  void OnReadFromDisplay();

  // Enabling and check marks of the I2C commands. The channel is kChannelLinuxBus while a kernel
  // I2C bus is chosen.
  int Channel() const;
  bool IsReadEnabled() const { return linuxBus_ >= 0 || transfer_->IsReadEnabled(); }
  bool IsWriteEnabled() const;
  // The channel discovery found can be chosen; the check mark follows the current one.
  bool IsChannelEnabled(int channel) const { return channel >= 0 && channel == bus_.Channel(); }
  bool IsChannelChecked(int channel) const { return linuxBus_ < 0 && transfer_->IsChannelEnabled(channel); }
  bool IsReadFromDisplayEnabled() const { return DisplayToRead() != nullptr; }

  // What the user chooses among: the channel discovery found, then every kernel I2C bus.
  struct ChannelOption {
    QString label;
    QString refusal;  // why it cannot be chosen; empty when it can
    int channel = kChannelNone;
    int bus = -1;
  };
  const std::vector<ChannelOption>& ChannelOptions() const { return options_; }
  // Index into ChannelOptions; -1 when nothing is chosen.
  int CurrentOption() const;
  // Chooses and remembers an option; one that cannot be chosen is ignored.
  void ChooseOption(int index);

  const TransferSettings& Settings() const { return settings_; }
  CConfigDlg& ConfigDialog() { return *configDlg_; }
  CI2cBus& Bus() { return bus_; }

  // What a transfer does to the document and the code window.
  void ShowCodeWindow() override;
  void HighlightRange(int first, int last, bool refresh) override;
  void ClearHighlight() override;
  void ReplaceDocument(const std::string& reportText) override;

 signals:
  // Title, path or modified flag changed.
  void stateChanged();

 private:
  void SetViewText(const std::string& text);
  // The status bar names the switch's result.
  void ShowDviResult(uint8_t status, const char* selected);
  void FindChannelOptions();
  void ChooseRememberedChannel();
  // Runs a transfer command on the channel discovery found, or on the chosen kernel bus.
  void RunTransferCommand(const std::function<void(CEdidTransfer&)>& command, bool reading);
  // Runs a command on the chosen kernel bus; a read whose bus cannot be opened takes the
  // connector's kernel copy instead, saying so.
  void RunOnLinuxBus(bool reading, const std::function<void(CEdidTransfer&)>& command);
  void ReadKernelCopy(const DrmConnector& connector, const std::string& note);
  const DrmConnector* DisplayToRead() const;

  Hardware& hardware_;
  CI2cBus bus_;
  LinuxDiscovery linux_;
  std::vector<ChannelOption> options_;
  int linuxBus_ = -1;
  std::unique_ptr<CConfigDlg> configDlg_;
  TransferSettings settings_;
  DocumentFrame* frame_ = nullptr;
  std::unique_ptr<CEdidTransfer> transfer_;

  QString pathName_;
  QString title_;
  bool modified_ = false;
  // How the loaded file's text is saved again: its line ends and its encoding.
  bool crlf_ = true;
  bool latin1_ = true;
};

}  // namespace tolvex
