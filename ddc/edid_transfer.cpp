#include "ddc/edid_transfer.h"

#include <algorithm>

#include "ddc/ddc_texts.h"
#include "ddc/format_text.h"
#include "model/hex_digit.h"
#include "report/edid_report.h"

namespace tolvex {

namespace {

constexpr uint8_t kDefaultPage = 0xF8;
constexpr uint8_t kDviSwitchCommand = 0x63;
constexpr int kPageSize = 8;
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
  explicit SlowTiming(CI2cBus& bus) : bus_(bus) { bus_.SetSlowTiming(true); }
  ~SlowTiming() { bus_.SetSlowTiming(false); }
  SlowTiming(const SlowTiming&) = delete;
  SlowTiming& operator=(const SlowTiming&) = delete;

 private:
  CI2cBus& bus_;
};

bool HasEdidHeader(const EdidBytes& block) { return std::equal(kEdidHeader.begin(), kEdidHeader.end(), block.begin()); }

bool IsAocProtocol(uint32_t protocol) { return protocol == kProtocolAocTx3 || protocol == kProtocolAocTx12; }

}  // namespace

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

CEdidTransfer::CEdidTransfer(CI2cBus& bus, EdidBlock& block, EdidExtensions& extensions,
                             const TransferSettings& settings, Clock& clock, TransferUi& ui, EdidDocumentUi& document)
    : bus_(bus), block_(block), extensions_(extensions), settings_(settings), clock_(clock), ui_(ui),
      document_(document), channel_(bus.Channel()) {}

uint8_t CEdidTransfer::PageValue() const { return ParsePageValue(settings_.mappedPage).value_or(kDefaultPage); }

void CEdidTransfer::ShowProgress(const char* format, int index) {
  ui_.SetStatusText(FormatText(format, index * 100 / 127));
}

void CEdidTransfer::ShowError(const std::string& text, const char* caption) { ui_.ShowError(text, caption); }

uint8_t CEdidTransfer::FactoryReadRequest(uint8_t page, uint8_t index) {
  uint8_t request[3] = {static_cast<uint8_t>(page + 1), index, 0x00};
  return bus_.RawTransfer(kFactoryWrite, 3, request);
}

// ---- Whole EDIDs over DDC2B ----------------------------------------------------------------

uint8_t CEdidTransfer::TransferBlockBytes(uint8_t deviceAddress, int offset, uint16_t count, uint8_t* buffer) {
  const auto segment = static_cast<uint8_t>(offset / kSegmentBytes);
  const auto wordAddress = static_cast<uint8_t>(offset % kSegmentBytes);
  if (segment == 0) return bus_.Transfer(deviceAddress, wordAddress, count, buffer);
  return bus_.SegmentTransfer(segment, deviceAddress, wordAddress, count, buffer);
}

// START, 0x60, STOP: a monitor without the segment pointer does not acknowledge its address.
bool CEdidTransfer::SegmentPointerAnswers() { return bus_.RawTransfer(kSegmentPointer, 0, nullptr) == 0; }

// Byte 126 of a block that is no EDID (a blank EEPROM reads 0xFF) counts nothing; following it
// could read for minutes.
bool CEdidTransfer::ReadExtensionBlocks(const EdidBytes& base, EdidExtensions& extensions,
                                        std::vector<std::string>& notes) {
  const int announced = AnnouncedExtensions(base);
  if (announced > 0 && !HasEdidHeader(base)) {
    notes.push_back(FormatText(texts::kNoteNotAnEdid, announced));
    return true;
  }
  for (int number = 1; number <= announced; ++number) {
    if (number == kFirstSegmentedBlock && !SegmentPointerAnswers()) {
      notes.push_back(FormatText(texts::kNoteNoSegmentPointer, number, announced));
      break;
    }
    EdidBytes& block = extensions.blocks.emplace_back();
    const uint8_t status = TransferBlockBytes(kEepromRead, number * kEdidSize, kEdidSize, block.data());
    if (status) {
      ShowError(FormatText(texts::kTransferError, status), texts::kReadErrorCaption);
      return false;
    }
  }
  return true;
}

// The base block is taken as the monitor holds it, header or not, and the code window's refresh
// puts the checksum of its own bytes into byte 127; the extension blocks are kept as read. What
// differs from a sound EDID is said, not mended.
void CEdidTransfer::TakeReadEdid(const EdidBytes& base, EdidExtensions extensions, std::vector<std::string> notes) {
  std::vector<std::string> found;
  if (!HasEdidHeader(base)) found.emplace_back(texts::kNoteNoHeader);
  if (!IsChecksumRight(base)) found.push_back(FormatText(texts::kNoteBaseChecksum, base[127], ComputeChecksum(base)));
  for (int number = 1; number <= extensions.Count(); ++number) {
    const EdidBytes& block = extensions.blocks[number - 1];
    if (IsChecksumRight(block)) continue;
    found.push_back(FormatText(texts::kNoteExtensionChecksum, number, block[127], ComputeChecksum(block)));
  }
  found.insert(found.end(), notes.begin(), notes.end());

  block_.Bytes() = base;
  extensions_ = std::move(extensions);
  document_.HighlightRange(0, kEdidSize - 1, true);
  document_.ClearHighlight();
  document_.ReplaceDocument(FormatEdidReport(block_, extensions_.blocks));
  if (found.empty()) return;
  std::string note = found.front();
  for (size_t i = 1; i < found.size(); ++i) note.append(texts::kNoteSeparator).append(found[i]);
  ui_.ShowNote(note);
}

bool CEdidTransfer::WriteWholeEdid() {
  std::vector<uint8_t> bytes = JoinWholeEdid(block_.Bytes(), extensions_);
  bus_.SetWriteEnable(true);
  int offset = 0;
  uint8_t status = 0;
  // Pages follow each other without a pause: the next page's addressing phase is retried
  // until the EEPROM has finished its write cycle and acknowledges again.
  for (offset = 0; offset < static_cast<int>(bytes.size()); offset += kPageSize) {
    status = TransferBlockBytes(kEepromWrite, offset, kPageSize, bytes.data() + offset);
    if (status) break;
  }
  bus_.SetWriteEnable(false);
  if (status) ShowError(FormatText(texts::kPageTransferError, offset, status), texts::kWriteErrorCaption);
  return status == 0;
}

bool CEdidTransfer::VerifyWholeEdid() {
  EdidBytes buffer{};
  for (int number = 0; number <= extensions_.Count(); ++number) {
    const uint8_t status = TransferBlockBytes(kEepromRead, number * kEdidSize, kEdidSize, buffer.data());
    if (status) {
      ShowError(FormatText(texts::kTransferError, status), texts::kReadErrorCaption);
      return false;
    }
    if (buffer != (number == 0 ? block_.Bytes() : extensions_.blocks[number - 1])) {
      ShowError(texts::kEdidVerifyError, texts::kVerifyErrorCaption);
      return false;
    }
  }
  return true;
}

// ---- EDID Read -----------------------------------------------------------------------------

void CEdidTransfer::OnEdidRead() {
  document_.ShowCodeWindow();
  WaitCursor wait(ui_);
  clock_.SleepMs(kReadSettleMs);

  EdidBytes buffer{};
  EdidExtensions extensions;
  std::vector<std::string> notes;
  if (IsAocProtocol(settings_.protocol)) {
    const int protocol = static_cast<int>(settings_.protocol);
    for (int i = 0; i < kEdidSize; ++i) {
      const uint16_t result = bus_.AocReadByte(static_cast<uint8_t>(i), buffer[i], protocol);
      if (result) {
        ShowError(FormatText(texts::kAocTransferError, i, result >> 8, result & 0xFF), texts::kReadErrorCaption);
        return;
      }
      ShowProgress(texts::kReadingProgress, i);
    }
    ui_.SetStatusText(texts::kReady);
  } else if (settings_.softwareDdcOnly) {
    // The monitor's controller serves the EDID from its own memory page.
    const uint8_t page = PageValue();
    for (int i = 0; i < kEdidSize; ++i) {
      const uint8_t requested = FactoryReadRequest(page, static_cast<uint8_t>(i));
      clock_.SleepMs(kSoftwareDdcByteMs);
      const uint8_t read = bus_.RawTransfer(kFactoryRead, 1, &buffer[i]);
      if (requested | read) {
        ShowError(FormatText(texts::kTransferError, requested | read), texts::kReadErrorCaption);
        return;
      }
    }
  } else {
    const uint8_t status = bus_.Transfer(kEepromRead, 0x00, kEdidSize, buffer.data());
    if (status) {
      ShowError(FormatText(texts::kTransferError, status), texts::kReadErrorCaption);
      return;
    }
    if (!ReadExtensionBlocks(buffer, extensions, notes)) return;
  }
  // The command protocols and the factory page address EDID bytes 0 to 127 only.
  const bool baseBlockOnly = IsAocProtocol(settings_.protocol) || settings_.softwareDdcOnly;
  if (baseBlockOnly && AnnouncedExtensions(buffer) > 0) {
    notes.push_back(FormatText(texts::kNoteBaseBlockOnly, AnnouncedExtensions(buffer)));
  }
  TakeReadEdid(buffer, std::move(extensions), std::move(notes));
}

// ---- EDID Write ----------------------------------------------------------------------------

// Nothing reaches the monitor from an EDID the user did not see whole or that contradicts itself.
bool CEdidTransfer::RefuseFaultyEdid() {
  const std::optional<WholeEdidFault> fault = FindWholeEdidFault(block_.Bytes(), extensions_);
  if (fault) ShowError(DescribeWholeEdidFault(*fault), texts::kWriteRefusedCaption);
  return fault.has_value();
}

void CEdidTransfer::OnEdidWrite() {
  if (RefuseFaultyEdid()) return;
  const int extensionCount = extensions_.Count();
  if (IsAocProtocol(settings_.protocol)) {
    if (extensionCount > 0) {
      ui_.ShowInformation(FormatText(texts::kAocBaseBlockOnly, extensionCount), texts::kBaseBlockOnlyCaption);
    }
    OnAocWrite();
    return;
  }
  WaitCursor wait(ui_);
  if (!settings_.softwareDdcOnly) {
    // Asked before the first page, so a monitor that cannot take the later blocks keeps all of
    // its EDID rather than a base block announcing blocks it never got.
    if (extensionCount >= kFirstSegmentedBlock && !SegmentPointerAnswers()) {
      ShowError(texts::kNoSegmentPointer, texts::kWriteErrorCaption);
      return;
    }
    if (!WriteWholeEdid() || !VerifyWholeEdid()) return;
  }

  if (settings_.factoryEnable == 1) {
    if (extensionCount > 0) {
      ui_.ShowInformation(FormatText(texts::kFactoryBaseBlockOnly, extensionCount), texts::kBaseBlockOnlyCaption);
    }
    OnFactoryWrite();
  }
}

void CEdidTransfer::OnFactoryWrite() {
  WaitCursor wait(ui_);
  clock_.SleepMs(kFactoryModeSettleMs);
  SlowTiming slow(bus_);

  const uint8_t page = PageValue();
  const EdidBytes& bytes = block_.Bytes();
  for (int i = 0; i < kEdidSize; ++i) {
    const auto index = static_cast<uint8_t>(i);
    uint8_t frame[3] = {page, index, bytes[i]};
    bus_.RawTransfer(kFactoryWrite, 3, frame);  // judged by the read-back below

    uint8_t readBack = 0;
    const uint8_t status = FactoryReadRequest(page, index) | bus_.RawTransfer(kFactoryRead, 1, &readBack);
    if (status) {
      // Without an answer there is nothing to compare; a stale value must not pass as verified.
      ShowError(FormatText(texts::kTransferError, status), texts::kFactoryWriteErrorCaption);
      break;
    }
    if (readBack != bytes[i]) {
      ShowError(FormatText(texts::kFactoryVerifyError, i, readBack), texts::kFactoryWriteErrorCaption);
      break;
    }
    ShowProgress(texts::kWritingProgress, i);
  }
  ui_.SetStatusText(texts::kReady);
}

void CEdidTransfer::OnAocWrite() {
  WaitCursor wait(ui_);
  EdidBytes buffer = block_.Bytes();
  bus_.SetWriteEnable(false);
  const int protocol = static_cast<int>(settings_.protocol);

  for (int i = 0; i < kEdidSize; ++i) {
    const auto index = static_cast<uint8_t>(i);
    uint16_t result = bus_.AocWriteByte(index, buffer[i], protocol);
    if (result) {
      ShowError(FormatText(texts::kAocTransferError, i, result >> 8, result & 0xFF), texts::kWriteErrorCaption);
      return;
    }
    result = bus_.AocReadByte(index, buffer[i], protocol);
    if (result) {
      ShowError(FormatText(texts::kAocTransferError, i, result >> 8, result & 0xFF), texts::kReadErrorCaption);
      return;
    }
    if (buffer[i] != block_.Bytes()[i]) {
      ShowError(FormatText(texts::kAocVerifyError, i, buffer[i], block_.Bytes()[i]), texts::kVerifyErrorCaption);
      return;
    }
    ShowProgress(texts::kWritingProgress, i);
  }
  ui_.SetStatusText(texts::kReady);
}

// ---- DVI switch and channel ----------------------------------------------------------------

void CEdidTransfer::SwitchDviEeprom(uint8_t selector) {
  uint8_t frame[3] = {kDviSwitchCommand, selector, 0x00};
  bus_.RawTransfer(kFactoryWrite, 3, frame);  // sent blind: the switch has no reply to check
}

void CEdidTransfer::OnChannel(int channel) {
  channel_ = channel;
  bus_.SelectChannel(channel);
}

}  // namespace tolvex
