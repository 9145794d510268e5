// The station catalogue read from the real file (tools/install-deps puts it
// beside the programs; without it these tests are skipped), its fields
// checked against what the file's own JSON dump says (flatc --json).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "files/catalogue.h"
#include "files/catalogue_generated.h"
#include "files/station.h"

namespace {

class CatalogueTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string message;
        if (!OpenCatalogueFile(HALIOME_TEST_CATALOGUE, message))
            GTEST_SKIP() << message;
    }
    static CatalogueStation Named(const std::string& id)
    {
        std::vector<int> same;
        const std::optional<int> index = StationCalled(id, same);
        EXPECT_TRUE(index) << id;
        return index ? StationAt(*index) : CatalogueStation{};
    }
};

TEST_F(CatalogueTest, HoldsEveryStationAndFindsThemByCountry)
{
    EXPECT_EQ(CatalogueVersion(), "0.10.20260924");
    EXPECT_EQ(StationCount(), 10968);
    int accepted = 0, currents = 0, subordinate = 0;
    for (int i = 0; i < StationCount(); ++i) {
        const CatalogueStation s = StationAt(i);
        accepted += s.accepted;
        currents += s.current;
        subordinate += s.accepted && s.offsets.has_value();
    }
    EXPECT_EQ(accepted, 8721);
    EXPECT_EQ(currents, 2586);
    EXPECT_EQ(subordinate, 2241);  // tide stations; the other 1705 accepted subordinate ones are currents
    EXPECT_EQ(FindStations({"", "FR", std::nullopt, false}).size(), 147u);
    EXPECT_EQ(FindStations({"", "nl", std::nullopt, false}).size(), 92u);
    const std::vector<int> nearBrest = FindStations({"", "", std::make_pair(48.38, -4.49), false});
    ASSERT_FALSE(nearBrest.empty());
    EXPECT_EQ(StationAt(nearBrest[0]).name, "Brest");
}

TEST_F(CatalogueTest, GivesAReferenceStationsConstantsDatumsAndLicence)
{
    const CatalogueStation brest = Named("ticon/brest-822-fra-uhslc_fd");
    EXPECT_EQ(brest.name, "Brest");
    EXPECT_EQ(brest.timezone, "Europe/Paris");
    EXPECT_DOUBLE_EQ(brest.latitude, 48.383);
    EXPECT_DOUBLE_EQ(brest.longitude, -4.5);
    EXPECT_EQ(brest.chartDatum, "LAT");
    EXPECT_FLOAT_EQ(static_cast<float>(*DatumOf(brest, "MSL")), 4.205f);
    EXPECT_FLOAT_EQ(static_cast<float>(*DatumOf(brest, "LAT")), 0.424f);
    ASSERT_EQ(brest.constituents.size(), 50u);
    EXPECT_EQ(brest.constituents[0].name, "M2");
    EXPECT_FLOAT_EQ(static_cast<float>(brest.constituents[0].amplitude), 2.050942f);
    EXPECT_FLOAT_EQ(static_cast<float>(brest.constituents[0].phase), 108.917107f);
    EXPECT_EQ(brest.licence, "cc-by-4.0");
    EXPECT_TRUE(brest.commercialUse);
    const CatalogueStation vlissingen = Named("ticon/vlissingen-vlis-nld-rws");
    EXPECT_EQ(vlissingen.countryCode, "NL");
    EXPECT_FLOAT_EQ(static_cast<float>(*DatumOf(vlissingen, "LAT")), -2.825f);
    EXPECT_EQ(vlissingen.constituents.size(), 49u);
}

TEST_F(CatalogueTest, GivesASubordinateStationsOffsetsFromItsReference)
{
    const CatalogueStation nonopapa = Named("Nonopapa");
    EXPECT_EQ(nonopapa.id, "noaa/1610367");
    EXPECT_TRUE(nonopapa.constituents.empty());
    ASSERT_TRUE(nonopapa.offsets);
    EXPECT_EQ(nonopapa.offsets->reference, "noaa/1612340");
    EXPECT_EQ(nonopapa.offsets->high.minutes, -16);
    EXPECT_EQ(nonopapa.offsets->low.minutes, -11);
    EXPECT_TRUE(nonopapa.offsets->high.ratio && nonopapa.offsets->low.ratio);
    EXPECT_FLOAT_EQ(static_cast<float>(nonopapa.offsets->high.height), 0.77f);
    EXPECT_EQ(nonopapa.chartDatum, "MLLW");
    EXPECT_EQ(nonopapa.licence, "public domain");
}

}  // namespace

namespace {

// A catalogue of two stations whose M2 is 150 m or not a number, and a
// subordinate one moved by 2000 min: none gives a model, and the message
// names what is wrong.
TEST(CatalogueFile, AStationWhoseConstantsAreAbsurdOpensNoModel)
{
    flatbuffers::FlatBufferBuilder b;
    namespace fb = haliome::catalogue;
    std::vector<flatbuffers::Offset<fb::Station>> stations;
    for (const auto& [id, amplitude] : {std::pair{"test/huge", 150.0f}, std::pair{"test/nan", NAN}}) {
        const std::vector<fb::Constituent> m2{fb::Constituent(0, amplitude, 10)};
        stations.push_back(fb::CreateStationDirect(b, id, id, fb::Kind_Tide, fb::StationType_Reference, 0, 0, "UTC",
                                                   nullptr, nullptr, nullptr, nullptr, true, 0, &m2));
    }
    const auto far = fb::CreateOffsetsDirect(b, "test/nan", 2000, -10, fb::HeightType_Ratio, 1.1f, 0.9f);
    stations.push_back(fb::CreateStationDirect(b, "test/shift", "shift", fb::Kind_Tide, fb::StationType_Subordinate, 0,
                                               0, "UTC", nullptr, nullptr, nullptr, nullptr, true, 0, nullptr, nullptr,
                                               0, nullptr, far));
    const std::vector<flatbuffers::Offset<flatbuffers::String>> names{b.CreateString("M2")};
    b.Finish(fb::CreateCatalogueDirect(b, "test", &stations, &names), fb::CatalogueIdentifier());
    const std::string path = testing::TempDir() + "absurd.tcdb";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.GetBufferPointer()), b.GetSize());
    std::string message;
    ASSERT_TRUE(OpenCatalogueFile(path, message)) << message;
    EXPECT_FALSE(StationModelOf(0, 2027, message));
    EXPECT_TRUE(message.starts_with("test/huge : avec l'onde M2 (amplitude 14")) << message;  // f·A, f near 0.97
    EXPECT_TRUE(message.ends_with("ses ondes prédiraient des hauteurs à plus de 100 m du niveau moyen")) << message;
    EXPECT_FALSE(StationModelOf(1, 2027, message));
    EXPECT_EQ(message, "test/nan : ses constantes ne sont pas des nombres finis");
    EXPECT_FALSE(StationModelOf(2, 2027, message));
    EXPECT_EQ(message, "test/shift : un décalage de 2000 min dépasse les 16 h permises");
    CloseCatalogue();
    std::filesystem::remove(path);
}

// A file far larger than any catalogue is refused before it is read.
TEST(CatalogueFile, ALargerFileThanACatalogueIsRefusedUnread)
{
    const std::string path = testing::TempDir() + "huge.tcdb";
    std::ofstream(path).close();
    std::filesystem::resize_file(path, MAX_CATALOGUE_BYTES + 1);  // sparse: no disk used
    std::string message;
    EXPECT_FALSE(OpenCatalogueFile(path, message));
    EXPECT_EQ(message, path + " dépasse 256 Mo : ce n'est pas un catalogue de stations");
    std::filesystem::remove(path);
}

}  // namespace
