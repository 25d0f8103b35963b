// Texts that come from a request or a printer and are echoed into the
// service's log. The log is line-based (the system log, or the journal for
// standard error): a newline in a walk argument would start a line of the
// caller's making, and other control characters confuse whoever reads it.
#pragma once

#include <string>
#include <string_view>

namespace zrk {

// The text with every control character (below 0x20, and 0x7f) written as
// \xHH and every backslash doubled, so that each escaped text stays on its
// own line and reads back unambiguously. Other bytes are kept as they are.
std::string escapedForLog(std::string_view text);

} // namespace zrk
