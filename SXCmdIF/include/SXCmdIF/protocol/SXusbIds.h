/** \file
 * USB identifiers of the tracker family, used to find devices on the bus.
 * \ingroup sx_devices */
#pragma once

#include <cstdint>

/** \addtogroup sx_devices
 * @{ */

/** Vendor identifier of every device of the family. */
constexpr uint16_t VID_MAKER = 0x1209;
/** Product identifier of the tracker (sxctx_connectusb()). */
constexpr uint16_t PID_SORIX = 0x5A01;
/** Product identifier of the sibling family's hub (sxctx_connectusb_q7p()). */
constexpr uint16_t PID_Q7_HUB = 0x5A02;
/** Product identifier of the sibling family's tag device (sxctx_connectusbtag()). */
constexpr uint16_t PID_Q7_TAG = 0x5A03;

/** @} */
