#include "SXcontext.h"

#include <algorithm>
#include <shared_mutex>

namespace sxctx {
namespace {

// Never destroyed: contexts not released before unload stay as they are.
struct Registry {
    std::shared_mutex lock;
    std::vector<CSXcontext*> live;
};

Registry& Reg()
{
    static Registry* reg = new Registry;
    return *reg;
}

} // namespace

bool Register(CSXcontext* ctx, size_t* count)
{
    Registry& r = Reg();
    std::unique_lock<std::shared_mutex> lock(r.lock);
    try {
        r.live.push_back(ctx);
    } catch (...) {
        return false;
    }
    if (count)
        *count = r.live.size();
    return true;
}

bool Unregister(void* handle)
{
    Registry& r = Reg();
    std::unique_lock<std::shared_mutex> lock(r.lock);
    auto it = std::find(r.live.begin(), r.live.end(), static_cast<CSXcontext*>(handle));
    if (it == r.live.end())
        return false;
    r.live.erase(it);
    return true;
}

bool IsLive(void* handle)
{
    if (!handle)
        return false;
    Registry& r = Reg();
    std::shared_lock<std::shared_mutex> lock(r.lock);
    return std::find(r.live.begin(), r.live.end(), static_cast<CSXcontext*>(handle)) != r.live.end();
}

CSXcontext* Acquire(void* handle)
{
    if (!handle)
        return nullptr;
    Registry& r = Reg();
    std::shared_lock<std::shared_mutex> lock(r.lock);
    auto it = std::find(r.live.begin(), r.live.end(), static_cast<CSXcontext*>(handle));
    if (it == r.live.end())
        return nullptr;
    // Counted while the registry is locked: Unregister cannot come between
    // the lookup and the count, so WaitUnused sees every use.
    (*it)->m_uses.Add();
    return *it;
}

void WaitUnused(CSXcontext* ctx)
{
    ctx->m_uses.WaitNone();
}

size_t LiveCount()
{
    Registry& r = Reg();
    std::shared_lock<std::shared_mutex> lock(r.lock);
    return r.live.size();
}

} // namespace sxctx
