#include "analysis/knownwaves.h"

#include <cmath>
#include <string>

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

// Their periods are those of the sums of the constituents' speeds; MO3 is
// not among them, for the catalogue's 2MK3 is the same line. The eighth- to
// twelfth-diurnal overtides that follow the first fourteen give the sharp
// peaks of shallow ports; a year separates each from its neighbours.
const KnownWave ShallowWaterWaves[SHALLOW_WAVE_COUNT] = {
    {4.092387539, "2MS6: Onde 2MS6 au sixième. 4h05m."},
    {4.166283892, "2MN6: Onde 2MN6 au sixième. 4h09m."},
    {11.78613095, "MSN2: Onde MSN2 semi-diurne. 11h47m."},
    {6.094851999, "MK4: Onde MK4 quart diurne. 6h05m."},
    {4.088569978, "2MK6: Onde 2MK6 au sixième. 4h05m."},
    {4.041935463, "MSK6: Onde MSK6 au sixième. 4h02m."},
    {3.078177694, "3MS8: Onde 3MS8 au huitième. 3h04m."},
    {3.119799193, "3MN8: Onde 3MN8 au huitième. 3h07m."},
    {4.117870204, "MSN6: Onde MSN6 au sixième. 4h07m."},
    {13.12726745, "MNS2: Onde MNS2 semi-diurne. 13h07m."},
    {4.045666394, "2SM6: Onde 2SM6 au sixième. 4h02m."},
    {12.38550227, "MKS2: Onde MKS2 semi-diurne. 12h23m."},
    {3.051669639, "2MS8: Onde 2MS8 au huitième. 3h03m."},
    {2.466827731, "4MS10: Onde 4MS10 au dixième. 2h28m."},
    {3.092572606, "2MSN8: Onde 2MSN8 au huitième. 3h05m."},
    {2.484120243, "M10: Onde Lunaire au dixième. 2h29m."},
    {2.493486695, "4MN10: Onde 4MN10 au dixième. 2h29m."},
    {2.449774308, "3M2S10: Onde 3M2S10 au dixième. 2h26m."},
    {2.070100202, "M12: Onde Lunaire au douzième. 2h04m."},
    {2.076600598, "5MN12: Onde 5MN12 au douzième. 2h04m."},
    {2.058077565, "5MS12: Onde 5MS12 au douzième. 2h03m."},
    {2.04619377, "4M2S12: Onde 4M2S12 au douzième. 2h02m."},
};

namespace {

// The block's number is the row, not the catalogue index.
double AddCatalogueWave(int row, const KnownWave& known)
{
    if (!CanAddFittedWaveOrReport(MainWindow))
        return 0;
    Wave w = DetermineWave(known.periodHours * 3600.0);
    w.name = known.label;
    AppendWave(w);
    LogPrintf("Détermination de l'onde %i :\n - Période : %Lf\n - Amplitude : %Lf\n"
              " - Etablissement : %Lf\n%s\n",
              row, Lf(PeriodHoursFromSpeed(w.speed)), Lf(w.ampl), Lf(w.etab), w.name.c_str());
    return w.ampl;
}

}  // namespace

double AddMenuWave(int row)
{
    return AddCatalogueWave(row, KnownWaves[MenuWaveOrder[row]]);
}

double AddKnownWave(int row)
{
    return AddCatalogueWave(row, KnownWaves[KnownWaveOrder[row]]);
}

double AddShallowWaterWave(int row)
{
    return AddCatalogueWave(row, ShallowWaterWaves[row]);
}

namespace {

// Every row in turn, but those left out, as long work that the user may
// stop: the waves already determined then stay, and the log says how many.
void AddEveryRow(const char* what, Catalogue catalogue, double (*add)(int), bool again)
{
    const int rows = CatalogueRows(catalogue);
    BeginLongWork(what);
    int row = 0, added = 0;
    for (; row < rows; ++row) {
        if (KeepWindowAliveAndAskStop(static_cast<double>(row) / rows) || !CanAddFittedWaveOrReport(MainWindow))
            break;
        if (!again && IsHeld(CatalogueWave(catalogue, row)))
            continue;
        add(row);
        ++added;
    }
    if (EndLongWork()) {
        ShowStatus(Format("%s interrompu : %i ondes sur %i ajoutées.", what, added, rows));
        LogPrintf("%s interrompu : %i ondes sur %i ajoutées.\n\n", what, added, rows);
    } else if (added == 0 && row == rows) {
        ShowStatus("Aucune onde ajoutée : le modèle les contient toutes déjà.");
    }
}

// The name a catalogue label begins with: "M2", "2MS6".
std::string ShortName(const KnownWave& known)
{
    const std::string label = known.label;
    const std::size_t colon = label.find(':');
    const std::size_t end = label.find_last_not_of(' ', colon == std::string::npos ? label.size() : colon - 1);
    return label.substr(0, end == std::string::npos ? 0 : end + 1);
}

}  // namespace

int CatalogueRows(Catalogue catalogue)
{
    switch (catalogue) {
    case Catalogue::Listed: return MENU_WAVE_COUNT;
    case Catalogue::Known: return KNOWN_WAVE_COUNT;
    case Catalogue::Shallow: return SHALLOW_WAVE_COUNT;
    }
    return 0;
}

const KnownWave& CatalogueWave(Catalogue catalogue, int row)
{
    switch (catalogue) {
    case Catalogue::Listed: return KnownWaves[MenuWaveOrder[row]];
    case Catalogue::Known: return KnownWaves[KnownWaveOrder[row]];
    case Catalogue::Shallow: break;
    }
    return ShallowWaterWaves[row];
}

bool IsHeld(const KnownWave& known)
{
    for (int i = 0; i < WaveSet.count; ++i)
        if (std::fabs(PeriodHoursFromSpeed(WaveSet.waves[i].speed) - known.periodHours) <= 1e-6 * known.periodHours)
            return true;
    return false;
}

bool DetermineHeldWavesAgain(Catalogue catalogue, const char* caption)
{
    std::string held;
    int count = 0;
    for (int row = 0; row < CatalogueRows(catalogue); ++row)
        if (IsHeld(CatalogueWave(catalogue, row))) {
            held += (count++ > 0 ? ", " : "") + ShortName(CatalogueWave(catalogue, row));
        }
    if (count == 0)
        return true;
    return ShowMessage(MainWindow,
                       Format("Le modèle contient déjà %s : %s.\n\nLes déterminer une seconde fois ?\n"
                              "Non n'ajoute que les autres.",
                              count == 1 ? "cette onde" : Format("ces %i ondes", count).c_str(), held.c_str()),
                       caption, MessageButtons::YesNo, MessageIcon::Question) == MessageAnswer::Yes;
}

void AddAllKnownWaves(bool again)
{
    AddEveryRow("Toutes ondes connues", Catalogue::Known, AddKnownWave, again);
}

void AddAllShallowWaterWaves(bool again)
{
    AddEveryRow("Ondes de petits fonds", Catalogue::Shallow, AddShallowWaterWave, again);
}
