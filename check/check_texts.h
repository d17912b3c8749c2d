// Every text of the conformance check: the rule names and the sentences of the findings, as
// printf formats. Each sentence says what is wrong and what the right value would be. Byte
// numbers in the sentences count from the start of the whole EDID, as the code window does.
#pragma once

namespace tolvex::check_text {

// ---- How a finding prints: "failure: bytes 8-9: manufacturer: sentence" ---------------------
inline constexpr char kFailure[] = "failure";
inline constexpr char kWarning[] = "warning";
inline constexpr char kFindingPlace[] = "%s: bytes %d-%d: ";
inline constexpr char kFindingSeparator[] = ": ";

// ---- Rule names -----------------------------------------------------------------------------
inline constexpr char kRuleEdidSize[] = "edid-size";
inline constexpr char kRuleHeader[] = "header";
inline constexpr char kRuleChecksum[] = "checksum";
inline constexpr char kRuleVersion[] = "version";
inline constexpr char kRuleManufacturer[] = "manufacturer";
inline constexpr char kRuleDate[] = "manufacture-date";
inline constexpr char kRuleVideoInput[] = "video-input";
inline constexpr char kRuleScreenSize[] = "screen-size";
inline constexpr char kRuleFeatureSupport[] = "feature-support";
inline constexpr char kRulePreferredTiming[] = "preferred-timing";
inline constexpr char kRuleSrgb[] = "srgb";
inline constexpr char kRuleChromaticity[] = "chromaticity";
inline constexpr char kRuleStandardTiming[] = "standard-timing";
inline constexpr char kRuleDescriptorHeader[] = "descriptor-header";
inline constexpr char kRuleDescriptorKind[] = "descriptor-kind";
inline constexpr char kRuleDescriptorOrder[] = "descriptor-order";
inline constexpr char kRuleUnusedDescriptor[] = "unused-descriptor";
inline constexpr char kRuleRequiredDescriptor[] = "required-descriptor";
inline constexpr char kRuleDescriptorText[] = "descriptor-text";
inline constexpr char kRuleRangeLimits[] = "range-limits";
inline constexpr char kRuleColorPoint[] = "color-point";
inline constexpr char kRuleDetailedTiming[] = "detailed-timing";
inline constexpr char kRuleTimingRange[] = "timing-range";
inline constexpr char kRuleImageSize[] = "image-size";
inline constexpr char kRuleExtensionCount[] = "extension-count";
inline constexpr char kRuleExtensionChecksum[] = "extension-checksum";
inline constexpr char kRuleExtensionTag[] = "extension-tag";
inline constexpr char kRuleBlockMap[] = "block-map";
inline constexpr char kRuleCta861[] = "cta-861";
inline constexpr char kRuleCtaDataBlock[] = "cta-data-block";
inline constexpr char kRuleVic[] = "vic";
inline constexpr char kRuleHdmi[] = "hdmi";
inline constexpr char kRuleVideoCapability[] = "video-capability";
inline constexpr char kRuleDisplayId[] = "displayid";
inline constexpr char kRuleDisplayIdChecksum[] = "displayid-checksum";
inline constexpr char kRuleStoredChecksum[] = "stored-checksum";

// ---- Words the sentences are built with ------------------------------------------------------
inline constexpr char kHorizontal[] = "horizontal";
inline constexpr char kVertical[] = "vertical";
inline constexpr char kRedPoint[] = "red";
inline constexpr char kGreenPoint[] = "green";
inline constexpr char kBluePoint[] = "blue";
inline constexpr char kWhitePoint[] = "white";
inline constexpr char kNameKind[] = "monitor name";
inline constexpr char kSerialKind[] = "serial number";
inline constexpr char kDataStringKind[] = "data string";

// ---- Size, header, checksum, version ---------------------------------------------------------
inline constexpr char kEdidTooShort[] = "The EDID is %zu bytes long; a base block alone takes 128.";
inline constexpr char kEdidPartialBlock[] =
    "The last %zu bytes make no whole 128-byte block; drop them or complete the extension block.";
inline constexpr char kHeaderWrong[] = "Bytes 0-7 read %s; an EDID begins with 00 FF FF FF FF FF FF 00.";
inline constexpr char kChecksumWrong[] =
    "The checksum byte is %02X; with the other bytes as they are it must be %02X, so that the block sums to 0.";
// A base block whose checksum byte the program recomputed on loading.
inline constexpr char kStoredChecksumWrong[] =
    "The %s stored %02X in byte 127; the block's bytes give %02X, which the block now holds. Save or write it "
    "to put the right checksum there too.";
inline constexpr char kFileSource[] = "file";
inline constexpr char kMonitorSource[] = "monitor";
inline constexpr char kVersionWrong[] = "Byte 18 (version) is %u; this structure is version 1, so store 01.";
inline constexpr char kRevisionUnknown[] =
    "Byte 19 (revision) is %d, which no EDID standard defines; hosts read it as 1.4 at best, so store 0-4.";

// ---- Identification --------------------------------------------------------------------------
inline constexpr char kManufacturerBit7[] = "Bit 7 of byte 8 is set; it is reserved and must be 0.";
inline constexpr char kManufacturerEmpty[] =
    "The manufacturer ID (bytes 8-9) is empty; enter the maker's three-letter ID (A-Z).";
inline constexpr char kManufacturerLetters[] =
    "Bytes 8-9 hold the letter codes %u, %u and %u; each must be 1-26 (A-Z), three letters in all.";
inline constexpr char kWeekWrong[] = "Byte 16 (week) is %d; store 1-53, or 0 when the week is not given.";
inline constexpr char kWeekWrong14[] =
    "Byte 16 (week) is %d; E-EDID 1.4 takes 1-54, 0 when the week is not given, or FF for a model year.";
inline constexpr char kYearBefore2006[] =
    "Byte 17 gives the year %d, but E-EDID 1.4 reserves the years before 2006; store 2006 or later.";
inline constexpr char kYearFuture[] =
    "Byte 17 gives the year %d, which has not come yet; enter the year of manufacture (%d or earlier).";

// ---- Basic display parameters and colour -----------------------------------------------------
inline constexpr char kDigitalReservedBits[] =
    "Byte 20 is %02X, but before E-EDID 1.4 a digital input keeps bits 6-1 at 0; store %02X.";
inline constexpr char kColourDepthReserved[] = "Bits 6-4 of byte 20 (colour depth) are 7, which is reserved; use 0-6.";
inline constexpr char kInterfaceReserved[] = "Bits 3-0 of byte 20 (interface) are %u, which is reserved; use 0-5.";
inline constexpr char kScreenSizeHalf[] =
    "Byte %d gives %d cm but byte %d is 0; give both sizes in cm, or 0 in both when the image size varies.";
inline constexpr char kPreferredBitRequired[] =
    "Bit 1 of byte 24 (preferred timing) is clear, but EDID 1.3 requires it set, with the preferred timing in descriptor 1.";
inline constexpr char kPreferredNotDetailed[] =
    "Descriptor 1 (bytes 54-71) must hold the preferred detailed timing, but it is a display descriptor; move a detailed timing there.";
inline constexpr char kSrgbMismatch[] =
    "Bit 2 of byte 24 announces sRGB, but bytes 25-34 are not sRGB's chromaticity; store red 0.640/0.330, green "
    "0.300/0.600, blue 0.150/0.060 and white 0.313/0.329, or clear the bit.";
inline constexpr char kChromaticityEmpty[] =
    "The chromaticity (bytes 25-34) is all 0; enter the display's red, green, blue and white points.";
inline constexpr char kChromaticityNoColour[] =
    "The %s point (x %.3f, y %.3f) is no colour; x and y lie above 0 with x + y at most 1.";
inline constexpr char kWhiteOutsideTriangle[] =
    "The white point lies outside the triangle of the red, green and blue points; check the coordinates.";

// ---- Standard timings --------------------------------------------------------------------------
inline constexpr char kStdTimingReserved[] =
    "Bytes %d-%d hold %02X %02X, but a first byte of 00 is reserved; store 01 01 to mark the entry unused.";
inline constexpr char kStdTimingBrokenUnused[] =
    "Bytes %d-%d hold %02X %02X, half of the unused mark; store 01 01 for an unused entry.";
inline constexpr char kStdTimingSquare[] =
    "Bytes %d-%d give %ux%u at %u Hz, as aspect code 0 is 1:1 before EDID 1.3; if %ux%u (16:10) is meant, the block must be 1.3.";
inline constexpr char kStdTimingRepeated[] = "Bytes %d-%d repeat %ux%u at %u Hz of bytes %d-%d; list each timing once.";
inline constexpr char kStdTimingIdsEmpty[] =
    "Descriptor %d lists standard timings but every entry is unused; add timings or make it a dummy descriptor (tag 10).";
inline constexpr char kStdTimingIdsEnd[] =
    "Descriptor %d ends with byte %d = %02X; a standard timing identifier descriptor ends with 0A.";

// ---- Display descriptors -----------------------------------------------------------------------
inline constexpr char kDescriptorHeaderByte[] = "Descriptor %d has byte %d = %02X; a display descriptor keeps it at 00.";
inline constexpr char kDescriptorAllZero[] =
    "Descriptor %d is all zeros; mark an unused block as a dummy descriptor (00 00 00 10 00, then zeros).";
inline constexpr char kDescriptorIn10[] =
    "Descriptor %d is a display descriptor, which EDID 1.0 does not have; raise the revision to 1 or more, or store a detailed timing.";
inline constexpr char kTimingAfterDescriptor[] =
    "Descriptor %d is a detailed timing after a display descriptor; list the detailed timings first.";
inline constexpr char kDescriptorAfterDummy[] =
    "Descriptor %d follows a dummy descriptor, where hosts may have stopped reading; put dummies last.";
inline constexpr char kTagReserved[] =
    "Descriptor %d has the reserved tag %02X; use a defined one (FA-FF, 10 for a dummy, 00-0F for the maker's own data).";
inline constexpr char kTagFrom14[] = "Descriptor %d has tag %02X, which only E-EDID 1.4 defines; use it in a 1.4 block only.";
inline constexpr char kDummyPayload[] = "Descriptor %d is a dummy (tag 10) with data in its bytes 5-17; a dummy holds zeros there.";
inline constexpr char kNameRequired[] = "EDID 1.3 requires a monitor name descriptor (tag FC), and none of the four blocks is one; add it.";
inline constexpr char kRangeRequired[] =
    "EDID 1.3 requires a range limits descriptor (tag FD), and none of the four blocks is one; add it.";
inline constexpr char kNameRecommended14[] =
    "No descriptor gives the monitor name (tag FC), which E-EDID 1.4 recommends and hosts show; add it.";
inline constexpr char kRangeRequired14[] =
    "Byte 24 bit 0 claims continuous frequencies, which E-EDID 1.4 backs with a range limits descriptor (tag FD); add it.";
inline constexpr char kRangeForGtf[] =
    "Byte 24 bit 0 announces GTF, but no range limits descriptor (tag FD) says for which rates; add it.";

inline constexpr char kTextUnprintable[] =
    "Descriptor %d (%s) holds %02X at byte %d; a text holds printable ASCII (20-7E) up to its 0A end mark.";
inline constexpr char kTextNoLineFeed[] =
    "Descriptor %d (%s) ends in spaces without a 0A; end a text of fewer than 13 characters with 0A, then pad with 20.";
inline constexpr char kTextPadding[] =
    "Descriptor %d (%s) has byte %d = %02X after its 0A end mark; pad the rest with 20 (space).";
inline constexpr char kTextEmptyName[] =
    "Descriptor %d (monitor name) is empty, but EDID 1.3 requires a name; enter the model's name.";
inline constexpr char kTextTrailingSpaces[] =
    "Descriptor %d (%s) has spaces before its 0A end mark, which hosts show as part of the text; end it at its last character.";
inline constexpr char kTextEmpty[] =
    "Descriptor %d (%s) is empty; fill it in, or make the block a dummy descriptor (tag 10).";

inline constexpr char kRangeZeroRate[] =
    "Descriptor %d (range limits) gives a rate of 0; fill in the real minimum and maximum vertical (Hz) and horizontal (kHz) rates.";
inline constexpr char kRangeVerticalOrder[] =
    "Descriptor %d gives a minimum vertical rate of %d Hz, above its maximum of %d Hz; correct them.";
inline constexpr char kRangeHorizontalOrder[] =
    "Descriptor %d gives a minimum horizontal rate of %d kHz, above its maximum of %d kHz; correct them.";
inline constexpr char kRangeNoClock[] =
    "Descriptor %d gives a maximum pixel clock of 0; store the display's limit in 10 MHz steps.";
inline constexpr char kRangeFormula[] =
    "Descriptor %d has byte %d = %02X; the range limits' formula byte is 00 (none) or 02 (secondary GTF).";
inline constexpr char kRangeFormula14[] =
    "Descriptor %d has byte %d = %02X; the formula byte is 00 (GTF), 01 (limits only), 02 (secondary GTF) or 04 (CVT).";
inline constexpr char kRangePadding[] =
    "Descriptor %d names no secondary formula, so bytes %d-%d must read 0A 20 20 20 20 20 20.";
inline constexpr char kRangeGtfReserved[] =
    "Descriptor %d has byte %d = %02X; after the secondary GTF code that byte is reserved and must be 00.";

inline constexpr char kColorPointNoColour[] =
    "Descriptor %d's white point %u (x %.3f, y %.3f) is no colour; x and y lie above 0 with x + y at most 1.";
inline constexpr char kColorPointEmpty[] =
    "Descriptor %d is a colour point descriptor with both white points unused; fill one in or make it a dummy (tag 10).";
inline constexpr char kColorPointEnd[] =
    "Descriptor %d has bytes %d-%d = %02X %02X %02X; a colour point descriptor ends with 0A 20 20.";

// ---- Detailed timings ----------------------------------------------------------------------------
inline constexpr char kTimingFiller[] =
    "Descriptor %d is the byte %02X 18 times over, which is no timing; store a real timing or a dummy descriptor.";
inline constexpr char kTimingEmptyField[] =
    "Descriptor %d gives %ux%u active with %u/%u blanking, and none of these may be 0; enter the real timing.";
inline constexpr char kTimingNoSync[] = "Descriptor %d has a %s sync pulse width of 0; give the pulse its width.";
inline constexpr char kTimingSyncPastBlanking[] =
    "Descriptor %d's %s sync (offset %u + width %u) ends after the blanking of %u; shorten the sync or widen the blanking.";
inline constexpr char kTimingNoBackPorch[] =
    "Descriptor %d's %s sync ends exactly where the blanking does, leaving no back porch; check offset and width.";
inline constexpr char kTimingNoFrontPorch[] =
    "Descriptor %d's %s sync starts right at the blanking (offset 0); check the front porch.";
inline constexpr char kTimingRefreshTooLow[] =
    "Descriptor %d's pixel clock of %.2f MHz gives %.2f Hz refresh; check the clock in bytes 0-1 of the descriptor.";
inline constexpr char kHorizontalOutside[] =
    "%s runs at %.3f kHz, outside the %d-%d kHz of the range limits (bytes %d-%d); widen the limits or correct the timing.";
inline constexpr char kVerticalOutside[] =
    "%s refreshes at %.3f Hz, outside the %d-%d Hz of the range limits (bytes %d-%d); widen the limits or correct the timing.";
inline constexpr char kClockAbove[] =
    "%s needs a %.2f MHz pixel clock, above the range limits' %d MHz (byte %d); store %d MHz or more there.";
// The names the range sentences give the timings.
inline constexpr char kDescriptorTimingName[] = "Descriptor %d";
inline constexpr char kEstablishedTimingName[] = "The established timing %.*s (byte %d bit %d)";
inline constexpr char kStandardTimingName[] = "The standard timing %ux%u at %u Hz (bytes %d-%d)";
inline constexpr char kImageSizeMissing[] =
    "Descriptor %d gives no image size though bytes 21-22 give the screen's; enter the image size in mm.";
inline constexpr char kImageSizeNoScreenSize[] =
    "Descriptor %d gives an image size while bytes 21-22 say the size varies (0); give the screen size in cm there too.";
inline constexpr char kImageSizeLarger[] =
    "Descriptor %d's image of %ux%u mm exceeds the maximum image size of %dx%d cm (bytes 21-22); store %ux%u cm there "
    "or correct the timing's size.";
inline constexpr char kImageSizeTiny[] =
    "Descriptor %d's image of %ux%u mm is far smaller than the %dx%d cm of bytes 21-22, as if given in cm or as an "
    "aspect ratio; enter the image size in mm.";
inline constexpr char kImageSizeSmaller[] =
    "Descriptor %d's image of %ux%u mm is smaller than the %dx%d cm of bytes 21-22; a panel shows its whole area, "
    "so store %ux%u cm there or correct the timing's size.";

// ---- Extension blocks ----------------------------------------------------------------------------
inline constexpr char kExtensionCount[] =
    "Byte 126 announces %u extension block(s), but the EDID holds %d; store %d, or add the missing blocks.";
inline constexpr char kExtensionTagUnknown[] =
    "Extension block %d starts with tag %02X, which no standard defines; use the tag of the block's kind (02 for CTA-861).";
inline constexpr char kBlockMapPlace[] = "Extension block %d is a block map, which only blocks 1 and 128 may be; move it.";
inline constexpr char kBlockMapEntry[] =
    "Block map byte %d is %02X, but block %d has tag %02X; make the map name the blocks as they are.";
inline constexpr char kCtaRevision[] = "Byte %d (CTA-861 revision) is %u; store 1, 2 or 3.";
inline constexpr char kCtaOffset[] =
    "Byte %d gives %d as the first detailed timing's offset; store 0 (none) or a value from 4 to 127.";
inline constexpr char kCtaDataBlockOverrun[] =
    "The data block at byte %d runs past the detailed timings' start at byte %d; correct its length or that offset.";
inline constexpr char kCtaPadding[] = "Bytes %d-%d after the detailed timings are not all 00; pad with 00.";

// ---- CTA-861 data blocks ---------------------------------------------------------------------------
inline constexpr char kCtaRepeated[] =
    "The %s data block at bytes %d-%d repeats the one at bytes %d-%d, and CTA-861 allows it once; merge the two.";
inline constexpr char kCtaReservedBits[] =
    "Byte %d of the %s data block is %02X, and its bits %02X are reserved, so they must be 0; store %02X.";
inline constexpr char kCtaHeaderReserved[] =
    "Byte %d is %02X, but a revision 1 CTA-861 block keeps it reserved at 00; store 00 or raise the revision.";
inline constexpr char kCtaNoBasicAudio[] =
    "The block lists audio, but bit 6 of byte %d (basic audio) is clear, and a sink with audio supports basic audio; set the bit.";
// The names the data block sentences give the kinds.
inline constexpr char kCtaKindSpeakers[] = "speaker allocation";
inline constexpr char kCtaKindVideoCapability[] = "video capability";
inline constexpr char kCtaKindColorimetry[] = "colorimetry";
inline constexpr char kCtaKindHdrStatic[] = "HDR static metadata";
inline constexpr char kCtaKindVideoPreference[] = "video format preference";
inline constexpr char kCtaKind420Map[] = "YCbCr 4:2:0 capability map";
inline constexpr char kCtaKindRoom[] = "room configuration";
inline constexpr char kCtaKindHdmi[] = "HDMI vendor-specific";
inline constexpr char kCtaKindHdmiForum[] = "HDMI Forum";
inline constexpr char kCtaKindAudio[] = "audio";

// ---- VICs ------------------------------------------------------------------------------------------------
inline constexpr char kVicUnknown[] =
    "Byte %d (a short video descriptor) is %02X, which names no VIC; use a VIC of 1-127 or 193-219 (129-192 for a native 1-64).";
inline constexpr char kVicRepeated[] = "Byte %d lists VIC %d again after byte %d; list each video format once.";
inline constexpr char kVicNativeMix[] =
    "Byte %d marks VIC %d (%s) as native, but the display's native format is %dx%d%s; clear the native bit (store %02X).";
inline constexpr char kVic640x480Missing[] =
    "Neither the established timings (byte 35 bit 5) nor a Video Data Block list 640x480 at 60 Hz, which every "
    "CTA-861 sink supports; add VIC 1 or set the established timing.";

// ---- HDMI ------------------------------------------------------------------------------------------------
inline constexpr char kHdmiNeedsRevision3[] =
    "The HDMI vendor-specific data block needs a base block of E-EDID 1.3 or later, but byte 19 gives revision %d; store 3 or more.";
inline constexpr char kHdmiTmdsAbove340[] =
    "Byte %d gives a maximum TMDS clock of %d MHz, but this block stops at 340 MHz; store 340 (44) here and the "
    "higher rate in the HDMI Forum data block.";
inline constexpr char kHdmiForumTmds[] =
    "Byte %d gives a maximum TMDS character rate of %d MHz; the HDMI Forum block gives 0 (340 MHz at most) or 345-600 MHz.";
inline constexpr char kHdmiForumNotNext[] =
    "The HDMI Forum data block at bytes %d-%d does not follow the HDMI vendor-specific block (bytes %d-%d) directly; move it after it.";
inline constexpr char kHdmiVicWithoutVic[] =
    "Byte %d lists HDMI VIC %d, but no Video Data Block lists its CTA-861 format VIC %d; add VIC %d to the Video Data Block.";

// ---- Video capability ---------------------------------------------------------------------------------
inline constexpr char kVcdbMissing[] =
    "The block lists CE video formats but no video capability data block, so a source cannot tell whether RGB "
    "quantization is selectable; add the block with QS set.";
inline constexpr char kVcdbNoQs[] =
    "Byte %d has QS (bit 6) clear: RGB quantization is not selectable, and sources may send the wrong range; set QS when "
    "the display follows the AVI InfoFrame.";
inline constexpr char kVcdbUnderscanMismatch[] =
    "Byte %d says IT formats are always %s, but bit 7 of byte %d (underscan) says otherwise; make the two agree.";
inline constexpr char kOverscanned[] = "overscanned";
inline constexpr char kUnderscanned[] = "underscanned";

// ---- Timings of the extension blocks --------------------------------------------------------------
inline constexpr char kExtensionDtdName[] = "Block %d's detailed timing %d";
inline constexpr char kSvdName[] = "VIC %d (byte %d)";
inline constexpr char kHdmiVicName[] = "HDMI VIC %d (byte %d)";
inline constexpr char kDisplayIdTimingName[] = "Block %d's DisplayID timing %d";

// ---- DisplayID -------------------------------------------------------------------------------------------
inline constexpr char kDisplayIdVersion[] =
    "Byte %d gives DisplayID version %X.%X, which no DisplayID standard defines; use 1.x (12 or 13) or 2.x (20 or 21).";
inline constexpr char kDisplayIdSectionLength[] =
    "Byte %d gives a section of %d bytes, but at most 121 fit in the block; correct the length.";
inline constexpr char kDisplayIdSectionChecksum[] =
    "The DisplayID section checksum (byte %d) is %02X; with the section as it is it must be %02X.";
inline constexpr char kDisplayIdDataBlockOverrun[] =
    "The DisplayID data block at byte %d runs past the section's end at byte %d; correct its length or the section's.";
inline constexpr char kDisplayIdPadding[] =
    "Bytes %d-%d after the DisplayID data blocks are not all 00; pad with 00.";
inline constexpr char kDisplayIdProductType[] =
    "Byte %d gives product type 0, which marks an extension section, but this is the first section; name the product's type.";
inline constexpr char kDisplayIdTagVersion[] =
    "The data block at byte %d has tag %02X, which belongs to DisplayID %s, not to this section's version %X.%X; use the tag of its version.";
inline constexpr char kDisplayIdTimingPorch[] =
    "%s has a horizontal front porch and sync (%d + %d) that fill the blanking of %d, leaving no back porch; correct the timing.";

// ---- E-EDID 1.4 ------------------------------------------------------------------------------------------
inline constexpr char kGtfDeprecated[] =
    "Byte %d = %02X offers GTF, which E-EDID 1.4 keeps for older hosts only; CVT (04) describes new displays.";
inline constexpr char kGtfNotContinuous[] =
    "Byte %d = %02X offers GTF, but bit 0 of byte 24 says the frequencies are not continuous; store 01 (range limits only) or set the bit.";

}  // namespace tolvex::check_text
