#pragma once
// The folder listing that builds the batch run's work list.

#include <cstdint>
#include <string>
#include <vector>

namespace chipshift {

// The path delimiter of this platform, ensured once after Folder and after
// every folder entry when MarkFolders is set.
inline constexpr char kPathDelimiter = '/';

// Appends to List the path of every entry of Folder whose name matches
// NameMask and whose attribute value shares a bit with AttrMask (or is 0,
// when TakeZeroAttr is set). ClearFirst empties List first. MarkFolders ends
// folder entries with the delimiter. ResetAttr clears the read-only state of
// every entry found (failures ignored). Recursive descends into the folder
// entries found, with the same mask and MarkFolders forced on, so the list
// is in depth-first pre-order. Missing or unreadable folders add nothing,
// and a folder reached again through a link to one of its ancestors is
// listed but not searched a second time. Nothing is raised or reported.
void ListFiles(const std::string& Folder, std::uint16_t AttrMask, bool TakeZeroAttr, bool ClearFirst,
               std::vector<std::string>& List, bool Recursive, bool MarkFolders, bool ResetAttr,
               const std::string& NameMask);

}  // namespace chipshift
