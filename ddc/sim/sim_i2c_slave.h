// The monitor's end of the DDC wires: an I2C slave that works on line levels only. It sees the
// master's drive of SCL and SDA, wired-AND with its own, finds START, repeated START and STOP,
// shifts bits in on rising clock edges and puts its own bits (acknowledges, read data) on SDA
// only while SCL is low. What the bytes mean is left to an I2cTarget behind it.
//
// It measures the time between edges in simulated time against the I2C minima (standard mode
// unless told otherwise). An edge that comes too soon is counted as a timing violation, and the
// slave loses the transaction there, as a real part that missed the edge would: it lets go of
// SDA and ignores the bus until the next START.
//
// Faults that live on the wires (SDA held low, clock stretching, refused addresses and bytes, a
// corrupted read byte) are switched here, and so is the wire trace. A LineObserver sees every
// change of the line levels with its time (the --sim-capture file).
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ddc/sim/sim_clock.h"

namespace tolvex::sim {

// A byte the slave is to send, and the simulated time from which the device has it ready. Until
// then the slave's shift register is empty: SDA stays released, and a byte the master clocks
// before that reads 0xFF.
struct ReadReply {
  uint8_t value = 0xFF;
  uint64_t readyAtNs = 0;
};

// Byte-level view of the bus, as the devices behind the slave see it.
class I2cTarget {
 public:
  virtual ~I2cTarget() = default;
  virtual void OnStart(bool repeated) = 0;
  virtual void OnStop() = 0;
  // The first byte after a START, direction in bit 0; true acknowledges.
  virtual bool OnAddress(uint8_t address) = 0;
  virtual bool OnWriteByte(uint8_t byte) = 0;
  // The next byte to send after an acknowledged read address or a byte the master acknowledged.
  virtual ReadReply OnReadByte() = 0;
};

// Sees the levels on the wires each time one of them changes (and once when attached).
class LineObserver {
 public:
  virtual ~LineObserver() = default;
  virtual void OnLines(uint64_t ns, bool scl, bool sda) = 0;
};

// Learns of each change of the master's drive before the slave takes it: the moment a simulated
// operator may plug or unplug the monitor, since nothing on the wires can tell earlier.
class MasterDriveObserver {
 public:
  virtual ~MasterDriveObserver() = default;
  virtual void BeforeMasterDrive() = 0;
};

// Minimum times between edges, in nanoseconds (the I2C bus standard's tLOW, tHIGH,
// tSU;STA, tHD;STA, tSU;STO, tBUF and tSU;DAT).
struct I2cTimingMinima {
  uint64_t sclLow;
  uint64_t sclHigh;
  uint64_t startSetup;  // SCL high before a repeated START
  uint64_t startHold;   // START to the first falling clock
  uint64_t stopSetup;   // SCL high before STOP
  uint64_t busFree;     // STOP to the next START
  uint64_t dataSetup;   // SDA settled before the rising clock
};
inline constexpr I2cTimingMinima kStandardMode = {4700, 4000, 4700, 4000, 4000, 4700, 250};
inline constexpr I2cTimingMinima kFastMode = {1300, 600, 600, 600, 600, 1300, 100};

struct WireEvent {
  enum Kind : uint8_t { kStart, kRepeatedStart, kStop, kWrite, kRead };
  Kind kind;
  uint8_t value = 0;   // the byte, for kWrite and kRead
  bool acked = false;  // kWrite: by the slave; kRead: by the master
  bool operator==(const WireEvent&) const = default;
};

// "S", "Sr", "P"; a byte the master wrote as ">A0+" (acknowledged) or ">A0-"; a byte the
// master read as "<12+" (the master acknowledged) or "<12-"; separated by single blanks.
std::string FormatWireEvents(const std::vector<WireEvent>& events);

// The last `capacity` events. The buffer is allocated when the capacity is set, so recording
// never allocates; older events are dropped and counted.
class WireTrace {
 public:
  static constexpr size_t kDefaultCapacity = 4096;

  WireTrace() { SetCapacity(kDefaultCapacity); }

  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }
  void SetCapacity(size_t capacity);  // clears the trace
  void Clear();

  void Record(const WireEvent& event) {
    if (!enabled_ || ring_.empty()) return;
    ring_[(first_ + size_) % ring_.size()] = event;
    if (size_ < ring_.size()) {
      ++size_;
    } else {
      first_ = (first_ + 1) % ring_.size();
      ++dropped_;
    }
  }

  std::vector<WireEvent> Events() const;  // oldest first
  std::string ToString() const { return FormatWireEvents(Events()); }
  size_t Dropped() const { return dropped_; }

 private:
  std::vector<WireEvent> ring_;
  size_t first_ = 0;
  size_t size_ = 0;
  size_t dropped_ = 0;
  bool enabled_ = true;
};

// Clock stretching: the slave holds SCL low on clock pulses firstPulse .. firstPulse+pulses-1,
// each time for `polls` reads of the register that senses SCL (reads made while the master
// itself still pulls SCL low do not count); the read after the last poll sees SCL high. Pulses
// are the master's releases of SCL, counted from 0 when the stretch is armed. More than 1500
// polls outlasts the master.
struct ClockStretch {
  uint32_t firstPulse = 0;
  uint32_t pulses = 1;
  uint32_t polls = 0;
};

// As ClockStretch::pulses: every pulse from firstPulse on.
inline constexpr uint32_t kAllPulses = UINT32_MAX;

class SimI2cSlave {
 public:
  SimI2cSlave(I2cTarget& target, const SimTime& time) : target_(target), time_(time) {}

  SimI2cSlave(const SimI2cSlave&) = delete;
  SimI2cSlave& operator=(const SimI2cSlave&) = delete;

  // Connects the slave to lines the master drives as given, without taking it for an edge.
  void Attach(bool masterScl, bool masterSda);

  // The master's drive after one of its writes (true releases the line).
  void SetMasterDrive(bool scl, bool sda) {
    if (scl == masterScl_ && sda == masterSda_) return;
    if (driveObserver_) driveObserver_->BeforeMasterDrive();
    if (!connected_) {
      FollowMasterAlone(scl, sda);
      return;
    }
    if (scl && !masterScl_) CountClockPulse();
    masterScl_ = scl;
    masterSda_ = sda;
    Update();
  }
  // The master read the register that senses SCL: one poll of a stretched clock.
  void OnSclSensed() {
    if (holdPolls_ == 0 || !masterScl_ || !connected_) return;
    if (--holdPolls_ == 0) Update();
  }
  // Simulated time went on (the machine calls this before every access): a read byte the device
  // has got ready meanwhile goes onto SDA now.
  void CatchUp() {
    if (pendingRead_ && time_.ns >= pendingReadyNs_) PutPendingByteOnSda();
  }

  // Line levels: the master's drive wired-AND with the slave's.
  bool Scl() const { return lineScl_; }
  bool Sda() const { return lineSda_; }
  // True between a START and the next STOP.
  bool InTransaction() const { return phase_ != Phase::kIdle; }

  // ---- The cable -----------------------------------------------------------------------------
  // Unplugged, the monitor neither drives nor sees the lines: they carry the master's drive and
  // the pull-ups, and no address is acknowledged. Plugged in again, it waits for the next START.
  void SetConnected(bool connected);
  bool Connected() const { return connected_; }
  // nullptr: nobody is told.
  void SetMasterDriveObserver(MasterDriveObserver* observer) { driveObserver_ = observer; }
  // Data bytes that went between the master and an addressed device (address-only probes add
  // none), and the simulated time of the last one.
  uint64_t DataBytes() const { return dataBytes_; }
  uint64_t LastDataNs() const { return lastDataNs_; }

  // ---- Timing --------------------------------------------------------------------------------
  void SetTimingMinima(const I2cTimingMinima& minima) { minima_ = minima; }
  const I2cTimingMinima& TimingMinima() const { return minima_; }
  uint32_t TimingViolations() const { return violations_; }
  // The first one, e.g. "START hold 3200 ns < 4000 ns"; empty when there was none.
  const std::string& FirstTimingViolation() const { return firstViolation_; }
  void ClearTimingViolations();

  // nullptr: nobody watches. The observer sees the present levels at once.
  void SetLineObserver(LineObserver* observer);

  // ---- Faults ------------------------------------------------------------------------------
  void HoldSdaLow(bool hold);
  bool HoldsSdaLow() const { return sdaHeldLow_; }
  void StretchClock(const ClockStretch& stretch);
  void StopStretching();
  uint32_t ClockPulses() const { return pulse_; }
  // The next `count` address bytes are not acknowledged, whichever device they name.
  void RefuseAddresses(uint32_t count) { refusals_ = count; }
  uint32_t PendingRefusals() const { return refusals_; }
  // This address byte (direction bit included) is never acknowledged, until ClearFaults.
  void RefuseAddress(uint8_t address) { refusedAddresses_.set(address); }
  // In every transaction, written byte number `position` after the address (1 = the first) is
  // not acknowledged, until ClearFaults; 0 switches it off. The devices never see that byte.
  void RefuseWrittenByte(uint32_t position) { refusedPosition_ = position; }
  // The read byte number `index` (0 = the next byte the slave sends) goes out XORed with mask.
  void CorruptReadByte(uint32_t index, uint8_t mask);
  void ClearFaults();

  WireTrace& Trace() { return trace_; }
  const WireTrace& Trace() const { return trace_; }

 private:
  enum class Phase : uint8_t {
    kIdle,     // after STOP: waits for START
    kAddress,  // shifting in the first byte after a START
    kWrite,    // shifting in data bytes
    kRead,     // sending data bytes
    kIgnore,   // not addressed, or the last byte was refused: waits for START or STOP
  };

  void Update();
  void FollowMasterAlone(bool scl, bool sda);
  void CountDataByte();
  void CountClockPulse();
  int64_t Now() const { return static_cast<int64_t>(time_.ns); }
  bool MeetsMinimum(int64_t since, uint64_t minimum, const char* what);
  void LoseTransaction();
  void OnSclFallTiming();
  bool OnSclRiseTiming();
  bool OnConditionTiming(bool start);
  void NotifyLines();
  void PutPendingByteOnSda();
  void OnStartCondition();
  void OnStopCondition();
  void OnSclRise();
  void OnSclFall();
  void ByteReceived();
  void LoadNextReadByte();
  void DriveSda(bool level) { slaveSda_ = level; }

  I2cTarget& target_;
  const SimTime& time_;
  WireTrace trace_;
  LineObserver* observer_ = nullptr;
  MasterDriveObserver* driveObserver_ = nullptr;
  bool connected_ = true;
  uint64_t dataBytes_ = 0;
  uint64_t lastDataNs_ = 0;

  // Drivers and the resulting line levels.
  bool masterScl_ = true;
  bool masterSda_ = true;
  bool slaveSda_ = true;
  bool lineScl_ = true;
  bool lineSda_ = true;

  Phase phase_ = Phase::kIdle;
  int clocks_ = 0;  // rising edges in the current 9-clock byte frame
  uint8_t shift_ = 0;
  bool readRequested_ = false;
  bool ackOut_ = false;
  bool masterAck_ = false;
  uint32_t bytesWritten_ = 0;  // data bytes after the address in this transaction
  bool pendingRead_ = false;   // a read byte the device has not got ready yet
  uint8_t pendingValue_ = 0;
  uint64_t pendingReadyNs_ = 0;

  // Edge times for the timing minima; long ago until the first edge.
  static constexpr int64_t kLongAgo = INT64_MIN / 4;
  I2cTimingMinima minima_ = kStandardMode;
  int64_t sclRiseNs_ = kLongAgo;
  int64_t sclFallNs_ = kLongAgo;
  int64_t sdaChangeNs_ = kLongAgo;
  int64_t startNs_ = kLongAgo;
  int64_t stopNs_ = kLongAgo;
  uint32_t violations_ = 0;
  std::string firstViolation_;

  // Faults.
  bool sdaHeldLow_ = false;
  ClockStretch stretch_{0, 0, 0};
  uint32_t pulse_ = 0;
  uint32_t holdPolls_ = 0;
  uint32_t refusals_ = 0;
  std::bitset<256> refusedAddresses_;
  uint32_t refusedPosition_ = 0;
  bool corruptArmed_ = false;
  uint32_t corruptIndex_ = 0;
  uint8_t corruptMask_ = 0;
  uint32_t bytesSent_ = 0;
};

}  // namespace tolvex::sim
