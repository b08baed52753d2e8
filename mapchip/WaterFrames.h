#pragma once
// The two builders of one water autotile frame (96 x 128).

#include "image/Image.h"
#include "image/Template.h"

namespace chipshift::mapchip {

// A shallow-water frame from the water column whose top-left corner is (x, y)
// and the sea chip at (sx, 64). The frame image is first reloaded from the
// template and made 96 x 128; the top-middle cell keeps what that leaves.
void CutTheSea(int x, int y, int sx, const Image& source, Image& frame, const Template& templ);

// A deep-sea frame from the deep-sea column at (x, y + 96), prepared the same way.
void CutTheDeep(int x, int y, const Image& source, Image& frame, const Template& templ);

}  // namespace chipshift::mapchip
