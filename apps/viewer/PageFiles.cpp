#include "viewer/PageFiles.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#ifndef SXVIEWER_PAGE_REL
#define SXVIEWER_PAGE_REL "../share/sxcmdif/viewer"
#endif

namespace sxviewer {

namespace {

struct Entry {
    const char* target;
    const char* path;
    const char* type;
};

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kCss = "text/css; charset=utf-8";
constexpr const char* kJs = "text/javascript; charset=utf-8";

// Every file the page has; "/" is the page itself.
constexpr Entry kEntries[] = {
    {"/", "index.html", kHtml},
    {"/index.html", "index.html", kHtml},
    {"/viewer.css", "viewer.css", kCss},
    {"/viewer.js", "viewer.js", kJs},
    {"/link.js", "link.js", kJs},
    {"/scene.js", "scene.js", kJs},
    {"/panel.js", "panel.js", kJs},
    {"/plot.js", "plot.js", kJs},
    {"/pose.js", "pose.js", kJs},
    {"/three/build/three.module.js", "three/build/three.module.js", kJs},
    {"/three/examples/jsm/controls/OrbitControls.js", "three/examples/jsm/controls/OrbitControls.js", kJs},
};

} // namespace

bool PageFiles::Load(const std::string& dir, std::string& error)
{
    m_files.clear();
    for (const Entry& e : kEntries) {
        const std::string path = dir + "/" + e.path;
        std::ifstream in(path, std::ios::binary);
        std::ostringstream body;
        if (in)
            body << in.rdbuf();
        if (!in) {
            error = "cannot read the viewer's page file " + path + " (is the viewer installed?)";
            return false;
        }
        m_files.push_back(PageFile{e.target, e.path, e.type, body.str()});
    }
    return true;
}

const PageFile* PageFiles::Find(const std::string& target) const
{
    const std::string path = target.substr(0, target.find('?'));
    for (const PageFile& f : m_files)
        if (path == f.target)
            return &f;
    return nullptr;
}

std::string DefaultPageDir()
{
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return SXVIEWER_PAGE_REL;
    std::string path(exe, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + SXVIEWER_PAGE_REL;
}

} // namespace sxviewer
