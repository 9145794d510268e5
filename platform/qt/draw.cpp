// Drawing on the client area. What the program draws is kept in its drawing
// coordinates and rendered at the size the client area has on the screen,
// in device pixels, so that lines and text stay sharp at any size and scale.
//
// A drawing pixel's centre goes where the scaled picture puts it. Lines are
// antialiased and keep one width on the screen whatever the window's size:
// PEN_WIDTH pixels of the desktop's scale. Text is set in the default font,
// antialiased, black on its white box, at the menus' size or larger when
// the picture is: it grows with the window, never shrinks below what the
// rest of the window writes.
#include "platform/qt/internal.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

constexpr double PEN_WIDTH = 1.5;  // pixels at the desktop's scale

struct Scale {
    double x, y;  // device pixels per drawing pixel
    double dpr;   // device pixels per pixel of the desktop's scale
};

Scale ScaleOf(const QImage& device, QSize drawingSize, double dpr)
{
    return {static_cast<double>(device.width()) / drawingSize.width(),
            static_cast<double>(device.height()) / drawingSize.height(), dpr};
}

QPointF DevicePoint(int x, int y, Scale scale)
{
    return {(x + 0.5) * scale.x, (y + 0.5) * scale.y};
}

// The default font at the menus' size, or larger with the picture.
QFont ChartFont(Scale scale)
{
    QFont font = QApplication::font();
    const double grown = std::max(1.0, std::min(scale.x, scale.y) / scale.dpr);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(QFontInfo(font).pixelSize() * grown * scale.dpr))));
    return font;
}

// Where a box of this length starting at `at` begins once moved back inside 0 … limit.
int InsideFrom(int at, int length, int limit)
{
    if (at > limit - length)
        at = limit - length;
    return at < 0 ? 0 : at;
}

void RenderText(QPainter& painter, const QImage& device, Scale scale, const DrawOp& op)
{
    const QFont font = ChartFont(scale);
    const QFontMetrics metrics(font, &device);
    const QString text = qtplatform::QtText(op.text);
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    const int x = InsideFrom(static_cast<int>(std::floor(op.x0 * scale.x)), width, device.width());
    const int y = InsideFrom(static_cast<int>(std::floor(op.y0 * scale.y)), height, device.height());
    painter.fillRect(QRect(x, y, width, height), Qt::white);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(x, y + metrics.ascent(), text);
}

bool Continues(const DrawOp& previous, const DrawOp& op)
{
    return op.kind == DrawOp::Kind::Line && previous.kind == DrawOp::Kind::Line && op.color == previous.color &&
           op.x0 == previous.x1 && op.y0 == previous.y1;
}

// The lines that follow one another with one pen, from ops[first], as one
// polyline: its joins are smooth. Returns the index after them.
std::size_t RenderLines(QPainter& painter, Scale scale, const std::vector<DrawOp>& ops, std::size_t first)
{
    QPolygonF line{DevicePoint(ops[first].x0, ops[first].y0, scale)};
    std::size_t i = first;
    for (; i < ops.size() && (i == first || Continues(ops[i - 1], ops[i])); ++i)
        line << DevicePoint(ops[i].x1, ops[i].y1, scale);
    const Color c = ops[first].color;
    QPen pen(QColor(c.r, c.g, c.b), PEN_WIDTH * scale.dpr);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.drawPolyline(line);
    return i;
}

void Draw(const Canvas* canvas, DrawOp op)
{
    if (canvas->picture)
        canvas->picture->push_back(std::move(op));
    else
        qtplatform::AddToClientArea(std::move(op), canvas->direct);
}

}  // namespace

void qtplatform::RenderOps(QImage& device, QSize drawingSize, double dpr, const std::vector<DrawOp>& ops,
                           std::size_t first)
{
    const Scale scale = ScaleOf(device, drawingSize, dpr);
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t i = first; i < ops.size();) {
        const DrawOp& op = ops[i];
        switch (op.kind) {
        case DrawOp::Kind::Fill:
            painter.fillRect(device.rect(), Qt::white);
            ++i;
            break;
        case DrawOp::Kind::Line:
            i = RenderLines(painter, scale, ops, i);
            break;
        case DrawOp::Kind::Text:
            RenderText(painter, device, scale, op);
            ++i;
            break;
        }
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
