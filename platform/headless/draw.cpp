// Drawing on the headless backend: every operation is recorded; the client
// area can be written as SVG.
#include "platform/headless/internal.h"

#include <cstdio>

using headless::S;

namespace {

bool Recording = true;

void Record(Canvas* canvas, DrawOp op)
{
    if (Recording)
        canvas->target->push_back(std::move(op));
}

}  // namespace

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
    Record(canvas, DrawOp{DrawOp::Kind::Line, canvas->pen, canvas->x, canvas->y, x, y, {}});
    canvas->x = x;
    canvas->y = y;
}

void TextOut(Canvas* canvas, int x, int y, const std::string& text)
{
    Record(canvas, DrawOp{DrawOp::Kind::Text, Color{}, x, y, x, y, text});
}

void FillWhite(Canvas* canvas)
{
    Record(canvas, DrawOp{DrawOp::Kind::Fill, Color{255, 255, 255}, 0, 0, 0, 0, {}});
}

namespace {

// What is drawn directly goes on the client area and is also kept aside.
std::vector<DrawOp> DirectOps;

}  // namespace

Canvas* BeginDirectDrawing()
{
    DirectOps.clear();
    return new Canvas{&DirectOps, Color{}, 0, 0};
}

void EndDirectDrawing(Canvas* canvas)
{
    S.clientArea.insert(S.clientArea.end(), DirectOps.begin(), DirectOps.end());
    S.direct.insert(S.direct.end(), DirectOps.begin(), DirectOps.end());
    DirectOps.clear();
    delete canvas;
}

namespace headless {

void RecordDrawing(bool on)
{
    Recording = on;
}

std::string ClientAreaSvg()
{
    return SvgOfDrawing(S.clientArea, S.setup.clientWidth, S.setup.clientHeight);
}

}  // namespace headless

std::optional<std::string> ClientAreaPicture(PictureFormat format)
{
    if (format != PictureFormat::Svg || !MainWindow || !S.setup.handlers.onPaint)
        return std::nullopt;  // no pixels here: no PNG
    std::vector<DrawOp> ops;
    Canvas canvas{&ops, Color{}, 0, 0};
    S.setup.handlers.onPaint(&canvas);
    return SvgOfDrawing(ops, S.setup.clientWidth, S.setup.clientHeight);
}
