// Writing one unit's EDID into the monitor and verifying it: EDID Write itself, on the bus the
// program uses, with the unit's base block and the extension blocks in place of the document's. The production loop sees only
// the outcome, so the errors it logs are those EDID Write would show.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ddc/clock.h"
#include "ddc/ddc_ui.h"
#include "ddc/edid_transfer.h"
#include "ddc/i2c_message_bus.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"

namespace tolvex {

struct UnitOutcome {
  bool verified = false;
  std::string result;  // "verified", or the error's caption and message
  std::vector<ByteDifference> differences;
  std::string backupPath;  // where the unit's old EDID was kept; empty when none was
  std::string help;        // what the error means and what to try; empty when verified
};

class UnitWriter {
 public:
  virtual ~UnitWriter() = default;
  virtual UnitOutcome WriteUnit(const EdidBytes& base, const EdidExtensions& extensions) = 0;
};

// Whether these settings make EDID Write write and verify anything at all (Software DDC only
// without the factory write does neither).
bool WritesAndVerifies(const TransferSettings& settings);

// The protocol as the log names it: "DDC2B", "DDC2B, factory page F8", ...
std::string ProtocolLabel(const TransferSettings& settings);

class TransferUnitWriter final : public UnitWriter, private TransferUi, private EdidDocumentUi {
 public:
  // Progress texts of the transfer ("Writing... 49%") go to `progress`.
  TransferUnitWriter(I2cMessageBus& bus, const TransferSettings& settings, Clock& clock,
                     std::function<void(std::string_view)> progress = {});

  UnitOutcome WriteUnit(const EdidBytes& base, const EdidExtensions& extensions) override;

 private:
  // TransferUi: errors are kept for the outcome, not shown.
  void SetStatusText(std::string_view text) override;
  void ShowError(std::string_view text, std::string_view caption) override;
  void ShowTransferError(std::string_view text, std::string_view caption, std::string_view help) override;
  void SetWaitCursor(bool) override {}
  // EdidDocumentUi: a write changes no document.
  void ShowCodeWindow() override {}
  void HighlightRange(int, int, bool) override {}
  void ClearHighlight() override {}
  void ReplaceDocument(const std::string&) override {}

  std::function<void(std::string_view)> progress_;
  EdidBlock block_;
  EdidExtensions extensions_;
  CEdidTransfer transfer_;
  std::string error_;
  std::string help_;
};

}  // namespace tolvex
