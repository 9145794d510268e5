#include <gtest/gtest.h>

#include <cmath>

#include "analysis/knownwaves.h"
#include "base/log.h"
#include "base/text.h"
#include "dialogs/wavedialogs.h"
#include "model/units.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using Action = headless::DialogAction;

class WaveDialogsTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        InstallRecordOf(30, 3.0, {WaveOf(12.4206012, 1.5, 1.0)});
        WaveSet.MeanLevel = 3.0;
        OpenLog();
        welcome = LogContents();
    }
    std::string NewLog() { return LogContents().substr(welcome.size()); }
    void AddThreeWaves()
    {
        for (const char* name : {"zéro", "un", "deux"})
            AppendWave(WaveOf(12, 0.1, 0, name));
    }
    // The entries of the manager's list when the test's inspection ran.
    std::vector<std::string> listed;
    std::function<void(Window)> ReadList()
    {
        return [this](Window dialog) {
            listed.clear();
            for (int i = 0; i < WaveSet.count; ++i) {
                SelectItem(dialog, 121, i);
                listed.push_back(SelectedItem(dialog, 121) == i ? WaveSet.waves[i].name : "?");
            }
        };
    }
    std::string welcome;
};

TEST_F(WaveDialogsTest, ClosingTheManagerRepaintsEvenWhenNothingChanged)
{
    headless::QueueDialogAction(Action::Press(ID_OK).In("Gestionnaire d'ondes"));
    ShowWaveManager();
    ASSERT_EQ(headless::Dialogs().size(), 1u);
    EXPECT_EQ(headless::Dialogs()[0].owner, "main window");
    EXPECT_EQ(headless::RepaintCount(), 1);

    headless::QueueDialogAction(Action::CloseDialog());
    ShowWaveManager();
    EXPECT_EQ(headless::RepaintCount(), 2);
}

TEST_F(WaveDialogsTest, DeletingAsksFirstAndKeepsTheOrderOfTheOthers)
{
    AddThreeWaves();
    headless::QueueAnswer(MessageAnswer::No);
    headless::QueueAnswer(MessageAnswer::Yes);
    headless::QueueDialogAction(Action::Press(102));  // "Supprimer", answered No
    headless::QueueDialogAction(Action::Press(102));  // again, Yes: the first wave goes
    headless::QueueDialogAction(Action::InspectWith(ReadList()));
    headless::QueueDialogAction(Action::Press(ID_OK));
    ShowWaveManager();
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[0].name, "un");
    EXPECT_EQ(WaveSet.waves[1].name, "deux");
    EXPECT_EQ(listed, (std::vector<std::string>{"un", "deux"}));
    ASSERT_EQ(headless::Messages().size(), 2u);
    const headless::MessageRecord& ask = headless::Messages()[0];
    EXPECT_EQ(ask.text, "Supprimer cette onde ?");
    EXPECT_EQ(ask.caption, "Suppression d'une onde");
    EXPECT_EQ(ask.owner, "Gestionnaire d'ondes");
    EXPECT_EQ(ask.buttons, MessageButtons::YesNo);
    EXPECT_EQ(ask.icon, MessageIcon::Question);
    EXPECT_EQ(NewLog(), "Onde numéro 0 supprimée\n\n");
}

TEST_F(WaveDialogsTest, DeletingTheLastSelectedWaveLeavesTheOthers)
{
    AddThreeWaves();
    headless::QueueAnswer(MessageAnswer::Yes);
    headless::QueueDialogAction(Action::Choose(121, 2));
    headless::QueueDialogAction(Action::Press(102));
    headless::QueueDialogAction(Action::Press(ID_OK));
    ShowWaveManager();
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[1].name, "un");
    EXPECT_EQ(NewLog(), "Onde numéro 2 supprimée\n\n");
}

TEST_F(WaveDialogsTest, WithoutWavesDeleteAndModifyOnlySaySoAndNeverGoBelowZero)
{
    headless::QueueDialogAction(Action::Press(102));
    headless::QueueDialogAction(Action::Press(103));
    headless::QueueDialogAction(Action::Press(ID_OK));
    ShowWaveManager();
    EXPECT_EQ(WaveSet.count, 0);
    ASSERT_EQ(headless::Messages().size(), 2u);
    EXPECT_EQ(headless::Messages()[0].text, "Il n'y a aucune onde à supprimer.");
    EXPECT_EQ(headless::Messages()[1].text, "Il n'y a aucune onde à modifier.");
    EXPECT_EQ(headless::Dialogs().size(), 1u);  // no edit dialog was opened
    EXPECT_EQ(NewLog(), "");
}

TEST_F(WaveDialogsTest, TheAddDialogOffersTheCatalogueAndFitsTheWaveChosen)
{
    std::string firstName, firstPeriod, chosenName, chosenPeriod;
    auto read = [](std::string& name, std::string& period) {
        return [&](Window d) { name = GetControlText(d, 105); period = GetControlText(d, 103); };
    };
    headless::QueueDialogAction(Action::Press(101));
    headless::QueueDialogAction(Action::InspectWith(read(firstName, firstPeriod)).In("Ajouter une onde"));
    headless::QueueDialogAction(Action::DoubleClickOn(104, 2));  // N2: as a single click
    headless::QueueDialogAction(Action::InspectWith(read(chosenName, chosenPeriod)));
    headless::QueueDialogAction(Action::Press(ID_OK));
    headless::QueueDialogAction(Action::InspectWith(ReadList()));
    headless::QueueDialogAction(Action::Press(ID_OK));
    AddThreeWaves();
    ShowWaveManager();

    EXPECT_EQ(firstName, "M2 : Onde Lunaire semi-diurne. 12h25m28s");
    EXPECT_EQ(firstPeriod, "12.420601");
    EXPECT_EQ(chosenName, KnownWaves[2].label);
    EXPECT_EQ(chosenPeriod, "12.658348");
    ASSERT_EQ(WaveSet.count, 4);
    const Wave& added = WaveSet.waves[3];
    EXPECT_EQ(added.name, KnownWaves[2].label);
    EXPECT_NEAR(PeriodHoursFromSpeed(added.speed), 12.658348, 1e-9);
    EXPECT_EQ(listed.back(), KnownWaves[2].label);

    ASSERT_EQ(headless::Messages().size(), 1u);
    const headless::MessageRecord& box = headless::Messages()[0];
    EXPECT_EQ(box.caption, "Ajout d'une onde.");
    EXPECT_EQ(box.owner, "Ajouter une onde");
    EXPECT_EQ(box.icon, MessageIcon::Information);
    const std::string report = Format("L'onde suivante a étée ajoutée :\n - Période : 12.658348\n"
                                      " - Amplitude : %.6f\n - Etablissement : %.6f\n%s\n",
                                      added.ampl, added.etab, added.name.c_str());
    EXPECT_EQ(box.text, report);
    EXPECT_EQ(NewLog(), report);
}

TEST_F(WaveDialogsTest, TheAddDialogTakesAnyNameAndPeriodButRefusesAPeriodThatIsNotANumber)
{
    using A = Action;
    for (A a : {A::Press(101), A::TypeInto(103, "douze"), A::Press(ID_OK), A::TypeInto(103, "-3"), A::Press(ID_OK),
                A::TypeInto(103, " 24.5"), A::TypeInto(105, std::string(120, 'x')), A::Press(ID_OK), A::Press(ID_OK)})
        headless::QueueDialogAction(a);
    ShowWaveManager();
    ASSERT_EQ(WaveSet.count, 1);
    EXPECT_EQ(WaveSet.waves[0].name, std::string(FIELD_CHARS, 'x'));
    EXPECT_NEAR(PeriodHoursFromSpeed(WaveSet.waves[0].speed), 24.5, 1e-12);
    ASSERT_EQ(headless::Messages().size(), 3u);
    EXPECT_EQ(headless::Messages()[0].text, "La période doit être un nombre d'heures, par exemple 12.420601.");
    EXPECT_EQ(headless::Messages()[1].text, headless::Messages()[0].text);
}

TEST_F(WaveDialogsTest, TheAddDialogRefusesWhenTheTableIsFull)
{
    WaveSet.count = WAVE_CAPACITY;
    for (Action a : {Action::Press(101), Action::Press(ID_OK), Action::Press(ID_CANCEL), Action::Press(ID_OK)})
        headless::QueueDialogAction(a);
    ShowWaveManager();
    EXPECT_EQ(WaveSet.count, WAVE_CAPACITY);
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].caption, "Tableau des ondes plein");
    EXPECT_EQ(headless::Messages()[0].owner, "Ajouter une onde");
}

TEST_F(WaveDialogsTest, EditingShowsTheWaveAndStoresWhatWasTyped)
{
    AddThreeWaves();
    WaveSet.waves[1] = WaveOf(12.4206012, 1.25, -0.5, "un");
    std::map<int, std::string> shown;
    using A = Action;
    for (A a : {A::Choose(121, 1), A::Press(103),
                A::InspectWith([&](Window d) { for (int id : {107, 102, 103, 104}) shown[id] = GetControlText(d, id); }),
                A::Press(ID_OK), A::Press(ID_OK)})
        headless::QueueDialogAction(a);
    ShowWaveManager();
    EXPECT_EQ(shown[107], "un");
    EXPECT_EQ(shown[102], "12.420601");
    EXPECT_EQ(shown[103], "1.250000");
    EXPECT_EQ(shown[104], "-0.500000");
    const Wave& w = WaveSet.waves[1];
    EXPECT_EQ(w.name, "un");
    EXPECT_EQ(w.ampl, 1.25);
    EXPECT_EQ(w.etab, -0.5);
    EXPECT_DOUBLE_EQ(w.speed, TWO_PI / (12.420601 * 3600));  // from the period shown
    const std::string report = "L'onde 1 a été modifiée : \n- Désignation : un\n- Période : 12.420601\n"
                               "- Amplitude : 1.250000\n- Etablissement : -0.500000\n";
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].text, report);
    EXPECT_EQ(headless::Messages()[0].owner, "Modifier une onde");
    EXPECT_EQ(NewLog(), report + "\n\n");
}

TEST_F(WaveDialogsTest, APeriodOfZeroStoresTheZeroPeriodSpeedAndBadNumbersChangeNothing)
{
    AddThreeWaves();
    using A = Action;
    for (A a : {A::Press(103), A::TypeInto(102, "?"), A::TypeInto(103, "9"), A::Press(ID_OK),
                A::TypeInto(102, "0"), A::TypeInto(103, "ample"), A::TypeInto(104, "2.5"), A::Press(ID_OK),
                A::Press(ID_OK)})
        headless::QueueDialogAction(a);
    ShowWaveManager();
    const Wave& w = WaveSet.waves[0];
    EXPECT_EQ(w.speed, ZERO_PERIOD_SPEED);
    EXPECT_EQ(w.ampl, 0.1);
    EXPECT_EQ(w.etab, 2.5);
    ASSERT_EQ(headless::Messages().size(), 2u);
    EXPECT_EQ(headless::Messages()[0].caption, "Modification d'une onde");
    EXPECT_NE(headless::Messages()[0].text.find("nombre d'heures"), std::string::npos);
    EXPECT_NE(headless::Messages()[1].text.find("- Période : 0.000000\n"), std::string::npos);
}

}  // namespace
