// Writing pictures as PNG files (uncompressed, 24-bit RGB): screenshots of
// the program's windows and pictures of its drawing.
#pragma once

#include <string>
#include <vector>

#include "app/canvas.h"

// The PNG file of a `width` x `height` picture whose pixels are given row
// by row, top row first. REQUIRES pixels.size() == width * height.
std::string EncodePng(int width, int height, const std::vector<Color>& pixels);
