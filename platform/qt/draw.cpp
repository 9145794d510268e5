// Drawing on the client area's picture with the pixel rules of the program's
// charts: one-pixel lines without antialiasing that leave out their end
// pixel, text black on an opaque white box.
#include "platform/qt/internal.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace {

// a / b rounded to the nearest integer, halves upward; b is not 0. Wide
// enough for any product of two int differences.
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
void DrawLineWithoutEnd(QImage& image, QRgb color, int x0, int y0, int x1, int y1)
{
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
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

Color ColorOf(QRgb rgb)
{
    return Color{static_cast<std::uint8_t>(qRed(rgb)), static_cast<std::uint8_t>(qGreen(rgb)),
                 static_cast<std::uint8_t>(qBlue(rgb))};
}

void Record(const Canvas* canvas, DrawOp op)
{
    if (canvas->record)
        canvas->record->push_back(std::move(op));
}

void ShowIfDirect(const Canvas* canvas, const QRect& rect)
{
    if (canvas->direct)
        qtplatform::ShowClientRect(rect.intersected(canvas->image->rect()));
}

}  // namespace

void SelectPen(Canvas* canvas, Color color)
{
    canvas->pen = qRgb(color.r, color.g, color.b);
}

void MoveTo(Canvas* canvas, int x, int y)
{
    canvas->x = x;
    canvas->y = y;
}

void LineTo(Canvas* canvas, int x, int y)
{
    Record(canvas, DrawOp{DrawOp::Kind::Line, ColorOf(canvas->pen), canvas->x, canvas->y, x, y, {}});
    DrawLineWithoutEnd(*canvas->image, canvas->pen, canvas->x, canvas->y, x, y);
    ShowIfDirect(canvas, QRect(QPoint(std::min(canvas->x, x), std::min(canvas->y, y)),
                               QPoint(std::max(canvas->x, x), std::max(canvas->y, y))));
    canvas->x = x;
    canvas->y = y;
}

void TextOut(Canvas* canvas, int x, int y, const std::string& text)
{
    Record(canvas, DrawOp{DrawOp::Kind::Text, Color{}, x, y, x, y, text});
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::NoAntialias);  // pure black glyphs, as the lines
    const QFontMetrics metrics(font, canvas->image);
    const QString line = qtplatform::QtText(text);
    const QRect box(x, y, metrics.horizontalAdvance(line), metrics.height());
    {
        QPainter painter(canvas->image);
        painter.fillRect(box, Qt::white);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(x, y + metrics.ascent(), line);
    }
    ShowIfDirect(canvas, box);
}

void FillWhite(Canvas* canvas)
{
    Record(canvas, DrawOp{DrawOp::Kind::Fill, Color{255, 255, 255}, 0, 0, 0, 0, {}});
    canvas->image->fill(Qt::white);
    ShowIfDirect(canvas, canvas->image->rect());
}

Canvas* BeginDirectDrawing()
{
    return new Canvas{&qtplatform::ClientPicture(), 0xff000000, 0, 0, true, nullptr};
}

void EndDirectDrawing(Canvas* canvas)
{
    delete canvas;
}
