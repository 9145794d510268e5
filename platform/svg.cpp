// The SVG picture of a drawing, shared by both backends.
#include "platform/svg.h"

#include <cstdio>

namespace {

// Glyph cell of the default font, for the white box behind a text.
constexpr int CHAR_WIDTH = 8;
constexpr int CHAR_HEIGHT = 16;

std::size_t CharCount(const std::string& utf8)
{
    std::size_t n = 0;
    for (char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Where a box of this length starting at `at` begins once moved back inside
// 0 … limit.
int InsideFrom(int at, int length, int limit)
{
    if (at > limit - length)
        at = limit - length;
    return at < 0 ? 0 : at;
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string SvgOf(const DrawOp& op, int width, int height)
{
    char buffer[256];
    switch (op.kind) {
    case DrawOp::Kind::Fill:
        std::snprintf(buffer, sizeof buffer, "<rect width=\"%d\" height=\"%d\" fill=\"white\" stroke=\"none\"/>\n", width, height);
        return buffer;
    case DrawOp::Kind::Line:
        std::snprintf(buffer, sizeof buffer,
                      "<line x1=\"%d.5\" y1=\"%d.5\" x2=\"%d.5\" y2=\"%d.5\" stroke=\"rgb(%d,%d,%d)\"/>\n",
                      op.x0, op.y0, op.x1, op.y1, op.color.r, op.color.g, op.color.b);
        return buffer;
    case DrawOp::Kind::Text: {
        const int boxWidth = static_cast<int>(CharCount(op.text)) * CHAR_WIDTH;
        const int x = InsideFrom(op.x0, boxWidth, width), y = InsideFrom(op.y0, CHAR_HEIGHT, height);
        std::snprintf(buffer, sizeof buffer,
                      "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"white\" stroke=\"none\"/>"
                      "<text x=\"%d\" y=\"%d\" xml:space=\"preserve\">",
                      x, y, boxWidth, CHAR_HEIGHT, x, y + 12);
        return buffer + Escaped(op.text) + "</text>\n";
    }
    }
    return {};
}

}  // namespace

std::string SvgOfDrawing(const std::vector<DrawOp>& ops, int width, int height)
{
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
                      "\" height=\"" + std::to_string(height) +
                      "\" font-family=\"DejaVu Sans Mono, monospace\" font-size=\"13\" stroke-width=\"1.5\" "
                      "stroke-linecap=\"round\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\" stroke=\"none\"/>\n";
    for (const DrawOp& op : ops)
        svg += SvgOf(op, width, height);
    return svg + "</svg>\n";
}
