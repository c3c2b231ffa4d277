// libusb on Windows, loaded at run time: Debian has no libusb built for
// Windows, and users put the official libusb-1.0.dll beside their program.
// This library defines the libusb functions the SDK calls, each forwarding
// to the DLL; while the DLL cannot be loaded they fail as libusb does when
// a platform lacks a feature (LIBUSB_ERROR_NOT_SUPPORTED, no devices).
#pragma once

namespace sxusb {

// The file name the loader asks the system for.
extern const wchar_t kLibusbDll[];

// Loads the DLL once (later calls only look); true when it is loaded with
// every function the SDK calls.
bool LibusbLoaded();

} // namespace sxusb
