// Tests of the double-star and variable-star readers on the demo catalogues
// (generated from the double and variable stars of the Hipparcos catalogue
// that stellarium-data ships): every system is found by its identifier,
// discoverer designations and GCVS names resolve, and the predicted
// magnitudes of Mira and Algol at their catalogue epochs are their limits.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/mathutil.h"
#include "objects/ccdmcat.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "objects/starcat.h"
#include "objects/tests/democatalogues.h"
#include "objects/variablecat.h"
#include "objects/variabilitytypes.h"

namespace {

class DemoDoubles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!democat::UseDemoCatalogues()) GTEST_SKIP() << "no demo catalogues";
    }
    void TearDown() override { SetRefDirectories("", "", ""); }
};

TEST_F(DemoDoubles, EverySystemIsFoundByItsIdentifier) {
    std::unique_ptr<CcdmFiles, void (*)(CcdmFiles *)> holder(OpenCcdmFiles(), CloseCcdmFiles);
    CcdmFiles *files = holder.get();
    ASSERT_NE(files, nullptr);
    const int count = CountCcdmRecords(files);
    ASSERT_GT(count, 1000);
    std::vector<CcdmIdentifier> ids((size_t)count);
    for (int n = 1; n <= count; ++n)
        ASSERT_GE(ReadCcdmRecord(files, n, nullptr, nullptr, nullptr, nullptr, nullptr, &ids[n - 1],
                                 nullptr, nullptr, nullptr, nullptr, kCcdmReadIdentifiers),
                  0);
    holder.reset();
    for (int n = 1; n < count; ++n)
        ASSERT_LT(CompareCcdmIdentifiers(ids[n - 1], ids[n]), 0) << "order at " << n;
    int missed = 0;
    for (int n = 1; n <= count; ++n) {
        int record = 0;
        if (FindCcdmRecord(ids[n - 1], &record, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr, 0) < 1 ||
            record != n)
            ++missed;
    }
    EXPECT_EQ(missed, 0);

    // epsilon Lyr, WDS 18443+3940: the wide pair at 137 deg, 149.5" (2015).
    std::vector<CcdmComponent> c(kMaxCcdmComponents);
    int record = 0, primary = 0;
    ASSERT_EQ(FindCcdmRecord({18443, 3940, '+'}, &record, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, &primary, nullptr, nullptr, c.data(), 0x5a),
              2);
    EXPECT_GT(primary, 0);
    EXPECT_EQ(c[1].letter, 'B');
    EXPECT_NEAR(double(c[1].positionAngle), 137.0, 0.01);
    EXPECT_NEAR(double(c[1].separation), 149.5, 0.001);
    EXPECT_EQ(c[1].epochYear, 2015);
}

TEST_F(DemoDoubles, DiscovererDesignationsResolve) {
    // STF 2382 is epsilon-1 Lyr; the lookup takes it written either way.
    const int star = FindDiscovererStar("STF 2382");
    EXPECT_GT(star, 0);
    EXPECT_EQ(FindDiscovererStar("STF2382"), star);
    EXPECT_EQ(FindDiscovererStar("STF2382A"), star);
    EXPECT_GT(FindDiscovererStar("STF 2272"), 0);  // 70 Oph
    EXPECT_EQ(FindDiscovererStar("STF 99999"), 0);

    // The star catalogue links the star to its system.
    FILE *stars = OpenStarCatalogue();
    ASSERT_NE(stars, nullptr);
    std::unique_ptr<StarRecord> record(new StarRecord);
    ASSERT_EQ(ReadStarRecord(stars, star, record.get(), nullptr, kStarReadIdentifiers), 1);
    std::fclose(stars);
    const int ccdmRecord = record->ccdm_record;  // packed: copied before gtest binds it
    ASSERT_GT(ccdmRecord, 0);
    std::unique_ptr<CcdmFiles, void (*)(CcdmFiles *)> files(OpenCcdmFiles(), CloseCcdmFiles);
    CcdmIdentifier id{0, 0, ' '};
    int primary = 0;
    ASSERT_GE(ReadCcdmRecord(files.get(), ccdmRecord, nullptr, nullptr, nullptr, nullptr,
                             nullptr, &id, &primary, nullptr, nullptr, nullptr, kCcdmReadIdentifiers),
              1);
    EXPECT_EQ(primary, star);
    EXPECT_EQ(id.first, 18443);
    EXPECT_EQ(id.second, 3940);
}

TEST_F(DemoDoubles, VariablesResolveAndPredictTheirLimits) {
    std::unique_ptr<VariableStarFiles, void (*)(VariableStarFiles *)> holder(
        OpenVariableStarFiles(), CloseVariableStarFiles);
    VariableStarFiles *files = holder.get();
    ASSERT_NE(files, nullptr);
    const struct {
        const char *name, *formatted;
        double bright, faint;
        int model;
    } cases[] = {
        {"omi Cet", "Omicron Cet", 2.0, 10.1, kModelPulsating},  // Mira
        {"R Hya", "R  Hya", 3.5, 10.9, kModelPulsating},
        {"bet Per", "Beta Per", 2.12, 3.39, kModelEclipsing},   // Algol
        {"del Cep", "Delta Cep", 3.48, 4.37, kModelPulsating},
    };
    for (const auto &c : cases) {
        VariableStarRecord v;
        std::memset(&v, 0, sizeof v);
        ASSERT_EQ(FindVariableStarsByName(files, c.name, &v, 0x1b), 1) << c.name;
        EXPECT_STREQ(v.name, c.formatted);
        EXPECT_GT(v.star_1, 0) << c.name;
        // The star catalogue links the star back to this record.
        FILE *stars = OpenStarCatalogue();
        ASSERT_NE(stars, nullptr);
        std::unique_ptr<StarRecord> star(new StarRecord);
        ASSERT_EQ(ReadStarRecord(stars, v.star_1, star.get(), nullptr, kStarReadIdentifiers), 1);
        std::fclose(stars);
        const int variableRecord = star->variable_record;
        EXPECT_EQ(variableRecord, v.record_number) << c.name;
        EXPECT_NEAR(v.bright_limit, c.bright, 1e-9) << c.name;
        EXPECT_NEAR(v.faint_limit, c.faint, 1e-9) << c.name;
        double epoch = v.epoch, width = 0.0, depth = 0.0;
        const int model = ChooseLightCurveModel(0, v.types, v.type_count, &epoch, v.period,
                                                v.faint_limit, v.bright_limit, &width, &depth);
        ASSERT_EQ(model, c.model) << c.name;
        // At an epoch of maximum a pulsating star is at its bright limit; at
        // an epoch of minimum an eclipsing star at its faint limit.
        double phase = 0;
        const double t = epoch + 40 * v.period;
        const double m = PredictVariableMagnitude(epoch, v.period, t, width, depth, v.faint_limit,
                                                  v.bright_limit, model, &phase);
        EXPECT_NEAR(m, model == kModelEclipsing ? c.faint : c.bright, 0.01) << c.name;
    }
    // A name beyond a constellation's numbered stars is not found.
    VariableStarRecord v;
    EXPECT_EQ(FindVariableStarsByName(files, "V8900 And", &v, 0x08), 0);
}

}  // namespace

namespace {

class DemoDoubleRecognition : public ::testing::Test {
protected:
    void SetUp() override {
        if (!democat::UseDemoCatalogues()) GTEST_SKIP() << "no demo catalogues";
    }
    void TearDown() override { SetRefDirectories("", "", ""); }
};

TEST_F(DemoDoubleRecognition, DoubleAndVariableDesignationsResolveToTheirStars) {
    // Text, and the J2000 place of the star (degrees) from the Hipparcos catalogue.
    const struct {
        const char *text;
        double ra, dec;
    } cases[] = {
        {"STF 2382", 281.0845, 39.6700},  // epsilon-1 Lyr
        {"STF2382", 281.0845, 39.6700},
        {"STF 2272", 271.3637, 2.5000},   // 70 Oph
        {"CCDM 18443+3940", 281.0845, 39.6700},
        {"R Hya", 202.4301, -23.2815},
        {"omi Cet", 34.8366, -2.9776},    // Mira
        {"Beta Per", 47.0422, 40.9556},   // Algol, found as Bayer or variable
        {"del Cep", 337.2929, 58.4152},
    };
    for (const auto &c : cases) {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, "%s", c.text);
        ObjectRecord records[3];
        std::memset(records, 0, sizeof records);
        ASSERT_GE(IdentifyObjectText(buffer, 0.0, nullptr, nullptr, 0.2, records), 1) << c.text;
        const ObjectRecord &r = records[0];
        EXPECT_EQ(r.objectClass, kClassStar) << c.text;
        const double ra = r.raCatalogue * 180.0 / kPi, dec = r.decCatalogue * 180.0 / kPi;
        EXPECT_NEAR(ra, c.ra, 0.05) << c.text;
        EXPECT_NEAR(dec, c.dec, 0.05) << c.text;
    }
}

}  // namespace
