// ROS 2's names over DDS: a topic /a/b is the DDS topic "rt/a/b"; frame ids
// carry no leading slash.
#pragma once

#include <string>

namespace sxros2 {

constexpr const char* kTfTopic = "rt/tf";
constexpr const char* kDiagnosticsTopic = "rt/diagnostics";

std::string PoseTopic(const std::string& ns, unsigned sensor);   // rt/<ns>/sensor<k>/pose
std::string SourceFrame(const std::string& ns);                  // <ns>_source
std::string SensorFrame(const std::string& ns, unsigned sensor); // <ns>_sensor<k>

} // namespace sxros2
