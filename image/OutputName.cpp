#include "image/OutputName.h"

namespace chipshift {

std::string baseNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::string outputName(const std::string& targetFolder, const std::string& sourcePath,
                       const std::string& suffix) {
    std::string out = targetFolder;
    if (out.empty() || out.back() != '/') out += '/';
    return out + baseNameOf(sourcePath) + suffix;
}

}  // namespace chipshift
