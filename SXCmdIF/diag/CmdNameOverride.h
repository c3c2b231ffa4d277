// The process-wide command-name override of the frame text dump (set
// through the library function sxctx_setuthcmdstr).
#pragma once

namespace sxctx {

using CmdNameFn = const char* (*)(unsigned int);

void SetCmdNameOverride(CmdNameFn fn);
void ClearCmdNameOverride();
// The installed function, or null when none is installed.
CmdNameFn CmdNameOverride();

} // namespace sxctx
