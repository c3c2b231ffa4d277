// One connected tracker: the library context, the device and, for --sim,
// the simulated tracker it talks to. Releasing the
// session releases the device and the context, then stops the simulator.
#pragma once

#include "Options.h"

#include <memory>
#include <string>
#include <vector>

struct _WHOAMI_STRUCT;

namespace sxtool {

class SimHost;

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Switches the library's tracing and log file as asked; returns the exit
    // code (kExitFileError when the log file cannot be opened).
    static int ApplyDiag(const DiagOptions& diag);
    static void EndDiag(const DiagOptions& diag);

    // Creates the context and connects; prints why not on standard error and
    // returns the exit code (kExitOk when connected).
    int Open(const ConnectionOptions& conn, const DiagOptions& diag);
    void Close();
    // Replaces the device with a new connection made the way Open made it
    // (the old device released first; quiet, for attempts every second):
    // the library's code, and the new device in dev (null when none).
    int Reconnect(void*& dev);

    void* Ctx() const { return m_ctx; }
    void* Dev() const { return m_dev; }
    bool Simulated() const { return m_sim != nullptr; }
    // How Open was asked to connect.
    const ConnectionOptions& Options() const { return m_conn; }

private:
    int Connected(void* dev);
    int ConnectUsb(const ConnectionOptions& conn);
    // The library's connection for the USB options: its code. With a serial
    // number, seen gets the trackers found on the bus.
    int UsbConnect(const ConnectionOptions& conn, void*& dev, std::vector<_WHOAMI_STRUCT>* seen = nullptr);
    // Says why no tracker was connected on USB; the exit code.
    int UsbFailed(int rc);
    int ConnectSim(const ConnectionOptions& conn);
    int ConnectSerialPort(int port, int cfg);

    void* m_ctx = nullptr;
    void* m_dev = nullptr;
    ConnectionOptions m_conn;
    std::unique_ptr<SimHost> m_sim;
};

// Prints "sxtool: " and the formatted message on standard error.
void Complain(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// The library's text of an error code, then what it means and what to try.
const char* ErrorText(int code);
// The exit code of a server command (serve, view) from its run's result:
// -1 when it could not listen on bind:port, else the library's code.
int ServerExit(int rc, const char* command, const std::string& bind, int port);
// A serial port as the transport lists it.
struct SerialPortName {
    unsigned port;
    std::string name, description;
};
// The serial ports, in the transport's order; false when they cannot be listed.
bool ListSerialPorts(std::vector<SerialPortName>& out);
// Whether port is among the listed serial ports.
bool SerialPortListed(int port);
// The serial ports as "1 (/dev/ttyS0), 2 (/dev/ttyUSB0)"; empty for none.
std::string SerialPortList();
// A wide text in ASCII ('?' for the rest).
std::string NarrowText(const std::wstring& w);
// The exit code of a failed connection attempt.
int ConnectExitCode(int code);

} // namespace sxtool
