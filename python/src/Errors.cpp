#include "Errors.h"

#include <SXCmdIF/SXerrText.h>
#include <SXCmdIF/SXerrors.h>

#include <string>

#include <items/ErrorHelp.h>

namespace sxpy {

namespace {

PyObject* g_sxError = nullptr;

constexpr const char* kSXErrorDoc = "A tracker operation failed.\n\n"
                                    "Attributes:\n"
                                    "    code: the error code (the low 16 bits of value), an ErrorCode value.\n"
                                    "    detail: the detail of the code (the high 16 bits, signed): a command\n"
                                    "        code for E_SXERR_INVALID_CRC, the transport's own code for the\n"
                                    "        transport errors, else 0.\n"
                                    "    value: the whole 32-bit result of the library.\n"
                                    "    text: the library's text of the value.\n"
                                    "    operation: what was being done.";

struct CodeName {
    int code;
    const char* name;
};

constexpr CodeName kCodes[] = {
    {E_SX_SUCCESS, "E_SX_SUCCESS"},
    {E_SXERR_NAK_RESP, "E_SXERR_NAK_RESP"},
    {E_SXERR_NAKWARN_RESP, "E_SXERR_NAKWARN_RESP"},
    {E_SXERR_MEMORY_ALLOCATION, "E_SXERR_MEMORY_ALLOCATION"},
    {E_SXERR_INVALID_CONTEXT, "E_SXERR_INVALID_CONTEXT"},
    {E_SXERR_INVALID_ACTION, "E_SXERR_INVALID_ACTION"},
    {E_SXERR_INVALID_SENSOR, "E_SXERR_INVALID_SENSOR"},
    {E_SXERR_INVALID_SENSOR_ACT, "E_SXERR_INVALID_SENSOR_ACT"},
    {E_SXERR_INVALID_PARAMS, "E_SXERR_INVALID_PARAMS"},
    {E_SXERR_INVALID_SIZE, "E_SXERR_INVALID_SIZE"},
    {E_SXERR_INVALID_CRC, "E_SXERR_INVALID_CRC"},
    {E_SXERR_TIMEOUT, "E_SXERR_TIMEOUT"},
    {E_SXERR_PLATFORM, "E_SXERR_PLATFORM"},
    {E_SXERR_LIBUSB, "E_SXERR_LIBUSB"},
    {E_SXERR_UNKNOWN, "E_SXERR_UNKNOWN"},
    {E_SXERR_NOTFOUND, "E_SXERR_NOTFOUND"},
    {E_SXERR_SERIO, "E_SXERR_SERIO"},
    {E_SXERR_CMDRSP_MISMATCH, "E_SXERR_CMDRSP_MISMATCH"},
    {E_SXERR_BUF_TOO_SMALL, "E_SXERR_BUF_TOO_SMALL"},
    {E_SXERR_NOT_IMPLEMENTED, "E_SXERR_NOT_IMPLEMENTED"},
    {E_CTXERR_INVALID_DEVHND, "E_CTXERR_INVALID_DEVHND"},
    {E_CTXERR_INVALID_CONDITION, "E_CTXERR_INVALID_CONDITION"},
    {E_CTXERR_MEMALLOC_ERROR, "E_CTXERR_MEMALLOC_ERROR"},
    {E_CTXERR_DEV_RECV_QUEUE_EMPTY, "E_CTXERR_DEV_RECV_QUEUE_EMPTY"},
    {E_CTXERR_NO_MORE_DATA, "E_CTXERR_NO_MORE_DATA"},
    {E_DEVIOERR_NO_CNX, "E_DEVIOERR_NO_CNX"},
    {E_DEVIOERR_FRAME_HEADER, "E_DEVIOERR_FRAME_HEADER"},
    {E_DEVIOERR_USB_WRITERR, "E_DEVIOERR_USB_WRITERR"},
    {E_DEVIOERR_USB_READERR, "E_DEVIOERR_USB_READERR"},
    {E_DEVIOERR_SER_WRITERR, "E_DEVIOERR_SER_WRITERR"},
    {E_DEVIOERR_SER_READERR, "E_DEVIOERR_SER_READERR"},
};

} // namespace

void RegisterErrors(py::module_& m)
{
    py::dict defaults;
    defaults["code"] = 0;
    defaults["detail"] = 0;
    defaults["value"] = 0;
    defaults["text"] = "";
    defaults["operation"] = "";
    g_sxError = PyErr_NewExceptionWithDoc("sxcmdif.SXError", kSXErrorDoc, PyExc_Exception, defaults.ptr());
    if (!g_sxError)
        throw py::error_already_set();
    m.add_object("SXError", py::handle(g_sxError));

    py::list codes;
    for (const CodeName& c : kCodes)
        codes.append(py::make_tuple(c.name, c.code));
    m.attr("_error_codes") = codes;

    m.def(
        "error_text", [](int value) { return std::string(sxcmdif_errorStr(value)); }, py::arg("value"),
        "The library's text of a result value (any 32-bit value, detail included).");
}

void Raise(int value, const char* operation)
{
    // The text may live in a buffer the next composed text overwrites: copy
    // it at once.
    const std::string text = sxcmdif_errorStr(value);
    // What the code means and what to try, as sxtool says it.
    const std::string message =
        std::string(operation) + ": " + text + " (" + std::to_string(value) + "): " + sxitems::ErrorHelp(value);
    py::object exc = py::reinterpret_borrow<py::object>(g_sxError)(message);
    exc.attr("code") = ErrCode(value);
    exc.attr("detail") = ErrDetail(value);
    exc.attr("value") = value;
    exc.attr("text") = text;
    exc.attr("operation") = operation;
    PyErr_SetObject(g_sxError, exc.ptr());
    throw py::error_already_set();
}

} // namespace sxpy
