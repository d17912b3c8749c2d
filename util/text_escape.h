// Text from outside the program (a sysfs file, a folder's name, an EDID's descriptor) printed on
// a line of its own: control characters would end the line early or forge others.
#pragma once

#include <string>
#include <string_view>

namespace tolvex {

// Control characters (and DEL) as \xHH, and the backslash as \\, so that the text can be told
// back; everything else as it is.
std::string EscapeControls(std::string_view text);

}  // namespace tolvex
