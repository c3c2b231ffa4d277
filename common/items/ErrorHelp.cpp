#include "ErrorHelp.h"

#include <SXCmdIF/SXCmdIF.h>

#include <iterator>

namespace sxitems {

namespace {

// The advice that differs by system: what opens a device to a user there.
#ifdef _WIN32
constexpr const char* kUsbHelp = "the USB transport failed; check the cable, that libusb-1.0.dll is beside the "
                                 "program (or on the PATH) and that the tracker has the WinUSB driver (Zadig)";
constexpr const char* kSerialHelp = "the serial port could not be opened or used; check the COM port number (sxtool "
                                    "list) and that no other program holds it";
#else
constexpr const char* kUsbHelp = "the USB transport failed; check the cable and the permissions (udev rule, group "
                                 "plugdev)";
constexpr const char* kSerialHelp = "the serial port could not be opened or used; check the port number (sxtool "
                                    "list), that no other program holds it, and your permission (group dialout)";
#endif

// Index: the code.
constexpr const char* kHelp[] = {
    /* E_SX_SUCCESS */ "done",
    /* E_SXERR_NAK_RESP */
    "the tracker refused the command or its value; check the value's range and the units in "
    "force (sxtool set --help lists the values)",
    /* E_SXERR_NAKWARN_RESP */
    "the tracker accepted the command with a warning; read the item back to see what it "
    "took",
    /* E_SXERR_MEMORY_ALLOCATION */ "the library could not allocate a context; free memory or close other programs",
    /* E_SXERR_INVALID_CONTEXT */
    "the library context is not open (released before, or never created); this is a "
    "fault of the program",
    /* E_SXERR_INVALID_ACTION */
    "the item does not take this action (some are read only, some reset only); see the "
    "item list",
    /* E_SXERR_INVALID_SENSOR */
    "the sensor number is out of range (0 to 15), or a frame named a sensor that does "
    "not exist; check the sensor number",
    /* E_SXERR_INVALID_SENSOR_ACT */ "a read needs one sensor, not every sensor; name the sensor",
    /* E_SXERR_INVALID_PARAMS */ "an argument is missing or does not fit; this is a fault of the program",
    /* E_SXERR_INVALID_SIZE */ "the value has the wrong size for the command; this is a fault of the program",
    /* E_SXERR_INVALID_CRC */
    "an answer from the tracker arrived damaged; check the cable and the serial settings, "
    "then try again",
    /* E_SXERR_TIMEOUT */
    "no P&O frame arrived in time; check that the tracker is streaming and its sensors are "
    "connected",
    /* E_SXERR_PLATFORM */ "the operating system refused an operation; try again",
    /* E_SXERR_LIBUSB */ kUsbHelp,
    /* E_SXERR_UNKNOWN */ "an unknown fault; try again, with --trace 3 to see more",
    /* E_SXERR_NOTFOUND */
    "no tracker answered; check that it is switched on and connected, and the port "
    "(sxtool list shows the ports)",
    /* E_SXERR_SERIO */ kSerialHelp,
    /* E_SXERR_CMDRSP_MISMATCH */ "an answer to another command arrived; try again",
    /* E_SXERR_BUF_TOO_SMALL */ "the buffer is too small for the frame; this is a fault of the program",
    /* E_SXERR_NOT_IMPLEMENTED */ "this tracker or connection does not offer the operation",
    /* E_CTXERR_INVALID_DEVHND */ "the device is not connected in this context (released before); connect again",
    /* E_CTXERR_INVALID_CONDITION */ "a wait for P&O woke without a frame; try again",
    /* E_CTXERR_MEMALLOC_ERROR */ "the library could not allocate a device; free memory or close other programs",
    /* E_CTXERR_DEV_RECV_QUEUE_EMPTY */
    "the tracker did not answer in time; check the connection, or try again on "
    "a less loaded machine",
    /* E_CTXERR_NO_MORE_DATA */ "no P&O frame is queued; start continuous output, or wait for frames",
    /* E_DEVIOERR_NO_CNX */ "the connection to the tracker is closed (unplugged or switched off); connect again",
    /* E_DEVIOERR_FRAME_HEADER */ "a frame from the tracker was malformed; check the cable and the serial settings",
    /* E_DEVIOERR_USB_WRITERR */ "writing to the tracker over USB failed; check the cable, then connect again",
    /* E_DEVIOERR_USB_READERR */ "reading from the tracker over USB failed; check the cable, then connect again",
    /* E_DEVIOERR_SER_WRITERR */
    "writing to the serial port failed; check the cable and the port, then connect "
    "again",
    /* E_DEVIOERR_SER_READERR */
    "reading from the serial port failed; check the cable and the port, then connect "
    "again",
};
static_assert(std::size(kHelp) == E_DEVIOERR_SER_READERR + 1, "one sentence for each of the library's codes");

} // namespace

const char* ErrorHelp(int code)
{
    const unsigned low = static_cast<unsigned>(code) & 0xFFFFu;
    return low < std::size(kHelp) ? kHelp[low] : "";
}

std::string ErrorMessage(int code)
{
    std::string text = sxcmdif_errorStr(code);
    const char* help = ErrorHelp(code);
    if (*help)
        text += std::string(": ") + help;
    return text;
}

} // namespace sxitems
