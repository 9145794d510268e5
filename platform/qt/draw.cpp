// Drawing on the client area. What the program draws is kept in its drawing
// coordinates and rendered at the size the client area has on the screen,
// in device pixels, so that lines and text stay sharp at any size and scale.
//
// The pixel rules of the program's charts are those of a picture shown 1:1:
// one-pixel lines without antialiasing that leave out their end pixel, text
// black on an opaque white box, in glyphs as pure black as the lines. Scaled,
// a drawing pixel becomes the device pixel under its centre: lines join those
// pixels with the same rule and stay one device pixel wide, and text is set
// in the default font at the smaller of the two scales, antialiased, on its
// white box.
#include "platform/qt/internal.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// a / b rounded to the nearest integer, halves upward; b is not 0. Wide
// enough for any product of two coordinate differences.
std::int64_t RoundedQuotient(__int128 a, __int128 b)
{
    if (b < 0) {
        a = -a;
        b = -b;
    }
    const __int128 twice = 2 * a + b;
    __int128 q = twice / (2 * b);
    if (twice % (2 * b) < 0)
        --q;  // floor, not truncation toward zero
    return static_cast<std::int64_t>(q);
}

void Plot(QImage& image, std::int64_t x, std::int64_t y, QRgb color)
{
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
        image.setPixel(static_cast<int>(x), static_cast<int>(y), color);
}

// One pixel per step along the longer axis, from (x0, y0) up to but not
// including (x1, y1); the other coordinate is rounded to the nearest pixel.
// Only steps that fall inside the picture are computed.
void DrawLineWithoutEnd(QImage& image, QRgb color, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                        std::int64_t y1)
{
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    if (dx == 0 && dy == 0)
        return;
    const bool alongX = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t start = alongX ? x0 : y0;
    const std::int64_t major = alongX ? dx : dy;
    const std::int64_t minor = alongX ? dy : dx;
    const std::int64_t minorStart = alongX ? y0 : x0;
    const std::int64_t limit = alongX ? image.width() : image.height();
    // The steps start, start ± 1, ... short of start + major, clipped to the picture.
    const std::int64_t first = std::max<std::int64_t>(major > 0 ? start : start + major + 1, 0);
    const std::int64_t last = std::min<std::int64_t>(major > 0 ? start + major - 1 : start, limit - 1);
    for (std::int64_t m = first; m <= last; ++m) {
        const std::int64_t n = minorStart + RoundedQuotient(__int128{m - start} * minor, major);
        if (alongX)
            Plot(image, m, n, color);
        else
            Plot(image, n, m, color);
    }
}

struct Scale {
    double x, y;  // device pixels per drawing pixel
};

Scale ScaleOf(const QImage& device, QSize drawingSize)
{
    return {static_cast<double>(device.width()) / drawingSize.width(),
            static_cast<double>(device.height()) / drawingSize.height()};
}

// The device pixel under the centre of drawing pixel v. 1:1 it is v itself.
std::int64_t PixelCentre(int v, double scale)
{
    return static_cast<std::int64_t>(std::floor((v + 0.5) * scale));
}

// The default font at this scale of the screen's pixels.
QFont ChartFont(double scale)
{
    QFont font = QApplication::font();
    if (scale == 1.0) {
        font.setStyleStrategy(QFont::NoAntialias);
        return font;
    }
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(QFontInfo(font).pixelSize() * scale))));
    return font;
}

// Where a box of this length starting at `at` begins once moved back inside 0 … limit.
int InsideFrom(int at, int length, int limit)
{
    if (at > limit - length)
        at = limit - length;
    return at < 0 ? 0 : at;
}

void RenderText(QImage& device, Scale scale, const DrawOp& op)
{
    const QFont font = ChartFont(std::min(scale.x, scale.y));
    const QFontMetrics metrics(font, &device);
    const QString text = qtplatform::QtText(op.text);
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    const int x = InsideFrom(static_cast<int>(std::floor(op.x0 * scale.x)), width, device.width());
    const int y = InsideFrom(static_cast<int>(std::floor(op.y0 * scale.y)), height, device.height());
    QPainter painter(&device);
    painter.fillRect(QRect(x, y, width, height), Qt::white);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(x, y + metrics.ascent(), text);
}

void Draw(const Canvas* canvas, DrawOp op)
{
    if (canvas->picture)
        canvas->picture->push_back(std::move(op));
    else
        qtplatform::AddToClientArea(std::move(op), canvas->direct);
}

}  // namespace

void qtplatform::RenderOp(QImage& device, QSize drawingSize, const DrawOp& op)
{
    const Scale scale = ScaleOf(device, drawingSize);
    switch (op.kind) {
    case DrawOp::Kind::Fill:
        device.fill(Qt::white);
        break;
    case DrawOp::Kind::Line:
        DrawLineWithoutEnd(device, qRgb(op.color.r, op.color.g, op.color.b), PixelCentre(op.x0, scale.x),
                           PixelCentre(op.y0, scale.y), PixelCentre(op.x1, scale.x), PixelCentre(op.y1, scale.y));
        break;
    case DrawOp::Kind::Text:
        RenderText(device, scale, op);
        break;
    }
}

void SelectPen(Canvas* canvas, Color color)
{
    canvas->pen = color;
}

void MoveTo(Canvas* canvas, int x, int y)
{
    canvas->x = x;
    canvas->y = y;
}

void LineTo(Canvas* canvas, int x, int y)
{
    Draw(canvas, DrawOp{DrawOp::Kind::Line, canvas->pen, canvas->x, canvas->y, x, y, {}});
    canvas->x = x;
    canvas->y = y;
}

void TextOut(Canvas* canvas, int x, int y, const std::string& text)
{
    Draw(canvas, DrawOp{DrawOp::Kind::Text, Color{}, x, y, x, y, text});
}

void FillWhite(Canvas* canvas)
{
    Draw(canvas, DrawOp{DrawOp::Kind::Fill, Color{255, 255, 255}, 0, 0, 0, 0, {}});
}

Canvas* BeginDirectDrawing()
{
    auto* canvas = new Canvas;
    canvas->direct = true;
    return canvas;
}

void EndDirectDrawing(Canvas* canvas)
{
    delete canvas;
}
