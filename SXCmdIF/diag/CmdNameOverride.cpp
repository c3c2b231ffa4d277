#include "CmdNameOverride.h"

#include <atomic>

namespace sxctx {
namespace {

// The flag is the pointer itself: installed exactly when it is not null.
std::atomic<CmdNameFn> g_override{nullptr};

} // namespace

void SetCmdNameOverride(CmdNameFn fn)
{
    g_override.store(fn, std::memory_order_release);
}

void ClearCmdNameOverride()
{
    g_override.store(nullptr, std::memory_order_release);
}

CmdNameFn CmdNameOverride()
{
    return g_override.load(std::memory_order_acquire);
}

} // namespace sxctx
