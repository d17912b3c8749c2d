// The edits users ask for most, each one operation on a whole EDID that keeps every place it
// touches consistent (model/edid_edit.h): the VRR range everywhere it is kept, RGB only, the
// maximum TMDS clock and FRL rate, a VIC in or out, the HDR luminance, a custom timing by CVT.
// A refused edit changes nothing; the notes say what the edit did.
#pragma once

#include <optional>

#include "model/edid_edit.h"

namespace tolvex {

// MIN-MAX Hz into the range limits' vertical rates, every AMD block, every HDMI Forum block's
// VRRmin/VRRmax (lengthened to hold them) and DisplayID's Adaptive Sync and dynamic timing
// range; with `addAmd`, an AMD block where there is none.
EditResult SetVrrRange(EdidData& edid, int minHz, int maxHz, bool addAmd);

// Clears YCbCr: the CTA-861 header's 4:4:4 and 4:2:2 bits, a 1.4 block's colour encodings, the
// HDMI blocks' YCbCr deep colour bits; removes the 4:2:0 blocks (and with them the VICs only
// they offered).
EditResult MakeRgbOnly(EdidData& edid);

// The HDMI block's maximum TMDS clock up to 340 MHz, the HDMI Forum block's above that (0 at or
// below it); `frlGbps` the HDMI Forum block's maximum FRL rate (0, 9, 18, 24, 32, 40, 48).
EditResult SetMaxTmds(EdidData& edid, int mhz, std::optional<int> frlGbps);

// VIC `vic` into the first CTA-861 block's Video Data Block (a new one when full or none).
EditResult AddVic(EdidData& edid, int vic);
// VIC `vic` out of every Video Data Block, the YCbCr 4:2:0 Video Data Block and the Video
// Format Preference block; the 4:2:0 map follows.
EditResult RemoveVic(EdidData& edid, int vic);

// The HDR static metadata's luminance codes nearest to MAX, AVG and MIN cd/m^2; the notes say
// what the stored codes decode to.
EditResult SetHdrLuminance(EdidData& edid, double maxCdm2, std::optional<double> avgCdm2, std::optional<double> minCdm2);

// WxH at `hz` by CVT reduced blanking (v1, or v2 when asked or when only v2's clock fits an
// 18-byte descriptor), placed in a free descriptor of the base block, else the first CTA-861
// block's DTDs, else as a DisplayID timing (a DisplayID block added when there is none); the
// range limits widened to include it.
EditResult AddCvtTiming(EdidData& edid, int width, int height, double hz, bool rb2);

}  // namespace tolvex
