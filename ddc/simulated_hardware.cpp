#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <iterator>
#include <optional>
#include <span>

#include "ddc/ddc_texts.h"
#include "ddc/hardware.h"
#include "ddc/linux/linux_discovery.h"
#include "ddc/linux/ppdev_port_io.h"
#include "ddc/sim/sim_hardware.h"
#include "ddc/sim/sim_production_line.h"
#include "ddc/sim/sim_vcd_capture.h"
#include "util/file_io.h"

namespace tolvex {

namespace {

// The state file holds the analog EEPROM, then the digital one: twice the EEPROM size.
constexpr int kEepromCount = 2;

class SimulatedHardware final : public Hardware {
 public:
  SimulatedHardware(std::unique_ptr<sim::SimHardware> hardware, std::string stateFile, bool ppdev,
                    std::optional<int> eepromSize)
      : hardware_(std::move(hardware)), stateFile_(std::move(stateFile)), eepromSize_(eepromSize) {
    if (eepromSize_) hardware_->machine.Monitor().SetEepromSize(*eepromSize_);
    if (!ppdev) return;
    sim::AddPpdevPorts(*hardware_);
    ppdev_ = std::make_unique<PpdevPortIo>(hardware_->kernel, hardware_->clock, hardware_->machine,
                                           DiscoverLinux(hardware_->files, Paths()).parallelPorts);
  }
  ~SimulatedHardware() override {
    hardware_->machine.Monitor().Bus().SetLineObserver(nullptr);
    if (lockFd_ >= 0) ::close(lockFd_);  // lets the next program on the state file go on
  }

  SimulatedHardware(const SimulatedHardware&) = delete;
  SimulatedHardware& operator=(const SimulatedHardware&) = delete;

  bool StartCapture(const std::string& path, std::string& error) {
    if (!capture_.Open(path, error)) return false;
    hardware_->machine.Monitor().Bus().SetLineObserver(&capture_);
    return true;
  }

  // After the state file is loaded: each unit starts with what the first one holds.
  void StartProductionLine(int units) {
    line_ = std::make_unique<sim::SimProductionLine>(hardware_->machine.Monitor(), hardware_->time, units);
  }

  PortIo& Io() override { return ppdev_ ? static_cast<PortIo&>(*ppdev_) : hardware_->machine; }
  KernelFiles& Files() override { return hardware_->files; }
  KernelDevices& Devices() override { return hardware_->kernel; }
  int SimulatedBus() const override { return hardware_->namedBus; }
  UsbHost* Usb() override { return &hardware_->usb; }
  Clock& GetClock() override { return hardware_->clock; }
  bool HasPortAccess() const override { return true; }
  std::string AccessNote() const override { return {}; }
  bool MoreUnitsMayCome() const override { return line_ && line_->FreshUnitsLeft(); }

  // From loading the state to saving it no other program may save its own, or one of the two
  // runs would be lost; a second program waits for the first to end.
  bool LockState(const std::function<void(const std::string&)>& busy, std::string& error) {
    const std::string lockPath = ResolvedPath(stateFile_) + ".lock";
    lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lockFd_ < 0) {
      error = lockPath + ": " + std::strerror(errno);
      return false;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (busy) busy(stateFile_ + ": " + texts::kSimStateBusy);
    int locked;
    do {
      locked = ::flock(lockFd_, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) return true;
    error = lockPath + ": " + std::strerror(errno);
    return false;
  }

  // Only a regular file (or none yet) gets a lock beside it: a folder or a device named as the
  // state is refused as it is. What counts is what the file holds once the lock is taken.
  bool Load(const std::function<void(const std::string&)>& busy, std::string& error) {
    if (stateFile_.empty()) return true;
    return ReadState(error) && LockState(busy, error) && ReadState(error);
  }

  // Without --sim-eeprom-size the state file's size says how large the EEPROMs are.
  bool ReadState(std::string& error) {
    // Only a regular file no larger than the largest state; anything else is named and kept as it is.
    const FileContent read = ReadInputFile(stateFile_, kEepromCount * sim::SimEeprom::kMaxSize, Devices::kRefused);
    if (read.error.problem == FileProblem::kSystem && read.error.error == ENOENT) {
      return true;  // a first run starts from the monitor's own EDID
    }
    const int expected = eepromSize_.value_or(sim::SimEeprom::kDefaultSize) * kEepromCount;
    const std::string notAState =
        stateFile_ + ": not a simulated monitor state (" + std::to_string(expected) + " bytes expected)";
    if (read.error.problem == FileProblem::kTooLarge) {
      error = notAState;
      return false;
    }
    if (read.error) {
      error = stateFile_ + ": " + DescribeFileError(read.error);
      return false;
    }
    const std::string& state = read.bytes;
    const int eepromBytes = static_cast<int>(std::min<size_t>(state.size() / kEepromCount, sim::SimEeprom::kMaxSize + 1));
    const bool sizeFits = state.size() % kEepromCount == 0 && sim::SimEeprom::IsValidSize(eepromBytes);
    if (!sizeFits || (eepromSize_ && eepromBytes != *eepromSize_)) {
      error = notAState;
      return false;
    }
    auto& monitor = hardware_->machine.Monitor();
    monitor.SetEepromSize(eepromBytes);
    std::copy_n(state.begin(), eepromBytes, monitor.AnalogEeprom().Memory().begin());
    std::copy_n(state.begin() + eepromBytes, eepromBytes, monitor.DigitalEeprom().Memory().begin());
    return true;
  }

  bool Persist(std::string& error) override {
    // The run is over: what the capture holds is complete.
    hardware_->machine.Monitor().Bus().SetLineObserver(nullptr);
    if (!capture_.Close(error)) return false;
    if (stateFile_.empty()) return true;
    auto& monitor = hardware_->machine.Monitor();
    std::string state;
    for (const sim::SimEeprom* eeprom : {&monitor.AnalogEeprom(), &monitor.DigitalEeprom()}) {
      state.append(reinterpret_cast<const char*>(eeprom->Memory().data()), static_cast<size_t>(eeprom->Size()));
    }
    if (const FileError failed = WriteFileAtomically(stateFile_, state)) {
      error = stateFile_ + ": cannot save the simulated monitor state: " + DescribeFileError(failed);
      return false;
    }
    return true;
  }

 private:
  sim::VcdCapture capture_;  // declared before the machine that points at it, so it outlives it
  std::unique_ptr<sim::SimHardware> hardware_;
  std::string stateFile_;
  std::optional<int> eepromSize_;  // as the user gave it
  std::unique_ptr<PpdevPortIo> ppdev_;
  std::unique_ptr<sim::SimProductionLine> line_;  // after the monitor it watches, so it goes first
  int lockFd_ = -1;
};

const char* const kPortAccesses[] = {"raw", "ppdev"};

template <typename Row>
std::vector<std::string_view> NamesOf(std::span<const Row> rows) {
  std::vector<std::string_view> names;
  for (const Row& row : rows) names.push_back(row.name);
  return names;
}

template <typename Row>
const Row* Lookup(std::span<const Row> rows, std::string_view name) {
  for (const Row& row : rows) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

std::string NameList(const std::vector<std::string_view>& names) {
  std::string list;
  for (std::string_view name : names) list += (list.empty() ? "" : ", ") + std::string(name);
  return list;
}

}  // namespace

std::optional<int> ParseSimulatedEepromSize(const std::string& text) {
  int size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
  if (error != std::errc() || end != text.data() + text.size() || !sim::SimEeprom::IsValidSize(size)) {
    return std::nullopt;
  }
  return size;
}

std::optional<int> ParseSimulatedUnits(std::string_view text) {
  int units = 0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), units);
  if (status != std::errc() || end != text.data() + text.size() || units < 1 || units > kMaxSimulatedUnits) {
    return std::nullopt;
  }
  return units;
}

const std::vector<std::string_view>& SimulatedAdapterNames() {
  static const std::vector<std::string_view> names = NamesOf(sim::NamedAdapters());
  return names;
}

const std::vector<std::string_view>& SimulatedFaultNames() {
  static const std::vector<std::string_view> names = NamesOf(sim::NamedFaults());
  return names;
}

const std::vector<std::string_view>& SimulatedAccessNames() {
  static const std::vector<std::string_view> names(std::begin(kPortAccesses), std::end(kPortAccesses));
  return names;
}

std::unique_ptr<Hardware> MakeSimulatedHardware(const SimulationOptions& options, std::string& error) {
  const sim::NamedAdapter* adapter = Lookup(sim::NamedAdapters(), options.adapter);
  if (!adapter) {
    error = "unknown simulated adapter \"" + options.adapter + "\" (" + NameList(SimulatedAdapterNames()) + ")";
    return nullptr;
  }
  const sim::NamedFault* fault = options.fault.empty() ? nullptr : Lookup(sim::NamedFaults(), options.fault);
  if (!options.fault.empty() && !fault) {
    error = "unknown simulated fault \"" + options.fault + "\" (" + NameList(SimulatedFaultNames()) + ")";
    return nullptr;
  }
  const std::optional<int> eepromSize = options.eepromSize.empty() ? std::nullopt : ParseSimulatedEepromSize(options.eepromSize);
  if (!options.eepromSize.empty() && !eepromSize) {
    error = "unknown simulated EEPROM size \"" + options.eepromSize + "\" (256, 512, 1024 and so on up to 32768)";
    return nullptr;
  }
  const std::vector<std::string_view>& accesses = SimulatedAccessNames();
  if (std::find(accesses.begin(), accesses.end(), options.access) == accesses.end()) {
    error = "unknown port access \"" + options.access + "\" (" + NameList(accesses) + ")";
    return nullptr;
  }
  const std::optional<int> units = options.units.empty() ? std::optional<int>() : ParseSimulatedUnits(options.units);
  if (!options.units.empty() && !units) {
    error = "--sim-units takes a number from 1 to " + std::to_string(kMaxSimulatedUnits);
    return nullptr;
  }
  if (units && options.fault == "unplugged") {
    error = "the simulated monitors of --sim-units cannot be unplugged from the start";
    return nullptr;
  }
  std::unique_ptr<sim::SimHardware> hardware = adapter->make();
  if (fault && fault->kernelBusOnly && hardware->monitorBus < 0) {
    error = "the simulated fault \"" + options.fault + "\" needs --sim-adapter i2c-dev";
    return nullptr;
  }
  if (fault) fault->apply(*hardware);
  auto simulated = std::make_unique<SimulatedHardware>(std::move(hardware), options.stateFile,
                                                       options.access == "ppdev", eepromSize);
  if (!simulated->Load(options.stateBusy, error)) return nullptr;
  if (units) simulated->StartProductionLine(*units);
  if (!options.captureFile.empty() && !simulated->StartCapture(options.captureFile, error)) return nullptr;
  return simulated;
}

}  // namespace tolvex
