// sxtool's commands. Each returns the process's exit code (ExitCodes.h).
#pragma once

#include "Items.h"
#include "Json.h"
#include "Options.h"

#include <string>

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
int RunView(Session& s, const ConnectionOptions& conn, const ViewOptions& o);
int RunConfigSave(Session& s, const ConfigOptions& o);
int RunConfigLoad(Session& s, const ConfigOptions& o);
int RunRos2(Session& s, const ConnectionOptions& conn, const Ros2Options& o);

// A set's record, built from its words and ready to send.
struct PreparedSet {
    const ItemDef* item = nullptr;
    ItemContext context;
    alignas(8) unsigned char payload[kMaxItemPayload] = {};
};
// Checks the item, its address and its words and builds the record, as
// `sxtool set` does before it sends: kExitOk, or kExitUsage with the
// message in error.
int PrepareSet(void* ctx, void* dev, const ItemOptions& o, PreparedSet& p, std::string& error);

// Writes text to standard output with the tool's line ends, ending it with
// one when the report did not.
void PrintReport(std::string text);
// Prints a JSON document; one from a simulated tracker says "simulated": true.
void PrintJson(Json j, bool simulated);

} // namespace sxtool
