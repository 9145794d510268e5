#include <gtest/gtest.h>

#include "base/options.h"
#include "dialogs/periodrange.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using A = headless::DialogAction;
using PeriodRangeTest = ProgramTest;

void RunWith(std::initializer_list<A> actions)
{
    for (const A& a : actions)
        headless::QueueDialogAction(a);
    RunPeriodRangeDialog();
}

TEST_F(PeriodRangeTest, FieldsStartEmptyEmptyFieldsKeepTheBandAndCancelKeepsIt)
{
    std::string fields = "?";
    RunWith({A::InspectWith([&](Window d) { fields = GetControlText(d, 101) + "|" + GetControlText(d, 102); })
                 .In("Détermination de période de ... à ..."),
             A::Press(ID_OK)});
    EXPECT_EQ(fields, "|");
    EXPECT_EQ(std::make_pair(Options.PeriodMin, Options.PeriodMax), std::make_pair(11.8, 13.0));  // the start band
    EXPECT_EQ(headless::Dialogs()[0].owner, "main window");

    RunWith({A::TypeInto(101, "5"), A::TypeInto(102, "6.5 h"), A::Press(ID_OK)});
    EXPECT_EQ(std::make_pair(Options.PeriodMin, Options.PeriodMax), std::make_pair(5.0, 6.5));
    RunWith({A::TypeInto(101, "20"), A::TypeInto(102, "30"), A::Press(ID_CANCEL)});
    EXPECT_EQ(std::make_pair(Options.PeriodMin, Options.PeriodMax), std::make_pair(5.0, 6.5));
}

TEST_F(PeriodRangeTest, AReversedOrNonPositiveBandIsRefusedAndTheDialogStaysOpen)
{
    RunWith({A::TypeInto(101, "25"), A::TypeInto(102, "23"), A::Press(ID_OK),
             A::TypeInto(101, "-1"), A::Press(ID_OK),
             A::TypeInto(101, "14"), A::TypeInto(102, ""), A::Press(ID_OK),  // 14 above the 13.0 kept
             A::TypeInto(101, "23"), A::TypeInto(102, "25"), A::Press(ID_OK)});
    EXPECT_EQ(headless::Messages().size(), 3u);
    EXPECT_EQ(headless::Messages()[0].owner, "Détermination de période de ... à ...");
    EXPECT_EQ(std::make_pair(Options.PeriodMin, Options.PeriodMax), std::make_pair(23.0, 25.0));
}

}  // namespace
