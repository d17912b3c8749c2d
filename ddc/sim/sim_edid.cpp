#include "ddc/sim/sim_edid.h"

#include <iterator>

namespace tolvex::sim {

namespace {

// Established timings I: 720x400@70, 640x480@60, 640x480@72, 640x480@75, 800x600@56, 800x600@60.
constexpr uint8_t kEstablishedI = 0xAF;
// Established timings II: 800x600@72, 800x600@75, 1024x768@60, 1024x768@70, 1024x768@75.
constexpr uint8_t kEstablishedII = 0xCE;

constexpr unsigned kAspect4To3 = 1;

struct StdTiming {
  unsigned width;
  unsigned aspect;
  unsigned refreshHz;
};
constexpr StdTiming kStdTimings[] = {
    {1024, kAspect4To3, 85},
    {800, kAspect4To3, 85},
    {640, kAspect4To3, 85},
};

// Digital separate sync, both polarities negative (descriptor byte 17 bits 4-1).
constexpr unsigned kSyncDigitalSeparateNegative = 0x0C;

void FillDetailedTiming1024x768(EdidBlock& block) {
  block.SetPixelClock(65.0f);
  block.SetHActive(1024);
  block.SetHBlanking(320);
  block.SetVActive(768);
  block.SetVBlanking(38);
  block.SetHSyncOffset(24);
  block.SetHSyncWidth(136);
  block.SetVSyncOffset(3);
  block.SetVSyncWidth(6);
  block.SetHImageSize(320);
  block.SetVImageSize(240);
  block.SetHBorder(0);
  block.SetVBorder(0);
  block.SetInterlaced(0);
  block.SetStereoMode(0);
  block.SetSyncMode(kSyncDigitalSeparateNegative);
}

}  // namespace

void FillSimulatedEdid(EdidBlock& block, bool digitalInput) {
  block.SetManufacturerId("TLV");
  block.SetProductCode(0x0301);
  block.SetSerialNumber(0x00012345);
  block.SetVersion(1, 3);

  if (digitalInput) {
    block.SetDigitalInput(1);
    block.SetSerration(1);  // on a digital input: DFP 1.x compatible
  } else {
    block.SetDigitalInput(0);
    block.SetSignalLevel(0);  // 0.700/0.300 V
    block.SetBlankToBlackSetup(0);
    block.SetSeparateSync(1);
    block.SetCompositeSync(1);
    block.SetSyncOnGreen(0);
    block.SetSerration(0);
  }

  block.SetMaxImageWidth(32);
  block.SetMaxImageHeight(24);
  block.SetGamma(2.2f);
  block.SetStandby(1);
  block.SetSuspend(1);
  block.SetActiveOff(1);
  block.SetDisplayType(1);  // RGB colour
  block.SetStandardColorSpace(0);
  block.SetPreferredTiming(1);
  block.SetGtfSupported(0);
  block.SetChromaticity({0.640f, 0.330f, 0.300f, 0.600f, 0.150f, 0.060f, 0.313f, 0.329f});

  block.SetEstablishedTimings(kEstablishedI, kEstablishedII, 0x00);
  for (int slot = 0; slot < kBaseStdTimingSlots; ++slot) {
    // 256 pixels, code 0, 61 Hz is the "unused" entry 01 01.
    const StdTiming t = slot < static_cast<int>(std::size(kStdTimings)) ? kStdTimings[slot] : StdTiming{256, 0, 61};
    block.SetStdTimingWidth(slot, t.width);
    block.SetStdTimingAspect(slot, t.aspect);
    block.SetStdTimingRefresh(slot, t.refreshHz);
  }

  block.SelectDescriptor(0);
  FillDetailedTiming1024x768(block);
  block.SelectDescriptor(1);
  block.SetRangeLimits(30, 70, 50, 85, 100);
  block.SelectDescriptor(2);
  block.SetDescriptorText(kTagMonitorName, "TOLVEX SIM17");
  block.SelectDescriptor(3);
  block.SetDescriptorText(kTagSerialNumber, "SIM0012345");
  block.SelectDescriptor(0);

  block.Bytes()[126] = 0;  // no extension blocks
  block.UpdateChecksum();
}

EdidBytes SimulatedEdid(bool digitalInput) {
  EdidBlock block;
  FillSimulatedEdid(block, digitalInput);
  return block.Bytes();
}

}  // namespace tolvex::sim
