// A drawing as a list of what was drawn, and its SVG picture: what the
// headless backend records, and what either backend writes as SVG.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// One thing drawn on a canvas. A line goes from (x0, y0) to (x1, y1) with
// the pen's colour; a text has its top-left corner at (x0, y0).
struct DrawOp {
    enum class Kind { Line, Text, Fill };
    Kind kind = Kind::Line;
    Color color;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::string text;
};

// An SVG picture of width × height px showing ops in order on white.
std::string SvgOfDrawing(const std::vector<DrawOp>& ops, int width, int height);
