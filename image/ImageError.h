#pragma once

#include <stdexcept>
#include <string>

namespace chipshift {

// Every failure of reading or writing an image file. The message names the
// path as it was passed in, so the user can tell which file is at fault.
class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace chipshift
