// The GPS dialog driven for real: without a receiver it says so and lets the
// port be changed; with one (a pseudo-terminal pair made by socat and mapped
// to a COM port of the Wine prefix by tools/gps_serial_test.sh, fed with
// recorded sentences among bad ones) "Use This Position" gives the site the
// mean of the good fixes; a port that stays silent is closed after three
// polls. The serial tests are skipped when the script has not set the ports up
// (GLEANER_GPS_COM names the fed port, GLEANER_GPS_SILENT_COM the silent one).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/dlgsettings.h"
#include "core/mathutil.h"
#include "core/resstrings.h"
#include "core/userfolder.h"
#include "dialogs/sitedialogs_win.h"
#include "resources/siteids.h"
#include "sites/sitestore.h"
#include "testutil/dialogscript_win.h"
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "ui/controls.h"

namespace {

using namespace testutil;

const double kDeg = kPi / 180.0;
const char kGps[] = "Get GPS Location";
const char kSites[] = "Observing Sites";
const char kMessage[] = "Nightjar Message";

HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (!module && (module = testutil::ProgramResources())) RegisterHyperTextClass(module);
    return module;
}

int PortFromEnvironment(const char *name) {
    const char *value = std::getenv(name);
    return value ? std::atoi(value) : 0;
}

class GpsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe with the dialog templates is not beside the tests";
        SetUserDataFolder(dir_.path().c_str());
        ASSERT_EQ(ResetDialogSettings(), 1);
    }
    void TearDown() override { SetUserDataFolder(""); }
    // The port and baud row (4: 4800) the dialog opens on.
    void StorePort(int port) {
        int32_t setting[2] = {port, 4};
        ASSERT_EQ(PutDialogSetting(setting, sizeof setting, kDdsGps), 1);
    }
    void StoreSite(const char *name, double lonDeg, double latDeg, double elevation) {
        LocationRecord r;
        std::memset(&r, 0, sizeof r);
        InitLocationRecord(&r, lonDeg * kDeg, latDeg * kDeg, elevation, 6.5, 0.0, 15.0, 50.0, 2,
                           0.0, -5.0, name);
        int16_t count = 0;
        FILE *f = OpenLocationStore(&count);
        ASSERT_NE(f, nullptr);
        LocationTrailer t = {0, 0, 0};
        ASSERT_EQ(AppendLocation(f, &r, &t), 1);
        std::fclose(f);
        site_ = r;
    }
    testutil::TempDir dir_;
    LocationRecord site_;
};

// A port that does not exist: the error box, "GPS not found!", the port
// and rate can be chosen again, nothing to use; the choice is remembered.
TEST_F(GpsDialog, MissingPortSaysSoAndKeepsTheChoiceOpen) {
    StorePort(12);
    std::string box, status;
    bool portEnabled = false, useEnabled = true;
    INT_PTR result = -1;
    bool ran = RunScript(
        {Answer(kMessage, IDOK, &box),
         On(kGps, [&](HWND d) {
             status = ItemText(d, IDC_GPS_STATUS);
             portEnabled = Enabled(d, IDC_GPS_PORT);
             useEnabled = Enabled(d, IDC_GPS_USE);
             testutil::SaveScreenshot(testutil::CaptureClientArea(d), "gps_dialog_no_port");
         }),
         ChooseRow(kGps, IDC_GPS_BAUD, 5, false), Answer(kMessage, IDOK), Press(kGps, IDCANCEL)},
        [&] { result = DialogBoxParamA(Resources(), "GPSDlg", nullptr, GPSDlgProc, 0); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(box.rfind("Communication Port Not Found!", 0), 0u) << box;
    EXPECT_EQ(status, "GPS not found!");
    EXPECT_TRUE(portEnabled);
    EXPECT_FALSE(useEnabled);
    int32_t stored[2] = {0, 0};
    ASSERT_EQ(GetDialogSetting(stored, sizeof stored, kDdsGps), 1);
    EXPECT_EQ(stored[0], 12);
    EXPECT_EQ(stored[1], 5);
}

// The fed port: the site dialog's GPS button, the mean of the good fixes
// only, and "Use This Position" stores it west positive.
TEST_F(GpsDialog, ReceiverPositionBecomesTheSites) {
    int port = PortFromEnvironment("GLEANER_GPS_COM");
    if (!port) GTEST_SKIP() << "no fed COM port (run by tools/gps_serial_test.sh)";
    StorePort(port);
    StoreSite("Home", 100, 40, 300);
    LocationRecord asked = site_;
    std::string meanLat, meanLon, meanElevation, points, satellites, status, quality;
    SetProVariant(1);
    bool ran = RunScript(
        {Press(kSites, IDC_SITE_GPS),
         [&] {
             HWND d = FindDialog(kGps);
             if (!d || !Enabled(d, IDC_GPS_USE)) return false;
             // Wait for a 3D point and for the status to settle.
             return ItemText(d, IDC_GPS_MEAN_ELEVATION) != "" && ItemText(d, IDC_GPS_STATUS) == "Connected";
         },
         On(kGps, [&](HWND d) {
             meanLat = ItemText(d, IDC_GPS_MEAN_LATITUDE);
             meanLon = ItemText(d, IDC_GPS_MEAN_LONGITUDE);
             meanElevation = ItemText(d, IDC_GPS_MEAN_ELEVATION);
             points = ItemText(d, IDC_GPS_POINTS);
             satellites = ItemText(d, IDC_GPS_SATELLITES);
             status = ItemText(d, IDC_GPS_STATUS);
             quality = ItemText(d, IDC_GPS_BEST_QUALITY);
             testutil::SaveScreenshot(testutil::CaptureClientArea(d), "gps_dialog_fix");
         }),
         Press(kGps, IDC_GPS_USE), [] { return FindDialog(kGps) == nullptr; }, Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    SetProVariant(0);
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(meanLat, "+48\xB0" "07'02.3\"");
    EXPECT_EQ(meanLon, "+11\xB0" "31'00.0\"");
    EXPECT_EQ(meanElevation, "545 meters");
    EXPECT_EQ(points, "Data points: 1 - 1");  // repeats of one fix count once
    EXPECT_EQ(satellites, "Using satellites: 7 of 7");
    EXPECT_EQ(quality, "GPS SPS mode");
    EXPECT_NEAR(asked.longitude / kDeg, -(11 + 31.0 / 60), 1e-9);
    EXPECT_NEAR(asked.latitude / kDeg, 48 + 7.038 / 60, 1e-9);
    EXPECT_NEAR(+asked.elevation, 545.4, 0.5);  // the site dialog keeps whole metres
}

// "Get Position from GPS" of the coordinates dialog fills its fields.
TEST_F(GpsDialog, CoordinatesDialogTakesTheReceiverPosition) {
    int port = PortFromEnvironment("GLEANER_GPS_COM");
    if (!port) GTEST_SKIP() << "no fed COM port (run by tools/gps_serial_test.sh)";
    StorePort(port);
    StoreSite("Home", 100, 40, 300);
    LocationRecord asked = site_;
    std::string longitude, latitude, elevation;
    SetProVariant(1);
    bool ran = RunScript(
        {Press(kSites, IDC_SITE_EDIT), Press("Edit Location", IDC_SITECOORD_GPS),
         [&] {
             HWND d = FindDialog(kGps);
             return d && Enabled(d, IDC_GPS_USE) && ItemText(d, IDC_GPS_MEAN_ELEVATION) != "";
         },
         Press(kGps, IDC_GPS_USE), [] { return FindDialog(kGps) == nullptr; },
         On("Edit Location", [&](HWND d) {
             longitude = ItemText(d, IDC_SITECOORD_LONGITUDE);
             latitude = ItemText(d, IDC_SITECOORD_LATITUDE);
             elevation = ItemText(d, IDC_SITECOORD_ELEVATION);
         }),
         Press("Edit Location", IDCANCEL), [] { return FindDialog("Edit Location") == nullptr; },
         Press(kSites, IDCANCEL)},
        [&] { PickLocation(nullptr, Resources(), &asked); });
    SetProVariant(0);
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(longitude, "-11\xB0" "31'00\"");  // west positive
    EXPECT_EQ(latitude, "+48\xB0" "07'02\"");
    EXPECT_EQ(elevation, "545");
}

// A port that sends nothing is closed after three silent polls.
TEST_F(GpsDialog, SilentPortIsClosed) {
    int port = PortFromEnvironment("GLEANER_GPS_SILENT_COM");
    if (!port) GTEST_SKIP() << "no silent COM port (run by tools/gps_serial_test.sh)";
    StorePort(port);
    std::string connecting;
    bool portEnabled = false;
    INT_PTR result = -1;
    bool ran = RunScript(
        {On(kGps, [&](HWND d) { connecting = ItemText(d, IDC_GPS_STATUS); }),
         [&] {
             HWND d = FindDialog(kGps);
             return d && ItemText(d, IDC_GPS_STATUS) == "No data is being received!";
         },
         On(kGps, [&](HWND d) {
             portEnabled = Enabled(d, IDC_GPS_PORT);
             testutil::SaveScreenshot(testutil::CaptureClientArea(d), "gps_dialog_silent");
         }),
         Press(kGps, IDCANCEL)},
        [&] { result = DialogBoxParamA(Resources(), "GPSDlg", nullptr, GPSDlgProc, 0); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(connecting, "Connecting...");
    EXPECT_TRUE(portEnabled);
    EXPECT_EQ(result, 0);
}

}  // namespace
