#include "ddc/edid_transfer.h"

#include "ddc/ddc_texts.h"
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

bool IsAocProtocol(uint32_t protocol) { return protocol == kProtocolAocTx3 || protocol == kProtocolAocTx12; }

}  // namespace

std::optional<uint8_t> ParsePageValue(std::string_view pageText) {
  if (pageText.empty() || HexDigitValue(pageText[0]) < 0) return std::nullopt;
  int value = HexDigitValue(pageText[0]);
  if (pageText.size() > 1 && HexDigitValue(pageText[1]) >= 0) value = value * 16 + HexDigitValue(pageText[1]);
  return static_cast<uint8_t>(value);
}

void TakeReadBlock(const EdidBytes& bytes, EdidBlock& block, EdidDocumentUi& document) {
  block.Bytes() = bytes;
  document.HighlightRange(0, kEdidSize - 1, true);
  document.ClearHighlight();
  document.ReplaceDocument(FormatEdidReport(block));
}

CEdidTransfer::CEdidTransfer(CI2cBus& bus, EdidBlock& block, const TransferSettings& settings, Clock& clock,
                             TransferUi& ui, EdidDocumentUi& document)
    : bus_(bus), bitBanged_(&bus), block_(block), settings_(settings), clock_(clock), ui_(ui), document_(document),
      channel_(bus.Channel()) {}

CEdidTransfer::CEdidTransfer(I2cMessageBus& bus, EdidBlock& block, const TransferSettings& settings, Clock& clock,
                             TransferUi& ui, EdidDocumentUi& document)
    : bus_(bus), bitBanged_(nullptr), block_(block), settings_(settings), clock_(clock), ui_(ui), document_(document),
      channel_(kChannelLinuxBus) {}

uint8_t CEdidTransfer::PageValue() const { return ParsePageValue(settings_.mappedPage).value_or(kDefaultPage); }

void CEdidTransfer::ShowProgress(const char* format, int index) {
  ui_.SetStatusText(FormatText(format, index * 100 / 127));
}

void CEdidTransfer::ShowError(const std::string& text, const char* caption) {
  const std::string detail = bus_.FailureDetail();
  ui_.ShowError(detail.empty() ? text : text + "\n" + detail, caption);
}

uint8_t CEdidTransfer::FactoryReadRequest(uint8_t page, uint8_t index) {
  uint8_t request[3] = {static_cast<uint8_t>(page + 1), index, 0x00};
  return RawTransfer(bus_, kFactoryWrite, 3, request);
}

// ---- EDID Read -----------------------------------------------------------------------------

void CEdidTransfer::OnEdidRead() {
  document_.ShowCodeWindow();
  WaitCursor wait(ui_);
  clock_.SleepMs(kReadSettleMs);

  EdidBytes buffer{};
  if (IsAocProtocol(settings_.protocol)) {
    const int protocol = static_cast<int>(settings_.protocol);
    for (int i = 0; i < kEdidSize; ++i) {
      const uint16_t result = AocReadByte(bus_, clock_, static_cast<uint8_t>(i), buffer[i], protocol);
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
      const uint8_t read = RawTransfer(bus_, kFactoryRead, 1, &buffer[i]);
      if (requested | read) {
        ShowError(FormatText(texts::kTransferError, requested | read), texts::kReadErrorCaption);
        return;
      }
    }
  } else {
    const uint8_t status = EepromTransfer(bus_, kEepromRead, 0x00, kEdidSize, buffer.data());
    if (status) {
      ShowError(FormatText(texts::kTransferError, status), texts::kReadErrorCaption);
      return;
    }
  }
  TakeReadBlock(buffer, block_, document_);
}

// ---- EDID Write ----------------------------------------------------------------------------

bool CEdidTransfer::CheckBeforeWrite(std::optional<EdidBytes>& before) {
  const I2cMessageBus::WriteGuard* guard = bus_.GuardForWrites();
  if (!guard) return true;
  EdidBytes current{};
  if (EepromTransfer(bus_, kEepromRead, 0x00, kEdidSize, current.data()) == 0) before = current;
  const std::optional<Refusal> refusal = EepromContentRefusal(before);
  if (!refusal || guard->force) return true;
  const std::string message = RefusalMessage(guard->busLabel, *refusal);
  if (ui_.ConfirmRisk(FormatText(texts::kOverrideQuestion, message.c_str()))) return true;
  ui_.ShowError(message, texts::kRefusedCaption);
  return false;
}

bool CEdidTransfer::WriteEepromPages(EdidBytes& buffer) {
  const int pageSize = bus_.EepromPageSize();
  bus_.SetWriteEnable(true);
  int page = 0;
  uint8_t status = 0;
  // On the bit-banged bus the next page's addressing phase is retried until the EEPROM has
  // finished its write cycle; a bus that cannot poll that way waits for the cycle after each page.
  for (page = 0; page < kEdidSize; page += pageSize) {
    status = EepromTransfer(bus_, kEepromWrite, static_cast<uint8_t>(page), static_cast<uint16_t>(pageSize),
                            buffer.data() + page);
    if (status == 0) status = TransferStatus(bus_.AwaitWriteCycle(kEepromWrite));
    if (status) break;
  }
  bus_.SetWriteEnable(false);
  if (status) ShowError(FormatText(texts::kPageTransferError, page, status), texts::kWriteErrorCaption);
  return status == 0;
}

bool CEdidTransfer::OnEdidWrite() {
  std::optional<EdidBytes> before;
  if (!CheckBeforeWrite(before)) return false;
  if (IsAocProtocol(settings_.protocol)) return OnAocWrite();
  WaitCursor wait(ui_);
  EdidBytes buffer = block_.Bytes();
  bool written = false;

  if (!settings_.softwareDdcOnly) {
    if (!WriteEepromPages(buffer)) return false;
    const uint8_t status = EepromTransfer(bus_, kEepromRead, 0x00, kEdidSize, buffer.data());
    if (status) {
      ShowError(FormatText(texts::kTransferError, status), texts::kReadErrorCaption);
      return false;
    }
    if (buffer != block_.Bytes()) {
      // An EEPROM that kept every byte it held did not take the write at all.
      if (before && buffer == *before) {
        ui_.ShowError(texts::kWriteProtected, texts::kWriteProtectedCaption);
      } else {
        ShowError(texts::kEdidVerifyError, texts::kVerifyErrorCaption);
      }
      return false;
    }
    written = true;
  }

  if (settings_.factoryEnable == 1) return OnFactoryWrite();
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

    uint8_t readBack = 0;
    const uint8_t status = FactoryReadRequest(page, index) | RawTransfer(bus_, kFactoryRead, 1, &readBack);
    if (status) {
      // Without an answer there is nothing to compare; a stale value must not pass as verified.
      ShowError(FormatText(texts::kTransferError, status), texts::kFactoryWriteErrorCaption);
      verified = false;
      break;
    }
    if (readBack != bytes[i]) {
      ShowError(FormatText(texts::kFactoryVerifyError, i, readBack), texts::kFactoryWriteErrorCaption);
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
      ShowError(FormatText(texts::kAocTransferError, i, result >> 8, result & 0xFF), texts::kWriteErrorCaption);
      return false;
    }
    result = AocReadByte(bus_, clock_, index, buffer[i], protocol);
    if (result) {
      ShowError(FormatText(texts::kAocTransferError, i, result >> 8, result & 0xFF), texts::kReadErrorCaption);
      return false;
    }
    if (buffer[i] != block_.Bytes()[i]) {
      ShowError(FormatText(texts::kAocVerifyError, i, buffer[i], block_.Bytes()[i]), texts::kVerifyErrorCaption);
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
