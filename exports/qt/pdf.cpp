// The module that draws the tide tables on A4 pages with Qt's PDF writer.
// The pages' texts come ready from exports/pages; here they are only placed.
#include "exports/pdf.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <type_traits>

namespace {

constexpr int DPI = 300;
constexpr double MARGIN_MM = 15;
constexpr double CELL_PADDING = 24;  // dots, either side of a cell's text
constexpr double TABLE_POINTS = 9.5;  // the table's text, where its columns fit the page

QString Q(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Qt makes a runtime folder in $TMPDIR where XDG_RUNTIME_DIR names none, and
// leaves it there: it gets one of its own, gone when the program ends.
void ProvideRuntimeFolder()
{
    static std::filesystem::path folder;
    const char* given = std::getenv("XDG_RUNTIME_DIR");
    if (given && *given)
        return;
    std::string name = (std::filesystem::temp_directory_path() / "haliome-runtime-XXXXXX").string();
    if (!mkdtemp(name.data()))
        return;
    folder = name;
    setenv("XDG_RUNTIME_DIR", name.c_str(), 1);
    std::atexit([] {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    });
}

// The batch program and the command line run without Qt; the painter needs
// its fonts all the same.
void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    ProvideRuntimeFolder();
    static int argc = 3;
    static char arg0[] = "haliome", arg1[] = "-platform", arg2[] = "offscreen";
    static char* argv[] = {arg0, arg1, arg2, nullptr};
    // Qt's notes on its start (no runtime folder and the like) are not the
    // user's business here.
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    new QGuiApplication(argc, argv);  // kept for the whole run
    qInstallMessageHandler(previous);
    std::setlocale(LC_NUMERIC, "C");  // Qt has just set it from the environment
}

QFont TableFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Metrics at the resolution of the page, not of a screen.
QFontMetricsF MetricsOf(const QPainter& painter)
{
    return QFontMetricsF(painter.font(), painter.device());
}

double Sum(const std::vector<double>& widths)
{
    double total = 0;
    for (double w : widths)
        total += w;
    return total;
}

// Widths (dots) of the columns: the widest text of each, heads measured in
// their font and days' cells in theirs, then the spare width shared out, so
// that the table fills the page.
std::vector<double> ColumnWidths(const TablePage& page, const QFontMetricsF& heads, const QFontMetricsF& cells,
                                 double tableWidth, double padding)
{
    std::vector<double> widths(page.heads.size(), 0);
    auto widen = [&](std::size_t i, const QFontMetricsF& metrics, const std::string& text) {
        widths[i] = std::max(widths[i], metrics.horizontalAdvance(Q(text)) + 2 * padding);
    };
    for (std::size_t i = 0; i < page.heads.size(); ++i)
        widen(i, heads, page.heads[i]);
    for (const TableRow& row : page.rows)
        for (std::size_t i = 0; i < row.cells.size() && i < widths.size(); ++i)
            widen(i, cells, row.cells[i]);
    const double spare = std::max(0.0, tableWidth - Sum(widths)) / static_cast<double>(widths.size());
    for (double& w : widths)
        w += spare;
    return widths;
}

// The table's text and the padding of its cells: as they are where the
// columns fit the page; where a day has more tides than the page has room
// for at that size (up to four high and four low waters), a text sized so
// that they fit, with smaller heads and thinner padding.
struct TableType {
    double points = TABLE_POINTS;
    double headPoints = TABLE_POINTS;
    double padding = CELL_PADDING;
    std::vector<double> widths;
};

constexpr double DENSE_HEADS = 0.8;  // the heads' size against the cells' on a dense page

std::vector<double> WidthsAt(QPainter& painter, const TablePage& page, const TableType& type, double tableWidth)
{
    painter.setFont(TableFont(type.headPoints, true));
    const QFontMetricsF heads = MetricsOf(painter);
    painter.setFont(TableFont(type.points));
    return ColumnWidths(page, heads, type.points == type.headPoints ? heads : MetricsOf(painter), tableWidth,
                        type.padding);
}

TableType TableTypeOf(QPainter& painter, const TablePage& page, double tableWidth)
{
    TableType type;  // the heads are the widest in bold
    if (Sum(WidthsAt(painter, page, type, 0)) <= tableWidth) {
        type.widths = WidthsAt(painter, page, type, tableWidth);
        return type;
    }
    type.padding = CELL_PADDING / 2;
    type.headPoints = TABLE_POINTS * DENSE_HEADS;
    const double paddings = 2 * type.padding * static_cast<double>(page.heads.size());
    const double texts = Sum(WidthsAt(painter, page, {type.points, type.headPoints, 0, {}}, 0));
    // Widths grow with the size; a little is kept for the rounding of glyphs.
    const double scale = 0.97 * (tableWidth - paddings) / texts;
    type.points *= scale;
    type.headPoints *= scale;
    type.widths = WidthsAt(painter, page, type, tableWidth);
    return type;
}

// Left-aligned text for the day, centred for the rest.
void DrawCells(QPainter& painter, const std::vector<std::string>& cells, const std::vector<double>& widths,
               double left, double top, double height, double padding)
{
    double x = left;
    for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
        const QRectF cell(x + padding, top, widths[i] - 2 * padding, height);
        painter.drawText(cell, (i == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, Q(cells[i]));
        x += widths[i];
    }
}

void DrawGroups(QPainter& painter, const TablePage& page, const std::vector<double>& widths, double left,
                double top, double height, double padding)
{
    std::size_t column = 0;
    double x = left;
    for (const ColumnGroup& group : page.groups) {
        double width = 0;
        for (int i = 0; i < group.columns && column < widths.size(); ++i)
            width += widths[column++];
        if (!group.heading.empty()) {
            painter.drawText(QRectF(x, top, width, height), Qt::AlignCenter, Q(group.heading));
            painter.drawLine(QPointF(x + padding, top + height), QPointF(x + width - padding, top + height));
        }
        x += width;
    }
}

void DrawLines(QPainter& painter, const std::vector<std::string>& lines, const QRectF& area, int flags)
{
    const QFontMetricsF metrics = MetricsOf(painter);
    QRectF line = area;
    for (const std::string& text : lines) {
        const QRectF used = painter.boundingRect(line, flags | Qt::TextWordWrap, Q(text));
        painter.drawText(line, flags | Qt::TextWordWrap, Q(text));
        line.setTop(line.top() + used.height() + metrics.lineSpacing() * 0.3);
    }
}

// The height that DrawLines takes for lines in the painter's font, wrapped
// at width.
double LinesHeight(QPainter& painter, const std::vector<std::string>& lines, double width)
{
    const QFontMetricsF metrics = MetricsOf(painter);
    double height = 0;
    for (const std::string& text : lines)
        height += painter.boundingRect(QRectF(0, 0, width, 1e6), Qt::AlignLeft | Qt::TextWordWrap, Q(text)).height() +
                  metrics.lineSpacing() * 0.3;
    return height;
}

void DrawPage(QPainter& painter, const TablePage& page, const QRectF& area)
{
    painter.setFont(TableFont(15, true));
    const double titleHeight = MetricsOf(painter).lineSpacing() * 1.4;
    painter.drawText(QRectF(area.left(), area.top(), area.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop,
                     Q(page.title));
    painter.setFont(TableFont(8.5));
    const double noteSpacing = MetricsOf(painter).lineSpacing();
    DrawLines(painter, page.notes, QRectF(area.left(), area.top() + titleHeight, area.width(), noteSpacing * 3),
              Qt::AlignLeft | Qt::AlignTop);

    const TableType type = TableTypeOf(painter, page, area.width());
    const std::vector<double>& widths = type.widths;
    painter.setFont(TableFont(8));
    const double footerHeight = LinesHeight(painter, page.footer, area.width());
    painter.setFont(TableFont(type.points, true));
    const QFontMetricsF metrics = MetricsOf(painter);
    double top = area.top() + titleHeight + noteSpacing * 3;
    // Rows share what the title, the heads and the foot leave, within reason:
    // five lines for the foot, more when its lines need them.
    const double footerSpace = std::max(metrics.lineSpacing() * 5, footerHeight + metrics.lineSpacing() * 1.2);
    const double rowHeight = std::clamp((area.bottom() - top - footerSpace) / static_cast<double>(page.rows.size() + 2),
                                        metrics.lineSpacing() * 1.2, metrics.lineSpacing() * 1.9);
    DrawGroups(painter, page, widths, area.left(), top, rowHeight, type.padding);
    top += rowHeight;
    painter.setFont(TableFont(type.headPoints, true));
    DrawCells(painter, page.heads, widths, area.left(), top, rowHeight, type.padding);
    top += rowHeight;
    painter.drawLine(QPointF(area.left(), top), QPointF(area.right(), top));
    painter.setFont(TableFont(type.points));
    for (const TableRow& row : page.rows) {
        if (row.sunday)
            painter.fillRect(QRectF(area.left(), top, area.width(), rowHeight), QColor(232, 232, 232));
        DrawCells(painter, row.cells, widths, area.left(), top, rowHeight, type.padding);
        top += rowHeight;
    }
    painter.drawLine(QPointF(area.left(), top), QPointF(area.right(), top));

    painter.setFont(TableFont(8));
    const double footerTop = top + rowHeight * 0.6;
    DrawLines(painter, page.footer, QRectF(area.left(), footerTop, area.width(), area.bottom() - footerTop),
              Qt::AlignLeft | Qt::AlignTop);
}

}  // namespace

extern "C" bool HaliomePdfOfPages(const std::vector<TablePage>& pages, const std::string& title, std::string& pdf)
{
    EnsureGuiApplication();
    // The writer keeps its fonts in hashes: with a seed of the run's, their
    // order in the file, and so its bytes, would change from run to run.
    QHashSeed::setDeterministicGlobalSeed();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(DPI);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(MARGIN_MM, MARGIN_MM, MARGIN_MM, MARGIN_MM), QPageLayout::Millimeter));
        writer.setTitle(Q(title));
        writer.setCreator(QStringLiteral("Haliome"));
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        const QRectF area(QPointF(0, 0), QSizeF(writer.width(), writer.height()));
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            DrawPage(painter, pages[i], area);
        }
        if (!painter.end())
            return false;
    }
    const QByteArray& bytes = buffer.data();
    pdf.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

// The loader calls it through this type.
static_assert(std::is_same_v<decltype(&HaliomePdfOfPages), PdfWriterFunction>);
