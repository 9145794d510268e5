#include "files/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include <unistd.h>

#include "base/fields.h"
#include "base/text.h"
#include "files/catalogue_generated.h"

namespace fb = haliome::catalogue;

namespace {

// The file's bytes, kept for the run: every access reads them in place.
struct OpenedCatalogue {
    std::string path;
    std::unique_ptr<std::uint8_t[]> bytes;  // new[] aligns it for the doubles inside
    std::size_t size = 0;
    const fb::Catalogue* root = nullptr;
};
OpenedCatalogue Opened;

std::string Text(const flatbuffers::String* s)
{
    return s ? s->str() : std::string();
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

const fb::Station* At(int index)
{
    return Opened.root->stations()->Get(static_cast<flatbuffers::uoffset_t>(index));
}

std::string ProgramFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string program(path, static_cast<std::size_t>(n));
    return program.substr(0, program.find_last_of('/'));
}

std::string NotInstalled(const std::string& path)
{
    return "le catalogue des stations n'est pas installé (" + path +
           " ne peut pas être lu) : tools/install-deps le télécharge, ou HALIOME_CATALOGUE peut nommer un fichier "
           "neaps.tcdb";
}

bool Matches(const fb::Station* s, const std::string& lowerText)
{
    if (lowerText.empty())
        return true;
    for (const flatbuffers::String* field : {s->id(), s->name(), s->locality(), s->region(), s->country()})
        if (field && Lower(field->str()).find(lowerText) != std::string::npos)
            return true;
    if (s->aliases())
        for (const flatbuffers::String* alias : *s->aliases())
            if (Lower(alias->str()).find(lowerText) != std::string::npos)
                return true;
    return false;
}

}  // namespace

std::string CataloguePath()
{
    if (const char* named = std::getenv("HALIOME_CATALOGUE"); named && *named)
        return named;
    return ProgramFolder() + "/../share/haliome/neaps.tcdb";
}

bool OpenCatalogueFile(const std::string& path, std::string& message)
{
    if (Opened.root && Opened.path == path)
        return true;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        message = NotInstalled(path);
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size > static_cast<std::streamoff>(MAX_CATALOGUE_BYTES)) {
        message = path + Format(" dépasse %zu Mo : ce n'est pas un catalogue de stations", MAX_CATALOGUE_BYTES >> 20);
        return false;
    }
    auto bytes = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(std::max<std::streamoff>(size, 1)));
    in.seekg(0);
    if (size < 0 || !in.read(reinterpret_cast<char*>(bytes.get()), size)) {
        message = NotInstalled(path);
        return false;
    }
    const auto n = static_cast<std::size_t>(size);
    flatbuffers::Verifier verifier(bytes.get(), n, 64, 10000000);
    if (n < 8 || !fb::CatalogueBufferHasIdentifier(bytes.get()) || !fb::VerifyCatalogueBuffer(verifier) ||
        !fb::GetCatalogue(bytes.get())->stations()) {
        message = path + " n'est pas un catalogue de stations (un fichier FlatBuffers d'identifiant TCDB)";
        return false;
    }
    Opened = OpenedCatalogue{path, std::move(bytes), n, nullptr};
    Opened.root = fb::GetCatalogue(Opened.bytes.get());
    return true;
}

bool OpenCatalogue(std::string& message)
{
    return OpenCatalogueFile(CataloguePath(), message);
}

void CloseCatalogue()
{
    Opened = OpenedCatalogue{};
}

int StationCount()
{
    return static_cast<int>(Opened.root->stations()->size());
}

std::string CatalogueVersion()
{
    return Text(Opened.root->version());
}

std::string StationNameAt(int index)
{
    return Text(At(index)->name());
}

CatalogueStation StationAt(int index)
{
    const fb::Station* s = At(index);
    CatalogueStation out;
    out.id = Text(s->id());
    out.name = Text(s->name());
    out.country = Text(s->country());
    out.countryCode = Text(s->country_code());
    out.region = Text(s->region());
    out.locality = Text(s->locality());
    out.timezone = Text(s->timezone());
    out.latitude = s->latitude();
    out.longitude = s->longitude();
    out.current = s->kind() == fb::Kind_Current;
    out.accepted = s->accepted();
    out.chartDatum = Text(s->chart_datum());
    const auto* datumNames = Opened.root->datum_names();
    const auto* constituentNames = Opened.root->constituent_names();
    if (s->datums() && datumNames)
        for (const fb::Datum* d : *s->datums())
            if (d->name() < datumNames->size())
                out.datums.emplace_back(datumNames->Get(d->name())->str(), d->value());
    if (s->constituents() && constituentNames)
        for (const fb::Constituent* c : *s->constituents())
            if (c->name() < constituentNames->size())
                out.constituents.push_back({constituentNames->Get(c->name())->str(), c->amplitude(), c->phase()});
    if (const fb::Offsets* o = s->offsets()) {
        const bool ratio = o->height_type() == fb::HeightType_Ratio;
        out.offsets = StationOffsets{Text(o->reference()), {o->time_high(), o->height_high(), ratio},
                                     {o->time_low(), o->height_low(), ratio}};
    }
    if (const fb::Source* source = s->source()) {
        out.source = Text(source->name());
        out.sourceUrl = Text(source->url());
    }
    if (const fb::License* licence = s->license()) {
        out.licence = Text(licence->type());
        out.licenceUrl = Text(licence->url());
        out.commercialUse = licence->commercial_use();
    }
    out.attribution = Text(s->attribution());
    return out;
}

std::optional<int> StationCalled(const std::string& idOrName, std::vector<int>& sameName)
{
    sameName.clear();
    const auto* stations = Opened.root->stations();
    // Sorted by id: a binary search finds an id.
    int low = 0, high = StationCount();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (At(mid)->id()->str() < idOrName)
            low = mid + 1;
        else
            high = mid;
    }
    if (low < StationCount() && At(low)->id()->str() == idOrName)
        return low;
    const std::string wanted = Lower(idOrName);
    for (flatbuffers::uoffset_t i = 0; i < stations->size(); ++i) {
        const fb::Station* s = stations->Get(i);
        if (s->accepted() && s->kind() == fb::Kind_Tide && Lower(Text(s->name())) == wanted)
            sameName.push_back(static_cast<int>(i));
    }
    if (sameName.size() == 1)
        return sameName.front();
    return std::nullopt;
}

double DistanceKm(double latitude, double longitude, int index)
{
    constexpr double RAD = M_PI / 180, EARTH_RADIUS_KM = 6371.0;
    const fb::Station* s = At(index);
    const double dLat = (s->latitude() - latitude) * RAD, dLon = (s->longitude() - longitude) * RAD;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(latitude * RAD) * std::cos(s->latitude() * RAD) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * EARTH_RADIUS_KM * std::asin(std::sqrt(std::min(1.0, a)));
}

std::vector<int> FindStations(const StationQuery& query)
{
    const std::string text = Lower(query.text);
    const std::string country = Lower(query.countryCode);
    std::vector<int> found;
    const auto* stations = Opened.root->stations();
    for (flatbuffers::uoffset_t i = 0; i < stations->size(); ++i) {
        const fb::Station* s = stations->Get(i);
        if (s->kind() != fb::Kind_Tide || (!s->accepted() && !query.withUnaccepted))
            continue;
        if (!country.empty() && Lower(Text(s->country_code())) != country)
            continue;
        if (Matches(s, text))
            found.push_back(static_cast<int>(i));
    }
    if (query.near) {
        const auto [lat, lon] = *query.near;
        std::vector<std::pair<double, int>> byDistance;
        for (int i : found)
            byDistance.emplace_back(DistanceKm(lat, lon, i), i);
        std::stable_sort(byDistance.begin(), byDistance.end());
        for (std::size_t k = 0; k < found.size(); ++k)
            found[k] = byDistance[k].second;
    } else {
        std::stable_sort(found.begin(), found.end(),
                         [](int a, int b) { return Text(At(a)->name()) < Text(At(b)->name()); });
    }
    return found;
}

std::optional<std::pair<double, double>> PositionOfText(const std::string& text)
{
    std::size_t split = text.find(';');
    if (split == std::string::npos && std::count(text.begin(), text.end(), ',') == 1)
        split = text.find(',');
    if (split == std::string::npos) {
        const std::size_t first = text.find_first_not_of(' ');
        split = first == std::string::npos ? first : text.find(' ', first);
    }
    if (split == std::string::npos)
        return std::nullopt;
    const std::optional<double> lat = DecimalOf(text.substr(0, split));
    const std::optional<double> lon = DecimalOf(text.substr(split + 1));
    if (!lat || !lon || std::fabs(*lat) > 90 || std::fabs(*lon) > 180)
        return std::nullopt;
    return std::make_pair(*lat, *lon);
}

std::optional<double> DatumOf(const CatalogueStation& station, const std::string& name)
{
    for (const auto& [datum, value] : station.datums)
        if (datum == name)
            return value;
    return std::nullopt;
}
