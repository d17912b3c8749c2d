// The transfer commands: read the monitor's EDID into the block, write the block into the
// monitor and verify it (as a DDC2B EEPROM, through the monitor controller's command protocols,
// or into the factory memory), switch the EEPROM of a DVI-I monitor, and choose the channel.
// The document's command handlers call these; what the user sees goes through TransferUi and
// EdidDocumentUi. A failed command leaves the block and the document as they were.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ddc/clock.h"
#include "ddc/ddc_ui.h"
#include "ddc/i2c_bus.h"
#include "ddc/i2c_message_bus.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"

namespace tolvex {

// The transfer settings the document keeps (the first three persist between runs).
struct TransferSettings {
  uint32_t protocol = kProtocolDdc2b;
  uint32_t factoryEnable = 0;
  std::string mappedPage = "F8";
  bool softwareDdcOnly = false;
  // Where a write keeps what the EEPROM held before, unless TOLVEX_BACKUP_DIR names another;
  // empty: the state folder (BackupFolder). Without keepBackups (tolvex-cli --no-backup) nothing is kept.
  std::string backupFolder;
  bool keepBackups = true;
};

// Bus addresses.
inline constexpr uint8_t kEepromWrite = 0xA0;
inline constexpr uint8_t kEepromRead = 0xA1;
inline constexpr uint8_t kFactoryWrite = 0x58;
inline constexpr uint8_t kFactoryRead = 0x59;

// DVI EEPROM switch selectors.
inline constexpr uint8_t kDviAnalog = 0x00;
inline constexpr uint8_t kDviDigital = 0x01;
inline constexpr uint8_t kDviAuto = 0x02;

// A byte that read back otherwise than it was written.
struct ByteDifference {
  int offset;
  uint8_t expected;
  uint8_t read;
};

// The page byte of the mapped EDID page text: its first two characters read as hexadecimal (one
// digit is a one-digit value); nothing when the text does not start with a hexadecimal digit.
std::optional<uint8_t> ParsePageValue(std::string_view pageText);

// Why a whole EDID is refused, for the user (tolvex-cli and the desktop program alike).
std::string DescribeWholeEdidFault(const WholeEdidFault& fault);

// The sentence of texts::kStatusHelp that says what a bus status means; empty for 0.
std::string ExplainBusStatus(uint8_t status);

// A whole EDID as a read got it, and what the read has to say about it already.
struct EdidRead {
  EdidBytes base{};
  EdidExtensions extensions;
  std::vector<std::string> notes;
};

// What a successful read does with the bytes it got: the base block becomes the block (neither
// header nor checksum stops it), the code window's refresh puts the checksum of the block's own
// bytes into byte 127, the extension blocks are kept as read, and the document becomes a new one
// showing the report of them all. A missing header and every wrong checksum are added to the
// notes, which go to the status bar in one line.
void TakeReadEdid(EdidRead read, EdidBlock& block, EdidExtensions& extensions, TransferUi& ui,
                  EdidDocumentUi& document);

class CEdidTransfer {
 public:
  // On the bit-banged bus: the channel commands select its channel. `extensions` travel with
  // `block`: a read replaces both, a write sends both.
  CEdidTransfer(CI2cBus& bus, EdidBlock& block, EdidExtensions& extensions, const TransferSettings& settings,
                Clock& clock, TransferUi& ui, EdidDocumentUi& document);
  // On any other bus (a kernel I2C bus): the channel copy is kChannelLinuxBus.
  CEdidTransfer(I2cMessageBus& bus, EdidBlock& block, EdidExtensions& extensions, const TransferSettings& settings,
                Clock& clock, TransferUi& ui, EdidDocumentUi& document);

  void OnEdidRead();
  // The writes: true when everything written was read back and verified (and something was).
  bool OnEdidWrite();
  // When the whole EDID must not be written (incomplete, byte 126 against the blocks held, a
  // wrong checksum): says why and answers true. OnEdidWrite asks this first.
  bool RefuseFaultyEdid();
  bool OnFactoryWrite();
  bool OnAocWrite();
  // The DVI switch has no reply to check; the result is the bus status of sending it.
  uint8_t OnDviDigital() { return SwitchDviEeprom(kDviDigital); }
  uint8_t OnDviAnalog() { return SwitchDviEeprom(kDviAnalog); }
  uint8_t OnDviAuto() { return SwitchDviEeprom(kDviAuto); }
  void OnChannel(int channel);

  // The document's copy of the channel, and the menu rules that follow from it.
  int Channel() const { return channel_; }
  bool IsReadEnabled() const { return channel_ >= 0; }
  bool IsWriteEnabled(bool codeWindowShown) const { return channel_ >= 0 && codeWindowShown; }
  bool IsChannelEnabled(int channel) const { return channel == channel_; }

  // The page the factory transfers use; the default page when the text gives none.
  uint8_t PageValue() const;

  // Whether a write over the EDID of another monitor (another manufacturer, product code or
  // serial) asks first; a production line writes one model with new serials and does not.
  void SetAskBeforeReplacing(bool ask) { askBeforeReplacing_ = ask; }
  // Where the last write kept the EEPROM's old EDID; empty when it kept none.
  const std::string& BackupPath() const { return backupPath_; }
  // What the last write said about its backup (kept where, or why none), for the final status.
  const std::string& BackupNote() const { return backupNote_; }

  // The bytes the last write's verification found different (empty after a verified write, or
  // when it failed before comparing); the production log names them.
  const std::vector<ByteDifference>& VerifyDifferences() const { return differences_; }

 private:
  uint8_t SwitchDviEeprom(uint8_t selector);
  uint8_t FactoryReadRequest(uint8_t page, uint8_t index);
  uint8_t ConfirmPresent(uint8_t address);
  uint8_t ReadBlockPresent(int number, uint8_t* buffer);
  // What EDID Read does with the monitor, showing no error: the failure's message and its bus
  // status (0 where the message says it all), nothing when the read went through.
  struct ReadFailure {
    std::string text;
    uint8_t status = 0;
    bool baseRead = false;  // the base block came whole; a later block failed
  };
  std::optional<ReadFailure> ReadMonitor(EdidRead& read);
  // The DDC2B read of the whole EDID at 0xA0.
  std::optional<ReadFailure> ReadEeprom(EdidRead& read);
  // What the monitor answers at 0xA0 before a write, whichever way the write then goes, read as
  // EDID Read reads it over DDC2B; nothing (and a note that no backup can be kept) when it
  // cannot be read.
  std::optional<EdidRead> ReadBeforeWrite();
  // Before a write on a bus that guards its writes: what 0xA0 held (`before`, nothing when it did
  // not answer) must be an EDID or blank, unless forced or the user agrees.
  bool CheckBeforeWrite(std::optional<EdidBytes>& before);
  // Asks before the EDID of another monitor is replaced; false when the user cancels.
  bool ConfirmReplacing(const std::optional<EdidRead>& before);
  // Keeps what the EEPROM held; false, with nothing written, when it cannot be kept.
  bool KeepBackup(const std::optional<EdidRead>& before);
  void ShowProgress(const char* format, int index);
  // A transfer's error, with what the kernel said about it where that adds to the status, what
  // to try, and, once a write has begun, what the EEPROM may hold now.
  void ShowError(const std::string& text, const char* caption, std::string_view help = {});
  void ShowStatusError(const std::string& text, const char* caption, uint8_t status) {
    ShowError(text, caption, ExplainBusStatus(status));
  }

  // Whole EDIDs over DDC2B: blocks 0 and 1 at word addresses 0 and 128, the blocks after them
  // through the segment pointer.
  uint8_t TransferBlockBytes(uint8_t deviceAddress, int offset, uint16_t count, uint8_t* buffer);
  bool SegmentPointerAnswers();
  // The extension blocks after `read.base`, as many as its byte 126 announces and the monitor
  // gives: 0, or the status of the block that failed.
  uint8_t ReadExtensionBlocks(EdidRead& read);
  bool WriteWholeEdid();
  // False after an error message; `before` tells a write-protected EEPROM from a failed one.
  bool VerifyWholeEdid(const std::optional<EdidBytes>& before);

  I2cMessageBus& bus_;
  CI2cBus* bitBanged_;
  EdidBlock& block_;
  EdidExtensions& extensions_;
  const TransferSettings& settings_;
  Clock& clock_;
  TransferUi& ui_;
  EdidDocumentUi& document_;
  int channel_;
  std::vector<ByteDifference> differences_;
  bool askBeforeReplacing_ = true;
  // Bytes of the running write may have reached the monitor.
  bool writeBegan_ = false;
  // The running write found a blank EEPROM: nothing was there to lose.
  bool overBlank_ = false;
  std::string backupPath_;
  std::string backupNote_;
};

}  // namespace tolvex
