#include "analysis/knownwaves.h"

#include "analysis/fitting.h"
#include "base/log.h"
#include "base/text.h"
#include "model/units.h"

const KnownWave KnownWaves[KNOWN_WAVE_COUNT] = {
    {12.4206012, "M2 : Onde Lunaire semi-diurne. 12h25m28s"},
    {12.0, "S2 : Onde Solaire semi-diurne. 12h"},
    {12.6583482, "N2 : Onde Lunaire elliptique majeur semi-diurne. 12h39m"},
    {11.9672348, "K2 : Onde Sidérale semi-diurne. 11h58m"},
    {12.1916202, "L2 : Onde Lunaire eliptique mineur semi-diurne. 12h11m"},
    {25.8193417, "O1 : Onde Lunaire diurne. 25h49m"},
    {23.9344697, "K1 : Onde Sidérale diurne. 23h56m"},
    {24.0658902, "P1 : Onde Solaire diurne. 24h04m"},
    {327.858969, "Mf : Onde Lunaire semi-mensuelle. 13j 16h"},
    {661.309205, "Mm : Onde Lunaire mensuelle. 27j 13h"},
    {4382.90521, "Ssa: Onde Solaire semi-annuelle. 182j"},
    {23.09847677, "J1 : Onde diurne. 23h05m."},
    {24.83324836, "M1 : Onde Lunaire diurne. 24h50m."},
    {8.280400814, "M3 : Onde Lunaire tiers-diurne. 8h16m."},
    {6.21030061, "M4 : Onde Lunaire quart-diurne. 6h12m."},
    {4.140200402, "M6 : Onde Lunaire au sixième. 4h08m."},
    {3.105150302, "M8 : Onde Lunaire au huitième. 3h06m."},
    {12.90537448, "2N2: Onde Lunaire elliptique deuxieme. 12h54m."},
    {22.3060742, "OO1: Onde diurne. 22h18m."},
    {26.86835667, "Q1 : Onde diurne. 26h52m."},
    {28.00622255, "2Q1: Onde diurne deuxieme. 28h00m."},
    {11.98359578, "R2 : Onde semi-diurne. 11h59m."},
    {24.0, "S1 : Onde solaire diurne. 24h00m."},
    {6.0, "S4 : Onde solaire quart-diurne. 6h00m."},
    {4.0, "S6 : Onde solaire au sixième. 4h00m."},
    {12.0164492, "T2 : Onde solaire semi-diurne autre. 12h00m."},
    {12.22177415, "LA2: Onde LAMBDA2 semi-diurne. 12h13m."},
    {12.87175763, "MU2: Onde MU2 semi-diurne. 12h52m."},
    {12.62600441, "NU2: Onde NU2 semi-diurne. 12h37m."},
    {26.7230533, "RH1: Onde RHO1 semi-diurne. 26h43m."},
    {8.177139947, "MK3: Onde MK3 tiers diurne. 8h10m."},
    {8.38630297, "2M3: Onde 2MK3 tiers diurne seconde. 8h23m."},
    {6.269173909, "MN4: Onde quart dirune. 6h16m."},
    {6.103339279, "MS4: Onde quart diurne. 6h06m."},
    {11.60695156, "2SM: Onde 2SM2 semi-diurne. 11h36m."},
    {354.3670522, "MSF: Onde LLONG terme seconde. 14j18h."},
    {8765.82109, "SA : Onde semi-annuelle. 182j."},
};

const int MenuWaveOrder[MENU_WAVE_COUNT] = {0, 1, 2, 5, 6};

const int KnownWaveOrder[KNOWN_WAVE_COUNT] = {
    0, 1, 2, 3, 27, 28, 4, 5, 6, 36, 14, 17, 25, 33, 15, 26, 7, 32, 13,
    19, 34, 22, 8, 10, 11, 9, 16, 35, 12, 18, 20, 21, 23, 24, 29, 30, 31,
};

namespace {

// The block's number is the row, not the catalogue index.
double AddCatalogueWave(int row, int k)
{
    if (!CanAddFittedWaveOrReport(MainWindow))
        return 0;
    Wave w = DetermineWave(KnownWaves[k].periodHours * 3600.0);
    w.name = KnownWaves[k].label;
    AppendWave(w);
    LogPrintf("Détermination de l'onde %i :\n - Période : %Lf\n - Amplitude : %Lf\n"
              " - Etablissement : %Lf\n%s\n",
              row, Lf(PeriodHoursFromSpeed(w.speed)), Lf(w.ampl), Lf(w.etab), w.name.c_str());
    return w.ampl;
}

}  // namespace

double AddMenuWave(int row)
{
    return AddCatalogueWave(row, MenuWaveOrder[row]);
}

double AddKnownWave(int row)
{
    return AddCatalogueWave(row, KnownWaveOrder[row]);
}

void AddAllKnownWaves()
{
    BeginLongWork("Toutes ondes connues");
    int row = 0;
    for (; row < KNOWN_WAVE_COUNT; ++row) {
        if (KeepWindowAliveAndAskStop(static_cast<double>(row) / KNOWN_WAVE_COUNT) ||
            !CanAddFittedWaveOrReport(MainWindow))
            break;
        AddKnownWave(row);
    }
    if (EndLongWork())
        LogPrintf("Toutes ondes connues interrompu : %i ondes sur %i ajoutées.\n\n", row, KNOWN_WAVE_COUNT);
}
