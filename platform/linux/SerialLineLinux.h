// The serial line on Linux (termios2, so any baud rate): how the character
// format of the line settings maps onto the control flags.
#pragma once

#include <sxwire/LineSettings.h>

namespace sxplat {

// The character-format bits (size, parity, stop bits) of the control flags
// for dcb, and the settings those bits stand for. Pseudo-terminals force
// 8 bits and no parity whatever is set.
unsigned int FormatCflag(const _SX_DCB& dcb);
void FormatFromCflag(unsigned int cflag, _SX_DCB& dcb);

} // namespace sxplat
