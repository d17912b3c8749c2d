#include "ddc/sim/sim_monitor.h"

#include "ddc/sim/sim_edid.h"

namespace tolvex::sim {

namespace {

constexpr uint8_t kEepromAddress = 0xA0;
constexpr uint8_t kFactoryAddress = 0x58;
constexpr int kEdidIndexCount = 128;
constexpr int kReplyLength = 5;
// Bytes 1-3 of a controller reply; never equal to the data, so a master that takes the wrong
// reply byte reads something else.
constexpr uint8_t kReplyFillerXor = 0xFF;
constexpr uint8_t kReplyFiller2 = 0x5A;
constexpr uint8_t kReplyFiller3 = 0xA5;

}  // namespace

const SimMonitor::ControllerProtocol SimMonitor::kControllers[2] = {
    {0xFA, 0x13, 0x1B, 0x80, SimDevice::kController1},
    {0xA8, 0x07, 0x67, 0x78, SimDevice::kController2},
};

SimMonitor::SimMonitor(const SimTime& time)
    : time_(time), eeproms_{SimEeprom(time), SimEeprom(time)}, plainPages_(256 * 256, 0xFF) {
  SetMappedPages({kDefaultMappedPages[0], kDefaultMappedPages[1]});
  eeproms_[0].Load(SimulatedEdid(false));
  eeproms_[1].Load(SimulatedEdid(true));
}

void SimMonitor::SetWriteCycleUs(uint32_t us) {
  for (SimEeprom& eeprom : eeproms_) eeprom.SetWriteCycleUs(us);
}

void SimMonitor::SetMappedPages(std::initializer_list<uint8_t> pages) {
  mapped_.reset();
  for (uint8_t page : pages) mapped_.set(page);
}

int SimMonitor::SelectedIndex() const {
  switch (dvi_) {
    case DviSelect::kDigital: return 1;
    case DviSelect::kAuto: return digitalInputActive_ ? 1 : 0;
    case DviSelect::kAnalog: break;
  }
  return 0;
}

uint8_t& SimMonitor::FactoryCell(uint8_t page, uint8_t index) {
  if (mapped_[page]) return SelectedEeprom().Memory()[index];
  return plainPages_[page * 256 + index];
}

uint8_t SimMonitor::FactoryByte(uint8_t page, uint8_t index) const {
  if (mapped_[page]) return eeproms_[SelectedIndex()].Memory()[index];
  return plainPages_[page * 256 + index];
}

void SimMonitor::ClearFaults() {
  bus_.ClearFaults();
  present_.fill(true);
  writeProtectStuck_ = false;
}

// ---- Transactions --------------------------------------------------------------------------

void SimMonitor::OnStart(bool /*repeated*/) {
  for (SimEeprom& eeprom : eeproms_) eeprom.OnStart();
  target_ = Target::kNone;
  eeprom_ = nullptr;
  startNs_ = time_.ns;
}

void SimMonitor::OnStop() {
  if (target_ == Target::kEeprom) {
    eeprom_->OnStop(writeEnableLine_ && !writeProtectStuck_);
    factoryWritableFromNs_ = time_.ns + kEdidReloadNs;
  }
  if (target_ == Target::kController) requestsTakenFromNs_ = time_.ns + kRequestGapNs;
  target_ = Target::kNone;
  eeprom_ = nullptr;
}

bool SimMonitor::OnAddress(uint8_t address) {
  const bool read = (address & 1) != 0;
  const uint8_t device = address & 0xFE;
  bytesIn_ = 0;
  bytesOut_ = 0;
  target_ = Target::kNone;

  if (device == kEepromAddress) {
    const int chip = SelectedIndex();
    if (!present_[static_cast<int>(chip == 0 ? SimDevice::kAnalogEeprom : SimDevice::kDigitalEeprom)]) return false;
    if (!eeproms_[chip].OnAddress(read)) return false;
    eeprom_ = &eeproms_[chip];
    target_ = Target::kEeprom;
    return true;
  }
  if (device == kFactoryAddress) {
    if (!DevicePresent(SimDevice::kFactoryMemory)) return false;
    target_ = Target::kFactory;
    return true;
  }
  for (int k = 0; k < 2; ++k) {
    if (device != kControllers[k].address) continue;
    if (!DevicePresent(kControllers[k].device)) return false;
    target_ = Target::kController;
    controller_ = k;
    ControllerState& state = controllers_[k];
    if (read && state.replyDue) {
      state.reply = SelectedEeprom().Memory()[state.latched];
      state.replyReadyNs = time_.ns + kReplyPrepareNs;
      state.replyDue = false;
    }
    return true;
  }
  return false;
}

bool SimMonitor::OnWriteByte(uint8_t byte) {
  switch (target_) {
    case Target::kEeprom: return eeprom_->OnWriteByte(byte);
    case Target::kFactory: return FactoryWrite(byte);
    case Target::kController: return ControllerWrite(byte);
    case Target::kNone: break;
  }
  return false;
}

ReadReply SimMonitor::OnReadByte() {
  switch (target_) {
    case Target::kEeprom: return {eeprom_->OnReadByte()};
    case Target::kFactory: {
      const uint8_t value = FactoryCell(factoryReadPage_, factoryReadIndex_);
      ++factoryReadIndex_;
      return {value, factoryReadyNs_};
    }
    case Target::kController: return {ControllerReply(), controllers_[controller_].replyReadyNs};
    case Target::kNone: break;
  }
  return {};
}

// ---- Factory memory and EEPROM switch ------------------------------------------------------

bool SimMonitor::FactoryWrite(uint8_t byte) {
  const int n = bytesIn_++;
  if (n < 2) {
    frame_[n] = byte;
    return true;
  }
  if (n == 2) return FactoryCommand(byte);
  return false;  // commands are three bytes
}

bool SimMonitor::FactoryCommand(uint8_t last) {
  const uint8_t page = frame_[0];
  const uint8_t index = frame_[1];
  if (page == kDviSwitchCommand) {
    if (last != 0x00 || index > static_cast<uint8_t>(DviSelect::kAuto)) return false;
    dvi_ = static_cast<DviSelect>(index);
    return true;
  }
  if ((page & 1) == 0) {
    // The write-enable line does not guard factory memory; the firmware's EDID reload does.
    if (startNs_ >= factoryWritableFromNs_) FactoryCell(page, index) = last;
    return true;
  }
  if (last != 0x00) return false;
  factoryReadPage_ = static_cast<uint8_t>(page - 1);
  factoryReadIndex_ = index;
  factoryReadyNs_ = time_.ns + kFactoryFetchNs;
  return true;
}

// ---- Monitor controller --------------------------------------------------------------------

bool SimMonitor::ControllerWrite(uint8_t byte) {
  const ControllerProtocol& protocol = kControllers[controller_];
  const int n = bytesIn_++;
  switch (n) {
    case 0:  // command
      frame_[0] = byte;
      return byte == protocol.writeCommand || byte == protocol.readRequestCommand;
    case 1: {  // offset
      const uint8_t index = static_cast<uint8_t>(byte - protocol.offsetBase);
      if (index >= kEdidIndexCount) return false;
      frame_[1] = byte;
      // A request that comes too soon after the last transaction is lost on the firmware's side.
      if (frame_[0] == protocol.readRequestCommand && startNs_ >= requestsTakenFromNs_) {
        controllers_[controller_].latched = index;
        controllers_[controller_].replyDue = true;
      }
      return true;
    }
    default: break;
  }
  if (frame_[0] != protocol.writeCommand) return false;  // a read request ends with its offset
  switch (n) {
    case 2: frame_[2] = byte; return true;  // data
    case 3: return byte == 0x00;
    case 4: {
      if (byte != static_cast<uint8_t>(frame_[0] + frame_[1] + frame_[2])) return false;
      // The controller writes the EEPROM itself; the adapter's write-enable line is not involved.
      SelectedEeprom().Memory()[static_cast<uint8_t>(frame_[1] - protocol.offsetBase)] = frame_[2];
      return true;
    }
    default: return false;
  }
}

uint8_t SimMonitor::ControllerReply() {
  const uint8_t reply = controllers_[controller_].reply;
  const int n = bytesOut_++;
  switch (n) {
    case 0:
    case kReplyLength - 1: return reply;
    case 1: return static_cast<uint8_t>(reply ^ kReplyFillerXor);
    case 2: return kReplyFiller2;
    case 3: return kReplyFiller3;
    default: return 0xFF;
  }
}

}  // namespace tolvex::sim
