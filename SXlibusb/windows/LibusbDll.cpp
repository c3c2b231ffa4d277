// The libusb functions the SDK calls, forwarded to libusb-1.0.dll, which is
// looked for the way the system looks for any DLL (the program's folder
// first). One table names every function with its signature; the
// definitions and the loading are made from it.
#include "LibusbDll.h"

#include <libusb.h>

#include <windows.h>

#include <cstdarg>
#include <mutex>

namespace {

// X(result, name, parameters, arguments, result without the DLL)
#define SX_LIBUSB_CALLS(X)                                                                                             \
    X(int, libusb_init, (libusb_context * *ctx), (ctx), LIBUSB_ERROR_NOT_SUPPORTED)                                    \
    X(void, libusb_exit, (libusb_context * ctx), (ctx), )                                                              \
    X(ssize_t, libusb_get_device_list, (libusb_context * ctx, libusb_device * **list), (ctx, list),                    \
      LIBUSB_ERROR_NOT_SUPPORTED)                                                                                      \
    X(void, libusb_free_device_list, (libusb_device * *list, int unref), (list, unref), )                              \
    X(int, libusb_get_device_descriptor, (libusb_device * dev, struct libusb_device_descriptor * desc), (dev, desc),   \
      LIBUSB_ERROR_NOT_SUPPORTED)                                                                                      \
    X(int, libusb_get_config_descriptor,                                                                               \
      (libusb_device * dev, uint8_t index, struct libusb_config_descriptor * *config), (dev, index, config),           \
      LIBUSB_ERROR_NOT_SUPPORTED)                                                                                      \
    X(void, libusb_free_config_descriptor, (struct libusb_config_descriptor * config), (config), )                     \
    X(uint8_t, libusb_get_bus_number, (libusb_device * dev), (dev), 0)                                                 \
    X(uint8_t, libusb_get_device_address, (libusb_device * dev), (dev), 0)                                             \
    X(int, libusb_open, (libusb_device * dev, libusb_device_handle * *handle), (dev, handle),                          \
      LIBUSB_ERROR_NOT_SUPPORTED)                                                                                      \
    X(void, libusb_close, (libusb_device_handle * handle), (handle), )                                                 \
    X(int, libusb_claim_interface, (libusb_device_handle * handle, int number), (handle, number),                      \
      LIBUSB_ERROR_NOT_SUPPORTED)                                                                                      \
    X(int, libusb_release_interface, (libusb_device_handle * handle, int number), (handle, number),                    \
      LIBUSB_ERROR_NOT_SUPPORTED)                                                                                      \
    X(int, libusb_bulk_transfer,                                                                                       \
      (libusb_device_handle * handle, unsigned char endpoint, unsigned char* data, int length, int* transferred,       \
       unsigned int timeout),                                                                                          \
      (handle, endpoint, data, length, transferred, timeout), LIBUSB_ERROR_NOT_SUPPORTED)                              \
    X(struct libusb_transfer*, libusb_alloc_transfer, (int isoPackets), (isoPackets), nullptr)                         \
    X(void, libusb_free_transfer, (struct libusb_transfer * transfer), (transfer), )                                   \
    X(int, libusb_submit_transfer, (struct libusb_transfer * transfer), (transfer), LIBUSB_ERROR_NOT_SUPPORTED)        \
    X(int, libusb_cancel_transfer, (struct libusb_transfer * transfer), (transfer), LIBUSB_ERROR_NOT_SUPPORTED)        \
    X(int, libusb_handle_events_timeout_completed, (libusb_context * ctx, struct timeval * tv, int* completed),        \
      (ctx, tv, completed), LIBUSB_ERROR_NOT_SUPPORTED)                                                                \
    X(void, libusb_interrupt_event_handler, (libusb_context * ctx), (ctx), )                                           \
    X(const char*, libusb_error_name, (int code), (code), ErrorNameWithoutDll(code))                                   \
    X(const char*, libusb_strerror, (int code), (code), ErrorNameWithoutDll(code))

// libusb_set_option takes its value after the variadic marker; every option
// the SDK sets takes one int.
using SetOptionFn = int(LIBUSB_CALL*)(libusb_context*, enum libusb_option, ...);

struct Api {
#define SX_POINTER(result, name, params, args, fallback) result(LIBUSB_CALL* name) params = nullptr;
    SX_LIBUSB_CALLS(SX_POINTER)
#undef SX_POINTER
    SetOptionFn libusb_set_option = nullptr;
};

// libusb's own names of its error codes and transfer statuses, for the
// error texts of a program that runs without the DLL.
struct CodeName {
    int code;
    const char* name;
};
constexpr CodeName kCodeNames[] = {
    {LIBUSB_SUCCESS, "LIBUSB_SUCCESS / LIBUSB_TRANSFER_COMPLETED"},
    {LIBUSB_ERROR_IO, "LIBUSB_ERROR_IO"},
    {LIBUSB_ERROR_INVALID_PARAM, "LIBUSB_ERROR_INVALID_PARAM"},
    {LIBUSB_ERROR_ACCESS, "LIBUSB_ERROR_ACCESS"},
    {LIBUSB_ERROR_NO_DEVICE, "LIBUSB_ERROR_NO_DEVICE"},
    {LIBUSB_ERROR_NOT_FOUND, "LIBUSB_ERROR_NOT_FOUND"},
    {LIBUSB_ERROR_BUSY, "LIBUSB_ERROR_BUSY"},
    {LIBUSB_ERROR_TIMEOUT, "LIBUSB_ERROR_TIMEOUT"},
    {LIBUSB_ERROR_OVERFLOW, "LIBUSB_ERROR_OVERFLOW"},
    {LIBUSB_ERROR_PIPE, "LIBUSB_ERROR_PIPE"},
    {LIBUSB_ERROR_INTERRUPTED, "LIBUSB_ERROR_INTERRUPTED"},
    {LIBUSB_ERROR_NO_MEM, "LIBUSB_ERROR_NO_MEM"},
    {LIBUSB_ERROR_NOT_SUPPORTED, "LIBUSB_ERROR_NOT_SUPPORTED"},
    {LIBUSB_ERROR_OTHER, "LIBUSB_ERROR_OTHER"},
    {LIBUSB_TRANSFER_ERROR, "LIBUSB_TRANSFER_ERROR"},
    {LIBUSB_TRANSFER_TIMED_OUT, "LIBUSB_TRANSFER_TIMED_OUT"},
    {LIBUSB_TRANSFER_CANCELLED, "LIBUSB_TRANSFER_CANCELLED"},
    {LIBUSB_TRANSFER_STALL, "LIBUSB_TRANSFER_STALL"},
    {LIBUSB_TRANSFER_NO_DEVICE, "LIBUSB_TRANSFER_NO_DEVICE"},
    {LIBUSB_TRANSFER_OVERFLOW, "LIBUSB_TRANSFER_OVERFLOW"},
};

const char* ErrorNameWithoutDll(int code)
{
    for (const CodeName& c : kCodeNames)
        if (c.code == code)
            return c.name;
    return "**UNKNOWN**";
}

// Every function or none: a DLL that lacks one of them is not used.
Api LoadApi()
{
    Api api;
    HMODULE dll = LoadLibraryW(sxusb::kLibusbDll);
    if (!dll)
        return api;
    bool complete = true;
    auto resolve = [&](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
            reinterpret_cast<void*>(GetProcAddress(dll, name)));
        complete = complete && slot;
    };
#define SX_RESOLVE(result, name, params, args, fallback) resolve(api.name, #name);
    SX_LIBUSB_CALLS(SX_RESOLVE)
#undef SX_RESOLVE
    resolve(api.libusb_set_option, "libusb_set_option");
    if (!complete) {
        FreeLibrary(dll);
        return Api();
    }
    // Kept loaded for the life of the process: transfers may be in flight
    // until the last context is gone.
    return api;
}

const Api& Libusb()
{
    static std::once_flag once;
    static Api api;
    std::call_once(once, [] { api = LoadApi(); });
    return api;
}

} // namespace

namespace sxusb {

const wchar_t kLibusbDll[] = L"libusb-1.0.dll";

bool LibusbLoaded()
{
    return Libusb().libusb_init != nullptr;
}

} // namespace sxusb

extern "C" {

#define SX_FORWARD(result, name, params, args, fallback)                                                               \
    result LIBUSB_CALL name params                                                                                     \
    {                                                                                                                  \
        const auto fn = Libusb().name;                                                                                 \
        if (!fn)                                                                                                       \
            return fallback;                                                                                           \
        return fn args;                                                                                                \
    }
SX_LIBUSB_CALLS(SX_FORWARD)
#undef SX_FORWARD

int LIBUSB_CALL libusb_set_option(libusb_context* ctx, enum libusb_option option, ...)
{
    const SetOptionFn fn = Libusb().libusb_set_option;
    if (!fn)
        return LIBUSB_ERROR_NOT_SUPPORTED;
    va_list args;
    va_start(args, option);
    const int value = va_arg(args, int);
    va_end(args);
    return fn(ctx, option, value);
}

} // extern "C"
