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

TEST_F(PeriodRangeTest, ABandThatCannotBeSweptIsRefusedShowingWhatWasTypedAndTheDialogStaysOpen)
{
    const struct { const char* from; const char* to; std::string said; } cases[] = {
        {"25", "23", "La bande de « 25 » h à « 23 » h ne peut pas être balayée :\nles périodes doivent être "
                     "positives, et celle de « De » plus petite que celle de « A »."},
        {"-1", "", "La bande de « -1 » h à 13.000000 h"},  // an empty field keeps its bound
        {"14", "x", "La bande de « 14 » h à 13.000000 h"},
        // Whole seconds that an int holds: 1e6 h once showed as "596523 h à 596523 h".
        {"5", "1e6", "La bande de « 5 » h à « 1e6 » h ne peut pas être balayée :\nla période de « A » ne peut "
                     "dépasser 596523 h."},
        {"5", "inf", "la période de « A » ne peut dépasser 596523 h."},
        {"0.0002", "5", "la période de « De » doit atteindre une seconde (0.000278 h)"},
        {"1.0001", "1.0002", "et la bande couvrir au moins une seconde"},
    };
    for (const auto& c : cases) {
        headless::Reset();
        RunWith({A::TypeInto(101, c.from), A::TypeInto(102, c.to), A::Press(ID_OK), A::Press(ID_CANCEL)});
        ASSERT_EQ(headless::Messages().size(), 1u) << c.from << " " << c.to;
        EXPECT_NE(headless::Messages()[0].text.find(c.said), std::string::npos) << headless::Messages()[0].text;
        EXPECT_EQ(headless::Messages()[0].owner, "Détermination de période de ... à ...");
    }
    EXPECT_EQ(std::make_pair(Options.PeriodMin, Options.PeriodMax), std::make_pair(11.8, 13.0));
}

TEST_F(PeriodRangeTest, ALongSweepIsTakenOnlyWhenTheUserAgreesAndAnEndlessOneIsRefused)
{
    // A year of record, 8760 h. 1 h to 40000 h: 143996400 s in steps of 10 s,
    // 14399640 fits, 1.26e11 fit-hours.
    const std::string asked = "La bande de « 1 » h à « 40000 » h demande 14399640 ajustements d'une onde sur les "
                              "8760 heures du relevé : le balayage sera long.\n\nBalayer cette bande quand même ?";
    headless::QueueAnswer(MessageAnswer::No);
    RunWith({A::TypeInto(101, "1"), A::TypeInto(102, "40000"), A::Press(ID_OK), A::Press(ID_CANCEL)});
    headless::QueueAnswer(MessageAnswer::Yes);
    RunWith({A::TypeInto(101, "1"), A::TypeInto(102, "40000"), A::Press(ID_OK)});
    ASSERT_EQ(headless::Messages().size(), 2u);
    EXPECT_EQ(headless::Messages()[1].text, asked);
    EXPECT_EQ(headless::Messages()[1].buttons, MessageButtons::YesNo);
    EXPECT_EQ(std::make_pair(Options.PeriodMin, Options.PeriodMax), std::make_pair(1.0, 40000.0));

    // 3 s to 2145600000 s: 214560000 fits, 1.9e12 fit-hours, some 9 hours at
    // the speed of the fits when it was first tried.
    RunWith({A::TypeInto(101, "0.001"), A::TypeInto(102, "596000"), A::Press(ID_OK), A::Press(ID_CANCEL)});
    ASSERT_EQ(headless::Messages().size(), 3u);
    EXPECT_EQ(headless::Messages()[2].text, "La bande de « 0.001 » h à « 596000 » h demande 214560000 ajustements "
                                            "d'une onde sur les 8760 heures du relevé : bien plus qu'on ne peut "
                                            "attendre.\n\nChoisissez une bande plus étroite.");

    // On three days of record each fit counts for a month.
    InstallRecordOf(3, 0, {});
    RunWith({A::TypeInto(101, "2"), A::TypeInto(102, "40000"), A::Press(ID_OK)});
    EXPECT_EQ(headless::Messages().size(), 3u);
    EXPECT_EQ(Options.PeriodMin, 2.0);
}

}  // namespace
