// The object picker's rules that need no window: reading typed coordinates
// and equinoxes (checked against hand-computed epochs and, natively, ERFA's
// FK4 -> FK5 conversion), the panel's size, magnitude and place texts, the
// recent-objects block in the dialog-settings store, the starting object and
// the Browse page's constellation rows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "astro/precession.h"
#include "core/dlgsettings.h"
#include "core/userfolder.h"
#include "objects/objectrecord.h"
#include "picker/pickerbrowse.h"
#include "picker/pickercoords.h"
#include "picker/pickerhistory.h"
#include "picker/pickertexts.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

#ifdef GLEANER_HAVE_ERFA
#include <erfa.h>
#endif

namespace {

const double kArcsec = kPi / 180.0 / 3600.0;

// Angle between two places (radians).
double Separation(double ra1, double dec1, double ra2, double dec2) {
    double c = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    double x = std::cos(dec1) * std::sin(ra1 - ra2);
    double y = std::cos(dec2) * std::sin(dec1) - std::sin(dec2) * std::cos(dec1) * std::cos(ra1 - ra2);
    return std::atan2(std::sqrt(x * x + y * y), c);
}

// ---- equinoxes and coordinates ------------------------------------------------------------

TEST(PickerEquinox, NamesBesselianYearsAndDecimalYears) {
    // T of J1991.25: Jan 1.0 1991 is JD 2448257.5, + 0.25 x 365 days.
    const double t199125 = (2448257.5 + 91.25 - 2451545.0) / 36525.0;
    struct Case {
        const char *text;
        int ok;
        double t;
        int besselian;
    } cases[] = {
        {"J2000", 1, 0.0, 0},
        {"j2000.0", 1, 0.0, 0},
        {"b1950.0", 1, -0.5000020944558512, 1},
        {"B1950", 1, -0.5000020944558512, 1},
        {"B1875", 1, -1.2499794661190966, 1},
        {"B1900", 1, -0.9999914168377778, 1},
        {"JHIPP", 1, -0.0875, 0},
        {"1991.25", 1, t199125, 0},
        {"J1991.25", 0, 0.0, 0},
        {"epoch", 0, 0.0, 0},
    };
    for (const Case &c : cases) {
        double t = 99.0;
        int besselian = -1, empty = -1;
        EXPECT_EQ(ReadEquinoxText(c.text, &t, &besselian, &empty), c.ok) << c.text;
        EXPECT_EQ(empty, 0) << c.text;
        if (!c.ok) continue;
        EXPECT_NEAR(t, c.t, 1e-9) << c.text;
        EXPECT_EQ(besselian, c.besselian) << c.text;
    }
    // An empty field is J2000 and says so, so the page can show "J2000".
    double t = 99.0;
    int besselian = -1, empty = -1;
    EXPECT_EQ(ReadEquinoxText("", &t, &besselian, &empty), 1);
    EXPECT_EQ(t, 0.0);
    EXPECT_EQ(empty, 1);
}

TEST(PickerCoordinates, FirstErrorInFieldOrderAndItsMessage) {
    struct Case {
        const char *ra, *dec, *equinox;
        int result;
        const char *message;
    } cases[] = {
        {"", "+20 00 00", "J2000", kCoordinatesBadRa, "Error reading RA"},
        {"12 30 00", "", "J2000", kCoordinatesBadDec, "Error reading Declination"},
        {"12 30 00", "n/a", "nonsense", kCoordinatesBadDec, "Error reading Declination"},
        {"12 30 00", "+20", "J1991.25", kCoordinatesBadEquinox, "Error reading epoch"},
        {"x", "y", "z", kCoordinatesBadRa, "Error reading RA"},
        // Values outside the sky are errors of their field, in the same order.
        {"24 00 01", "+20", "J2000", kCoordinatesBadRa, "Error reading RA"},
        {"-1", "+20", "J2000", kCoordinatesBadRa, "Error reading RA"},
        {"12", "+90 00 01", "x", kCoordinatesBadDec, "Error reading Declination"},
        {"12", "-95", "J2000", kCoordinatesBadDec, "Error reading Declination"},
        // Text that is no number is refused, not read past: "12a" is no
        // 0 h (a 12-hour mark) and "x5" no +5 degrees.
        {"12a", "+20", "J2000", kCoordinatesBadRa, "Error reading RA"},
        {"12 30 00", "x5", "J2000", kCoordinatesBadDec, "Error reading Declination"},
        {"12 30 00", "40 00 00", "J1991.25", kCoordinatesBadEquinox, "Error reading epoch"},
    };
    for (const Case &c : cases) {
        double ra = -5.0, dec = -5.0;
        EXPECT_EQ(ReadEnteredCoordinateTexts(c.ra, c.dec, c.equinox, 0, &ra, &dec, nullptr), c.result)
            << c.ra << "|" << c.dec << "|" << c.equinox;
        EXPECT_STREQ(EnteredCoordinatesMessage(c.result), c.message);
        EXPECT_EQ(ra, -5.0);  // outputs untouched on error
        EXPECT_EQ(dec, -5.0);
    }
    EXPECT_STREQ(EnteredCoordinatesMessage(kCoordinatesRead), "");
}

TEST(PickerCoordinates, HoursDegreesAndEmptyEquinox) {
    double ra = 0, dec = 0;
    int empty = -1;
    // Degrees mode: 187.5 degrees of right ascension are 12.5 hours.
    ASSERT_EQ(ReadEnteredCoordinateTexts("187.5", "-30 30", "", 1, &ra, &dec, &empty),
              kCoordinatesRead);
    EXPECT_NEAR(ra, 12.5 * kPi / 12.0, 1e-12);
    EXPECT_NEAR(dec, -30.5 * kPi / 180.0, 1e-12);
    EXPECT_EQ(empty, 1);
    // The same place typed in hours, sexagesimal, at J2000.
    double ra2 = 0, dec2 = 0;
    ASSERT_EQ(ReadEnteredCoordinateTexts("12 30 00", "-30:30:00", "J2000", 0, &ra2, &dec2, &empty),
              kCoordinatesRead);
    EXPECT_NEAR(ra2, ra, 1e-12);
    EXPECT_NEAR(dec2, dec, 1e-12);
    EXPECT_EQ(empty, 0);
    // The edges of the sky are places; in degrees 360 is 24 hours.
    ASSERT_EQ(ReadEnteredCoordinateTexts("360", "-90", "", 1, &ra, &dec, nullptr), kCoordinatesRead);
    EXPECT_NEAR(ra, 2 * kPi, 1e-12);
    EXPECT_NEAR(dec, -kPi / 2, 1e-12);
    EXPECT_EQ(ReadEnteredCoordinateTexts("361", "0", "", 1, &ra, &dec, nullptr), kCoordinatesBadRa);
}

// Places at B1950 are FK4 places: the reading must agree with the FK4 -> FK5
// conversion (E-terms, equinox correction), not with FK5 precession alone,
// which is up to about 1" off.
TEST(PickerCoordinates, BesselianEquinoxesAreFk4Places) {
    for (double raHours = 0.5; raHours < 24.0; raHours += 3.7)
        for (double decDeg = -75.0; decDeg <= 80.0; decDeg += 31.0) {
            char raText[32], decText[32];
            std::snprintf(raText, sizeof raText, "%.10f", raHours);
            std::snprintf(decText, sizeof decText, "%.10f", decDeg);
            double ra = 0, dec = 0;
            ASSERT_EQ(ReadEnteredCoordinateTexts(raText, decText, "B1950.0", 0, &ra, &dec, nullptr),
                      kCoordinatesRead);
            const double ra0 = raHours * kPi / 12.0, dec0 = decDeg * kPi / 180.0;
            // FK5 precession alone would land elsewhere.
            PrecessionRecord fk5;
            InitPrecession(&fk5, kEpochB1950, kEpochJ2000, kSystemFk5, kSystemFk5);
            double raFk5 = ra0, decFk5 = dec0;
            ApplyPrecession(&fk5, &raFk5, &decFk5, 0, 0, 0);
            EXPECT_GT(Separation(ra, dec, raFk5, decFk5), 0.05 * kArcsec) << raHours << " " << decDeg;
#ifdef GLEANER_HAVE_ERFA
            double era, edec;
            eraFk45z(ra0, dec0, 1950.0, &era, &edec);
            EXPECT_LT(eraSeps(ra, dec, era, edec), 0.01 * kArcsec) << raHours << " " << decDeg;
#endif
        }
    // B1875 and B1900: a J2000 place carried to the FK4 equinox and typed
    // there reads back as the same J2000 place.
    const struct {
        const char *name;
        double t;
    } equinoxes[] = {{"B1875", kEpochB1875}, {"B1900", -0.9999914168377778}};
    for (const auto &e : equinoxes) {
        const double ra0 = 5.5 * kPi / 12.0, dec0 = 22.0 * kPi / 180.0;
        PrecessionRecord toFk4;
        InitPrecession(&toFk4, kEpochJ2000, e.t, kSystemFk5, kSystemFk4);
        double ra = ra0, dec = dec0;
        ApplyPrecession(&toFk4, &ra, &dec, 0, 0, 0);
        char raText[32], decText[32];
        std::snprintf(raText, sizeof raText, "%.12f", ra * 12.0 / kPi);
        std::snprintf(decText, sizeof decText, "%.12f", dec * 180.0 / kPi);
        double raBack = 0, decBack = 0;
        ASSERT_EQ(ReadEnteredCoordinateTexts(raText, decText, e.name, 0, &raBack, &decBack, nullptr),
                  kCoordinatesRead);
        EXPECT_LT(Separation(raBack, decBack, ra0, dec0), 0.001 * kArcsec) << e.name;
    }
}

TEST(PickerCoordinates, DecimalYearIsPrecessedInFk5) {
    // A place at equinox 2050.0 is 50 years of general precession (about
    // 50.3" a year in longitude) away from J2000; at the celestial equator at
    // 0h the right ascension changes by m = 3.075 s a year.
    double ra = 0, dec = 0;
    ASSERT_EQ(ReadEnteredCoordinateTexts("0", "0", "2050.0", 0, &ra, &dec, nullptr),
              kCoordinatesRead);
    double raSeconds = (ra > kPi ? ra - 2 * kPi : ra) * 12.0 / kPi * 3600.0;
    EXPECT_NEAR(raSeconds, -50.0 * 3.0749, 0.2);
    EXPECT_NEAR(dec / kArcsec, -50.0 * 20.043, 1.0);  // n = 20.043" a year
}

// ---- panel texts ---------------------------------------------------------------------------

TEST(PickerTexts, SizeInTheUnitThatSuitsIt) {
    struct Case {
        double extent;
        const char *text;
    } cases[] = {
        {0.03, "  1.7\xB0"},        // 1.72 degrees
        {0.001, "  3.4'"},          // 3.44 arcminutes
        {0.0001, "   21\""},        // 20.6 arcseconds
        {0.0261799, "   90'"},      // just under 1.5 degrees: arcminutes
        {0.00024, "   50\""},        // 49.5 arcseconds
        {1e-9, ""},                 // 0.0002": nothing
        {0.0, ""},
        {-1.0, ""},
        {std::nan(""), ""},
    };
    for (const Case &c : cases) {
        char text[kPickerTextSize] = "x";
        FormatPickerSize(text, sizeof text, c.extent);
        EXPECT_STREQ(text, c.text) << c.extent;
    }
    char text[kPickerTextSize];
    EXPECT_STREQ(FormatPickerMagnitude(text, sizeof text, 4.56), "  4.6");
    EXPECT_STREQ(FormatPickerMagnitude(text, sizeof text, -1.44), " -1.4");
    EXPECT_STREQ(FormatPickerMagnitude(text, sizeof text, 99.9), "");
    EXPECT_STREQ(FormatPickerMagnitude(text, sizeof text, 90.0), "");
}

TEST(PickerTexts, PlaceFromCatalogueOrFromTheTurnFields) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    // A bare position keeps its place only in the turn fields.
    MakePositionObject(&r, (12.0 + 30.0 / 60.0 + 15.0 / 3600.0) * kPi / 12.0,
                       -(20.0 + 15.0 / 60.0 + 30.0 / 3600.0) * kPi / 180.0);
    r.raJ2000AtDate = 0.0;  // not what the panel reads
    char ra[kPickerTextSize], dec[kPickerTextSize];
    FormatPickerPlace(&r, ra, dec);
    EXPECT_STREQ(ra, "12h30m15s");
    EXPECT_STREQ(dec, "-20\xB0" "15'30\"");
    // A catalogue place wins over the turns.
    r.raCatalogue = 6.0 * kPi / 12.0;
    r.decCatalogue = 45.5 * kPi / 180.0;
    FormatPickerPlace(&r, ra, dec);
    EXPECT_STREQ(ra, "06h00m00s");
    EXPECT_STREQ(dec, "+45\xB0" "30'00\"");
}

// ---- recent objects ------------------------------------------------------------------------

ObjectRecord Object(int objectClass, int index, char component = ' ') {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = static_cast<uint8_t>(objectClass);
    r.index = index;
    r.starComponent = component;
    return r;
}

std::vector<std::pair<int, int>> Keys(const ObjectRecord *list) {
    std::vector<std::pair<int, int>> keys;
    for (int i = 0; i < kRecentObjectCount && list[i].objectClass; ++i)
        keys.push_back({list[i].objectClass, static_cast<int>(list[i].index)});
    return keys;
}

class RecentObjects : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserDataFolder(dir_.path().c_str());
        ASSERT_EQ(ResetDialogSettings(), 1);
    }
    void TearDown() override { SetUserDataFolder(""); }
    testutil::TempDir dir_;
};

using KeyList = std::vector<std::pair<int, int>>;

TEST_F(RecentObjects, ReChosenObjectMovesToTheTopOnce) {
    for (int i = 1; i <= 4; ++i) {
        ObjectRecord o = Object(6, 100 + i);
        ASSERT_EQ(RecordRecentObject(&o), 1);
    }
    ObjectRecord again = Object(6, 102);
    ASSERT_EQ(RecordRecentObject(&again), 1);
    ObjectRecord list[kRecentObjectCount];
    LoadRecentObjects(list);
    EXPECT_EQ(Keys(list), (KeyList{{6, 102}, {6, 104}, {6, 103}, {6, 101}}));
    // Same class and index, another component: a different entry.
    ObjectRecord a = Object(5, 7, 'A'), b = Object(5, 7, 'B');
    AddToRecentObjects(list, &a);
    AddToRecentObjects(list, &b);
    EXPECT_EQ(CountRecentObjects(list), 6);
    EXPECT_EQ(list[0].starComponent, 'B');
    EXPECT_EQ(list[1].starComponent, 'A');
}

TEST_F(RecentObjects, TwoCopiesInARowAreBothRemoved) {
    ObjectRecord list[kRecentObjectCount];
    for (ObjectRecord &r : list) ClearObjectRecord(&r);
    list[0] = Object(2, 3);
    list[1] = Object(9, 42);
    list[2] = Object(9, 42);
    list[3] = Object(9, 42);
    list[4] = Object(10, 5);
    ObjectRecord chosen = Object(9, 42);
    ASSERT_EQ(AddToRecentObjects(list, &chosen), 1);
    EXPECT_EQ(Keys(list), (KeyList{{9, 42}, {2, 3}, {10, 5}}));
    // The entries freed at the end are empty records, byte-identical to cleared ones.
    ObjectRecord empty;
    ClearObjectRecord(&empty);
    EXPECT_EQ(std::memcmp(&list[11], &empty, sizeof empty), 0);
    // A copy of an entry of the list itself.
    ObjectRecord *inside = &list[2];
    AddToRecentObjects(list, inside);
    EXPECT_EQ(Keys(list), (KeyList{{10, 5}, {9, 42}, {2, 3}}));
    ObjectRecord none = Object(0, 1);
    EXPECT_EQ(AddToRecentObjects(list, &none), 0);
}

TEST_F(RecentObjects, ThirteenthObjectDropsTheOldest) {
    for (int i = 1; i <= 13; ++i) {
        ObjectRecord o = Object(10, i);
        ASSERT_EQ(RecordRecentObject(&o), 1);
    }
    // Stored as 12 records of 395 bytes, newest first: class byte at 153,
    // index at 149 of each.
    std::vector<unsigned char> block(4740);
    ASSERT_EQ(GetDialogSetting(block.data(), 4740, kDdsRecentObjects), 1);
    for (int k = 0; k < 12; ++k) {
        int32_t index;
        std::memcpy(&index, &block[395 * k + 149], 4);
        EXPECT_EQ(block[395 * k + 153], 10) << k;
        EXPECT_EQ(index, 13 - k) << k;
    }
}

TEST_F(RecentObjects, BlockOfAnotherLengthIsIgnoredAndReplaced) {
    std::vector<unsigned char> wrong(395 * 10, 0);
    wrong[153] = 6;  // would read as a galaxy if the length were not checked
    ASSERT_EQ(PutDialogSetting(wrong.data(), static_cast<int>(wrong.size()), kDdsRecentObjects), 1);
    ObjectRecord list[kRecentObjectCount];
    LoadRecentObjects(list);
    EXPECT_EQ(CountRecentObjects(list), 0);
    ObjectRecord o = Object(8, 77);
    ASSERT_EQ(RecordRecentObject(&o), 1);
    std::vector<unsigned char> block(4740);
    ASSERT_EQ(GetDialogSetting(block.data(), 4740, kDdsRecentObjects), 1);
    EXPECT_EQ(block[153], 8);
    EXPECT_EQ(block[395 + 153], 0);
    EXPECT_EQ(GetDialogSetting(wrong.data(), static_cast<int>(wrong.size()), kDdsRecentObjects), 0);
}

TEST_F(RecentObjects, StartingObjectIsTheSecondEntryElseJupiter) {
    ObjectRecord list[kRecentObjectCount];
    for (ObjectRecord &r : list) ClearObjectRecord(&r);
    ObjectRecord current = Object(0, -1);
    // No history, then one entry: Jupiter (class 2, index 5).
    EXPECT_EQ(ChooseStartingObject(&current, list), 1);
    EXPECT_EQ(current.objectClass, 2);
    EXPECT_EQ(+current.index, 5);
    list[0] = Object(6, 31);
    current = Object(0, -1);
    ChooseStartingObject(&current, list);
    EXPECT_EQ(current.objectClass, 2);
    // Two entries: the older one, deliberately not the one chosen last.
    list[1] = Object(11, 13);
    current = Object(0, -1);
    ChooseStartingObject(&current, list);
    EXPECT_EQ(current.objectClass, 11);
    EXPECT_EQ(+current.index, 13);
    // A record that names an object stays.
    current = Object(9, 4);
    EXPECT_EQ(ChooseStartingObject(&current, list), 0);
    EXPECT_EQ(current.objectClass, 9);
}

// ---- Browse page rules ---------------------------------------------------------------------

TEST(PickerBrowse, SerpensRowsShareOneFilter) {
    // Rows: 0 empty, 1..75 constellations 1..75, 76 Serpens Caput, 77 Serpens
    // Cauda (both constellation 76), 78..89 constellations 77..88.
    EXPECT_EQ(ConstellationFilterOfRow(0), 0);
    EXPECT_EQ(ConstellationFilterOfRow(1), 1);
    EXPECT_EQ(ConstellationFilterOfRow(75), 75);
    EXPECT_EQ(ConstellationFilterOfRow(76), 76);
    EXPECT_EQ(ConstellationFilterOfRow(77), 76);
    EXPECT_EQ(ConstellationFilterOfRow(78), 77);
    EXPECT_EQ(ConstellationFilterOfRow(89), 88);
    for (int row = 1; row <= 89; ++row) {
        int filter = ConstellationFilterOfRow(row);
        int shown = ConstellationRowOfFilter(filter);
        EXPECT_EQ(ConstellationFilterOfRow(shown), filter) << row;
        // The iterator's value is a names-file record + 1 whose constellation
        // (minus one above 76) is the filter.
        int value = BrowseConstellationValue(filter);
        EXPECT_EQ(value > 76 ? value - 1 : value, filter) << row;
        EXPECT_TRUE(value >= 1 && value <= 89) << row;
    }
    EXPECT_EQ(ConstellationRowOfFilter(76), 77);
    EXPECT_EQ(BrowseConstellationValue(0), 0);
}

TEST(PickerBrowse, KindsWithConstellationAndEmptyPattern) {
    for (int kind = 0; kind <= 20; ++kind)
        EXPECT_EQ(BrowseKindTakesConstellation(5, kind), kind >= 2 && kind <= 4 ? 1 : 0) << kind;
    EXPECT_EQ(BrowseKindTakesConstellation(6, 3), 0);
    EXPECT_STREQ(BrowsePatternOf(""), "*");
    EXPECT_STREQ(BrowsePatternOf(nullptr), "*");
    EXPECT_STREQ(BrowsePatternOf("HR 12"), "HR 12");
}

}  // namespace
