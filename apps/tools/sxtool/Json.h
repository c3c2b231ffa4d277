// sxtool's JSON: the frame and record forms shared with the other
// applications (frames/FrameJson.h).
#pragma once

#include <frames/FrameJson.h>

namespace sxtool {

using sxframes::FrameJson;
using sxframes::FrameMeta;
using sxframes::Json;
using sxframes::RecordJson;
using sxframes::UnitsJson;

} // namespace sxtool
