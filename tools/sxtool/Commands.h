// sxtool's commands. Each returns the process's exit code (ExitCodes.h).
#pragma once

#include "Options.h"

namespace sxtool {

class Session;

int RunList(bool json);
int RunInfo(Session& s, bool json);
int RunGet(Session& s, const ItemOptions& o);
int RunSet(Session& s, const ItemOptions& o);
int RunReset(Session& s, const ItemOptions& o);
int RunBlock(Session& s, bool json);
int RunPersist(Session& s);
int RunSingle(Session& s, PnoFormat format, bool timestamps);
int RunStream(Session& s, const StreamOptions& o);
int RunConvert(const ConvertOptions& o);
int RunServe(Session& s, const ServeOptions& o);

// Writes text to standard output with the tool's line ends, ending it with
// one when the report did not.
void PrintReport(std::string text);

} // namespace sxtool
