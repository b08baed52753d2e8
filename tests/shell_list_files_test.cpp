// The folder listing and the directory search under it.
#include "shell/DirectorySearch.h"
#include "shell/ListFiles.h"
#include "tests/support/TestSupport.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace chipshift {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void touch(const std::string& path) { test::writeFile(path, {0}); }

// The two calls the batch makes: "*.png" (clearing when told), then "*.bmp".
std::vector<std::string> batchListing(const std::string& folder, std::vector<std::string> list,
                                      bool clearFirst = true) {
    ListFiles(folder, 0x3F, true, clearFirst, list, true, true, false, "*.png");
    ListFiles(folder, 0x3F, true, false, list, true, true, false, "*.bmp");
    return list;
}

struct ListingCase {
    const char* what;
    std::function<void(const std::string& root)> make;
    std::string folder;  // appended to the temporary root
    std::vector<std::string> before;
    bool clearFirst;
    std::vector<std::string> expected;  // "R" stands for the root
};

TEST(ListFiles, BatchListingCases) {
    const auto abc = [](const std::string& r) {
        touch(r + "/a.png");
        touch(r + "/b.bmp");
        touch(r + "/c.txt");
    };
    const ListingCase cases[] = {
        {"png entries before bmp entries, others absent, old entries cleared", abc, "", {"old"}, true,
         {"R/a.png", "R/b.bmp"}},
        {"a trailing delimiter gives the same paths", abc, "/", {}, true, {"R/a.png", "R/b.bmp"}},
        {"without ClearFirst old entries stay ahead", abc, "", {"old"}, false, {"old", "R/a.png", "R/b.bmp"}},
        {"a sub-folder whose name matches is listed, then entered with the same mask",
         [](const std::string& r) {
             fs::create_directory(r + "/tiles.png");
             touch(r + "/tiles.png/x.png");
             touch(r + "/tiles.png/y.bmp");
         },
         "", {}, true, {"R/tiles.png/", "R/tiles.png/x.png"}},
        {"a sub-folder whose name does not match is not entered",
         [](const std::string& r) {
             fs::create_directory(r + "/tiles");
             touch(r + "/tiles/x.png");
         },
         "", {}, true, {}},
        {"the mask ignores letter case; the name is kept as spelled",
         [](const std::string& r) { touch(r + "/A.PNG"); }, "", {}, true, {"R/A.PNG"}},
        {"names in order with letter case ignored, folders before their contents",
         [](const std::string& r) {
             touch(r + "/c.png");
             touch(r + "/B.png");
             fs::create_directory(r + "/a.png");
             touch(r + "/a.png/z.png");
             touch(r + "/a.png/Y.png");
         },
         "", {}, true, {"R/a.png/", "R/a.png/Y.png", "R/a.png/z.png", "R/B.png", "R/c.png"}},
        {"an empty folder adds nothing", [](const std::string&) {}, "", {"old"}, true, {}},
        {"a missing folder adds nothing", [](const std::string&) {}, "/missing", {"old"}, true, {}},
        {"a missing folder keeps the list without ClearFirst", [](const std::string&) {}, "/missing", {"old"},
         false, {"old"}},
        {"links back to an ancestor are listed but not entered again",
         [](const std::string& r) {
             fs::create_directory(r + "/loop.png");
             touch(r + "/loop.png/x.png");
             fs::create_directory_symlink(r, r + "/loop.png/back.png");
             fs::create_directory_symlink(".", r + "/self.png");
         },
         "", {}, true, {"R/loop.png/", "R/loop.png/back.png/", "R/loop.png/x.png", "R/self.png/"}},
        {"a FIFO and a dangling link are never listed; a link to a file is",
         [](const std::string& r) {
             ASSERT_EQ(::mkfifo((r + "/x.png").c_str(), 0600), 0);
             fs::create_symlink(r + "/nowhere", r + "/dangling.png");
             touch(r + "/real.bmp");
             fs::create_symlink(r + "/real.bmp", r + "/link.png");
         },
         "", {}, true, {"R/link.png", "R/real.bmp"}},
        {"hidden and read-only files are listed; names that are not UTF-8 keep their bytes",
         [](const std::string& r) {
             touch(r + "/.h.png");
             touch(r + "/ro.png");
             fs::permissions(r + "/ro.png", fs::perms::owner_read);
             touch(r + "/\x83\x5c.png");
         },
         "", {}, true, {"R/.h.png", "R/ro.png", "R/\x83\x5c.png"}},
    };
    for (const ListingCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        c.make(dir.path());
        std::vector<std::string> expected;
        for (const std::string& e : c.expected) expected.push_back(e[0] == 'R' ? dir.path() + e.substr(1) : e);
        EXPECT_EQ(batchListing(dir.path() + c.folder, c.before, c.clearFirst), expected);
    }
}

TEST(ListFiles, AttributeMaskMarkFoldersAndRecursionFlags) {
    TempDir dir;
    fs::create_directory(dir / "sub");
    touch(dir / "sub/x.txt");
    touch(dir / "f.txt");
    std::vector<std::string> list;
    // Folders only, not marked, not entered.
    ListFiles(dir.path(), 0x10, false, true, list, false, false, false, "*");
    EXPECT_EQ(list, std::vector<std::string>{dir / "sub"});
    // Recursion marks the folders below the top whatever the caller passed.
    ListFiles(dir.path(), 0x20, false, true, list, true, false, false, "*");
    EXPECT_EQ(list, (std::vector<std::string>{dir / "f.txt", dir / "sub/x.txt"}));
}

TEST(ListFiles, ResetAttrGivesTheOwnerWritePermission) {
    TempDir dir;
    touch(dir / "ro.png");
    fs::permissions(dir / "ro.png", fs::perms::owner_read);
    std::vector<std::string> list;
    ListFiles(dir.path(), 0x3F, true, true, list, false, true, true, "*.png");
    EXPECT_EQ(list, std::vector<std::string>{dir / "ro.png"});
    EXPECT_NE(fs::status(dir / "ro.png").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST(ListFiles, AnUnreadableSubFolderAddsNothingBelowItsOwnEntry) {
    TempDir dir;
    fs::create_directory(dir / "locked.png");
    touch(dir / "locked.png/x.png");
    // Root reads every folder, so the listing runs as an ordinary user.
    EXPECT_TRUE(test::runUnprivileged(dir.path(), [&] {
        fs::permissions(dir / "locked.png", fs::perms::none);
        EXPECT_EQ(batchListing(dir.path(), {}), std::vector<std::string>{dir / "locked.png/"});
    }));
}

TEST(DirectorySearch, MasksMatchLikeTheOriginalSearch) {
    struct Case {
        const char* mask;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.png", "a.png", true},     {"*.png", "A.PNG", true},      {"*.png", ".png", true},
        {"*.png", "a.png.bak", false}, {"*.png", "apng", false},      {"*.bmp", "tiles.png", false},
        {"?.png", "a.png", true},     {"?.png", "ab.png", false},    {"*", "", true},
        {"a*b*c", "aXbYbZc", true},   {"a*b*c", "aXbYbZ", false},    {"*.png", "\x83\x5c.PnG", true},
    };
    for (const Case& c : cases) EXPECT_EQ(matchesMask(c.mask, c.name), c.matches) << c.mask << " " << c.name;
}

TEST(DirectorySearch, AttributeValues) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    touch(dir / "file");
    touch(dir / "ro");
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::group_read);
    touch(dir / ".hidden");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    fs::create_directory_symlink(dir / "folder", dir / "folderlink");
    struct Case {
        const char* name;
        std::uint16_t value;
    };
    const Case cases[] = {{"folder", 0x10}, {"file", 0x20},    {"ro", 0x21},          {".hidden", 0x22},
                          {"fifo", 0x80},   {"dangling", 0x80}, {"folderlink", 0x10}};
    for (const Case& c : cases) EXPECT_EQ(attributesOf(dir / c.name, c.name), c.value) << c.name;
}

}  // namespace
}  // namespace chipshift
