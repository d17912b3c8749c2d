#include "ddc/sim/sim_machine.h"

namespace tolvex::sim {

SimMachine::SimMachine(SimTime& time)
    : time_(time),
      parallel_{SimParallelPort(kParallelBases[0]), SimParallelPort(kParallelBases[1]),
                SimParallelPort(kParallelBases[2])},
      monitor_(time) {}

// ---- PortIo --------------------------------------------------------------------------------

void SimMachine::Tick(AccessKind kind, uint32_t address, uint16_t value) {
  time_.Advance(kAccessNs);
  ++accesses_;
  if (logging_) log_.push_back({kind, address, value});
}

uint8_t SimMachine::PortIn8(uint16_t port) {
  monitor_.Bus().CatchUp();
  const uint8_t value = ReadPort(port);
  Tick(AccessKind::kPortIn8, port, value);
  return value;
}

void SimMachine::PortOut8(uint16_t port, uint8_t value) {
  monitor_.Bus().CatchUp();
  WritePort(port, value);
  Tick(AccessKind::kPortOut8, port, value);
}

void SimMachine::PortOut16(uint16_t port, uint16_t value) {
  monitor_.Bus().CatchUp();
  WritePort(port, static_cast<uint8_t>(value & 0xFF));
  WritePort(static_cast<uint16_t>(port + 1), static_cast<uint8_t>(value >> 8));
  Tick(AccessKind::kPortOut16, port, value);
}

uint8_t SimMachine::MemRead8(uint32_t physicalAddress) {
  monitor_.Bus().CatchUp();
  uint8_t value = 0xFF;
  if (s3_ && physicalAddress == SimS3Card::kSerialPortAddress) {
    value = s3_->ReadSerialPort(LinesOfS3());
    if (route_.kind == MonitorRoute::kS3 && s3_->SerialPortMapped()) monitor_.Bus().OnSclSensed();
  }
  Tick(AccessKind::kMemRead8, physicalAddress, value);
  return value;
}

void SimMachine::MemWrite8(uint32_t physicalAddress, uint8_t value) {
  monitor_.Bus().CatchUp();
  if (s3_ && physicalAddress == SimS3Card::kSerialPortAddress) {
    s3_->WriteSerialPort(value);
    if (route_.kind == MonitorRoute::kS3) DriveMonitor();
  }
  Tick(AccessKind::kMemWrite8, physicalAddress, value);
}

// ---- Port decoding -------------------------------------------------------------------------

int SimMachine::ParallelIndex(uint16_t port) const {
  for (int i = 0; i < static_cast<int>(parallel_.size()); ++i) {
    if (port >= kParallelBases[i] && port <= kParallelBases[i] + SimParallelPort::kControl) return i;
  }
  return -1;
}

bool SimMachine::IsVgaPort(uint16_t port) const { return port >= 0x3B0 && port <= 0x3DF; }

uint8_t SimMachine::ReadPort(uint16_t port) {
  if (port == kRefreshPort) {
    const bool toggle = (time_.ns / kRefreshHalfPeriodNs) & 1;
    return static_cast<uint8_t>((refreshLatch_ & 0x0F) | (toggle ? kRefreshToggle : 0));
  }
  if (const int i = ParallelIndex(port); i >= 0) {
    const uint16_t offset = port - kParallelBases[i];
    const uint8_t value = parallel_[i].Read(offset, LinesOfParallel(i));
    if (i == routeParallel_ && offset == parallel_[i].SclSenseRegister()) monitor_.Bus().OnSclSensed();
    return value;
  }
  if (s3_ && IsVgaPort(port)) return s3_->In(port);
  return 0xFF;
}

void SimMachine::WritePort(uint16_t port, uint8_t value) {
  if (port == kRefreshPort) {
    refreshLatch_ = value;
    return;
  }
  if (const int i = ParallelIndex(port); i >= 0) {
    parallel_[i].Write(port - kParallelBases[i], value);
    if (i == routeParallel_) DriveMonitor();
    return;
  }
  if (s3_ && IsVgaPort(port)) {
    s3_->Out(port, value);
    if (route_.kind == MonitorRoute::kS3) DriveMonitor();  // SR0D can take the pins away
  }
}

// ---- Lines ---------------------------------------------------------------------------------

LineLevels SimMachine::LinesOfParallel(int index) const {
  if (index == routeParallel_) return {monitor_.Bus().Scl(), monitor_.Bus().Sda()};
  return parallel_[index].Drive();
}

LineLevels SimMachine::LinesOfS3() const {
  if (route_.kind == MonitorRoute::kS3) return {monitor_.Bus().Scl(), monitor_.Bus().Sda()};
  return s3_ ? s3_->Drive() : LineLevels{};
}

LineLevels SimMachine::MonitorLines() const {
  if (route_.kind == MonitorRoute::kUnplugged) return {};
  return {monitor_.Bus().Scl(), monitor_.Bus().Sda()};
}

void SimMachine::DriveMonitor() {
  LineLevels drive;
  bool writeEnable = false;
  if (routeParallel_ >= 0) {
    drive = parallel_[routeParallel_].Drive();
    writeEnable = parallel_[routeParallel_].WriteEnable();
  } else if (route_.kind == MonitorRoute::kS3) {
    if (s3_) drive = s3_->Drive();
    writeEnable = true;  // no write-enable line on the card: its EEPROM is always writable
  } else {
    return;
  }
  monitor_.SetWriteEnableLine(writeEnable);
  monitor_.Bus().SetMasterDrive(drive.scl, drive.sda);
}

// ---- Set-up --------------------------------------------------------------------------------

SimParallelPort* SimMachine::Parallel(uint16_t base) {
  for (SimParallelPort& port : parallel_) {
    if (port.Base() == base) return &port;
  }
  return nullptr;
}

void SimMachine::SetParallelAdapter(uint16_t base, ParallelAdapter adapter) {
  if (SimParallelPort* port = Parallel(base)) port->SetAdapter(adapter);
  if (route_.kind == MonitorRoute::kParallel && route_.base == base) PlugMonitor(route_);
}

void SimMachine::InstallS3Card(const S3CardConfig& config) {
  s3_.emplace(config);
  if (route_.kind == MonitorRoute::kS3) PlugMonitor(route_);
}

void SimMachine::RemoveS3Card() {
  s3_.reset();
  if (route_.kind == MonitorRoute::kS3) PlugMonitor(route_);
}

// Plugging in is not a bus event: the monitor starts at rest on whatever levels it finds.
void SimMachine::PlugMonitor(MonitorRoute route) {
  route_ = route;
  routeParallel_ = -1;
  LineLevels drive;
  bool writeEnable = false;
  switch (route.kind) {
    case MonitorRoute::kParallel:
      for (int i = 0; i < static_cast<int>(parallel_.size()); ++i) {
        if (kParallelBases[i] == route.base) routeParallel_ = i;
      }
      if (routeParallel_ < 0) {
        route_ = MonitorRoute::Unplugged();
        break;
      }
      drive = parallel_[routeParallel_].Drive();
      writeEnable = parallel_[routeParallel_].WriteEnable();
      break;
    case MonitorRoute::kS3:
      if (s3_) drive = s3_->Drive();
      writeEnable = true;
      break;
    case MonitorRoute::kUnplugged: break;
  }
  monitor_.SetWriteEnableLine(writeEnable);
  monitor_.Bus().Attach(drive.scl, drive.sda);
}

}  // namespace tolvex::sim
