// The texts of the edit operations: why an edit is refused, and what a task edit tells the user
// it did. printf formats; every number is an int unless the text says otherwise.
#pragma once

namespace tolvex::edit_text {

// ---- Refusals -------------------------------------------------------------------------------
inline constexpr char kNotWhole[] = "the EDID is not whole blocks of 128 bytes";
inline constexpr char kNoSuchBlock[] = "there is no block %d (the EDID has blocks 0-%d)";
inline constexpr char kBaseBlockStays[] = "block 0 is the base block and cannot be removed";
inline constexpr char kTooManyBlocks[] = "an EDID holds at most %d extension blocks";
inline constexpr char kNotCta[] = "block %d is not a CTA-861 extension block";
inline constexpr char kCtaNoDataBlocks[] = "block %d is CTA-861 revision %d, which holds no data blocks";
inline constexpr char kBrokenCollection[] = "the data block collection of block %d is broken (a data block runs past byte d)";
inline constexpr char kNoCta[] = "the EDID has no CTA-861 extension block";
inline constexpr char kNoRoom[] = "block %d has %d bytes free for data blocks and DTDs; the edit needs %d (%d bytes missing)";
inline constexpr char kNoSuchDataBlock[] = "block %d has no data block %d (it has %d)";
inline constexpr char kDataBlockTooLong[] = "a data block holds at most 31 bytes after its header; this one would need %d";
inline constexpr char kNoSuchPath[] = "no decoded field is at %s (tolvex-cli info --json lists them)";
inline constexpr char kDerivedField[] = "%s is derived from other fields and is not stored by itself";
inline constexpr char kIdentityField[] = "%s names the kind of its item; change the bytes by adding or removing the item";
inline constexpr char kBadValue[] = "%s cannot hold %s";
inline constexpr char kBadValueRange[] = "%s cannot hold %s (it takes %s)";
inline constexpr char kVrrOrder[] = "the VRR range %d-%d Hz is not MIN-MAX with 1 <= MIN < MAX";
inline constexpr char kVrrNowhere[] = "the EDID keeps no VRR range (no range limits, AMD, HDMI Forum or Adaptive Sync block); add the AMD block";
inline constexpr char kVrrTooHigh[] = "the %s stores at most %d Hz as its %s";
inline constexpr char kNoHdmi[] = "the EDID has no HDMI Vendor-Specific Data Block";
inline constexpr char kNoHdmiForum[] = "%d MHz is above 340 MHz, which only an HDMI Forum block states, and the EDID has none";
inline constexpr char kNoHdmiForumFrl[] = "the FRL rate lives in the HDMI Forum block, and the EDID has none";
inline constexpr char kTmdsRange[] = "the maximum TMDS clock must be 25 to 600 MHz, not %d";
inline constexpr char kFrlValues[] = "the FRL rate is 0, 9, 18, 24, 32, 40 or 48 Gbit/s, not %d";
inline constexpr char kUnknownVic[] = "VIC %d is not a video format of CTA-861";
inline constexpr char kUnstorableVic[] = "VIC %d cannot be stored in a short video descriptor";
inline constexpr char kVicPresent[] = "VIC %d is already in the Video Data Block";
inline constexpr char kVicAbsent[] = "VIC %d is in no Video Data Block";
inline constexpr char kNoHdrStatic[] = "the EDID has no HDR Static Metadata Data Block";
inline constexpr char kLuminanceOrder[] = "the HDR luminance must be MAX >= AVG >= MIN > 0 cd/m^2 (MIN below MAX)";
inline constexpr char kNoTiming[] = "%dx%d at %.3f Hz makes no CVT timing";
inline constexpr char kNoTimingPlace[] = "%dx%d at %.3f Hz fits neither a descriptor, the CTA-861 block nor a DisplayID block (an EDID 1.3 takes no third block)";

// ---- What a task edit did ----------------------------------------------------------------------
inline constexpr char kSetRangeLimits[] = "range limits: vertical %d-%d Hz";
inline constexpr char kSetAmd[] = "AMD block: %d-%d Hz";
inline constexpr char kAddedAmd[] = "AMD block added: %d-%d Hz";
inline constexpr char kSetHdmiForumVrr[] = "HDMI Forum block: VRRmin %d Hz, VRRmax %d Hz";
inline constexpr char kSetAdaptiveSync[] = "DisplayID Adaptive Sync: %d-%d Hz";
inline constexpr char kSetDynamicRange[] = "DisplayID dynamic timing range: %d-%d Hz";
inline constexpr char kClearedYcbcr[] = "block %d: YCbCr 4:4:4 and 4:2:2 cleared";
inline constexpr char kClearedBase[] = "base block: colour encoding RGB 4:4:4 only";
inline constexpr char kRemovedDataBlock[] = "block %d: %s removed";
inline constexpr char kSetHdmiTmds[] = "HDMI block: maximum TMDS clock %d MHz";
inline constexpr char kSetForumTmds[] = "HDMI Forum block: maximum TMDS character rate %d MHz";
inline constexpr char kSetFrl[] = "HDMI Forum block: maximum FRL rate %d Gbit/s";
inline constexpr char kAddedVic[] = "block %d: VIC %d added";
inline constexpr char kRemovedVic[] = "block %d: VIC %d removed";
inline constexpr char kLuminance[] = "HDR %s: code %d = %.4g cd/m^2";
inline constexpr char kLuminanceMax[] = "maximum luminance";
inline constexpr char kLuminanceAvg[] = "maximum frame-average luminance";
inline constexpr char kLuminanceMin[] = "minimum luminance";
inline constexpr char kTimingComputed[] = "%dx%d at %.3f Hz by CVT reduced blanking v%d: %.3f MHz, %.3f kHz";
inline constexpr char kTimingInBase[] = "placed in descriptor %d of the base block";
inline constexpr char kTimingInCta[] = "placed in the DTDs of block %d";
inline constexpr char kTimingInCtaType7[] = "placed as a DisplayID Type VII Video Timing Data Block in block %d";
inline constexpr char kTimingInDisplayId[] = "placed as a DisplayID Type %s timing in block %d";
inline constexpr char kAddedDisplayId[] = "DisplayID extension block %d added";
inline constexpr char kWidenedRanges[] = "range limits widened to %d-%d Hz, %d-%d kHz, %d MHz";
inline constexpr char kRemovedBlock[] = "block %d removed";
inline constexpr char kSetField[] = "%s: %s -> %s";

// Names of the places a VRR range is kept, for kVrrTooHigh.
inline constexpr char kAmdBlock[] = "AMD block";
inline constexpr char kHdmiForumBlock[] = "HDMI Forum block";
inline constexpr char kRangeLimits[] = "range limits descriptor";
inline constexpr char kMinimum[] = "minimum";
inline constexpr char kMaximum[] = "maximum";

}  // namespace tolvex::edit_text
