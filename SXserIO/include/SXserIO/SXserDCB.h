/** \file
 * _SX_DCB, the line settings of a serial port, as the serial transport's
 * interface names it; the record itself lies below both libraries.
 * \ingroup sx_serial */
#pragma once

#include <sxwire/LineSettings.h>
