// The page's files, read once when the viewer starts and served from
// memory: only the names of this list are ever served, so no request can
// reach another file.
#pragma once

#include <string>
#include <vector>

namespace sxviewer {

struct PageFile {
    const char* target; // the request target that names it: "/viewer.js"
    const char* path;   // under the page's folder
    const char* type;   // its Content-Type
    std::string body;
};

class PageFiles {
public:
    // Reads every file of the list from dir; false with error naming the
    // file that could not be read.
    bool Load(const std::string& dir, std::string& error);
    // The file a request target names (its query string ignored), or null.
    const PageFile* Find(const std::string& target) const;

private:
    std::vector<PageFile> m_files;
};

// The page's folder of an installed program: beside it, by the relative
// path of the installed layout ("../share/sxcmdif/viewer").
std::string DefaultPageDir();

} // namespace sxviewer
