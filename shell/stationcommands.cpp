#include "shell/stationcommands.h"

#include <CLI/CLI.hpp>

#include <algorithm>

#include "base/calendar.h"
#include "base/text.h"
#include "files/catalogue.h"
#include "files/station.h"
#include "files/wavefile.h"
#include "shell/cli.h"
#include "shell/exportcommands.h"
#include "model/port.h"
#include "model/record.h"
#include "model/waves.h"

namespace {

constexpr int DONE = 0;
constexpr int FILE_FAILED = 1;
constexpr int BAD_USAGE = 2;

bool OpenOrSay(std::ostream& errors)
{
    std::string message;
    if (OpenCatalogue(message))
        return true;
    errors << "haliome-cli: " << message << "\n";
    return false;
}

std::optional<int> StationOrSay(const std::string& idOrName, std::ostream& errors)
{
    std::vector<int> sameName;
    if (std::optional<int> index = StationCalled(idOrName, sameName))
        return index;
    if (sameName.empty()) {
        errors << "haliome-cli: aucune station ne s'appelle " << idOrName << " (haliome-cli stations " << idOrName
               << " la cherche).\n";
        return std::nullopt;
    }
    errors << "haliome-cli: " << sameName.size() << " stations s'appellent " << idOrName << ", donnez l'id de l'une :";
    for (int i : sameName)
        errors << " " << StationAt(i).id;
    errors << "\n";
    return std::nullopt;
}

std::string JsonText(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20)
            out += Format("\\u%04x", c);
        else
            out += c;
    }
    return out + "\"";
}

std::optional<std::pair<double, double>> PointOrSay(const std::string& text, std::ostream& errors)
{
    if (std::optional<std::pair<double, double>> point = PositionOfText(text))
        return point;
    errors << "haliome-cli: --near " << text << " : attendu LATITUDE,LONGITUDE en degrés, par exemple 48.38,-4.50.\n";
    return std::nullopt;
}

int ListStations(const StationArguments& args, std::ostream& out, std::ostream& errors)
{
    StationQuery query{args.query, args.country, std::nullopt, args.all};
    if (!args.near.empty() && !(query.near = PointOrSay(args.near, errors)))
        return BAD_USAGE;
    if (!OpenOrSay(errors))
        return FILE_FAILED;
    const std::vector<int> found = FindStations(query);
    const bool json = args.format == "json";
    out << (json ? "[" : "");
    for (std::size_t k = 0; k < found.size(); ++k) {
        const CatalogueStation s = StationAt(found[k]);
        const char* kind = s.offsets ? "subordinate" : "reference";
        const std::string distance =
            query.near ? Format("%.1f", DistanceKm(query.near->first, query.near->second, found[k])) : "";
        if (json) {
            out << (k ? ",\n " : "\n ") << "{\"id\": " << JsonText(s.id) << ", \"name\": " << JsonText(s.name)
                << ", \"country\": " << JsonText(s.countryCode) << ", \"kind\": \"" << kind
                << "\", \"latitude\": " << Format("%.4f", s.latitude) << ", \"longitude\": "
                << Format("%.4f", s.longitude) << ", \"timezone\": " << JsonText(s.timezone)
                << ", \"source\": " << JsonText(s.source) << ", \"licence\": " << JsonText(s.licence)
                << (distance.empty() ? "" : ", \"distance_km\": " + distance) << "}";
        } else {
            out << s.id << "\t" << s.name << "\t" << s.countryCode << "\t" << kind << "\t" << s.source
                << (distance.empty() ? "" : "\t" + distance + " km") << "\n";
        }
    }
    out << (json ? "\n]\n" : "");
    if (!json)
        errors << "haliome-cli: " << found.size() << " stations (catalogue " << CatalogueVersion() << ").\n";
    return DONE;
}

int WriteStation(const StationArguments& args, std::ostream& out, std::ostream& errors)
{
    const std::int32_t year = args.year ? args.year : LocalTimeOf(TimeNow()).tm_year + 1900;
    if (!LoadStationPort(args.query, year, errors))
        return FILE_FAILED;
    if (const std::string note = PortTablesNote(); !note.empty())
        errors << "haliome-cli: " << note
               << " ; le fichier d'ondes garde les ondes de la station de référence et ses décalages.\n";
    return WriteOutput(args.output, WaveFileBytes(), true, out) ? DONE : FILE_FAILED;
}

}  // namespace

void DescribeStationCommands(CLI::App& app, StationArguments& args)
{
    CLI::App* stations = app.add_subcommand("stations", "Stations du catalogue des constantes de marée publiées");
    stations->add_option("RECHERCHE", args.query, "Une partie d'un nom, d'un lieu, d'une région, d'un pays ou d'un id");
    stations->add_option("--near", args.near, "LAT,LON : les stations les plus proches d'abord");
    stations->add_option("--country", args.country, "Code de pays ISO 3166, par exemple FR");
    stations->add_option("--format", args.format, "text ou json")
        ->check(CLI::IsMember({"text", "json"}))
        ->default_str("text");
    stations->add_flag("--all", args.all, "Avec les stations que le catalogue n'accepte pas");

    CLI::App* station = app.add_subcommand("station", "Écrire les ondes d'une station pour une année en fichier d'ondes");
    station->add_option("STATION", args.query, "L'id de la station, ou son nom quand aucune autre ne le porte")
        ->required();
    station->add_option("-o,--output", args.output, "Fichier d'ondes à écrire (.TID), - : la sortie standard")
        ->required();
    station->add_option("--year", args.year, "L'année des ondes (l'année en cours sinon)")
        ->check(CLI::Range(1, 9999).description("de 1 à 9999"));
}

std::optional<int> RunStationCommand(const CLI::App& app, const StationArguments& args, std::ostream& out,
                                     std::ostream& errors)
{
    if (app.got_subcommand("stations"))
        return ListStations(args, out, errors);
    if (app.got_subcommand("station"))
        return WriteStation(args, out, errors);
    return std::nullopt;
}

bool LoadStationPort(const std::string& idOrName, std::int32_t year, std::ostream& errors)
{
    if (!OpenOrSay(errors))
        return false;
    const std::optional<int> index = StationOrSay(idOrName, errors);
    if (!index)
        return false;
    std::string message;
    const std::optional<StationModel> model = StationModelOf(*index, year, message);
    if (!model) {
        errors << "haliome-cli: " << message << "\n";
        return false;
    }
    if (!model->waves.unknown.empty()) {
        errors << "haliome-cli: " << model->station.id << " : laissées de côté, des ondes que le programme ne connaît pas :";
        for (const std::string& name : model->waves.unknown)
            errors << " " << name;
        errors << "\n";
    }
    std::string why;
    if (!MakeStationThePort(*model, why)) {
        errors << "haliome-cli: " << model->station.id << " : l'enregistrement en mémoire ne peut pas prendre son heure : "
               << why << ".\n";
        return false;
    }
    return true;
}

bool StationKnownOrSay(const std::string& idOrName, std::ostream& errors)
{
    return OpenOrSay(errors) && StationOrSay(idOrName, errors);
}

int CompareWithStation(const std::string& idOrName, std::ostream& out, std::ostream& errors)
{
    if (!OpenOrSay(errors))
        return FILE_FAILED;
    const std::optional<int> index = StationOrSay(idOrName, errors);
    if (!index)
        return FILE_FAILED;
    std::string message;
    const std::optional<std::string> text = StationComparisonText(*index, message);
    if (!text) {
        errors << "haliome-cli: " << message << "\n";
        return FILE_FAILED;
    }
    out << *text;
    return DONE;
}
