#pragma once
// Scaled region copies and draws between images.

#include "image/Image.h"
#include "image/Rect.h"

namespace chipshift {

// Copies rectangle s of src onto rectangle d of dst. d is either the size of s
// (one to one) or exactly twice it in both directions (each source pixel
// becomes a 2 x 2 block). Colours are converted into dst's format; into an
// indexed format as the nearest palette entry. Parts of d outside dst are not
// written; source pixels outside src read as the fill colour white. src and
// dst may be the same image: the source is read as it was before the copy.
// Both images have a drawing surface afterwards.
void copyRect(const Image& src, Rect s, Image& dst, Rect d);

// Draws the whole of src onto dst with its top-left pixel at (x, y), one to one.
void draw(const Image& src, Image& dst, int x, int y);

}  // namespace chipshift
