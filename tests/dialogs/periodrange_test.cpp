#include <gtest/gtest.h>

#include "base/options.h"
#include "dialogs/periodrange.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using Action = headless::DialogAction;
using PeriodRangeTest = ProgramTest;

TEST_F(PeriodRangeTest, FieldsStartEmptyAndEmptyFieldsKeepTheBand)
{
    std::string from = "?", to = "?";
    headless::QueueDialogAction(Action::InspectWith([&](Window d) {
        from = GetControlText(d, 101);
        to = GetControlText(d, 102);
    }).In("Détermination de période de ... à ..."));
    headless::QueueDialogAction(Action::Press(ID_OK));
    RunPeriodRangeDialog();
    EXPECT_EQ(from, "");
    EXPECT_EQ(to, "");
    EXPECT_EQ(Options.PeriodMin, 11.8);
    EXPECT_EQ(Options.PeriodMax, 13.0);
    EXPECT_EQ(headless::Dialogs()[0].owner, "main window");
}

TEST_F(PeriodRangeTest, OkStoresTheBandAndCancelKeepsIt)
{
    for (Action a : {Action::TypeInto(101, "5"), Action::TypeInto(102, "6.5 h"), Action::Press(ID_OK)})
        headless::QueueDialogAction(a);
    RunPeriodRangeDialog();
    EXPECT_EQ(Options.PeriodMin, 5.0);
    EXPECT_EQ(Options.PeriodMax, 6.5);

    for (Action a : {Action::TypeInto(101, "20"), Action::TypeInto(102, "30"), Action::Press(ID_CANCEL)})
        headless::QueueDialogAction(a);
    RunPeriodRangeDialog();
    EXPECT_EQ(Options.PeriodMin, 5.0);
    EXPECT_EQ(Options.PeriodMax, 6.5);
}

TEST_F(PeriodRangeTest, AReversedOrNonPositiveBandIsRefusedAndTheDialogStaysOpen)
{
    for (Action a : {Action::TypeInto(101, "25"), Action::TypeInto(102, "23"), Action::Press(ID_OK),
                     Action::TypeInto(101, "-1"), Action::Press(ID_OK),
                     Action::TypeInto(101, "14"), Action::TypeInto(102, ""), Action::Press(ID_OK),  // 14 > 13.0 kept
                     Action::TypeInto(101, "23"), Action::TypeInto(102, "25"), Action::Press(ID_OK)})
        headless::QueueDialogAction(a);
    RunPeriodRangeDialog();
    EXPECT_EQ(headless::Messages().size(), 3u);
    EXPECT_EQ(headless::Messages()[0].owner, "Détermination de période de ... à ...");
    EXPECT_EQ(Options.PeriodMin, 23.0);
    EXPECT_EQ(Options.PeriodMax, 25.0);
}

}  // namespace
