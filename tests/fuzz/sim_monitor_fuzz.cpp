// The simulated monitor driven by random line toggles, clock polls and faults switched on and
// off: the lines are always the wired-AND of both sides, and with its write-enable line never
// asserted and only the EEPROMs on the bus, no bit pattern changes an EEPROM.
#include "ddc/sim/sim_monitor.h"
#include "fuzz_support.h"

using namespace tolvex;
using namespace tolvex::sim;

namespace {

void ToggleFault(SimMonitor& monitor, fuzz::InputReader& input, bool eepromsOnly) {
  const uint8_t which = input.Byte();
  switch (which % 8) {
    case 0: monitor.HoldSdaLow((which & 0x80) != 0); break;
    case 1: monitor.StretchClock({input.Byte(), input.Byte(), input.Take<uint16_t>() % 2000u}); break;
    case 2: monitor.RefuseAddresses(input.Byte() % 8); break;
    case 3: monitor.CorruptReadByte(input.Byte() % 16, input.Byte()); break;
    case 4: monitor.SetDviSelection(static_cast<DviSelect>(input.Byte() % 3)); break;
    case 5: monitor.SetDigitalInputActive((which & 0x80) != 0); break;
    case 6:
      if (!eepromsOnly) monitor.SetWriteEnableLine((which & 0x80) != 0);
      break;
    default:
      if (!eepromsOnly) monitor.SetDevicePresent(static_cast<SimDevice>(input.Byte() % 5), (which & 0x80) != 0);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader input(data, size);
  SimTime time;
  SimMonitor monitor(time);
  const bool eepromsOnly = (input.Byte() & 1) != 0;
  monitor.SetWriteCycleUs(input.Byte() * 20u);
  if (eepromsOnly) {
    for (SimDevice device : {SimDevice::kFactoryMemory, SimDevice::kController1, SimDevice::kController2}) {
      monitor.SetDevicePresent(device, false);
    }
  }
  const auto analog = monitor.AnalogEeprom().Memory();
  const auto digital = monitor.DigitalEeprom().Memory();

  bool scl = true;
  bool sda = true;
  while (!input.Empty()) {
    const uint8_t step = input.Byte();
    // Most steps move the lines, as a master clocking bits does; a few poll or switch faults.
    if (step < 0xE0) {
      scl = (step & 1) != 0;
      sda = (step & 2) != 0;
      monitor.Bus().SetMasterDrive(scl, sda);
    } else if (step < 0xF0) {
      monitor.Bus().OnSclSensed();
    } else {
      ToggleFault(monitor, input, eepromsOnly);
    }
    time.Advance(1000u * (step % 16));

    const SimI2cSlave& bus = monitor.Bus();
    FUZZ_CHECK(!bus.Scl() || scl);
    FUZZ_CHECK(!bus.Sda() || sda);
    FUZZ_CHECK(!bus.Sda() || !bus.HoldsSdaLow());
  }
  if (eepromsOnly) {
    FUZZ_CHECK(monitor.AnalogEeprom().Memory() == analog);
    FUZZ_CHECK(monitor.DigitalEeprom().Memory() == digital);
  }
  return 0;
}
