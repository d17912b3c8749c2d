// The simulated monitor behind the DDC lines: its bit-level bus interface and the devices on it.
//
//   0xA0/0xA1  the DDC EEPROM; a DVI-I monitor has two (analog and digital) behind a switch
//   0x58/0x59  factory memory, and the EEPROM switch
//   0xFA/0xFB  the monitor controller, command protocol 1
//   0xA8/0xA9  the monitor controller, command protocol 2
//
// Factory memory: [P, i, v] with P even writes byte i of page P; [P+1, i, 0x00] sets the read
// pointer to (P, i), and each byte read at 0x59 returns the byte there and moves on. Mapped pages
// are the selected EEPROM itself (byte i of the chip); other pages are plain memory. [0x63, s,
// 0x00] selects the EEPROM: 0 analog, 1 digital, 2 by the digital-input-active sense.
//
// Controller: a write frame (command, offset, data, 0x00, checksum) stores data into byte
// offset - base (0-127) of the selected EEPROM; a read request (command, offset) latches the
// index; a read returns five bytes: data, three filler bytes (data XOR 0xFF, 0x5A, 0xA5) and
// data again. A byte that breaks a frame, a wrong checksum included, is not acknowledged.
//
// The monitor's firmware is slow, and the masters' fixed pauses are what it needs:
//   - the controller takes a read request only 30 ms after the end (STOP) of its previous
//     transaction; a request that comes sooner is acknowledged but lost, and the reply then
//     carries the byte requested before;
//   - its reply is ready 50 ms after the first read address that follows a request; until then
//     its shift register is empty and what the master clocks reads 0xFF. Once ready, the reply
//     stays until the next request, so a master that cannot hold the clock after the address
//     (the kernel's) can address the controller, wait, and read it in a second transaction;
//   - a byte of factory memory is ready 3 ms after the read-pointer command; an earlier read at
//     0x59 reads 0xFF;
//   - for a second after a transaction with the DDC EEPROM the firmware re-reads its EDID, and a
//     factory memory write in that second is acknowledged but lost.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "ddc/sim/sim_clock.h"
#include "ddc/sim/sim_eeprom.h"
#include "ddc/sim/sim_i2c_slave.h"

namespace tolvex::sim {

enum class SimDevice : uint8_t { kAnalogEeprom, kDigitalEeprom, kFactoryMemory, kController1, kController2 };
enum class DviSelect : uint8_t { kAnalog = 0, kDigital = 1, kAuto = 2 };

class SimMonitor final : private I2cTarget {
 public:
  static constexpr uint8_t kDviSwitchCommand = 0x63;
  static constexpr uint8_t kDefaultMappedPages[] = {0xF8, 0xF0};
  static constexpr uint64_t kRequestGapNs = 30'000'000;
  static constexpr uint64_t kReplyPrepareNs = 50'000'000;
  static constexpr uint64_t kFactoryFetchNs = 3'000'000;
  static constexpr uint64_t kEdidReloadNs = 1'000'000'000;

  // Each EEPROM starts with the simulated EDID (sim_edid.h) of its input kind in bytes 0-127;
  // bytes 128-255 and the plain factory pages read 0xFF.
  explicit SimMonitor(const SimTime& time);

  SimMonitor(const SimMonitor&) = delete;
  SimMonitor& operator=(const SimMonitor&) = delete;

  // The bus interface; the machine drives it, tests read its trace.
  SimI2cSlave& Bus() { return bus_; }
  const SimI2cSlave& Bus() const { return bus_; }
  WireTrace& Trace() { return bus_.Trace(); }

  // ---- Contents --------------------------------------------------------------------------------
  SimEeprom& AnalogEeprom() { return eeproms_[0]; }
  SimEeprom& DigitalEeprom() { return eeproms_[1]; }
  // The chip that answers at 0xA0/0xA1 now, after the switch and the input sense.
  SimEeprom& SelectedEeprom() { return eeproms_[SelectedIndex()]; }
  void SetWriteCycleUs(uint32_t us);

  DviSelect DviSelection() const { return dvi_; }
  void SetDviSelection(DviSelect select) { dvi_ = select; }
  // What the automatic switch looks at: is the digital input the active one?
  void SetDigitalInputActive(bool active) { digitalInputActive_ = active; }

  void SetMappedPages(std::initializer_list<uint8_t> pages);
  bool IsMappedPage(uint8_t page) const { return mapped_[page]; }
  // Reads and writes a factory memory cell the way the bus does (mapped pages reach the EEPROM).
  uint8_t FactoryByte(uint8_t page, uint8_t index) const;
  void SetFactoryByte(uint8_t page, uint8_t index, uint8_t value) { FactoryCell(page, index) = value; }
  uint8_t FactoryReadPage() const { return factoryReadPage_; }
  uint8_t FactoryReadIndex() const { return factoryReadIndex_; }

  // The EDID index latched by the last read request of protocol 1 or 2.
  uint8_t ControllerLatchedIndex(int protocol) const { return controllers_[protocol == 1 ? 0 : 1].latched; }

  // The adapter's write-enable line, as the machine sees it on the monitor's route.
  void SetWriteEnableLine(bool asserted) { writeEnableLine_ = asserted; }
  bool WriteEnableLine() const { return writeEnableLine_; }

  // ---- Faults --------------------------------------------------------------------------------
  void SetDevicePresent(SimDevice device, bool present) { present_[static_cast<int>(device)] = present; }
  bool DevicePresent(SimDevice device) const { return present_[static_cast<int>(device)]; }
  // The EEPROMs ignore bus writes even while the write-enable line is asserted.
  void SetWriteProtectStuck(bool stuck) { writeProtectStuck_ = stuck; }
  void HoldSdaLow(bool hold) { bus_.HoldSdaLow(hold); }
  void StretchClock(const ClockStretch& stretch) { bus_.StretchClock(stretch); }
  void RefuseAddresses(uint32_t count) { bus_.RefuseAddresses(count); }
  void CorruptReadByte(uint32_t index, uint8_t mask) { bus_.CorruptReadByte(index, mask); }
  // Every fault off, every device present.
  void ClearFaults();

 private:
  enum class Target : uint8_t { kNone, kEeprom, kFactory, kController };

  struct ControllerProtocol {
    uint8_t address;
    uint8_t writeCommand;
    uint8_t readRequestCommand;
    uint8_t offsetBase;  // added to the EDID byte index
    SimDevice device;
  };
  struct ControllerState {
    uint8_t latched = 0;
    bool replyDue = true;  // a request was taken since the reply was last prepared
    uint8_t reply = 0;
    uint64_t replyReadyNs = 0;
  };

  // I2cTarget
  void OnStart(bool repeated) override;
  void OnStop() override;
  bool OnAddress(uint8_t address) override;
  bool OnWriteByte(uint8_t byte) override;
  ReadReply OnReadByte() override;

  int SelectedIndex() const;
  uint8_t& FactoryCell(uint8_t page, uint8_t index);
  bool FactoryWrite(uint8_t byte);
  bool FactoryCommand(uint8_t last);
  bool ControllerWrite(uint8_t byte);
  uint8_t ControllerReply();

  static const ControllerProtocol kControllers[2];

  const SimTime& time_;
  SimI2cSlave bus_{*this, time_};
  std::array<SimEeprom, 2> eeproms_;
  std::vector<uint8_t> plainPages_;  // 256 pages of 256 bytes
  std::bitset<256> mapped_;
  DviSelect dvi_ = DviSelect::kAnalog;
  bool digitalInputActive_ = false;
  bool writeEnableLine_ = false;
  uint8_t factoryReadPage_ = 0;
  uint8_t factoryReadIndex_ = 0;
  std::array<ControllerState, 2> controllers_{};

  // The transaction under way.
  Target target_ = Target::kNone;
  SimEeprom* eeprom_ = nullptr;
  int controller_ = 0;
  int bytesIn_ = 0;  // data bytes after the address
  int bytesOut_ = 0;
  std::array<uint8_t, 4> frame_{};
  uint64_t startNs_ = 0;  // of the transaction under way

  // When the firmware is ready again (simulated ns).
  uint64_t requestsTakenFromNs_ = 0;
  uint64_t factoryReadyNs_ = 0;
  uint64_t factoryWritableFromNs_ = 0;

  std::array<bool, 5> present_{true, true, true, true, true};
  bool writeProtectStuck_ = false;
};

}  // namespace tolvex::sim
