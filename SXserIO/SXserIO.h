// SXserIO: the serial transport of the tracker SDK.
#pragma once

#include <SXserIO/SXserIOdefs.h>
