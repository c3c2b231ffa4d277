// Export macro of the serial transport. The same sources are compiled into
// libSXserIO, which exports the transport, and into libSXCmdIF, which keeps
// it internal (built with SXSERIO_INTERNAL).
#pragma once

#if defined(SXSERIO_INTERNAL)
#define SXSERIO_API
#else
#define SXSERIO_API __attribute__((visibility("default")))
#endif
