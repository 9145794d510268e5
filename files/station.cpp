#include "files/station.h"

#include "base/calendar.h"
#include "base/text.h"
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
    if (model.station.current || constants->constituents.empty()) {
        message = model.station.id + " n'a pas de constantes de marée (station de courant, ou sans harmoniques)";
        return std::nullopt;
    }
    SetDatum(model, *constants);
    model.waves = WavesOfPublishedConstants(constants->constituents, model.origin, year);
    if (model.waves.waves.size() > static_cast<std::size_t>(WAVE_CAPACITY))
        model.waves.waves.resize(WAVE_CAPACITY);
    return model;
}

bool MakeStationThePort(const StationModel& model, std::string& why)
{
    if (model.station.timezone != Header.TimeZone && !SetPortZone(model.station.timezone, why))
        return false;
    Header.DatumName = model.datum;
    Header.DatumOffset = model.meanLevel;
    Header.PortName = model.station.name + "\n";
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
}

void ApplyOffsets(const StationOffsets& offsets, bool high, CalendarTime& time, double& height)
{
    time += 60L * (high ? offsets.timeHigh : offsets.timeLow);
    const double k = high ? offsets.heightHigh : offsets.heightLow;
    height = offsets.ratio ? height * k : height + k;
}

std::string OffsetsNote(const StationModel& model)
{
    if (!model.station.offsets || !model.reference)
        return "";
    const StationOffsets& o = *model.station.offsets;
    const char* how = o.ratio ? "x" : "+";
    return Format("%s (%s) : pleines et basses mers de %s (%s), décalées de %+d min (PM) et %+d min (BM), hauteurs "
                  "%s %.2f (PM) et %s %.2f (BM), au-dessus de %s",
                  model.station.name.c_str(), model.station.id.c_str(), model.reference->name.c_str(),
                  model.reference->id.c_str(), o.timeHigh, o.timeLow, how, o.heightHigh, how, o.heightLow,
                  model.datum.c_str());
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
