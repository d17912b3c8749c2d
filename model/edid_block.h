// The one EDID block of the program: 128 bytes exactly as a monitor's DDC EEPROM holds them,
// the two settings that steer how the report prints the product code and the serial number,
// and the descriptor block the descriptor operations currently act on.
//
// Every field is read and written through the Get/Set pairs below. Setters write exactly their
// bits and keep the rest of the block; none of them touches the checksum (byte 127), which only
// Reset and UpdateChecksum write.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/local_date.h"

namespace tolvex {

inline constexpr int kEdidSize = 128;
using EdidBytes = std::array<uint8_t, kEdidSize>;

inline constexpr std::array<uint8_t, 8> kEdidHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

// Product-code format bits.
inline constexpr uint8_t kProductCodeDecimal = 0x01;
inline constexpr uint8_t kProductCodeSwapped = 0x80;
// Serial formats; bit 7 marks the serial number unused.
inline constexpr uint8_t kSerialHex = 0;
inline constexpr uint8_t kSerialDecimal = 1;
inline constexpr uint8_t kSerialAscii = 2;
inline constexpr uint8_t kSerialUnused = 0x80;

// Coordinates of SetChromaticity/GetChromaticity, in the order bytes 25 to 34 store them.
enum ChromaCoordinate { kRedX, kRedY, kGreenX, kGreenY, kBlueX, kBlueY, kWhiteX, kWhiteY };
using Chromaticity = std::array<float, 8>;

// The standard timing slots: 0-7 in the base block, 8-13 in a 0xFA descriptor.
inline constexpr int kBaseStdTimingSlots = 8;
inline constexpr int kStdTimingSlots = 14;

inline constexpr int kDescriptorCount = 4;
inline constexpr int kDescriptorSize = 18;
inline constexpr int kFirstDescriptorOffset = 54;

// Monitor descriptor tags the program knows.
inline constexpr uint8_t kTagSerialNumber = 0xFF;
inline constexpr uint8_t kTagDataString = 0xFE;
inline constexpr uint8_t kTagRangeLimits = 0xFD;
inline constexpr uint8_t kTagMonitorName = 0xFC;
inline constexpr uint8_t kTagColorPoint = 0xFB;
inline constexpr uint8_t kTagStdTimings = 0xFA;

struct EdidVersion {
  uint8_t version;
  uint8_t revision;
};

struct DescriptorTag {
  bool isDescriptor;
  uint8_t tag;  // descriptor byte 3 as stored
};

struct RangeLimits {
  uint8_t minHorizontalKHz;
  uint8_t maxHorizontalKHz;
  uint8_t minVerticalHz;
  uint8_t maxVerticalHz;
  uint16_t maxPixelClockMHz;  // byte 9 x 10
};

struct SecondaryGtf {
  uint8_t code;
  unsigned startKHz;  // byte 12 x 2
  unsigned c;         // byte 13 / 2
  uint16_t m;
  unsigned k;
  unsigned j;  // byte 17 / 2
};

struct ColorPoint {
  uint8_t index;  // 0 = white point unused
  float x;
  float y;
  double gamma;
};

class EdidBlock {
 public:
  using DateSource = std::function<CalendarDate()>;

  // Reset takes today's local date.
  EdidBlock();
  // Reset takes its date from the given source (tests pin the date with it).
  explicit EdidBlock(DateSource today);
  virtual ~EdidBlock();

  EdidBlock(const EdidBlock&) = delete;
  EdidBlock& operator=(const EdidBlock&) = delete;

  // Whole-block access: transfers, the document and the code window copy the 128 bytes.
  EdidBytes& Bytes() { return bytes_; }
  const EdidBytes& Bytes() const { return bytes_; }

  // ---- Block level -------------------------------------------------------------------------
  void Reset();
  void UpdateChecksum();
  uint8_t GetChecksum() const { return bytes_[127]; }
  uint8_t GetExtensionFlag() const { return bytes_[126]; }
  void SetProductCodeFormat(uint8_t format) { productCodeFormat_ = format; }
  uint8_t GetProductCodeFormat() const { return productCodeFormat_; }
  void SetSerialFormat(uint8_t format) { serialFormat_ = format; }
  uint8_t GetSerialFormat() const { return serialFormat_; }

  // Structure version cases: exactly 1.0, exactly 1.3, or the default reading for anything else.
  bool IsVersion10() const { return bytes_[18] == 1 && bytes_[19] == 0; }
  bool IsVersion13() const { return bytes_[18] == 1 && bytes_[19] == 3; }

  // ---- Identification, bytes 8-19 ----------------------------------------------------------
  void SetManufacturerId(std::string_view text);
  std::string GetManufacturerId() const;
  void SetProductCode(uint16_t code);
  uint16_t GetProductCode() const;
  void SetSerialNumber(uint32_t serial);
  void SetSerialText(std::string_view text);
  uint32_t GetSerialNumber() const;
  void SetWeek(int week);
  int GetWeek() const;
  void SetYear(int year);
  int GetYear() const;
  void SetVersion(uint8_t version, uint8_t revision);
  EdidVersion GetVersion() const;

  // ---- Video input definition, byte 20 -----------------------------------------------------
  void SetDigitalInput(int flag);
  int IsDigitalInput() const;
  void SetSignalLevel(unsigned code);
  unsigned GetSignalLevel() const;
  void SetBlankToBlackSetup(int flag);
  int GetBlankToBlackSetup() const;
  void SetSeparateSync(int flag);
  int GetSeparateSync() const;
  void SetCompositeSync(int flag);
  int GetCompositeSync() const;
  void SetSyncOnGreen(int flag);
  int GetSyncOnGreen() const;
  // Analog: serration of the vertical sync required; digital: VESA DFP 1.x compatible.
  void SetSerration(int flag);
  int GetSerration() const;

  // ---- Size, gamma and features, bytes 21-24 -----------------------------------------------
  void SetMaxImageWidth(uint8_t cm) { bytes_[21] = cm; }
  uint8_t GetMaxImageWidth() const { return bytes_[21]; }
  void SetMaxImageHeight(uint8_t cm) { bytes_[22] = cm; }
  uint8_t GetMaxImageHeight() const { return bytes_[22]; }
  void SetGamma(float gamma);
  double GetGamma() const;
  void SetStandby(int flag);
  int GetStandby() const;
  void SetSuspend(int flag);
  int GetSuspend() const;
  void SetActiveOff(int flag);
  int GetActiveOff() const;
  void SetDisplayType(unsigned code);
  unsigned GetDisplayType() const;
  void SetStandardColorSpace(int flag);
  int GetStandardColorSpace() const;
  void SetPreferredTiming(int flag);
  int GetPreferredTiming() const;
  void SetGtfSupported(int flag);
  int GetGtfSupported() const;

  // ---- Colour and timings, bytes 25-53 -----------------------------------------------------
  void SetChromaticity(const Chromaticity& xy);
  Chromaticity GetChromaticity() const;
  void SetEstablishedTimings(uint8_t timingsI, uint8_t timingsII, uint8_t manufacturers);
  std::array<uint8_t, 3> GetEstablishedTimings() const;

  // Slots 0-7 address bytes 38-53; slots 8-13 the entries of the current descriptor.
  void SetStdTimingWidth(int slot, unsigned pixels);
  unsigned GetStdTimingWidth(int slot) const;
  void SetStdTimingAspect(int slot, unsigned code);
  unsigned GetStdTimingAspect(int slot) const;
  void SetStdTimingRefresh(int slot, unsigned hz);
  unsigned GetStdTimingRefresh(int slot) const;
  // 01 01 (256 pixels, code 0, 61 Hz) and nothing else marks an entry unused.
  bool IsStdTimingUnused(int slot) const;

  // ---- Descriptor blocks, bytes 54-125 -----------------------------------------------------
  void SelectDescriptor(unsigned index);
  unsigned CurrentDescriptorIndex() const { return descriptorIndex_; }
  unsigned CurrentDescriptorOffset() const { return descriptorOffset_; }
  DescriptorTag GetDescriptorTag() const;
  void WriteDescriptorHeader(uint8_t tag);

  // Detailed timing fields of the current descriptor.
  void SetPixelClock(float mhz);
  double GetPixelClock() const;
  void SetHActive(unsigned pixels);
  unsigned GetHActive() const;
  void SetHBlanking(unsigned pixels);
  unsigned GetHBlanking() const;
  void SetVActive(unsigned lines);
  unsigned GetVActive() const;
  void SetVBlanking(unsigned lines);
  unsigned GetVBlanking() const;
  void SetHSyncOffset(unsigned pixels);
  unsigned GetHSyncOffset() const;
  void SetHSyncWidth(unsigned pixels);
  unsigned GetHSyncWidth() const;
  void SetVSyncOffset(unsigned lines);
  unsigned GetVSyncOffset() const;
  void SetVSyncWidth(unsigned lines);
  unsigned GetVSyncWidth() const;
  void SetHImageSize(unsigned mm);
  unsigned GetHImageSize() const;
  void SetVImageSize(unsigned mm);
  unsigned GetVImageSize() const;
  void SetHBorder(uint8_t pixels);
  unsigned GetHBorder() const;
  void SetVBorder(uint8_t lines);
  unsigned GetVBorder() const;
  void SetInterlaced(int flag);
  int GetInterlaced() const;
  void SetStereoMode(unsigned code);
  unsigned GetStereoMode() const;
  void SetSyncMode(unsigned code);
  unsigned GetSyncMode() const;

  // Monitor descriptors of the current descriptor.
  void SetDescriptorText(uint8_t tag, std::string_view text);
  std::string GetDescriptorText() const;
  void SetRangeLimits(uint8_t minHorizontalKHz, uint8_t maxHorizontalKHz, uint8_t minVerticalHz,
                      uint8_t maxVerticalHz, uint16_t maxPixelClockMHz);
  RangeLimits GetRangeLimits() const;
  void SetSecondaryGtf(uint8_t code, unsigned startKHz, unsigned c, uint16_t m, unsigned k, unsigned j);
  SecondaryGtf GetSecondaryGtf() const;
  // whitePoint: only bit 0 counts (0 = first, 1 = second).
  void SetColorPoint(unsigned whitePoint, uint8_t index, float x, float y, float gamma);
  ColorPoint GetColorPoint(unsigned whitePoint) const;
  // A white point's five stored bytes (index, low bits, x, y, gamma) as they are, so that an editor
  // can move an entry to the other place without the loss of a decode and re-encode. The setter
  // also writes the payload's end, bytes 15-17, as SetColorPoint does; the header is untouched.
  std::array<uint8_t, 5> GetColorPointBytes(unsigned whitePoint) const;
  void SetColorPointBytes(unsigned whitePoint, const std::array<uint8_t, 5>& stored);
  // Byte 17 of a standard timing identifier descriptor (0x0A), which no slot setter writes.
  void SetStdTimingIdTerminator() { Desc(17) = 0x0A; }

 private:
  uint8_t& Desc(int n) { return bytes_[descriptorOffset_ + n]; }
  uint8_t Desc(int n) const { return bytes_[descriptorOffset_ + n]; }
  unsigned StdTimingOffset(int slot) const;
  void SetTwelveBits(int lowByte, int nibbleByte, bool upperNibble, unsigned value);
  unsigned GetTwelveBits(int lowByte, int nibbleByte, bool upperNibble) const;

  EdidBytes bytes_{};
  uint8_t productCodeFormat_ = 0;
  uint8_t serialFormat_ = 0;
  uint8_t descriptorIndex_ = 0;
  uint8_t descriptorOffset_ = kFirstDescriptorOffset;
  DateSource today_;
};

// Checksum byte that makes the 8-bit sum of all 128 bytes zero.
uint8_t ComputeChecksum(const EdidBytes& bytes);

// The three-decimal reading of a 10-bit chromaticity value: v / 1024 rounded half up.
float DecodeChromaValue(unsigned v);
// The 10-bit value of a chromaticity coordinate 0.000 to 0.999.
unsigned EncodeChromaValue(float coordinate);

}  // namespace tolvex
