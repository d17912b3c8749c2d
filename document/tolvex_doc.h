// The one document: the EDID block's life as a .ddc file, and the owner of the bus, the transfer
// settings and the configuration dialog. It handles File New and every I2C command itself; the
// block, the code window and the view text belong to the main window and are reached through it.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "ddc/edid_transfer.h"
#include "ddc/hardware.h"
#include "ddc/i2c_bus.h"
#include "document/document_frame.h"

namespace tolvex {

class CConfigDlg;

class CTolvexDoc : public QObject, public EdidDocumentUi {
  Q_OBJECT

 public:
  // Calibrates the bus delay and discovers the I2C channel on `hardware` (probe messages go to
  // `probeUi`), then loads the settings.
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

  // Commands.
  void OnFileNew();
  void OnEdidRead();
  void OnEdidWrite();
  void OnChannel(int channel) { transfer_->OnChannel(channel); }
  void OnConfigSetup();
  void OnDviDigital();
  void OnDviAnalog();
  void OnDviAuto();

  // Enabling and check marks of the I2C commands.
  int Channel() const { return transfer_->Channel(); }
  bool IsReadEnabled() const { return transfer_->IsReadEnabled(); }
  bool IsWriteEnabled() const;
  bool IsChannelEnabled(int channel) const { return transfer_->IsChannelEnabled(channel); }

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

  Hardware& hardware_;
  CI2cBus bus_;
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
