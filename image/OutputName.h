#pragma once

#include <string>

namespace chipshift {

// The path of an output file: the target folder with one "/" appended unless
// it already ends in one, the source's file name without its last extension,
// then the suffix (which carries its own extension). Names are handled as
// bytes, which never splits a character: "/" and "." cannot be part of a
// multibyte character in UTF-8 or Shift JIS, and names that are not valid
// UTF-8 pass through unchanged.
std::string outputName(const std::string& targetFolder, const std::string& sourcePath,
                       const std::string& suffix);

// The file name of a path without its last extension: "a/b/a.b.png" -> "a.b".
std::string baseNameOf(const std::string& path);

}  // namespace chipshift
