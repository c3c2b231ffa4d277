// The messages the viewer sends the page, besides the poses (PoseFeed) and
// the tracker's state (Controller): each one JSON object with a "type".
#pragma once

#include "viewer/Hub.h"

#include <frames/FrameJson.h>

#include <cstdint>
#include <string>

namespace sxviewer {

// {"type": "hello", "read_only", "display_hz", "choices": {the words and
// rates the controls offer, from the item table}}
Text HelloMessage(const ViewOptions& options);
// {"type": "result", "id" (when the request had one), "ok", "message"}
Text ResultMessage(int64_t id, bool ok, const std::string& message);
// A JSON object as a shared message; text that is not UTF-8 (a device's
// identity strings may be anything) is replaced, never thrown over.
Text Shared(const sxframes::Json& j);

} // namespace sxviewer
