#pragma once
// The project's own three pictures, painted from formulas so that the
// generator can remake them byte for byte:
//   floor: light and dark stone tiles, 4 x 4 to a period, seamless, so the
//          floor's 2.8 x 4 repeats give tiles about one ball across;
//   body:  an 8 x 4 checker with a disc in each cell and dark seams, so a
//          sphere, cylinder or torus shows every turn it makes;
//   environment: a sphere map of a sky with clouds and a sun over a horizon
//          and a ground, as seen reflected in a mirror ball.

#include "tools/BmpWriter.h"

SRgbImage PaintFloor(int size);
SRgbImage PaintBody(int size);
SRgbImage PaintEnvironment(int size);
