#include "files/station.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "base/calendar.h"
#include "base/text.h"
#include "model/astronomy.h"
#include "model/modeloptions.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"

namespace {

std::optional<StationModel> Current;

// The heights come out above the mean sea level; in the chart datum they
// are shifted by MSL − datum, both of the station's own datums.
void SetDatum(StationModel& model, const CatalogueStation& from)
{
    const std::optional<double> msl = DatumOf(from, "MSL");
    const std::optional<double> chart = DatumOf(from, model.station.chartDatum);
    if (msl && chart) {
        model.meanLevel = *msl - *chart;
        model.datum = model.station.chartDatum;
    } else {
        model.meanLevel = 0;
        model.datum = "MSL";
    }
}

// 00:00 on 1 January of year in the time base of the station's own zone;
// the clock in force stays.
std::optional<CalendarTime> YearStartOnZone(const std::string& zone, std::int32_t year)
{
    const std::string inForce = PortZoneInForce();
    if (!UseClockOf(zone))
        return std::nullopt;
    const std::optional<CalendarTime> start = YearStartTime(year);
    UseClockOf(inForce);
    return start;
}

// cm: the RMS, over every hour of the record, of the difference between the
// tide the waves in memory predict and the one the published waves (of the
// record's time origin) predict, both without their mean levels, whose
// zeros differ; the published waves with the nodal corrections, as a
// station always is.
double PredictionsRmsCm(const std::vector<Wave>& published)
{
    std::vector<double> ours(static_cast<std::size_t>(RecordSeries.RecordCount));
    for (std::size_t i = 0; i < ours.size(); ++i)
        ours[i] = PredictHeight(static_cast<double>(i) * HOUR_SECONDS, 0) - WaveSet.MeanLevel;
    const WaveTable fitted = WaveSet;
    const int nodal = Model.NodalCorrections;
    WaveSet.count = 0;
    WaveSet.MeanLevel = 0;
    for (std::size_t k = 0; k < published.size() && WaveSetHasRoom(); ++k)
        AppendWave(published[k]);
    Model.NodalCorrections = 1;
    double sum = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const double d = PredictHeight(static_cast<double>(i) * HOUR_SECONDS, 0) - ours[i];
        sum += d * d;
    }
    WaveSet = fitted;
    Model.NodalCorrections = nodal;
    return 100 * std::sqrt(sum / static_cast<double>(ours.size()));
}

}  // namespace

std::optional<StationModel> StationModelOf(int index, std::int32_t year, std::string& message)
{
    StationModel model;
    model.station = StationAt(index);
    model.year = year;
    if (!IsKnownZone(model.station.timezone)) {
        message = model.station.id + " : son fuseau horaire " + model.station.timezone + " n'est pas connu du système";
        return std::nullopt;
    }
    const std::optional<CalendarTime> origin = YearStartOnZone(model.station.timezone, year);
    if (!origin) {
        message = Format("l'année %i ne peut pas être convertie en dates", year);
        return std::nullopt;
    }
    model.origin = *origin;
    const CatalogueStation* constants = &model.station;
    if (model.station.offsets) {
        std::vector<int> sameName;
        const std::optional<int> reference = StationCalled(model.station.offsets->reference, sameName);
        if (!reference) {
            message = model.station.id + " : sa station de référence " + model.station.offsets->reference +
                      " n'est pas dans le catalogue";
            return std::nullopt;
        }
        model.reference = StationAt(*reference);
        constants = &*model.reference;
    }
    if (model.station.offsets)
        for (const TideShift& shift : {model.station.offsets->high, model.station.offsets->low})
            if (const std::string problem = TideShiftProblem(shift); !problem.empty()) {
                message = model.station.id + " : " + problem;
                return std::nullopt;
            }
    if (model.station.current || constants->constituents.empty()) {
        message = model.station.id + " n'a pas de constantes de marée (station de courant, ou sans harmoniques)";
        return std::nullopt;
    }
    SetDatum(model, *constants);
    model.waves = WavesOfPublishedConstants(constants->constituents, model.origin, year);
    if (model.waves.waves.size() > static_cast<std::size_t>(WAVE_CAPACITY))
        model.waves.waves.resize(WAVE_CAPACITY);
    // What a wave file must hold, a catalogue must too: finite numbers, and
    // no heights beyond MAX_TIDE_RANGE_M.
    const auto unreadable = [](const Wave& w) {
        return !std::isfinite(w.speed) || !std::isfinite(w.ampl) || !std::isfinite(w.etab);
    };
    if (!std::isfinite(model.meanLevel) ||
        std::any_of(model.waves.waves.begin(), model.waves.waves.end(), unreadable)) {
        message = model.station.id + " : ses constantes ne sont pas des nombres finis";
        return std::nullopt;
    }
    const std::vector<Wave>& waves = model.waves.waves;
    if (const int beyond = WaveBeyondTideRange(waves.data(), static_cast<int>(waves.size())); beyond >= 0) {
        const Wave& w = waves[static_cast<std::size_t>(beyond)];
        message = model.station.id + Format(" : avec l'onde %s (amplitude %g m), ses ondes prédiraient des hauteurs "
                                            "à plus de %g m du niveau moyen",
                                            w.name.c_str(), w.ampl, MAX_TIDE_RANGE_M);
        return std::nullopt;
    }
    return model;
}

bool MakeStationThePort(const StationModel& model, std::string& why)
{
    if (model.station.timezone != Header.TimeZone && !SetPortZone(model.station.timezone, why))
        return false;
    Header.DatumName = model.datum;
    Header.DatumOffset = model.meanLevel;
    Header.PortName = FirstChars(model.station.name, PORT_NAME_CHARS) + "\n";
    // The coefficient is a range on Brest's scale, which French tables give
    // for every port of the coast; elsewhere no one reads it.
    Header.ShowCoefficient = model.station.countryCode == "FR";
    Header.Offsets.reset();
    if (model.station.offsets && model.reference) {
        Header.Offsets = *model.station.offsets;
        Header.Offsets->reference = model.reference->name + " (" + model.reference->id + ")";
    }
    WaveSet.MeanLevel = model.meanLevel;
    WaveSet.count = 0;
    for (const Wave& w : model.waves.waves)
        AppendWave(w);
    const CalendarTime recordStart = Header.Time_of_debut;
    const std::int32_t recordYear = Header.StartYear;
    Header.Time_of_debut = model.origin;
    Header.StartYear = model.year;
    Model.NodalCorrections = 1;
    if (!RecordSeries.Placeholder)
        MoveTimeOrigin(recordStart, recordYear);
    Current = model;
    return true;
}

const StationModel* CurrentStation()
{
    return Current ? &*Current : nullptr;
}

void ForgetCurrentStation()
{
    Current.reset();
    Header.Offsets.reset();
}

std::string StationAttribution()
{
    const StationModel* model = CurrentStation();
    if (!model)
        return "";
    const CatalogueStation& s = model->station;
    return "Constantes de marée de " + s.name + " : " + s.attribution + " Licence " + s.licence + " (" +
           s.licenceUrl + ")" + (s.commercialUse ? "." : ", usage commercial interdit.");
}

std::optional<std::string> StationComparisonText(int index, std::string& message)
{
    const std::optional<StationModel> station = StationModelOf(index, Header.StartYear, message);
    if (!station)
        return std::nullopt;
    std::string out;
    out += "Ondes déterminées face à " + station->station.name + " (" + station->station.id +
           ") : amplitude H (m) et situation g par rapport à Greenwich (degrés, UTC)\n";
    // The phases of the record's waves are only as right as its clock.
    out += "Heure du relevé : " + ClockDescription() + "\n";
    out += "onde\tH déterminée\tg déterminée\tH publiée\tg publiée\técart (cm)\n";
    // The fit may give a line in several waves (a wave refitted on the
    // residual): their vectors add up.
    std::vector<std::pair<int, std::complex<double>>> lines;
    for (int j = 0; j < WaveSet.count; ++j) {
        const int c = ConstituentOfSpeed(WaveSet.waves[j].speed);
        if (c == NO_CONSTITUENT)
            continue;
        const GreenwichConstants k = GreenwichConstantsOf(WaveSet.waves[j], c, Header.Time_of_debut, Header.StartYear);
        auto line = std::find_if(lines.begin(), lines.end(), [c](const auto& l) { return l.first == c; });
        if (line == lines.end())
            line = lines.insert(lines.end(), {c, 0.0});
        line->second += std::polar(k.H, k.g * M_PI / 180);
    }
    for (const auto& [c, fitted] : lines) {
        std::string published = "-\t-\t-";
        for (const Wave& w : station->waves.waves) {
            if (ConstituentOfSpeed(w.speed) != c)
                continue;
            const GreenwichConstants k = GreenwichConstantsOf(w, c, station->origin, station->year);
            const std::complex<double> p = std::polar(k.H, k.g * M_PI / 180);
            published = Format("%.3f\t%.1f\t%.1f", k.H, k.g, 100 * std::abs(fitted - p));
            break;
        }
        double g = std::arg(fitted) * 180 / M_PI;
        if (g < 0)
            g += 360;
        out += std::string(ConstituentName(c)) + "\t" + Format("%.3f\t%.1f\t", std::abs(fitted), g) + published + "\n";
    }
    const CatalogueStation& constants = station->reference ? *station->reference : station->station;
    const PublishedWaves ofRecord =
        WavesOfPublishedConstants(constants.constituents, Header.Time_of_debut, Header.StartYear);
    out += Format("Écart quadratique moyen des deux prédictions sur les %i heures du relevé, niveaux moyens mis à "
                  "part : %.1f cm\n",
                  RecordSeries.RecordCount, PredictionsRmsCm(ofRecord.waves));
    return out;
}
