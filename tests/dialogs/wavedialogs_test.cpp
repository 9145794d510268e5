#include <gtest/gtest.h>

#include "base/log.h"
#include "base/text.h"
#include "dialogs/wavedialogs.h"
#include "model/units.h"
#include "platform/headless/headless.h"
#include "tests/support/program_test.h"

namespace {

using A = headless::DialogAction;

// The manager on three waves, over a month of an M2 of 1.5 m about 3 m.
class WaveDialogsTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        InstallRecordOf(30, 3.0, {WaveOf(12.4206012, 1.5, 1.0)});
        WaveSet.MeanLevel = 3.0;
        for (const char* name : {"zéro", "un", "deux"})
            AppendWave(WaveOf(12, 0.1, 0, name));
        OpenLog();
        welcome = LogContents();
    }
    void RunManager(std::initializer_list<A> actions)
    {
        for (const A& a : actions)
            headless::QueueDialogAction(a);
        ShowWaveManager();
    }
    std::string NewLog() { return LogContents().substr(welcome.size()); }
    // A message box as "owner | caption | text".
    static std::string Box(std::size_t n)
    {
        const headless::MessageRecord& m = headless::Messages().at(n);
        return m.owner + " | " + m.caption + " | " + m.text;
    }
    std::string welcome;
};

TEST_F(WaveDialogsTest, DeletingAsksFirstAndOnlyOuiRemovesTheWaveKeepingTheOrder)
{
    headless::QueueAnswer(MessageAnswer::No);
    headless::QueueAnswer(MessageAnswer::Yes);
    RunManager({A::Choose(121, 1), A::Press(102), A::Press(102), A::Press(ID_OK)});  // "Supprimer": Non, then Oui
    ASSERT_EQ(WaveSet.count, 2);
    EXPECT_EQ(WaveSet.waves[0].name, "zéro");
    EXPECT_EQ(WaveSet.waves[1].name, "deux");
    ASSERT_EQ(headless::Messages().size(), 2u);
    EXPECT_EQ(Box(0), "Gestionnaire d'ondes | Suppression d'une onde | Supprimer cette onde ?");
    EXPECT_EQ(headless::Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(NewLog(), "Onde numéro 1 supprimée\n\n");  // nothing for the Non
    EXPECT_EQ(headless::RepaintCount(), 1);            // the chart shows the edited model
}

// "Supprimer" and "Modifier" follow the list: greyed once the last wave is
// deleted, back when one is added.
TEST_F(WaveDialogsTest, DeleteAndModifyAreGreyedWhileTheListIsEmpty)
{
    WaveSet.count = 1;
    std::vector<std::string> states;
    auto read = A::InspectWith([&](Window d) {
        states.push_back(std::string(IsControlEnabled(d, 102) ? "Supprimer" : "-") + "/" +
                         (IsControlEnabled(d, 103) ? "Modifier" : "-"));
    });
    headless::QueueAnswer(MessageAnswer::Yes);
    RunManager({read, A::Press(102), read, A::Press(101), A::Press(ID_OK).In("Ajouter une onde"), read,
                A::Press(ID_OK)});
    EXPECT_EQ(states, (std::vector<std::string>{"Supprimer/Modifier", "-/-", "Supprimer/Modifier"}));
    EXPECT_EQ(WaveSet.count, 1);

    std::vector<std::string> refused;
    headless::SetUnansweredHandler([&](const std::string& what) { refused.push_back(what); });
    WaveSet.count = 0;
    RunManager({A::Press(102), A::Press(103), A::Press(ID_OK)});
    headless::SetUnansweredHandler(nullptr);
    EXPECT_EQ(refused, (std::vector<std::string>{"dialog \"Gestionnaire d'ondes\": control 102 is greyed",
                                                 "dialog \"Gestionnaire d'ondes\": control 103 is greyed"}));
}

TEST_F(WaveDialogsTest, TheAddDialogOffersTheCatalogueAndFitsTheWaveUnderTheNameTyped)
{
    std::vector<std::string> shown;
    auto read = A::InspectWith([&](Window d) {
        shown.push_back(GetControlText(d, 105));
        shown.push_back(GetControlText(d, 103));
    });
    // A period that is not a positive number is refused and the dialog stays open.
    RunManager({A::Press(101), read.In("Ajouter une onde"), A::TypeInto(103, "douze"), A::Press(ID_OK),
                A::TypeInto(103, "-3"), A::Press(ID_OK),
                A::DoubleClickOn(104, 2), read.In("Ajouter une onde"),  // N2: as a single click
                A::TypeInto(105, "ma N2"), A::Press(ID_OK), A::Press(ID_OK)});
    EXPECT_EQ(shown, (std::vector<std::string>{"M2 : Onde Lunaire semi-diurne. 12h25m28s", "12.420601",
                                               "N2 : Onde Lunaire elliptique majeur semi-diurne. 12h39m",
                                               "12.658348"}));
    ASSERT_EQ(WaveSet.count, 4);
    const Wave& added = WaveSet.waves[3];
    EXPECT_EQ(added.name, "ma N2");
    EXPECT_NEAR(PeriodHoursFromSpeed(added.speed), 12.658348, 1e-9);

    ASSERT_EQ(headless::Messages().size(), 3u);
    for (int i : {0, 1})
        EXPECT_EQ(headless::Messages()[i].text, "La période doit être un nombre d'heures, par exemple 12.420601.");
    const std::string report = Format("L'onde suivante a étée ajoutée :\n - Période : 12.658348\n"
                                      " - Amplitude : %.6f\n - Etablissement : %.6f\nma N2\n",
                                      added.ampl, added.etab);
    EXPECT_EQ(Box(2), "Ajouter une onde | Ajout d'une onde. | " + report);
    EXPECT_EQ(NewLog(), report);
}

TEST_F(WaveDialogsTest, EditingShowsTheWaveAndStoresWhatWasTyped)
{
    WaveSet.waves[1] = WaveOf(12.4206012, 1.25, -0.5, "un");
    std::vector<std::string> shown;
    auto read = A::InspectWith([&](Window d) {
        for (int id : {107, 102, 103, 104})
            shown.push_back(GetControlText(d, id));
    });
    RunManager({A::Choose(121, 1), A::Press(103), read.In("Modifier une onde"), A::Press(ID_OK), A::Press(ID_OK)});
    EXPECT_EQ(shown, (std::vector<std::string>{"un", "12.420601", "1.250000", "-0.500000"}));
    EXPECT_DOUBLE_EQ(WaveSet.waves[1].speed, TWO_PI / (12.420601 * 3600));  // from the period shown
    const std::string report = "L'onde 1 a été modifiée : \n- Désignation : un\n- Période : 12.420601\n"
                               "- Amplitude : 1.250000\n- Etablissement : -0.500000\n";
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(Box(0), "Modifier une onde | Modification d'une onde | " + report);
    EXPECT_EQ(NewLog(), report + "\n\n");

    // A period that is not a number is refused; other fields that are not
    // numbers keep their value; a period of 0 stores the speed 1e28.
    RunManager({A::Choose(121, 1), A::Press(103), A::TypeInto(102, "?"), A::TypeInto(103, "9"), A::Press(ID_OK),
                A::TypeInto(107, "nouveau"), A::TypeInto(102, "0"), A::TypeInto(103, "ample"),
                A::TypeInto(104, "2.5"), A::Press(ID_OK), A::Press(ID_OK)});
    const Wave& w = WaveSet.waves[1];
    EXPECT_EQ(std::make_tuple(w.name, w.speed, w.ampl, w.etab),
              std::make_tuple(std::string("nouveau"), 1e28, 1.25, 2.5));
    ASSERT_EQ(headless::Messages().size(), 3u);
    EXPECT_NE(Box(1).find("| Modification d'une onde | La période doit être un nombre d'heures"), std::string::npos);
    EXPECT_NE(headless::Messages()[2].text.find("- Période : 0.000000\n"), std::string::npos);
}

TEST_F(WaveDialogsTest, ValuesTheModelCannotHoldAreRefusedAndTheDialogStaysOpen)
{
    // A NaN or an infinity typed here once reached the chart's pixels.
    const Wave before = WaveSet.waves[1];
    const struct { int dialogButton, field; const char* typed; const char* said; } cases[] = {
        {103, 103, "nan", "L'amplitude « nan » n'est pas un nombre fini."},
        {103, 104, "-inf", "L'établissement « -inf » n'est pas un nombre fini."},
        {103, 102, "1e308", "La période « 1e308 » ne donne pas de vitesse"},  // 3.6e311 s
        {103, 102, "1e-320", "La période « 1e-320 » ne donne pas de vitesse"},
        {101, 103, "inf", "La période « inf » ne donne pas de vitesse"},
    };
    for (const auto& c : cases) {
        headless::Reset();
        RunManager({A::Choose(121, 1), A::Press(c.dialogButton), A::TypeInto(c.field, c.typed), A::Press(ID_OK),
                    A::Press(ID_CANCEL), A::Press(ID_OK)});
        ASSERT_EQ(headless::Messages().size(), 1u) << c.typed;
        EXPECT_EQ(headless::Messages()[0].text.rfind(c.said, 0), 0u) << headless::Messages()[0].text;
        EXPECT_EQ(WaveSet.count, 3) << c.typed;
        const Wave& w = WaveSet.waves[1];
        EXPECT_EQ(std::make_tuple(w.speed, w.ampl, w.etab, w.name),
                  std::make_tuple(before.speed, before.ampl, before.etab, before.name));
    }
}

}  // namespace
