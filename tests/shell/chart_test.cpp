#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/scan.h"
#include "base/options.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/chart.h"
#include "shell/commands.h"
#include "shell/menu.h"
#include "tests/support/program_test.h"

namespace {

using headless::DrawOp;

class ChartTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        MainWindowSetup setup;
        setup.menu = MainMenu();
        setup.handlers.onPaint = OnPaint;
        setup.handlers.onScroll = OnScroll;
        setup.handlers.onCommand = OnCommand;
        CreateMainWindow(setup);
        InstallRecordOf(365, 0, {});
        Header.Time_of_debut = *YearStartTime(2009);
        WaveSet.MeanLevel = 3.0;
        ModelReady = 1;
    }

    // Lines drawn with this pen, in order.
    static std::vector<DrawOp> LinesOf(Color pen)
    {
        std::vector<DrawOp> lines;
        for (const DrawOp& op : headless::ClientArea())
            if (op.kind == DrawOp::Kind::Line && op.color == pen)
                lines.push_back(op);
        return lines;
    }
    static std::vector<DrawOp> Texts()
    {
        std::vector<DrawOp> texts;
        for (const DrawOp& op : headless::ClientArea())
            if (op.kind == DrawOp::Kind::Text)
                texts.push_back(op);
        return texts;
    }
    static bool HasText(const std::string& text, int x, int y)
    {
        for (const DrawOp& op : Texts())
            if (op.text == text && op.x0 == x && op.y0 == y)
                return true;
        return false;
    }
    // Tick marks drawn upward from y = 400 whose top is at y.
    static int TicksReaching(int y)
    {
        return static_cast<int>(std::count_if(headless::ClientArea().begin(), headless::ClientArea().end(),
                                               [y](const DrawOp& op) {
                                                   return op.kind == DrawOp::Kind::Line && op.x0 == op.x1 &&
                                                          op.y0 == (y == 385 ? 392 : 400) && op.y1 == y;
                                               }));
    }
};

TEST_F(ChartTest, BeforeTheModelIsReadyOnlyTheDiagonalIsDrawn)
{
    ModelReady = 0;
    AppendWave(WaveOf(12, 1, 0));
    Repaint();
    const std::vector<DrawOp>& ops = headless::ClientArea();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, DrawOp::Kind::Fill);
    EXPECT_EQ(ops[1].kind, DrawOp::Kind::Line);
    EXPECT_EQ(ops[1].x0, 0);
    EXPECT_EQ(ops[1].y0, 0);
    EXPECT_EQ(ops[1].x1, 640);
    EXPECT_EQ(ops[1].y1, 460);
    EXPECT_EQ(ops[1].color, PenBlack);
}

TEST_F(ChartTest, TheOneDayChartHas641PointsAndMarksHighAndLowWaters)
{
    // High waters at 03:00 and 15:00, low waters at 09:00 and 21:00, 1.5 m about 3 m.
    const double speed = 2 * M_PI / 43200;
    AppendWave(Wave{speed, 1.5, speed * 3 * 3600, "semi-diurne"});
    SendCommand(CMD_ONE_DAY_CHART);
    std::vector<DrawOp> curve = LinesOf(PenBlue);
    ASSERT_EQ(curve.size(), 641u);
    EXPECT_EQ(curve[0].x0, 0);
    EXPECT_EQ(curve[0].y0, 210);
    EXPECT_EQ(curve[640].x1, 640);
    EXPECT_EQ(curve[80].y1, 165);  // 03:00 is column 80 (135 s a pixel): 1.5 m above the mean at 210, 30 px a metre

    // The mark is the first 10-second sample after the extreme, whose height is
    // a little less extreme: 30 px above a high water's height (165 − 30), 10
    // below a low water's (255 + 10, less one as the height is just above the
    // low). x = minutes / 1440 × 640 − 15.
    EXPECT_TRUE(HasText(" 3:00", 65, 135));
    EXPECT_TRUE(HasText(" 9:00", 225, 264));
    EXPECT_TRUE(HasText("15:00", 385, 135));
    EXPECT_TRUE(HasText("21:00", 545, 264));
    EXPECT_TRUE(HasText("   Jeudi 1 janvier 2009", 240, 5));
    EXPECT_TRUE(HasText("0m", 2, 360));
    EXPECT_TRUE(HasText("8m", 2, 95));
    EXPECT_EQ(Texts().size(), 7u);
}

TEST_F(ChartTest, TheOneDayChartKeepsItsTicksWithoutTheTimeAxisButLosesItsHeader)
{
    SendCommand(CMD_TIME_AXIS);
    SendCommand(CMD_ONE_DAY_CHART);
    // Candidates every minute from 00:00 to 24:02; each kind is drawn over the smaller ones.
    EXPECT_EQ(TicksReaching(399), 145);  // every 10 minutes, 00:00 to 24:00
    EXPECT_EQ(TicksReaching(397), 25);   // every hour
    EXPECT_EQ(TicksReaching(392), 2);    // both midnights
    EXPECT_EQ(TicksReaching(385), 1);    // model time 0 is a multiple of 30 days
    EXPECT_FALSE(HasText("   Jeudi 1 janvier 2009", 240, 5));
    // A flat model: the curve lies on the mean level and no tide time is found.
    for (const DrawOp& op : LinesOf(PenBlue))
        EXPECT_EQ(op.y1, 210);
    EXPECT_EQ(Texts().size(), 2u);  // "0m" and "8m"
}

TEST_F(ChartTest, MultiDayTicksDependOnTheZoom)
{
    SendCommand(CMD_PREDICTED_CHART);
    EXPECT_EQ(LinesOf(PenBlue).size(), 621u);
    EXPECT_EQ(TicksReaching(399), 104);  // 100 s a pixel: 10-minute marks over 62 100 s
    EXPECT_EQ(TicksReaching(385), 1);

    headless::Scroll(ScrollBar::Vertical, ScrollRequest::ThumbTrack, 600);
    EXPECT_EQ(TicksReaching(399), 0);
    EXPECT_GT(TicksReaching(397), 0);

    headless::Scroll(ScrollBar::Vertical, ScrollRequest::ThumbPosition, 2000);
    EXPECT_EQ(TicksReaching(399), 0);
    EXPECT_EQ(TicksReaching(397), 0);
    EXPECT_EQ(TicksReaching(392), 15);  // 620 px × 2000 s = 14.35 days, from midnight
    EXPECT_TRUE(HasText("de ", 2, 5));
    EXPECT_TRUE(HasText("Thu Jan  1 00:00:00 2009", 22, 5));
    EXPECT_TRUE(HasText("à ", 435, 5));
    EXPECT_TRUE(HasText("Thu Jan 15 08:26:40 2009", 450, 5));  // + 1 240 000 s
}

TEST_F(ChartTest, AllCurvesDrawSourcePredictedAndTheirDifferenceWithItsBaseLine)
{
    InstallRecordOf(365, 3.5, {});
    SendCommand(CMD_ALL_CHART);
    std::vector<DrawOp> source = LinesOf(PenGreen);
    std::vector<DrawOp> difference = LinesOf(PenRed);
    ASSERT_EQ(source.size(), 621u);
    ASSERT_EQ(difference.size(), 622u);
    EXPECT_EQ(source[300].y1, 210 - 15);
    EXPECT_EQ(difference[300].y1, 210 - 15);  // 0.5 m of source above the flat prediction
    EXPECT_EQ(std::tie(difference[621].x0, difference[621].y0, difference[621].x1, difference[621].y1),
              std::make_tuple(0, 230, 620, 230));
}

TEST_F(ChartTest, AnEmptiedZoomDrawsFlatCurvesAndNoTicks)
{
    AppendWave(WaveOf(12, 1, 0));
    SendCommand(CMD_PREDICTED_CHART);
    SetScrollRange(ScrollBar::Vertical, 0, 0);
    Repaint();
    std::vector<DrawOp> curve = LinesOf(PenBlue);
    ASSERT_EQ(curve.size(), 621u);
    for (const DrawOp& op : curve)
        EXPECT_EQ(op.y1, curve[0].y1);
    EXPECT_EQ(TicksReaching(392) + TicksReaching(397) + TicksReaching(399), 0);
    EXPECT_TRUE(HasText("Thu Jan  1 00:00:00 2009", 22, 5));
    EXPECT_TRUE(HasText("Thu Jan  1 00:00:00 2009", 450, 5));
}

TEST_F(ChartTest, ScrollRequestsMoveTheBarWithinItsRangeAndRepaint)
{
    SendCommand(CMD_PREDICTED_CHART);
    struct Case { ScrollRequest request; int thumb; int expected; };
    const Case cases[] = {
        {ScrollRequest::LineDown, 0, 1},      {ScrollRequest::PageDown, 0, 31},
        {ScrollRequest::LineUp, 0, 30},       {ScrollRequest::PageUp, 0, 0},
        {ScrollRequest::LineUp, 0, 0},        {ScrollRequest::ThumbTrack, 4321, 4321},
        {ScrollRequest::EndScroll, 0, 4321},  {ScrollRequest::Bottom, 0, 10000},
        {ScrollRequest::PageDown, 0, 10000},  {ScrollRequest::Top, 0, 0},
    };
    for (const Case& c : cases) {
        int repaints = headless::RepaintCount();
        headless::Scroll(ScrollBar::Horizontal, c.request, c.thumb);
        EXPECT_EQ(GetScrollPos(ScrollBar::Horizontal), c.expected) << static_cast<int>(c.request);
        EXPECT_EQ(headless::RepaintCount(), repaints + 1);
    }
    headless::Scroll(ScrollBar::Vertical, ScrollRequest::Top);
    EXPECT_EQ(GetScrollPos(ScrollBar::Vertical), 60);  // the zoom bar starts at 60
}

TEST_F(ChartTest, TheScanGraphIsDrawnFromTheTopLeftCorner)
{
    for (int i = 0; i < SCAN_GRAPH_WIDTH; ++i)
        ScanGraph[i] = 380 - i % 50;
    Options.DisplayMode = 0;
    Repaint();
    const std::vector<DrawOp>& ops = headless::ClientArea();
    ASSERT_EQ(ops.size(), 1u + SCAN_GRAPH_WIDTH);
    EXPECT_EQ(std::make_tuple(ops[1].x0, ops[1].y0, ops[1].x1, ops[1].y1), std::make_tuple(0, 0, 0, 380));
    EXPECT_EQ(std::make_tuple(ops[640].x1, ops[640].y1), std::make_tuple(639, 380 - 639 % 50));
}

}  // namespace
