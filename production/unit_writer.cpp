#include "production/unit_writer.h"

#include "ddc/config_texts.h"
#include "ddc/format_text.h"
#include "production/production_texts.h"

namespace tolvex {

namespace {

// The unit's block never goes through Reset's date: its bytes replace it at once.
CalendarDate AnyDate() { return {2000, 1, 1}; }

}  // namespace

bool WritesAndVerifies(const TransferSettings& settings) {
  return !settings.softwareDdcOnly || settings.protocol != kProtocolDdc2b || settings.factoryEnable == 1;
}

std::string ProtocolLabel(const TransferSettings& settings) {
  const char* protocol = texts::kProtocolNames[settings.protocol < 3 ? settings.protocol : 0];
  if (settings.protocol != kProtocolDdc2b) return protocol;
  const std::string page = settings.mappedPage.substr(0, 2);
  if (settings.softwareDdcOnly) return FormatText(production_texts::kSoftwareDdcLabel, page.c_str());
  if (settings.factoryEnable == 1) return FormatText(production_texts::kFactoryLabel, protocol, page.c_str());
  return protocol;
}

TransferUnitWriter::TransferUnitWriter(I2cMessageBus& bus, const TransferSettings& settings, Clock& clock,
                                       std::function<void(std::string_view)> progress)
    : progress_(std::move(progress)),
      block_(AnyDate),
      transfer_(bus, block_, extensions_, settings, clock, *this, *this) {
  // Every unit is the same model with a serial of its own: nobody is asked per unit.
  transfer_.SetAskBeforeReplacing(false);
}

UnitOutcome TransferUnitWriter::WriteUnit(const EdidBytes& base, const EdidExtensions& extensions) {
  block_.Bytes() = base;
  extensions_ = extensions;
  error_.clear();
  help_.clear();
  transfer_.OnEdidWrite();
  UnitOutcome outcome;
  outcome.verified = error_.empty();
  outcome.result = outcome.verified ? production_texts::kVerified : error_;
  outcome.differences = transfer_.VerifyDifferences();
  outcome.backupPath = transfer_.BackupPath();
  if (!outcome.verified) outcome.help = help_;
  return outcome;
}

void TransferUnitWriter::SetStatusText(std::string_view text) {
  if (progress_) progress_(text);
}

void TransferUnitWriter::ShowError(std::string_view text, std::string_view caption) {
  // The first error ends the command; a later one would only repeat how it ended.
  if (error_.empty()) error_ = std::string(caption) + ": " + std::string(text);
}

// The log keeps the message as it always was; what it means is the operator's, on the screen.
void TransferUnitWriter::ShowTransferError(std::string_view text, std::string_view caption, std::string_view help) {
  if (error_.empty()) help_ = help;
  ShowError(text, caption);
}

}  // namespace tolvex
