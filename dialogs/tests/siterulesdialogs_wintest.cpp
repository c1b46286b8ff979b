// The daylight-saving rule and sky-brightness dialogs driven from the
// Observing Sites dialog: presets and clock digits reach the stored site, a
// negative shift stays negative, a shift or value that does not parse is
// refused with a message, and Cancel leaves the site as it was.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/mathutil.h"
#include "core/resstrings.h"
#include "core/userfolder.h"
#include "dialogs/sitedialogs_win.h"
#include "photometry/skybright.h"
#include "resources/siteids.h"
#include "sites/sitestore.h"
#include "testutil/dialogscript_win.h"
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "ui/controls.h"

namespace {

using namespace testutil;

const double kDeg = kPi / 180.0;
const char kSites[] = "Observing Sites";
const char kMessage[] = "Nightjar Message";
const char kRules[] = "Daylight Saving Rules";
const char kSky[] = "Light Pollution -- Sky Brightness";

HINSTANCE Resources() {
    static HINSTANCE module = nullptr;
    if (!module && (module = testutil::ProgramResources())) RegisterHyperTextClass(module);
    return module;
}

class SiteRuleDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe with the dialog templates is not beside the tests";
        SetUserDataFolder(dir_.path().c_str());
        std::memset(&site_, 0, sizeof site_);
        InitLocationRecord(&site_, 0.5 * kDeg, 51.5 * kDeg, 20.0, 4.6, 0.0, 15.0, 50.0, 2, 0.0, 0.0, "Home");
        SetNorthernDaylightSavingPreset(&site_.dst);
        site_.dstMode = 2;
    }
    void TearDown() override { SetUserDataFolder(""); }
    void Store() {
        int16_t count = 0;
        FILE *f = OpenLocationStore(&count);
        ASSERT_NE(f, nullptr);
        LocationTrailer t = {0, 0, 0};
        ASSERT_EQ(AppendLocation(f, &site_, &t), 1);
        std::fclose(f);
    }
    LocationRecord Stored() {
        LocationRecord r;
        std::memset(&r, 0, sizeof r);
        int16_t count = 0;
        FILE *f = OpenLocationStore(&count);
        LocationTrailer t;
        EXPECT_TRUE(f && count == 1 && ReadLocation(f, 0, &r, &t));
        if (f) std::fclose(f);
        return r;
    }
    testutil::TempDir dir_;
    LocationRecord site_;
};

// One arrow of a digit's scroll bar, as a click on it sends.
Step Arrow(int id, int code) {
    return On(kRules, [id, code](HWND d) {
        SendMessageA(d, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(GetDlgItem(d, id)));
    });
}

TEST_F(SiteRuleDialogs, EuropeanPresetDigitsAndANegativeShiftReachTheSite) {
    Store();
    LocationRecord asked = site_;
    std::string startAfterPreset, startAfterArrow, endAfterArrows, refused;
    bool ran = RunScript(
        {Press(kSites, IDC_SITE_DST_RULES), Press(kRules, IDC_DST_PRESET_EU),
         On(kRules, [&](HWND d) { startAfterPreset = ItemText(d, IDC_DST_START_TIME); }),
         Arrow(IDC_DST_START_MINUTE_UNITS, SB_LINEUP),
         On(kRules, [&](HWND d) { startAfterArrow = ItemText(d, IDC_DST_START_TIME); }),
         Arrow(IDC_DST_END_HOUR_TENS, SB_LINEUP), Arrow(IDC_DST_END_HOUR_TENS, SB_LINEUP),
         Arrow(IDC_DST_END_HOUR_UNITS, SB_LINEUP),  // 01:00 -> 11 -> 21 -> 22:00
         On(kRules, [&](HWND d) {
             endAfterArrows = ItemText(d, IDC_DST_END_TIME);
             testutil::SaveScreenshot(testutil::CaptureClientArea(d), "daylight_rules_dialog");
         }),
         Type(kRules, IDC_DST_SHIFT, "30"), Press(kRules, IDOK), Answer(kMessage, IDOK, &refused),
         Type(kRules, IDC_DST_SHIFT, "-1"), Press(kRules, IDOK), [] { return FindDialog(kRules) == nullptr; },
         Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_NE(startAfterPreset.find("1:00"), std::string::npos) << startAfterPreset;
    EXPECT_NE(startAfterArrow.find("1:01"), std::string::npos) << startAfterArrow;
    EXPECT_NE(endAfterArrows.find("22:00"), std::string::npos) << endAfterArrows;
    EXPECT_NE(refused.find("-12 to 12"), std::string::npos) << refused;
    LocationRecord r = Stored();
    EXPECT_NEAR(r.dst.startHour, 1.0 + 1.0 / 60, 1e-6);
    EXPECT_NEAR(r.dst.endHour, 22.0, 1e-6);
    EXPECT_EQ(r.dst.shift, -1.0f);  // not 23
    EXPECT_EQ(r.dst.startWeek, 3);
    EXPECT_EQ(r.dst.startMonth, 3);
    EXPECT_EQ(r.dst.endMonth, 10);
    EXPECT_EQ(r.dstMode, 2);
}

TEST_F(SiteRuleDialogs, CancelPutsTheRuleBack) {
    Store();
    LocationRecord asked = site_;
    bool ran = RunScript({Press(kSites, IDC_SITE_DST_RULES), Press(kRules, IDC_DST_PRESET_AUS),
                          Arrow(IDC_DST_START_HOUR_UNITS, SB_LINEDOWN), Press(kRules, IDCANCEL),
                          [] { return FindDialog(kRules) == nullptr; }, Press(kSites, IDOK)},
                         [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    LocationRecord r = Stored();
    EXPECT_EQ(0, std::memcmp(&r.dst, &site_.dst, sizeof r.dst));
}

// Types into the value field of the page shown inside the sky-brightness dialog.
Step TypeOnPage(const char *text) {
    std::string t = text;
    return On(kSky, [t](HWND d) { SetWindowTextA(FindDescendant(d, IDC_SKY_VALUE), t.c_str()); });
}

TEST_F(SiteRuleDialogs, SkyBrightnessPagesRefuseTextAndCapValues) {
    Store();
    LocationRecord asked = site_;
    std::string basicRow, advancedRow, refused, unit;
    bool ran = RunScript(
        {Press(kSites, IDC_SITE_SKY),
         On(kSky, [&](HWND d) {
             HWND combo = FindDescendant(d, IDC_SKY_LEVEL);
             basicRow = RowText(GetParent(combo), IDC_SKY_LEVEL,
                                static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)), false);
             testutil::SaveScreenshot(testutil::CaptureClientArea(d), "sky_brightness_basic");
         }),
         TypeOnPage("bright"), Press(kSky, IDOK), Answer(kMessage, IDOK, &refused),
         TypeOnPage("9.5"),
         // To the Advanced page: the Basic page's 8 (capped) is applied on leaving.
         On(kSky, [&](HWND d) {
             HWND tabs = GetDlgItem(d, IDC_SKY_TABS);
             NMHDR n = {tabs, static_cast<UINT_PTR>(IDC_SKY_TABS), static_cast<UINT>(TCN_SELCHANGING)};
             // A dialog answers WM_NOTIFY with its DWLP_MSGRESULT: TRUE refuses the change.
             if (!SendMessageA(d, WM_NOTIFY, IDC_SKY_TABS, reinterpret_cast<LPARAM>(&n))) {
                 SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
                 n.code = static_cast<UINT>(TCN_SELCHANGE);
                 SendMessageA(d, WM_NOTIFY, IDC_SKY_TABS, reinterpret_cast<LPARAM>(&n));
             }
         }),
         On(kSky, [&](HWND d) {
             HWND combo = FindDescendant(d, IDC_SKY_LEVEL);
             advancedRow = RowText(GetParent(combo), IDC_SKY_LEVEL,
                                   static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)), false);
             unit = WindowText(FindDescendant(d, IDC_SKY_UNIT_LINK));
             testutil::SaveScreenshot(testutil::CaptureClientArea(d), "sky_brightness_advanced");
         }),
         TypeOnPage("25"), Press(kSky, IDOK), [] { return FindDialog(kSky) == nullptr; },
         Press(kSites, IDOK)},
        [&] { EXPECT_EQ(PickLocation(nullptr, Resources(), &asked), 1); });
    ASSERT_TRUE(ran) << LastScriptFailure();
    EXPECT_EQ(basicRow, "Suburban");
    EXPECT_EQ(refused, "Please type a number.");
    EXPECT_EQ(advancedRow, "Specify Value");  // 8 gives no class's brightness
    EXPECT_EQ(unit, "mag/arcsec\xB2");
    LocationRecord r = Stored();
    EXPECT_EQ(r.skyBrightness, 23.0);
    EXPECT_DOUBLE_EQ(r.nakedEyeLimit, ComputeNakedEyeLimit(23.0));
}

}  // namespace
