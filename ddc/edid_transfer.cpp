#include "ddc/edid_transfer.h"

#include <algorithm>
#include <ctime>

#include "ddc/ddc_texts.h"
#include "ddc/edid_backup.h"
#include "ddc/format_text.h"
#include "ddc/i2c_operations.h"
#include "ddc/linux/bus_safety.h"
#include "ddc/linux/linux_texts.h"
#include "model/hex_digit.h"
#include "report/edid_report.h"

namespace tolvex {

namespace {

constexpr uint8_t kDefaultPage = 0xF8;
constexpr uint8_t kDviSwitchCommand = 0x63;
// The word address reaches 256 bytes; blocks from the third on lie behind the segment pointer.
constexpr int kSegmentBytes = 256;
constexpr int kFirstSegmentedBlock = kSegmentBytes / kEdidSize;
constexpr uint32_t kReadSettleMs = 500;
constexpr uint32_t kSoftwareDdcByteMs = 3;
constexpr uint32_t kFactoryModeSettleMs = 1000;

// The wait cursor is on for the whole command and off again however it ends.
class WaitCursor {
 public:
  explicit WaitCursor(TransferUi& ui) : ui_(ui) { ui_.SetWaitCursor(true); }
  ~WaitCursor() { ui_.SetWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  TransferUi& ui_;
};

// The factory write runs the bus at the slow, processor-independent bit timing.
class SlowTiming {
 public:
  explicit SlowTiming(I2cMessageBus& bus) : bus_(bus) { bus_.SetSlowTiming(true); }
  ~SlowTiming() { bus_.SetSlowTiming(false); }
  SlowTiming(const SlowTiming&) = delete;
  SlowTiming& operator=(const SlowTiming&) = delete;

 private:
  I2cMessageBus& bus_;
};

bool HasEdidHeader(const EdidBytes& block) { return std::equal(kEdidHeader.begin(), kEdidHeader.end(), block.begin()); }

bool IsAocProtocol(uint32_t protocol) { return protocol == kProtocolAocTx3 || protocol == kProtocolAocTx12; }

// `first`: the offset of the block's byte 0 in the whole EDID.
std::vector<ByteDifference> DifferencesOf(const EdidBytes& expected, const EdidBytes& read, int first) {
  std::vector<ByteDifference> differences;
  for (int i = 0; i < kEdidSize; ++i) {
    if (read[i] != expected[i]) differences.push_back({first + i, expected[i], read[i]});
  }
  return differences;
}

// Flags that mean the first byte never reached the EEPROM: nothing in it can have changed.
constexpr uint8_t kNothingSent = kStatusAddressNoAck | kStatusStartFailed | kStatusSdaLow;

// However a write ends, the next command starts with nothing begun.
class WriteScope {
 public:
  explicit WriteScope(bool& began) : began_(began) { began_ = false; }
  ~WriteScope() { began_ = false; }
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;

 private:
  bool& began_;
};

}  // namespace

std::string ExplainBusStatus(uint8_t status) {
  for (const texts::StatusHelp& row : texts::kStatusHelp) {
    if (status & row.flags) return row.sentence;
  }
  return {};
}

std::optional<uint8_t> ParsePageValue(std::string_view pageText) {
  if (pageText.empty() || HexDigitValue(pageText[0]) < 0) return std::nullopt;
  int value = HexDigitValue(pageText[0]);
  if (pageText.size() > 1 && HexDigitValue(pageText[1]) >= 0) value = value * 16 + HexDigitValue(pageText[1]);
  return static_cast<uint8_t>(value);
}

std::string DescribeWholeEdidFault(const WholeEdidFault& fault) {
  switch (fault.kind) {
    case WholeEdidFault::kIncomplete: return FormatText(texts::kIncompleteEdid, fault.stated);
    case WholeEdidFault::kCountMismatch: return FormatText(texts::kExtensionCountMismatch, fault.stated, fault.actual);
    case WholeEdidFault::kChecksum: break;
  }
  if (fault.block == 0) return FormatText(texts::kBaseChecksumWrong, fault.stated, fault.actual);
  return FormatText(texts::kExtensionChecksumWrong, fault.block, fault.stated, fault.actual);
}

// What differs from a sound EDID is said, not mended.
void TakeReadEdid(EdidRead read, EdidBlock& block, EdidExtensions& extensions, TransferUi& ui,
                  EdidDocumentUi& document) {
  std::vector<std::string> found;
  const EdidBytes& base = read.base;
  if (!HasEdidHeader(base)) found.emplace_back(texts::kNoteNoHeader);
  if (!IsChecksumRight(base)) found.push_back(FormatText(texts::kNoteBaseChecksum, base[127], ComputeChecksum(base)));
  for (int number = 1; number <= read.extensions.Count(); ++number) {
    const EdidBytes& extension = read.extensions.blocks[number - 1];
    if (IsChecksumRight(extension)) continue;
    found.push_back(FormatText(texts::kNoteExtensionChecksum, number, extension[127], ComputeChecksum(extension)));
  }
  found.insert(found.end(), read.notes.begin(), read.notes.end());

  block.Bytes() = base;
  extensions = std::move(read.extensions);
  if (!IsChecksumRight(base)) {
    extensions.storedChecksum = base[127];
    extensions.storedByMonitor = true;
  }
  document.HighlightRange(0, kEdidSize - 1, true);
  document.ClearHighlight();
  document.ReplaceDocument(FormatEdidReport(block, extensions.blocks));
  if (found.empty()) return;
  std::string note = found.front();
  for (size_t i = 1; i < found.size(); ++i) note.append(texts::kNoteSeparator).append(found[i]);
  ui.ShowNote(note);
}

CEdidTransfer::CEdidTransfer(CI2cBus& bus, EdidBlock& block, EdidExtensions& extensions,
                             const TransferSettings& settings, Clock& clock, TransferUi& ui, EdidDocumentUi& document)
    : bus_(bus), bitBanged_(&bus), block_(block), extensions_(extensions), settings_(settings), clock_(clock),
      ui_(ui), document_(document), channel_(bus.Channel()) {}

CEdidTransfer::CEdidTransfer(I2cMessageBus& bus, EdidBlock& block, EdidExtensions& extensions,
                             const TransferSettings& settings, Clock& clock, TransferUi& ui, EdidDocumentUi& document)
    : bus_(bus), bitBanged_(nullptr), block_(block), extensions_(extensions), settings_(settings), clock_(clock),
      ui_(ui), document_(document), channel_(kChannelLinuxBus) {}

uint8_t CEdidTransfer::PageValue() const { return ParsePageValue(settings_.mappedPage).value_or(kDefaultPage); }

void CEdidTransfer::ShowProgress(const char* format, int index) {
  ui_.SetStatusText(FormatText(format, index * 100 / 127));
}

void CEdidTransfer::ShowError(const std::string& text, const char* caption, std::string_view help) {
  std::string message = text;
  if (const std::string detail = bus_.FailureDetail(); !detail.empty()) message += "\n" + detail;
  std::string advice(help);
  if (writeBegan_) {
    advice.append(advice.empty() ? "" : "\n").append(texts::kMixtureNote);
    if (!backupPath_.empty()) {
      advice += FormatText(texts::kBackupToWriteBack, backupPath_.c_str());
    } else if (!overBlank_) {
      advice += texts::kNoBackupToWriteBack;
    }
  }
  ui_.ShowTransferError(message, caption, advice);
}

uint8_t CEdidTransfer::FactoryReadRequest(uint8_t page, uint8_t index) {
  uint8_t request[3] = {static_cast<uint8_t>(page + 1), index, 0x00};
  return RawTransfer(bus_, kFactoryWrite, 3, request);
}

// A device that goes away in the middle of a read leaves the rest of it reading 0xFF, which
// passes for data: only the master acknowledges during a read. A device that still acknowledges
// its address once the read is over was there for all of it. The channel's own probe, as a bus
// that sends no zero-length message asks the same question another way.
uint8_t CEdidTransfer::ConfirmPresent(uint8_t address) { return TransferStatus(bus_.Probe(address)); }

// Block `number` of the whole EDID, read and then confirmed as read from a monitor still there.
uint8_t CEdidTransfer::ReadBlockPresent(int number, uint8_t* buffer) {
  uint8_t status = TransferBlockBytes(kEepromRead, number * kEdidSize, kEdidSize, buffer);
  if (!status) status = ConfirmPresent(kEepromWrite);
  return status;
}

// ---- Whole EDIDs over DDC2B ----------------------------------------------------------------

uint8_t CEdidTransfer::TransferBlockBytes(uint8_t deviceAddress, int offset, uint16_t count, uint8_t* buffer) {
  const auto segment = static_cast<uint8_t>(offset / kSegmentBytes);
  const auto wordAddress = static_cast<uint8_t>(offset % kSegmentBytes);
  if (segment == 0) return EepromTransfer(bus_, deviceAddress, wordAddress, count, buffer);
  return SegmentTransfer(bus_, segment, deviceAddress, wordAddress, count, buffer);
}

// START, 0x60, STOP: a monitor without the segment pointer does not acknowledge its address.
bool CEdidTransfer::SegmentPointerAnswers() { return bus_.Probe(kSegmentPointer).Ok(); }

// Byte 126 of a block that is no EDID (a blank EEPROM reads 0xFF) counts nothing; following it
// could read for minutes. A block that fails is not kept: `read` holds those before it.
uint8_t CEdidTransfer::ReadExtensionBlocks(EdidRead& read) {
  const int announced = AnnouncedExtensions(read.base);
  if (announced > 0 && !HasEdidHeader(read.base)) {
    read.notes.push_back(FormatText(texts::kNoteNotAnEdid, announced));
    return 0;
  }
  for (int number = 1; number <= announced; ++number) {
    if (number == kFirstSegmentedBlock && !SegmentPointerAnswers()) {
      read.notes.push_back(FormatText(texts::kNoteNoSegmentPointer, number, announced));
      break;
    }
    EdidBytes& block = read.extensions.blocks.emplace_back();
    if (const uint8_t status = ReadBlockPresent(number, block.data())) {
      read.extensions.blocks.pop_back();
      return status;
    }
  }
  return 0;
}

bool CEdidTransfer::WriteWholeEdid() {
  std::vector<uint8_t> bytes = JoinWholeEdid(block_.Bytes(), extensions_);
  const int pageSize = bus_.EepromPageSize();
  bus_.SetWriteEnable(true);
  int offset = 0;
  uint8_t status = 0;
  // On the bit-banged bus the next page's addressing phase is retried until the EEPROM has
  // finished its write cycle; a bus that cannot poll that way waits for the cycle after each page.
  for (offset = 0; offset < static_cast<int>(bytes.size()); offset += pageSize) {
    status = TransferBlockBytes(kEepromWrite, offset, static_cast<uint16_t>(pageSize), bytes.data() + offset);
    if (offset > 0 || (status & kNothingSent) == 0) writeBegan_ = true;
    if (status == 0) status = TransferStatus(bus_.AwaitWriteCycle(kEepromWrite));
    if (status) break;
  }
  bus_.SetWriteEnable(false);
  if (status) ShowStatusError(FormatText(texts::kPageTransferError, offset, status), texts::kWriteErrorCaption, status);
  return status == 0;
}

bool CEdidTransfer::VerifyWholeEdid(const std::optional<EdidBytes>& before) {
  EdidBytes buffer{};
  for (int number = 0; number <= extensions_.Count(); ++number) {
    const uint8_t status = ReadBlockPresent(number, buffer.data());
    if (status) {
      ShowStatusError(FormatText(texts::kTransferError, status), texts::kReadErrorCaption, status);
      return false;
    }
    const EdidBytes& expected = number == 0 ? block_.Bytes() : extensions_.blocks[number - 1];
    if (buffer == expected) continue;
    differences_ = DifferencesOf(expected, buffer, number * kEdidSize);
    // An EEPROM that kept every byte of its base block did not take the write at all.
    if (number == 0 && before && buffer == *before) {
      ui_.ShowError(texts::kWriteProtected, texts::kWriteProtectedCaption);
    } else {
      ShowError(texts::kEdidVerifyError, texts::kVerifyErrorCaption, texts::kVerifyHelp);
    }
    return false;
  }
  return true;
}

// ---- EDID Read -----------------------------------------------------------------------------

std::optional<CEdidTransfer::ReadFailure> CEdidTransfer::ReadMonitor(EdidRead& read) {
  EdidBytes& buffer = read.base;
  if (IsAocProtocol(settings_.protocol)) {
    const int protocol = static_cast<int>(settings_.protocol);
    for (int i = 0; i < kEdidSize; ++i) {
      const uint16_t result = AocReadByte(bus_, clock_, static_cast<uint8_t>(i), buffer[i], protocol);
      if (result) return ReadFailure{FormatText(texts::kAocTransferError, i, result >> 8, result & 0xFF),
                                     static_cast<uint8_t>(result & 0xFF)};
      ShowProgress(texts::kReadingProgress, i);
    }
    const uint8_t controller = AocControllerAddress(protocol);
    if (const uint8_t status = ConfirmPresent(controller)) {
      return ReadFailure{FormatText(texts::kAocTransferError, kEdidSize - 1, controller, status), status};
    }
    ui_.SetStatusText(texts::kReady);
  } else if (settings_.softwareDdcOnly) {
    // The monitor's controller serves the EDID from its own memory page.
    const uint8_t page = PageValue();
    for (int i = 0; i < kEdidSize; ++i) {
      const uint8_t requested = FactoryReadRequest(page, static_cast<uint8_t>(i));
      clock_.SleepMs(kSoftwareDdcByteMs);
      const uint8_t status = requested | RawTransfer(bus_, kFactoryRead, 1, &buffer[i]);
      if (status) return ReadFailure{FormatText(texts::kTransferError, status), status};
    }
    if (const uint8_t status = ConfirmPresent(kFactoryWrite)) {
      return ReadFailure{FormatText(texts::kTransferError, status), status};
    }
  } else {
    return ReadEeprom(read);
  }
  return std::nullopt;
}

std::optional<CEdidTransfer::ReadFailure> CEdidTransfer::ReadEeprom(EdidRead& read) {
  if (const uint8_t status = ReadBlockPresent(0, read.base.data())) {
    return ReadFailure{FormatText(texts::kTransferError, status), status};
  }
  if (const uint8_t status = ReadExtensionBlocks(read)) {
    return ReadFailure{FormatText(texts::kTransferError, status), status, true};
  }
  return std::nullopt;
}

void CEdidTransfer::OnEdidRead() {
  document_.ShowCodeWindow();
  WaitCursor wait(ui_);
  clock_.SleepMs(kReadSettleMs);

  EdidRead read;
  if (const std::optional<ReadFailure> failure = ReadMonitor(read)) {
    ShowStatusError(failure->text, texts::kReadErrorCaption, failure->status);
    return;
  }
  // The command protocols and the factory page address EDID bytes 0 to 127 only.
  const bool baseBlockOnly = IsAocProtocol(settings_.protocol) || settings_.softwareDdcOnly;
  if (baseBlockOnly && AnnouncedExtensions(read.base) > 0) {
    read.notes.push_back(FormatText(texts::kNoteBaseBlockOnly, AnnouncedExtensions(read.base)));
  }
  TakeReadEdid(std::move(read), block_, extensions_, ui_, document_);
}

// ---- EDID Write ----------------------------------------------------------------------------

std::optional<EdidRead> CEdidTransfer::ReadBeforeWrite() {
  WaitCursor wait(ui_);
  EdidRead read;
  const std::optional<ReadFailure> failure = ReadEeprom(read);
  // A base block read whole is worth keeping even when a later block failed.
  if (!failure || failure->baseRead) return read;
  if (settings_.keepBackups) {
    backupNote_ = FormatText(texts::kBackupUnread, failure->text.c_str());
    ui_.ShowNote(backupNote_);
  }
  return std::nullopt;
}

bool CEdidTransfer::CheckBeforeWrite(std::optional<EdidBytes>& before) {
  const I2cMessageBus::WriteGuard* guard = bus_.GuardForWrites();
  if (!guard) return true;
  const std::optional<Refusal> refusal = EepromContentRefusal(before);
  if (!refusal || guard->force) return true;
  const std::string message = RefusalMessage(guard->busLabel, *refusal);
  if (ui_.ConfirmRisk(FormatText(texts::kOverrideQuestion, message.c_str()))) return true;
  ui_.ShowError(message, texts::kRefusedCaption);
  return false;
}

// A serial number that differs is another monitor too: the same model's EDID still names the
// unit it came from.
bool CEdidTransfer::ConfirmReplacing(const std::optional<EdidRead>& before) {
  if (!askBeforeReplacing_ || !before || !HoldsEdid(before->base)) return true;
  const MonitorIdentity held = IdentityOf(before->base);
  const MonitorIdentity written = IdentityOf(block_.Bytes());
  if (held.SameMonitor(written)) return true;
  const bool baseBlockOnly = IsAocProtocol(settings_.protocol) || settings_.softwareDdcOnly;
  const int blocks = baseBlockOnly ? 1 : extensions_.Count() + 1;
  const std::string replaced = FormatText(texts::kOtherMonitor, DescribeMonitor(held).c_str(),
                                          DescribeMonitor(written).c_str(), blocks, blocks * kEdidSize);
  if (ui_.ConfirmReplace(FormatText(texts::kReplaceQuestion, replaced.c_str()))) return true;
  ui_.ShowNote(texts::kReplaceCancelled);
  return false;
}

bool CEdidTransfer::KeepBackup(const std::optional<EdidRead>& before) {
  if (!settings_.keepBackups || !before) return true;
  const std::vector<uint8_t> bytes = JoinWholeEdid(before->base, before->extensions);
  const std::string folder = BackupFolder(ProcessBackupEnvironment(), settings_.backupFolder);
  const BackupResult result = SaveEdidBackup(folder, bytes, std::time(nullptr));
  overBlank_ = result.blank;
  if (result.blank) return true;
  if (!result.error.empty()) {
    ui_.ShowError(FormatText(texts::kBackupFailed, result.error.c_str()), texts::kBackupFailedCaption);
    return false;
  }
  backupPath_ = result.path;
  backupNote_ = FormatText(texts::kBackupKept, backupPath_.c_str());
  ui_.ShowNote(backupNote_);
  return true;
}

// Nothing reaches the monitor from an EDID the user did not see whole or that contradicts itself.
bool CEdidTransfer::RefuseFaultyEdid() {
  const std::optional<WholeEdidFault> fault = FindWholeEdidFault(block_.Bytes(), extensions_);
  if (fault) ShowError(DescribeWholeEdidFault(*fault), texts::kWriteRefusedCaption);
  return fault.has_value();
}

// Before the first byte goes out: the rules of the bus, what the monitor holds (another
// monitor's EDID is not replaced unasked), and a backup of it that must be on the disk.
bool CEdidTransfer::OnEdidWrite() {
  differences_.clear();
  backupPath_.clear();
  backupNote_.clear();
  overBlank_ = false;
  const WriteScope scope(writeBegan_);
  if (RefuseFaultyEdid()) return false;
  if (const std::string barrier = bus_.RefuseWrites(); !barrier.empty()) {
    ui_.ShowError(barrier, texts::kRefusedCaption);
    return false;
  }
  const std::optional<EdidRead> read = ReadBeforeWrite();
  std::optional<EdidBytes> before;
  // The verify tells a write-protected EEPROM by it where the bus guards its writes.
  if (read && bus_.GuardForWrites()) before = read->base;
  if (!CheckBeforeWrite(before) || !ConfirmReplacing(read) || !KeepBackup(read)) return false;
  const int extensionCount = extensions_.Count();
  if (IsAocProtocol(settings_.protocol)) {
    if (extensionCount > 0) {
      ui_.ShowInformation(FormatText(texts::kAocBaseBlockOnly, extensionCount), texts::kBaseBlockOnlyCaption);
    }
    return OnAocWrite();
  }
  WaitCursor wait(ui_);
  bool written = false;
  if (!settings_.softwareDdcOnly) {
    // Asked before the first page, so a monitor that cannot take the later blocks keeps all of
    // its EDID rather than a base block announcing blocks it never got.
    if (extensionCount >= kFirstSegmentedBlock && !SegmentPointerAnswers()) {
      ShowError(texts::kNoSegmentPointer, texts::kWriteErrorCaption);
      return false;
    }
    if (!WriteWholeEdid() || !VerifyWholeEdid(before)) return false;
    written = true;
  }

  if (settings_.factoryEnable == 1) {
    if (extensionCount > 0) {
      ui_.ShowInformation(FormatText(texts::kFactoryBaseBlockOnly, extensionCount), texts::kBaseBlockOnlyCaption);
    }
    return OnFactoryWrite();
  }
  return written;
}

bool CEdidTransfer::OnFactoryWrite() {
  WaitCursor wait(ui_);
  clock_.SleepMs(kFactoryModeSettleMs);
  SlowTiming slow(bus_);

  const uint8_t page = PageValue();
  const EdidBytes& bytes = block_.Bytes();
  bool verified = true;
  for (int i = 0; i < kEdidSize; ++i) {
    const auto index = static_cast<uint8_t>(i);
    uint8_t frame[3] = {page, index, bytes[i]};
    RawTransfer(bus_, kFactoryWrite, 3, frame);  // judged by the read-back below
    writeBegan_ = true;

    uint8_t readBack = 0;
    const uint8_t status = FactoryReadRequest(page, index) | RawTransfer(bus_, kFactoryRead, 1, &readBack);
    if (status) {
      // Without an answer there is nothing to compare; a stale value must not pass as verified.
      ShowStatusError(FormatText(texts::kTransferError, status), texts::kFactoryWriteErrorCaption, status);
      verified = false;
      break;
    }
    if (readBack != bytes[i]) {
      differences_ = {{i, bytes[i], readBack}};
      ShowError(FormatText(texts::kFactoryVerifyError, i, readBack), texts::kFactoryWriteErrorCaption, texts::kVerifyHelp);
      verified = false;
      break;
    }
    ShowProgress(texts::kWritingProgress, i);
  }
  ui_.SetStatusText(texts::kReady);
  return verified;
}

bool CEdidTransfer::OnAocWrite() {
  WaitCursor wait(ui_);
  EdidBytes buffer = block_.Bytes();
  bus_.SetWriteEnable(false);
  const int protocol = static_cast<int>(settings_.protocol);

  for (int i = 0; i < kEdidSize; ++i) {
    const auto index = static_cast<uint8_t>(i);
    uint16_t result = AocWriteByte(bus_, index, buffer[i], protocol);
    if (result) {
      ShowStatusError(FormatText(texts::kAocTransferError, i, result >> 8, result & 0xFF), texts::kWriteErrorCaption,
                      static_cast<uint8_t>(result & 0xFF));
      return false;
    }
    writeBegan_ = true;
    result = AocReadByte(bus_, clock_, index, buffer[i], protocol);
    if (result) {
      ShowStatusError(FormatText(texts::kAocTransferError, i, result >> 8, result & 0xFF), texts::kReadErrorCaption,
                      static_cast<uint8_t>(result & 0xFF));
      return false;
    }
    if (buffer[i] != block_.Bytes()[i]) {
      differences_ = {{i, block_.Bytes()[i], buffer[i]}};
      ShowError(FormatText(texts::kAocVerifyError, i, buffer[i], block_.Bytes()[i]), texts::kVerifyErrorCaption,
                texts::kVerifyHelp);
      return false;
    }
    ShowProgress(texts::kWritingProgress, i);
  }
  ui_.SetStatusText(texts::kReady);
  return true;
}

// ---- DVI switch and channel ----------------------------------------------------------------

uint8_t CEdidTransfer::SwitchDviEeprom(uint8_t selector) {
  uint8_t frame[3] = {kDviSwitchCommand, selector, 0x00};
  return RawTransfer(bus_, kFactoryWrite, 3, frame);  // sent blind: the switch has no reply to check
}

void CEdidTransfer::OnChannel(int channel) {
  channel_ = channel;
  if (bitBanged_) bitBanged_->SelectChannel(channel);
}

}  // namespace tolvex
