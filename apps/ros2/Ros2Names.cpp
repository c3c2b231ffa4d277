#include "ros2/Ros2Names.h"

#include "ros2/SXros2.h"

#include <cerrno>
#include <cstdlib>

namespace sxros2 {

std::string PoseTopic(const std::string& ns, unsigned sensor)
{
    return "rt/" + ns + "/sensor" + std::to_string(sensor) + "/pose";
}

std::string SourceFrame(const std::string& ns)
{
    return ns + "_source";
}

std::string SensorFrame(const std::string& ns, unsigned sensor)
{
    return ns + "_sensor" + std::to_string(sensor);
}

bool ValidNamespace(const std::string& ns, std::string& error)
{
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    bool ok = !ns.empty() && letter(ns[0]);
    for (size_t i = 1; ok && i < ns.size(); ++i)
        ok = letter(ns[i]) || digit(ns[i]) || (ns[i] == '_' && ns[i - 1] != '_');
    if (!ok)
        error = "'" + ns +
                "' is not a namespace: give one name of letters, digits and single underscores, "
                "beginning with a letter, such as lab1";
    return ok;
}

bool DomainFromEnvironment(int& domain, std::string& error)
{
    domain = 0;
    const char* env = std::getenv("ROS_DOMAIN_ID");
    if (!env || !*env)
        return true;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(env, &end, 10);
    if (*end != '\0' || errno != 0 || v < 0 || v > kMaxDomain) {
        error =
            "ROS_DOMAIN_ID '" + std::string(env) + "' is not a domain: domains are 0 to " + std::to_string(kMaxDomain);
        return false;
    }
    domain = static_cast<int>(v);
    return true;
}

} // namespace sxros2
