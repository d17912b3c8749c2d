// The texts of the "Check" pane and of the question EDID Write asks about a block with failures.
// The findings' own sentences are the checker's (check/check_texts.h).
#pragma once

namespace tolvex::texts {

inline constexpr char kCheckPaneTitle[] = "Check";
inline constexpr char kCheckPaneMenuLabel[] = "&Check";
inline constexpr char kCheckPanePrompt[] = "Show or hide the conformance check of the EDID";
inline constexpr char kCheckColumnBytes[] = "Bytes";
inline constexpr char kCheckColumnRule[] = "Rule";
inline constexpr char kCheckColumnFinding[] = "Finding";
inline constexpr char kCheckBytes[] = "%1-%2";
// The line above the list: how many failures and warnings, or that there are none.
inline constexpr char kCheckSummary[] = "%1 failure(s), %2 warning(s)";
inline constexpr char kCheckClean[] = "No findings: the EDID keeps every rule checked.";
// Before File New, File Open, EDID Read or Read from display has brought an EDID.
inline constexpr char kCheckNothing[] = "Nothing to check: no EDID yet.";

// EDID Write on a block with failures.
inline constexpr char kWriteFailuresTitle[] = "EDID Write";
inline constexpr char kWriteFailuresText[] = "The EDID breaks %1 rule(s) of the check; the first:";
inline constexpr char kWriteFailuresMore[] = "... and %1 more (see View > Check).";
inline constexpr char kWriteFailuresQuestion[] = "Write it into the monitor anyway?";
inline constexpr char kWriteAnyway[] = "&Write Anyway";
// How many failures the question names.
inline constexpr int kWriteFailuresShown = 3;

}  // namespace tolvex::texts
