/** \file
 * _sx_serportinfo: one serial port as listed, or the port that is open.
 * \ingroup sx_serial */
#pragma once

#include <SXserIO/SXserIOdefs.h>

#include <string>

/** \addtogroup sx_serial
 * @{ */

/** One serial port as CSXserIO::ListSerPorts() lists it, or the port a
 * CSXserIO has open. Belongs to one thread at a time. */
struct SXSERIO_API _sx_serportinfo {
    /** "SXR" and a zero byte, in memory order: the frame preamble a port expects (its first three bytes are
     * compared). */
    static constexpr unsigned int kDefaultPreamble = 0x00525853u;

    /** The port number, from 1. */
    unsigned int uPort;
    /** The device path ("/dev/ttyUSB0"). */
    std::wstring wsName;
    /** A description: the USB parent's maker and product, else the driver's name. */
    std::wstring wsDesc;
    /** The frame preamble the port expects. */
    unsigned int uPreamble;
    /** The baud-rate index (::eBaud). */
    unsigned int uBaudIdx : 4;
    /** The parity (::eParity). */
    unsigned int uParityIdx : 2;

    /** Port 1, no texts, the default preamble, 115200 baud, no parity. */
    _sx_serportinfo();
    /** A port by number, otherwise as the default.
     * \param port the port number */
    explicit _sx_serportinfo(unsigned int port);
    /** A port by number, path and description, otherwise as the default.
     * \param port the port number
     * \param name the device path
     * \param desc the description */
    _sx_serportinfo(unsigned int port, const std::wstring& name, const std::wstring& desc);
    /** Copies never carry the preamble: the copy gets the default one.
     * \param other the record copied */
    _sx_serportinfo(const _sx_serportinfo& other);
    /** Copies all but the preamble: an assigned record keeps its own.
     * \param other the record copied
     * \returns this record */
    _sx_serportinfo& operator=(const _sx_serportinfo& other);
    /** Destroys the record. */
    ~_sx_serportinfo();
};

/** @} */
