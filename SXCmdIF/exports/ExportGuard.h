// The edge of every exported device function: the context lookup with its
// counted use, and the check of a reference out-parameter.
#pragma once

#include "SXcontext.h"
#include <SXCmdIF/SXerrors.h>

// Declares `c`, the context of the handle, for the rest of the call;
// returns E_SXERR_INVALID_CONTEXT when the handle is not live.
#define SXCTX_USE(c, handle)                                                                                           \
    sxctx::CtxUse c(handle);                                                                                           \
    if (!c)                                                                                                            \
    return E_SXERR_INVALID_CONTEXT

namespace sxctx {

// Whether a reference parameter names an object. From C the reference is a
// pointer and may be null; the address goes through an empty asm so the
// compiler cannot assume a reference is never null.
template <class T>
inline bool Named(T& ref)
{
    T* p = &ref;
    __asm__("" : "+r"(p));
    return p != nullptr;
}

inline CSXdevIO* Dev(void* handle)
{
    return static_cast<CSXdevIO*>(handle);
}

} // namespace sxctx
