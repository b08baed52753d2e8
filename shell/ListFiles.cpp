#include "shell/ListFiles.h"

#include "shell/DirectorySearch.h"

#include <algorithm>

#include <sys/stat.h>

namespace chipshift {

namespace {

struct FolderIdentity {
    dev_t device;
    ino_t inode;
    bool operator==(const FolderIdentity&) const = default;
};

bool identityOf(const std::string& folder, FolderIdentity& id) {
    struct stat st{};
    if (::stat(folder.c_str(), &st) != 0) return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

struct Options {
    std::uint16_t attrMask;
    bool takeZeroAttr;
    bool recursive;
    bool resetAttr;
    const std::string& nameMask;
};

// folder ends in the delimiter. ancestors: the folders on the current
// recursion path, the one being searched last; a link back to any of them
// would repeat the search without end.
void listFolder(const std::string& folder, bool markFolders, const Options& opt,
                std::vector<std::string>& list, std::vector<FolderIdentity>& ancestors) {
    for (const DirectoryEntry& entry : searchDirectory(folder, opt.nameMask)) {
        if (entry.name == "." || entry.name == "..") continue;
        std::string path = folder + entry.name;
        if (opt.resetAttr && (entry.attributes & attr::kReadOnly)) clearReadOnly(path);

        const bool isFolder = (entry.attributes & attr::kFolder) != 0;
        if (isFolder && markFolders && path.back() != kPathDelimiter) path += kPathDelimiter;
        if ((entry.attributes & opt.attrMask) != 0 || (entry.attributes == 0 && opt.takeZeroAttr))
            list.push_back(path);

        if (!opt.recursive || !isFolder) continue;
        FolderIdentity id{};
        if (!identityOf(path, id) || std::find(ancestors.begin(), ancestors.end(), id) != ancestors.end())
            continue;
        if (path.back() != kPathDelimiter) path += kPathDelimiter;
        ancestors.push_back(id);
        listFolder(path, true, opt, list, ancestors);
        ancestors.pop_back();
    }
}

}  // namespace

void ListFiles(const std::string& Folder, std::uint16_t AttrMask, bool TakeZeroAttr, bool ClearFirst,
               std::vector<std::string>& List, bool Recursive, bool MarkFolders, bool ResetAttr,
               const std::string& NameMask) {
    std::string folder = Folder;
    if (folder.empty() || folder.back() != kPathDelimiter) folder += kPathDelimiter;
    if (ClearFirst) List.clear();

    const Options opt{AttrMask, TakeZeroAttr, Recursive, ResetAttr, NameMask};
    std::vector<FolderIdentity> ancestors;
    FolderIdentity top{};
    if (identityOf(folder, top)) ancestors.push_back(top);
    listFolder(folder, MarkFolders, opt, List, ancestors);
}

}  // namespace chipshift
