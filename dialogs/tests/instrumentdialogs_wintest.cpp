// The instrument dialogs driven for real under Wine: a script of steps runs
// from a thread timer inside the dialogs' own modal loops (clicks and list
// choices are posted as the controls would send them, texts typed with
// WM_SETTEXT), and the stores are checked afterwards. The templates come from
// the program's resources (gleaner.exe loaded as a data file). Captures of
// the dialogs go to the build tree's "screenshots" folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/chartdefinition.h"
#include "charts/chartstore.h"
#include "charts/chartsync.h"
#include "instruments/filterpool.h"
#include "instruments/lenspool.h"
#include "core/userfolder.h"
#include "instruments/eyepiecepool.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "testutil/screenshot_win.h"
#include "testutil/dialogscript_win.h"
#include "testutil/testutil.h"
#include "ui/controls.h"
#include "ui/dib.h"
#include "ui/picturectl_win.h"
#include "resources/instrumentids.h"

namespace {

using namespace testutil;

// ---- screenshots ----------------------------------------------------------------

void Capture(HWND window, const char *name) {
    testutil::SaveScreenshot(testutil::CaptureClientArea(window), name);
}

// ---- fixture -----------------------------------------------------------------------

HINSTANCE Resources() { return ProgramResources(); }

std::unique_ptr<InstrumentRecord> Scope(const char *name, int eyepieces) {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0, sizeof *r);
    std::snprintf(r->name, sizeof r->name, "%s", name);
    r->kind = kInstrumentTelescope;
    r->opticsCount = 1;
    r->mounting = 1;
    InitTelescopeOptics(&r->optics[0], "Main Scope", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.5);
    for (int i = 0; i < eyepieces; ++i) SetEyepieceEntry(&r->optics[0], 0, i, "Plossl 25", 25.0, 52.0);
    r->optics[0].eyepieceCount = (uint8_t)eyepieces;
    return r;
}

std::unique_ptr<InstrumentRecord> Binocs(const char *name) {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0, sizeof *r);
    std::snprintf(r->name, sizeof r->name, "%s", name);
    r->kind = kInstrumentBinoculars;
    r->opticsCount = 1;
    InitFixedMagnificationOptics(&r->optics[0], "Binoculars", 8.0, 42.0, 0.0);
    return r;
}

std::string Row(uint8_t type, double aperture, double focal, const char *name) {
    std::string b(85, '\0');
    b[0] = (char)type;
    b[1] = 0;
    std::memcpy(&b[2], &aperture, 8);
    std::memcpy(&b[10], &focal, 8);
    b[18] = 1;
    b[19] = 1;
    std::memcpy(&b[20], name, std::strlen(name));
    return b;
}

class InstrumentDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Resources()) << "gleaner.exe (the dialog templates) is not in the build folder";
        static bool registered = false;
        if (!registered) {
            HINSTANCE self = GetModuleHandleA(nullptr);
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
            InitCommonControlsEx(&icc);
            RegisterHyperTextClass(self);
            RegisterCShadeClass(self);
            RegisterDibClass(self);
            registered = true;
        }
        SetUserDataFolder(dir.path().c_str());
        GetCurrentDirectoryA(sizeof savedCwd, savedCwd);
        // The standard telescope list is read from "bin/scopes.bin" of the
        // current folder when the installation folder holds none.
        CreateDirectoryA(dir.file("bin").c_str(), nullptr);
        int32_t two = 2;
        std::string list = std::string((const char *)&two, 4) + Row(1, 102.0, 714.0, "Apo 102") +
                           Row(2, 203.2, 1219.2, "Dob 8 inch");
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("bin/scopes.bin"), list));
        SetCurrentDirectoryA(dir.path().c_str());
        // Four general charts and the two default charts.
        std::string charts(2, '\0');
        charts[0] = 4;
        for (int i = 0; i < 4; ++i) {
            std::string g(kChartRecordSize, '\0');
            g[99] = 1;
            g[100] = (char)(i == 3 ? 5 : i);
            charts += g;
        }
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("charts.bin"), charts));
        std::unique_ptr<ChartDefinition> c(new ChartDefinition);
        std::memset(c.get(), 0, sizeof *c);
        c->viewCount = 3;
        c->views[0].role = 2;
        ASSERT_EQ(WriteDefaultChart(0, c.get()), 1);
        ASSERT_EQ(WriteDefaultChart(1, c.get()), 1);
    }
    void TearDown() override {
        SetCurrentDirectoryA(savedCwd);
        SetUserDataFolder("");
    }
    void Add(InstrumentRecord *r) {
        CreateInstrumentFile();
        int32_t n = 0;
        StoreFilePtr f(OpenInstrumentFile(&n));
        ASSERT_TRUE(f);
        ASSERT_EQ(AppendInstrument(f.get(), r), 1);
    }
    std::vector<std::unique_ptr<InstrumentRecord>> Stored() {
        std::vector<std::unique_ptr<InstrumentRecord>> out;
        int32_t n = 0;
        StoreFilePtr f(OpenInstrumentFile(&n));
        for (int i = 0; f && i < n; ++i) {
            std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
            if (ReadInstrument(f.get(), r.get(), i)) out.push_back(std::move(r));
        }
        return out;
    }
    std::string InstrBytes() { return testutil::ReadFileBytes(dir.file("instr.bin")); }
    testutil::TempDir dir;
    char savedCwd[MAX_PATH] = "";
};

// ---- instrument choice -------------------------------------------------------------

TEST_F(InstrumentDialogs, ChooseAStoredInstrumentTheNakedEyeOrTypeAName) {
    auto a = Scope("Scope A", 1);
    auto b = Binocs("Binocs B");
    Add(a.get());
    Add(b.get());
    auto r = Scope("Caller", 0);
    r->id = 0;
    int lines = 0;
    std::string first, preselected;
    {
        ScriptRun run;
        OnDialog("Select Instrument", "choose Binocs B", [&](HWND d) {
            lines = RowCount(d, IDC_INSTRUMENT_LIST);
            first = RowText(d, IDC_INSTRUMENT_LIST, 0);
            LRESULT sel = SendDlgItemMessageA(d, IDC_INSTRUMENT_LIST, LB_GETCURSEL, 0, 0);
            preselected = sel == LB_ERR ? "" : RowText(d, IDC_INSTRUMENT_LIST, (int)sel);
            Capture(d, "instrument_choice");
            ChooseLine(d, IDC_INSTRUMENT_LIST, 2);
            Click(d, IDOK);
        });
        EXPECT_EQ(ChooseInstrument(nullptr, Resources(), r.get(), 0), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(first, "Naked Eye");
    EXPECT_EQ(preselected, "Naked Eye");  // id 0
    EXPECT_STREQ(r->name, "Binocs B");
    EXPECT_EQ(+r->kind, kInstrumentBinoculars);
    // OK on the preselected line gives that line's record: here the naked eye
    // for a caller whose blank record has id 0 (not the blank record).
    std::memset(r.get(), 0, sizeof *r);
    {
        ScriptRun run;
        OnDialog("Select Instrument", "OK", [](HWND d) { Click(d, IDOK); });
        EXPECT_EQ(ChooseInstrument(nullptr, Resources(), r.get(), 0), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(+r->kind, kInstrumentNakedEye);
    EXPECT_STREQ(r->name, "Naked Eye");
    // Mode 1: "Enter String" and a typed name change only the name.
    auto keep = Scope("Caller", 2);
    keep->id = 77;
    {
        ScriptRun run;
        OnDialog("Select Instrument", "Enter String", [](HWND d) {
            ChooseLine(d, IDC_INSTRUMENT_LIST, RowCount(d, IDC_INSTRUMENT_LIST) - 1);
            Click(d, IDOK);
        });
        OnDialog("Instrument Name", "type a name", [](HWND d) {
            TypeText(d, IDC_INSTRUMENT_NAME_ENTRY, "Celestron 8");
            Capture(d, "instrument_name_entry");
            Click(d, IDOK);
        });
        EXPECT_EQ(ChooseInstrument(nullptr, Resources(), keep.get(), 1), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_STREQ(keep->name, "Celestron 8");
    EXPECT_EQ(+keep->id, 77);
    EXPECT_EQ(+keep->optics[0].eyepieceCount, 2);
}

// ---- telescopes ------------------------------------------------------------------------

TEST_F(InstrumentDialogs, NewTelescopeFromAStandardRowWithAPoolEyepiece) {
    ASSERT_GT(AddEyepieceRecord("Plossl 25", 25.0, 52.0), 0);
    ASSERT_GT(AddEyepieceRecord("Nagler 9", 9.0, 82.0), 0);
    bool emptyDisabled = false, newEnabled = false;
    std::string shownName, listLine;
    int poolLines = 0;
    {
        ScriptRun run;
        OnDialog("Add/ModifyTelescopes", "empty store", [&](HWND d) {
            emptyDisabled = !IsWindowEnabled(GetDlgItem(d, IDC_SCOPE_NAME)) &&
                            !IsWindowEnabled(GetDlgItem(d, IDC_SCOPE_DELETE));
            newEnabled =
                IsWindowEnabled(GetDlgItem(d, IDC_SCOPE_NEW)) && IsWindowEnabled(GetDlgItem(d, IDOK));
            Capture(d, "telescopes_empty");
            Click(d, IDC_SCOPE_NEW);
        });
        OnDialog("New Telescope", "standard row", [](HWND d) {
            ChooseLine(d, IDC_SCOPESELECT_LIST, 2);
            Capture(d, "new_telescope_list");
            Click(d, IDOK);
        });
        OnDialog("Add/ModifyTelescopes", "rename", [&](HWND d) {
            shownName = ItemText(d, IDC_SCOPE_NAME);
            TypeText(d, IDC_SCOPE_NAME, "Big~Dob");  // refused: the name stays
            TypeText(d, IDC_SCOPE_NAME, "My Dob");
            listLine = RowText(d, IDC_SCOPE_LIST, 0);
            Click(d, IDC_SCOPE_EYEPIECES);
        });
        OnDialog("Select Eyepieces To Use With Telescope", "assign the second", [&](HWND d) {
            poolLines = RowCount(d, IDC_POOL_LIST);
            ChooseLine(d, IDC_POOL_LIST, 1);
            Click(d, IDC_POOL_ASSIGN);
        });
        OnDialog("Select Eyepieces To Use With Telescope", "assign the first", [&](HWND d) {
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_ASSIGN);
        });
        OnDialog("Select Eyepieces To Use With Telescope", "ok", [](HWND d) {
            Capture(d, "eyepieces_assigned");
            Click(d, IDOK);
        });
        OnDialog("Add/ModifyTelescopes", "done", [](HWND d) {
            Capture(d, "telescope_edited");
            Click(d, IDOK);
        });
        RunScopeDialog(nullptr, Resources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_TRUE(emptyDisabled);
    EXPECT_TRUE(newEnabled);
    EXPECT_EQ(shownName, "Dob 8 inch");
    EXPECT_EQ(listLine, "My Dob");
    EXPECT_EQ(poolLines, 2);
    auto stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    const InstrumentRecord &t = *stored[0];
    EXPECT_STREQ(t.name, "My Dob");
    EXPECT_NEAR(t.optics[0].aperture, 203.2, 1e-3);
    EXPECT_NEAR(t.optics[0].focalRatio, 6.0, 1e-9);
    ASSERT_EQ(+t.optics[0].eyepieceCount, 2);
    EXPECT_STREQ(t.optics[0].eyepieces[0].name, "Nagler 9");  // in assignment order
    EXPECT_STREQ(t.optics[0].eyepieces[1].name, "Plossl 25");
    // Done brought the charts in step: a chart for the new telescope.
    int32_t n = 0;
    StoreFilePtr charts(OpenChartStore(&n));
    ASSERT_TRUE(charts);
    ASSERT_EQ(n, 5);
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    ASSERT_EQ(ReadChart(charts.get(), c.get(), 4), 1);
    EXPECT_EQ(+c->instrumentId, +t.id);
}

TEST_F(InstrumentDialogs, CancelAfterEditsNewAndDeletePutsTheStoreBack) {
    auto a = Scope("Refractor A", 1);
    auto b = Binocs("Binocs B");
    auto c = Scope("Reflector C", 2);
    Add(a.get());
    Add(b.get());
    Add(c.get());
    std::string before = InstrBytes();
    bool refused = false, stillOpen = false;
    int linesAfterNew = 0;
    {
        ScriptRun run;
        OnDialog("Add/ModifyTelescopes", "edit and new", [&](HWND d) {
            TypeText(d, IDC_SCOPE_NAME, "Renamed");
            TypeText(d, IDC_SCOPE_APERTURE, "12");
            Click(d, IDC_SCOPE_NEW);
        });
        OnDialog("New Telescope", "manual", [](HWND d) { Click(d, IDOK); });
        OnDialog("Add/ModifyTelescopes", "done refused", [&](HWND d) {
            linesAfterNew = RowCount(d, IDC_SCOPE_LIST);
            Click(d, IDOK);  // the new telescope has no eyepiece
        });
        OnDialog("Nightjar Message", "no eyepieces message", [&](HWND m) {
            refused = true;
            Capture(m, "telescopes_need_eyepieces");
            PostMessageA(m, WM_COMMAND, IDOK, 0);
        });
        OnDialog("Add/ModifyTelescopes", "delete", [&](HWND d) {
            stillOpen = true;
            ChooseLine(d, IDC_SCOPE_LIST, 0);
            Click(d, IDC_SCOPE_DELETE);
        });
        OnDialog("Nightjar Message", "yes", [](HWND m) { PostMessageA(m, WM_COMMAND, IDYES, 0); });
        OnDialog("Add/ModifyTelescopes", "cancel", [](HWND d) { Click(d, IDCANCEL); });
        RunScopeDialog(nullptr, Resources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(linesAfterNew, 3);
    EXPECT_TRUE(refused);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(InstrBytes(), before);
}

TEST_F(InstrumentDialogs, CancelOnAStoreThatDidNotExistLeavesNone) {
    {
        ScriptRun run;
        OnDialog("Add/ModifyTelescopes", "new", [](HWND d) { Click(d, IDC_SCOPE_NEW); });
        OnDialog("New Telescope", "manual", [](HWND d) { Click(d, IDOK); });
        OnDialog("Add/ModifyTelescopes", "cancel", [](HWND d) { Click(d, IDCANCEL); });
        RunScopeDialog(nullptr, Resources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_FALSE(testutil::PathIsThere(dir.file("instr.bin")));
}

// ---- binoculars -------------------------------------------------------------------------

TEST_F(InstrumentDialogs, NewBinocularsEditedAndSaved) {
    std::string name, field, fieldAfter, upDown;
    {
        ScriptRun run;
        OnDialog("Add/Modify Binoculars", "new", [](HWND d) { Click(d, IDC_BINOC_NEW); });
        OnDialog("Add/Modify Binoculars", "edit", [&](HWND d) {
            name = ItemText(d, IDC_BINOC_NAME);
            field = ItemText(d, IDC_BINOC_FIELD);
            Click(d, IDC_BINOC_UP_DOWN);             // flipped ...
            TypeText(d, IDC_BINOC_MAGNIFICATION, "10");  // ... and back to normal with the new magnification
            fieldAfter = ItemText(d, IDC_BINOC_FIELD);
            upDown = ItemText(d, IDC_BINOC_UP_DOWN);
            TypeText(d, IDC_BINOC_APERTURE, "0");  // refused
            TypeText(d, IDC_BINOC_NAME, "Big Pair");
            Capture(d, "binoculars");
            Click(d, IDOK);
        });
        RunBinocsDialog(nullptr, Resources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(name, "New Binocs");
    EXPECT_EQ(field, "7.1\xB0");
    EXPECT_EQ(fieldAfter, "5.9\xB0");
    EXPECT_EQ(upDown, "Normal");
    auto stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_STREQ(stored[0]->name, "Big Pair");
    EXPECT_DOUBLE_EQ(+stored[0]->optics[0].magnification, 10.0);
    EXPECT_DOUBLE_EQ(+stored[0]->optics[0].aperture, 50.0);
}

TEST_F(InstrumentDialogs, BinocularDeleteKeyAndCancelRestore) {
    auto b = Binocs("Pair One");
    Add(b.get());
    auto c = Binocs("Pair Two");
    Add(c.get());
    std::string before = InstrBytes();
    int linesAfter = -1;
    {
        ScriptRun run;
        OnDialog("Add/Modify Binoculars", "delete key",
                 [](HWND d) { PostMessageA(GetDlgItem(d, IDC_BINOC_LIST), WM_KEYDOWN, VK_DELETE, 0); });
        OnDialog("Nightjar Message", "yes", [](HWND m) { PostMessageA(m, WM_COMMAND, IDYES, 0); });
        OnDialog("Add/Modify Binoculars", "new then cancel", [&](HWND d) {
            linesAfter = RowCount(d, IDC_BINOC_LIST);
            Click(d, IDC_BINOC_NEW);
            Click(d, IDCANCEL);
        });
        RunBinocsDialog(nullptr, Resources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(linesAfter, 1);
    EXPECT_EQ(InstrBytes(), before);
}

// ---- eyepiece pool -------------------------------------------------------------------------

TEST_F(InstrumentDialogs, EyepiecePoolEditsAreUndoneByCancel) {
    auto a = Scope("Scope A", 1);  // its "Plossl 25" is added to the pool on opening
    Add(a.get());
    ASSERT_GT(AddEyepieceRecord("Nagler 9", 9.0, 82.0), 0);
    std::string poolAfterSync;
    std::string editName;
    int poolLinesAfterNew = 0, limitMessages = 0;
    {
        ScriptRun run;
        OnDialog("Add/ModifyTelescopes", "eyepieces", [](HWND d) { Click(d, IDC_SCOPE_EYEPIECES); });
        OnDialog("Select Eyepieces To Use With Telescope", "new", [&](HWND d) {
            poolAfterSync = testutil::ReadFileBytes(dir.file("eyep.bin"));
            Click(d, IDC_POOL_NEW);
        });
        OnDialog("Edit Eyepiece Data", "edit new", [&](HWND d) {
            editName = ItemText(d, IDC_POOLITEM_NAME);
            TypeText(d, IDC_POOLITEM_NAME, "Erfle 32");
            TypeText(d, IDC_EYEPIECE_FOCAL_LENGTH, "32");
            TypeText(d, IDC_EYEPIECE_APPARENT_FIELD, "65");
            Capture(d, "edit_eyepiece");
            Click(d, IDOK);
        });
        OnDialog("Select Eyepieces To Use With Telescope", "delete from pool", [&](HWND d) {
            poolLinesAfterNew = RowCount(d, IDC_POOL_LIST);
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_DELETE);
        });
        OnDialog("Nightjar Message", "yes", [](HWND m) { PostMessageA(m, WM_COMMAND, IDYES, 0); });
        OnDialog("Select Eyepieces To Use With Telescope", "cancel", [](HWND d) { Click(d, IDCANCEL); });
        OnDialog("Add/ModifyTelescopes", "cancel", [](HWND d) { Click(d, IDCANCEL); });
        RunScopeDialog(nullptr, Resources());
        EXPECT_EQ(run.Failure(), "");
        (void)limitMessages;
    }
    EXPECT_EQ(editName, "New Eyepiece");
    EXPECT_EQ(poolLinesAfterNew, 3);
    EXPECT_EQ(testutil::ReadFileBytes(dir.file("eyep.bin")), poolAfterSync);
    char name[33];
    double fl = 0, af = 0;
    EXPECT_NE(GetEyepieceRecordById(1, name, &fl, &af), 0);
    EXPECT_STREQ(name, "Nagler 9");
}

// ---- default charts question and the one-telescope editor ---------------------------------

TEST_F(InstrumentDialogs, NewTelescopeCopiesTheChartOfTheChosenModel) {
    ASSERT_GT(AddEyepieceRecord("Plossl 25", 25.0, 52.0), 0);
    auto a = Scope("Model Scope", 1);
    Add(a.get());
    {
        int32_t n = 0;
        StoreFilePtr f(OpenInstrumentFile(&n));
        ASSERT_EQ(SyncInstrumentCharts(f.get(), n, -1), 1);
    }
    // The user's colours in the model's chart.
    {
        int32_t n = 0;
        StoreFilePtr charts(OpenChartStore(&n));
        ASSERT_EQ(n, 5);
        std::unique_ptr<ChartDefinition> c(new ChartDefinition);
        ASSERT_EQ(ReadChart(charts.get(), c.get(), 4), 1);
        c->scheme[10] = 0x5A;
        ASSERT_EQ(WriteChart(charts.get(), c.get(), 4), 1);
    }
    bool stayed = false;
    int modelLines = 0;
    {
        ScriptRun run;
        OnDialog("Add/ModifyTelescopes", "new", [](HWND d) { Click(d, IDC_SCOPE_NEW); });
        OnDialog("New Telescope", "manual", [](HWND d) { Click(d, IDOK); });
        OnDialog("Add/ModifyTelescopes", "eyepieces", [](HWND d) { Click(d, IDC_SCOPE_EYEPIECES); });
        OnDialog("Select Eyepieces To Use With Telescope", "assign", [](HWND d) {
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_ASSIGN);
        });
        OnDialog("Select Eyepieces To Use With Telescope", "ok", [](HWND d) { Click(d, IDOK); });
        OnDialog("Add/ModifyTelescopes", "done", [](HWND d) { Click(d, IDOK); });
        OnDialog("Default Settings for New Instruments", "copy without a line", [&](HWND d) {
            modelLines = RowCount(d, IDC_INSTDEFAULT_LIST);
            Click(d, IDC_INSTDEFAULT_COPY);
            Click(d, IDOK);  // nothing chosen: stays open
        });
        OnDialog("Default Settings for New Instruments", "choose the model", [&](HWND d) {
            stayed = true;
            ChooseLine(d, IDC_INSTDEFAULT_LIST, 0);
            Capture(d, "default_chart_question");
            Click(d, IDOK);
        });
        RunScopeDialog(nullptr, Resources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_TRUE(stayed);
    EXPECT_EQ(modelLines, 1);
    auto stored = Stored();
    ASSERT_EQ(stored.size(), 2u);
    int32_t n = 0;
    StoreFilePtr charts(OpenChartStore(&n));
    ASSERT_EQ(n, 6);
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    bool found = false;
    for (int i = 4; i < n; ++i) {
        ASSERT_EQ(ReadChart(charts.get(), c.get(), i), 1);
        if (c->instrumentId != stored[1]->id) continue;
        found = true;
        EXPECT_EQ(c->scheme[10], 0x5A);  // taken from the model's chart
    }
    EXPECT_TRUE(found);
}

TEST_F(InstrumentDialogs, OneTelescopeEditorSavesInTheDatabase) {
    auto r = Scope("Loaner", 1);
    bool saveEnabled = false;
    std::string afterBadName;
    {
        ScriptRun run;
        OnDialog("Edit Telescope", "rename and save", [&](HWND d) {
            saveEnabled = IsWindowEnabled(GetDlgItem(d, IDC_SCOPE_SAVE)) != 0;
            TypeText(d, IDC_SCOPE_NAME, "Loaner{2}");
            afterBadName = ItemText(d, IDC_SCOPE_NAME);
            TypeText(d, IDC_SCOPE_NAME, "Loaner 2");
            Capture(d, "edit_telescope");
            Click(d, IDC_SCOPE_SAVE);
        });
        EXPECT_EQ(RunScopeEditDialog(nullptr, Resources(), r.get()), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_TRUE(saveEnabled);
    EXPECT_EQ(afterBadName, "Loaner");
    EXPECT_STREQ(r->name, "Loaner 2");
    auto stored = Stored();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_STREQ(stored[0]->name, "Loaner 2");
}

// ---- filters and lenses of a camera ------------------------------------------------------

TEST_F(InstrumentDialogs, FilterAndLensPoolsNewRecordsAndCancelledEdits) {
    std::unique_ptr<CameraEntry> cam(new CameraEntry);
    std::memset(cam.get(), 0, sizeof *cam);
    cam->filterCount = 1;
    std::snprintf(cam->filters[0].name, 33, "Red");
    cam->filters[0].wavelength = 0.65;
    cam->filters[0].bandwidth = 0.1;
    cam->filters[0].peakTransmission = 0.9;
    g_currentCamera = cam.get();
    std::string density;
    {
        ScriptRun run;
        OnDialog("Assign Filters to Camera", "new", [](HWND d) { Click(d, IDC_POOL_NEW); });
        OnDialog("Type of Filter", "neutral density", [](HWND d) { Click(d, IDC_FILTERTYPE_ND); });
        OnDialog("Edit Neutral Density Filter Data", "half", [&](HWND d) {
            TypeText(d, IDC_POOLITEM_NAME, "ND 0.3");
            TypeText(d, IDC_NDFILTER_VALUE, "50");
            CheckRadioButton(d, IDC_NDFILTER_TRANSMISSION, IDC_NDFILTER_ATTENUATION, IDC_NDFILTER_DENSITY);
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_NDFILTER_DENSITY, BN_CLICKED),
                         (LPARAM)GetDlgItem(d, IDC_NDFILTER_DENSITY));
            density = ItemText(d, IDC_NDFILTER_VALUE);
            Capture(d, "edit_nd_filter");
            Click(d, IDOK);
        });
        OnDialog("Assign Filters to Camera", "new again", [](HWND d) { Click(d, IDC_POOL_NEW); });
        OnDialog("Type of Filter", "standard", [](HWND d) { Click(d, IDC_FILTERTYPE_STANDARD); });
        OnDialog("Edit Filter Data", "cancel", [](HWND d) {
            Capture(d, "edit_filter");
            Click(d, IDCANCEL);
        });
        OnDialog("Assign Filters to Camera", "assign nd", [](HWND d) {
            ChooseLine(d, IDC_POOL_LIST, 1);
            Click(d, IDC_POOL_ASSIGN);
        });
        OnDialog("Assign Filters to Camera", "ok", [](HWND d) {
            Capture(d, "filters_assigned");
            Click(d, IDOK);
        });
        EXPECT_EQ(RunInstrumentDialog(Resources(), "CamFilterDlg", nullptr, CamFilterDlgProc), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(density, "0.30");
    int32_t n = 0;
    {
        StoreFilePtr f(OpenFilterFile(&n));
        EXPECT_EQ(n, 2);  // "Red" from the camera, the ND filter; the cancelled one is gone
    }
    ASSERT_EQ(AssignedFilterIds.ids.size(), 2u);
    FilterRecord nd;
    ASSERT_EQ(GetFilterRecordById(AssignedFilterIds.ids[1], &nd), 1);
    EXPECT_STREQ(nd.name, "ND 0.3");
    EXPECT_NEAR(nd.peakTransmission, std::pow(10.0, -0.3), 1e-12);  // read back from the density shown
    EXPECT_EQ(nd.wavelength, 0.0);
    // A new lens whose edit is cancelled does not stay in the pool.
    {
        ScriptRun run;
        OnDialog("Assign Lenses to Camera", "new", [](HWND d) { Click(d, IDC_POOL_NEW); });
        OnDialog("Edit Lens Data", "ratio below 1", [](HWND d) {
            TypeText(d, IDC_LENS_FOCAL_LENGTH, "300");
            TypeText(d, IDC_LENS_FOCAL_RATIO, "0.9");
            Click(d, IDOK);
        });
        OnDialog("Nightjar Message", "refused", [](HWND m) { PostMessageA(m, WM_COMMAND, IDOK, 0); });
        OnDialog("Edit Lens Data", "cancel", [](HWND d) { Click(d, IDCANCEL); });
        OnDialog("Assign Lenses to Camera", "ok", [](HWND d) { Click(d, IDOK); });
        EXPECT_EQ(RunInstrumentDialog(Resources(), "CamLensDlg", nullptr, CamLensDlgProc), 1);
        EXPECT_EQ(run.Failure(), "");
    }
    StoreFilePtr lenses(OpenLensFile(&n));
    EXPECT_EQ(n, 0);
    g_currentCamera = nullptr;
}

TEST_F(InstrumentDialogs, UpDownSwapsTelescopesAcrossBinoculars) {
    auto a = Scope("First", 1);
    auto b = Binocs("Pair");
    auto c = Scope("Second", 1);
    Add(a.get());
    Add(b.get());
    Add(c.get());
    std::string firstLine;
    {
        ScriptRun run;
        OnDialog("Add/ModifyTelescopes", "move down", [&](HWND d) {
            static NMUPDOWN ud;
            std::memset(&ud, 0, sizeof ud);
            ud.hdr.hwndFrom = GetDlgItem(d, IDC_SCOPE_MOVE);
            ud.hdr.idFrom = IDC_SCOPE_MOVE;
            ud.hdr.code = UDN_DELTAPOS;
            ud.iDelta = -1;  // on the first line: nothing moves
            SendMessageA(d, WM_NOTIFY, IDC_SCOPE_MOVE, (LPARAM)&ud);
            ud.iDelta = 1;
            SendMessageA(d, WM_NOTIFY, IDC_SCOPE_MOVE, (LPARAM)&ud);
            firstLine = RowText(d, IDC_SCOPE_LIST, 0);
            Click(d, IDOK);
        });
        RunScopeDialog(nullptr, Resources());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(firstLine, "Second");
    auto stored = Stored();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_STREQ(stored[0]->name, "Second");
    EXPECT_STREQ(stored[1]->name, "Pair");  // the binoculars stay in place
    EXPECT_STREQ(stored[2]->name, "First");
}

TEST_F(InstrumentDialogs, ApparentFieldMeasuredThroughAStoredTelescopeFromTheEditor) {
    auto stored = Scope("Measuring Scope", 1);  // 8 inch f/6: 1219.2 mm
    Add(stored.get());
    ASSERT_GT(AddEyepieceRecord("Mystery 24", 24.0, 50.0), 0);
    auto r = Scope("In memory", 0);
    std::string field;
    {
        ScriptRun run;
        OnDialog("Edit Telescope", "eyepieces", [](HWND d) { Click(d, IDC_SCOPE_EYEPIECES); });
        OnDialog("Select Eyepieces To Use With Telescope", "edit", [](HWND d) {
            ChooseLine(d, IDC_POOL_LIST, 0);
            Click(d, IDC_POOL_EDIT);
        });
        OnDialog("Edit Eyepiece Data", "calculate", [](HWND d) { Click(d, IDC_EYEPIECE_CALCULATE_FIELD); });
        OnDialog("Compute Apparent Field of View", "measured", [](HWND d) {
            TypeText(d, IDC_FOV_MEASURED, "60");
            Capture(d, "fov_from_measurement");
            Click(d, IDOK);
        });
        OnDialog("Edit Eyepiece Data", "read", [&](HWND d) {
            field = ItemText(d, IDC_EYEPIECE_APPARENT_FIELD);
            Click(d, IDCANCEL);
        });
        OnDialog("Select Eyepieces To Use With Telescope", "cancel", [](HWND d) { Click(d, IDCANCEL); });
        OnDialog("Edit Telescope", "cancel", [](HWND d) { Click(d, IDCANCEL); });
        EXPECT_EQ(RunScopeEditDialog(nullptr, Resources(), r.get()), 0);
        EXPECT_EQ(run.Failure(), "");
    }
    // 60' x 1219.2 mm / 24 mm = 50.8 degrees.
    EXPECT_EQ(field, "50.8");
}

}  // namespace
