// The charts as drawn on the headless backend, for a year-long record of 2009
// and a model about a mean level of 3 m: 30 px a metre, the mean at y = 210.
// How the scroll bars move them is the scroll scenario's.
#include <algorithm>
#include <array>
#include <cmath>

#include "model/port.h"
#include "model/record.h"
#include "platform/headless/headless.h"
#include "shell/chart.h"
#include "shell/commands.h"
#include "shell/menu.h"
#include "tests/support/program_test.h"
#include "tests/support/model_state.h"

namespace {

using headless::DrawOp;
using Ends = std::tuple<int, int, int, int>;

// The height axis about a mean level of 3 m: a label 7 px above each metre's row.
const std::vector<std::string> HEIGHTS{"-2 m@14,353", "-1 m@14,323", "0 m@14,293", "1 m@14,263",
                                       "2 m@14,233",  "3 m@14,203",  "4 m@14,173", "5 m@14,143",
                                       "6 m@14,113",  "7 m@14,83",   "8 m@14,53",  "9 m@14,23"};

Ends EndsOf(const DrawOp& op) { return {op.x0, op.y0, op.x1, op.y1}; }

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
    // Lines drawn with this pen, in order, but the legend's stroke.
    static std::vector<DrawOp> LinesOf(Color pen)
    {
        std::vector<DrawOp> lines;
        std::copy_if(headless::ClientArea().begin(), headless::ClientArea().end(), std::back_inserter(lines),
                     [pen](const DrawOp& op) {
                         return op.kind == DrawOp::Kind::Line && op.color == pen && !(op.x0 == 520 && op.x1 == 545);
                     });
        return lines;
    }
    // The texts drawn, as "text@x,y".
    static std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const DrawOp& op : headless::ClientArea())
            if (op.kind == DrawOp::Kind::Text)
                texts.push_back(op.text + "@" + std::to_string(op.x0) + "," + std::to_string(op.y0));
        return texts;
    }
    // How many marks rise from y = 400 to 399 (10 minutes), 397 (hours),
    // 392 (days), and from 392 on to 385 (30 days).
    static std::vector<int> TickCounts()
    {
        std::vector<int> counts(4);
        for (const DrawOp& op : headless::ClientArea())
            for (int k = 0; k < 4; ++k)
                counts[k] += op.kind == DrawOp::Kind::Line && op.x0 == op.x1 && op.y0 == (k == 3 ? 392 : 400) &&
                             op.y1 == std::array{399, 397, 392, 385}[k];
        return counts;
    }
};

// Before the start-up's determination, the chart is one diagonal over the white fill.
TEST_F(ChartTest, BeforeTheModelIsReadyOnlyTheDiagonalIsDrawn)
{
    ModelReady = 0;
    AppendWave(WaveOf(12, 1, 0));
    Repaint();
    ASSERT_EQ(headless::ClientArea().size(), 2u);
    EXPECT_EQ(EndsOf(LinesOf(PenBlack).at(0)), Ends(0, 0, 640, 460));
}

TEST_F(ChartTest, TheOneDayChartHas641PointsItsMarksAndTheTimesOfHighAndLowWaters)
{
    // High waters at 03:00 and 15:00, low waters at 09:00 and 21:00, 1.5 m
    // about 3 m: a small tide, drawn at 100 px a metre (150 px each way).
    AppendWave(WaveOf(12, 1.5, M_PI / 2, "semi-diurne"));
    SendCommand(CMD_ONE_DAY_CHART);
    std::vector<DrawOp> curve = LinesOf(PenBlue);
    ASSERT_EQ(curve.size(), 640u);
    EXPECT_EQ(std::make_tuple(curve[0].x0, curve[0].y0, curve[639].x1), std::make_tuple(0, 210, 640));
    EXPECT_EQ(curve[79].y1, 60);  // 03:00 is column 80 (135 s a pixel): 1.5 m above the mean
    // The mark is the first 10-second sample after the extreme, whose height is
    // a little less extreme: 30 px above a high water's height (60 − 30), 10
    // below a low water's (360 + 10, less one as the height is just above the
    // low). x = trunc(minutes / 1440 × 640 − 15).
    // Every half metre is labelled where the curve puts it: 3 m, the mean, at 210.
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"1.5 m@14,353", "2 m@14,303", "2.5 m@14,253", "3 m@14,203", "3.5 m@14,153",
                                        "4 m@14,103", "4.5 m@14,53", "   Jeudi 1 janvier 2009@240,5", "3h@70,404",
                                        "6h@150,404", "9h@230,404", "12h@310,404", "15h@390,404", "18h@470,404",
                                        "21h@550,404", " 3:00@65,30", " 9:00@225,369", "15:00@385,30",
                                        "21:00@545,369"}));

    // A flat model lies on the mean level and has no tide to mark. Candidates
    // every minute from 00:00 to 24:02; each kind is drawn over the smaller
    // ones: 145 ten-minute marks, 25 hours, both midnights, and model time 0
    // as a multiple of 30 days. The time axis option drops only the header.
    WaveSet.count = 0;
    SendCommand(CMD_TIME_AXIS);
    SendCommand(CMD_ONE_DAY_CHART);
    EXPECT_EQ(TickCounts(), (std::vector<int>{145, 25, 2, 1}));
    for (const DrawOp& op : LinesOf(PenBlue))
        EXPECT_EQ(op.y1, 210);
    EXPECT_EQ(Texts(), HEIGHTS);
}

// A flat prediction with a record 0.5 m above it, but for hours 5 to 8 not
// measured: at 100 s a pixel the record has no height strictly between 4:00
// and 9:00, columns 145 to 323. The source and the difference stop at column
// 144 and start again at 324; the prediction and a source taken from it run
// through.
TEST_F(ChartTest, TheMultiDayChartDrawsItsCurvesWithTheirGapsAndTheMarksOfItsZoom)
{
    std::vector<std::int32_t> values(365 * 24 + 1, 350);
    for (int hour = 5; hour <= 8; ++hour)
        values[hour] = MISSING_HEIGHT_CM;
    InstallRecord(365, values);
    SendCommand(CMD_ALL_CHART);
    EXPECT_EQ(LinesOf(PenBlue).size(), 620u);
    std::vector<DrawOp> difference = LinesOf(PenRed);
    ASSERT_FALSE(difference.empty());
    EXPECT_EQ(EndsOf(difference.back()), Ends(0, 210, 620, 210));  // no difference: where its zero falls
    difference.pop_back();
    for (const std::vector<DrawOp>& lines : {LinesOf(PenGreen), difference}) {
        ASSERT_EQ(lines.size(), 620u - 179 - 1);
        EXPECT_EQ(lines[143].x1, 144);
        EXPECT_EQ(std::make_tuple(lines[144].x0, lines[144].x1), std::make_tuple(324, 325));
        for (const DrawOp& op : lines)
            EXPECT_EQ(op.y1, 210 - 15) << "at " << op.x1;
    }

    // Marks every 60 s of model time t < 621 × zoom from 0: 10-minute marks
    // below 500 s a pixel, hours below 1000, days and 30 days always.
    struct Case { int zoom; std::vector<int> counts; };
    const Case cases[] = {
        {100, {104, 18, 1, 1}}, {499, {517, 87, 4, 1}}, {500, {0, 87, 4, 1}},
        {999, {0, 173, 8, 1}},  {1000, {0, 0, 8, 1}},   {10000, {0, 0, 72, 3}},
    };
    for (const Case& c : cases) {
        headless::Scroll(ScrollBar::Vertical, ScrollRequest::ThumbPosition, c.zoom);
        EXPECT_EQ(TickCounts(), c.counts) << "zoom " << c.zoom;
    }
    // The time axis spans 620 × 10000 s = 71 days 18:13:20 from the record's start.
    // Days labelled a week apart at 10000 s a pixel, the heights, and the legend.
    std::vector<std::string> texts{"1/01@-10,404",  "8/01@50,404",  "15/01@110,404", "22/01@171,404",
                                   "29/01@231,404", "5/02@292,404", "12/02@352,404", "19/02@413,404",
                                   "26/02@473,404", "5/03@534,404", "12/03@594,404", "de @2,5",
                                   "jeu. 1 janv. 2009 00:00@22,5", "à @435,5", "ven. 13 mars 2009 18:13@450,5"};
    texts.insert(texts.end(), HEIGHTS.begin(), HEIGHTS.end());
    texts.insert(texts.end(), {"prédite@550,24", "relevée@550,40", "différence@550,56"});
    EXPECT_EQ(Texts(), texts);

    SendCommand(CMD_SOURCE_FIRST + 1);  // "Marée normale": the source is the prediction
    EXPECT_EQ(LinesOf(PenGreen).size(), 620u);
    // A zoom bar emptied to 0..0 puts every column at the same time.
    AppendWave(WaveOf(12, 1, 0));
    SetScrollRange(ScrollBar::Vertical, 0, 0);
    Repaint();
    const std::vector<DrawOp> curve = LinesOf(PenBlue);
    for (const DrawOp& op : curve)
        EXPECT_EQ(op.y1, curve[0].y1);
    EXPECT_EQ(TickCounts(), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(ChartTest, PixelsStayWithinReachWhateverTheModelHolds)
{
    // Heights of 1e308 m (and their sum, an infinity, and infinity minus
    // infinity) were once cast to int: undefined behaviour, and nonsense drawn.
    const double huge = 1e308;
    struct Case { const char* model; std::vector<Wave> waves; double meanLevel; };
    const Case cases[] = {
        {"one wave of 1e308 m", {WaveOf(12, huge, 0)}, 3.0},
        {"two waves that overflow", {WaveOf(12, huge, 0), WaveOf(12, huge, 0), WaveOf(6, -huge, 0)}, 3.0},
        {"a mean level of 1e308 m", {WaveOf(12, 1, 0)}, huge},
        {"a NaN amplitude", {WaveOf(12, std::nan(""), 0)}, 3.0},
    };
    for (const Case& c : cases) {
        WaveSet.count = 0;
        for (const Wave& w : c.waves)
            AppendWave(w);
        WaveSet.MeanLevel = c.meanLevel;
        for (int command : {CMD_ONE_DAY_CHART, CMD_ALL_CHART}) {
            SendCommand(command);
            for (const DrawOp& op : headless::ClientArea())
                for (int v : {op.x0, op.y0, op.x1, op.y1})
                    ASSERT_LE(std::abs(v), PIXEL_LIMIT + 460) << c.model << ", command " << command;
        }
    }
    WaveSet.MeanLevel = 3.0;
    EXPECT_EQ(std::make_pair(ScaleY(huge), ScaleY(-huge)), std::make_pair(460 - PIXEL_LIMIT, 460 + PIXEL_LIMIT));
}

TEST_F(ChartTest, TheYearCanBeMovedOnAndBackAHundredTimes)
{
    // A 32-bit count of seconds overflowed at the 69th year.
    SendCommand(CMD_ALL_CHART);
    for (int i = 0; i < 70; ++i)
        SendCommand(CMD_NEXT_YEAR);
    // 70 years of 365 days from 1 January 2009 (17 of them leap years).
    auto shownFrom = [] {
        const std::vector<std::string> texts = Texts();
        return *std::find_if(texts.begin(), texts.end(), [](const std::string& t) { return t.ends_with("@22,5"); });
    };
    EXPECT_EQ(shownFrom(), "jeu. 15 déc. 2078 00:00@22,5");
    for (int i = 0; i < 140; ++i)
        SendCommand(CMD_PREVIOUS_YEAR);
    // Paris kept Greenwich time in the winter of 1939.
    EXPECT_EQ(shownFrom(), "mer. 18 janv. 1939 23:00@22,5");
}


// What an import shows first: the chart scrolled to the first measured hour,
// on the one-day chart to its day, on the multi-day chart to within a bar
// step (an hour at most for a year), and to the bar's end past the record.
TEST_F(ChartTest, EitherChartScrollsToATime)
{
    const std::int64_t t = 200 * DAY_SECONDS + 5 * HOUR_SECONDS;
    SendCommand(CMD_ONE_DAY_CHART);
    ScrollChartTo(t);
    EXPECT_EQ(OneDayColumnTime(0), 200 * DAY_SECONDS);
    SendCommand(CMD_ALL_CHART);
    ScrollChartTo(t);
    EXPECT_LE(MultiDayColumnTime(0), t);
    EXPECT_LT(t - MultiDayColumnTime(0), HOUR_SECONDS);
    ScrollChartTo(400 * DAY_SECONDS);
    EXPECT_EQ(GetScrollPos(ScrollBar::Horizontal), 10000);
}

}  // namespace
