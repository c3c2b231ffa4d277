// sxtool's commands. Each returns the process's exit code (ExitCodes.h).
#pragma once

#include "Options.h"

namespace sxtool {

class Session;

int RunList();
int RunInfo(Session& s);
int RunGet(Session& s, const ItemOptions& o);
int RunSet(Session& s, const ItemOptions& o);
int RunReset(Session& s, const ItemOptions& o);
// GET of the item named, printed with its report (unit-level items).
int PrintItemNamed(Session& s, const char* name);
int RunBlock(Session& s);
int RunPersist(Session& s);
int RunSingle(Session& s, PnoFormat format);
int RunStream(Session& s, const StreamOptions& o);
int RunConvert(const ConvertOptions& o);
int RunServe(Session& s, const ServeOptions& o);

// Writes text to standard output, ending it with a line end when the report
// did not.
void PrintReport(const std::string& text);

} // namespace sxtool
