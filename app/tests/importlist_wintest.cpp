// The list-box sink of the import passes on real list boxes: each row carries
// its entry's not-recognised flag, also in a sorting list box or one that
// already held rows, and the question after a failed add is a Yes/No box
// captioned "Gleaner Message" whose answer reaches the pass.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/importlist_win.h"
#include "testutil/dialogscript_win.h"

namespace {

HWND MakeListBox(DWORD style) {
    return CreateWindowExA(0, "LISTBOX", "", WS_POPUP | LBS_HASSTRINGS | style, 0, 0, 300, 200,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

std::string RowText(HWND list, int row) {
    char text[256] = "";
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    return text;
}


}  // namespace

TEST(ImportListSink, RowsCarryTheirFlags) {
    for (DWORD style : {DWORD(0), DWORD(LBS_SORT)}) {
        SCOPED_TRACE(style ? "sorted" : "unsorted");
        HWND list = MakeListBox(style);
        ASSERT_TRUE(list);
        // A row that was there before the pass.
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("B earlier row"));
        SendMessageA(list, LB_SETITEMDATA, 0, 7);
        ImportListSink sink = MakeImportListSink(list);
        ASSERT_TRUE(sink.addRow);
        sink.addRow(sink.context, "C recognised", 0);
        sink.addRow(sink.context, "A not recognised -- warning, object not recognized", 1);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
        for (int row = 0; row < 3; ++row) {
            std::string text = RowText(list, row);
            LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
            const LRESULT expected = text[0] == 'A' ? 1 : text[0] == 'B' ? 7 : 0;
            EXPECT_EQ(data, expected) << text;
        }
        if (style) EXPECT_EQ(RowText(list, 0)[0], 'A');
        else EXPECT_EQ(RowText(list, 2)[0], 'A');
        DestroyWindow(list);
    }
}

TEST(ImportListSink, FailedAddAsksYesOrNo) {
    ImportListSink sink = MakeImportListSink(nullptr);
    ASSERT_TRUE(sink.askGoOn);
    sink.addRow(sink.context, "ignored without a list", 0);  // no window: nothing happens
    std::string text;
    int answer = -1;
    EXPECT_TRUE(testutil::RunScript({testutil::Answer("Gleaner Message", IDYES, &text)},
                                    [&] { answer = sink.askGoOn(sink.context, "Error adding log data for M 1"); }))
        << testutil::LastScriptFailure();
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(text, "Error adding log data for M 1");
    EXPECT_TRUE(testutil::RunScript({testutil::Answer("Gleaner Message", IDNO)},
                                    [&] { answer = sink.askGoOn(sink.context, "Error adding log data for M 2"); }))
        << testutil::LastScriptFailure();
    EXPECT_EQ(answer, 0);
}
