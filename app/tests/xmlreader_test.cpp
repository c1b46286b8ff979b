// The tagged-text reader: tag sequence with comments, CDATA sections and
// declarations stepped over, bounded tag texts, element texts across lines,
// CDATA, entities and very long lines.
#include "app/xmlreader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testutil/testutil.h"

namespace {

// An open file holding the bytes, closed at scope end.
struct TextFile {
    testutil::TempDir dir;
    FILE *f = nullptr;
    explicit TextFile(const std::string &bytes, const char *mode = "rb") {
        std::string path = dir.file("log.xml");
        EXPECT_TRUE(testutil::WriteFileBytes(path, bytes));
        f = std::fopen(path.c_str(), mode);
        EXPECT_NE(f, nullptr);
    }
    ~TextFile() {
        if (f) std::fclose(f);
    }
};

// Every tag of the text, a closing one written with a leading '/'.
std::vector<std::string> Tags(const std::string &bytes, int tagSize = kXmlTagBufferSize) {
    TextFile file(bytes);
    XmlReader r;
    std::vector<std::string> out;
    if (!ReadFirstXmlLine(file.f, &r)) return out;
    std::vector<char> tag(tagSize > 0 ? tagSize : 1);
    int closing = -1;
    for (int guard = 0; guard < 1000 && ReadNextXmlTag(file.f, &r, tag.data(), tagSize, &closing); ++guard)
        out.push_back((closing ? "/" : "") + std::string(tag.data()));
    return out;
}

// The element text after the first opening tag named name.
std::string TextOf(const std::string &bytes, const std::string &name, int *length = nullptr) {
    TextFile file(bytes);
    XmlReader r;
    EXPECT_EQ(ReadFirstXmlLine(file.f, &r), 1);
    char tag[kXmlTagBufferSize];
    int closing = 0;
    std::string text = "<not found>";
    for (int guard = 0; guard < 1000 && ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing); ++guard) {
        if (!closing && name == tag) {
            int n = ReadXmlElementText(file.f, &r, &text);
            EXPECT_EQ(n, static_cast<int>(text.size()));
            if (length) *length = n;
            break;
        }
    }
    return text;
}

using V = std::vector<std::string>;

TEST(XmlReaderTags, Sequence) {
    struct Case {
        const char *name;
        std::string text;
        V tags;
    } cases[] = {
        {"plain", "<LOG>\n<ObjectId>M31</ObjectId>\n</LOG>\n", {"LOG", "ObjectId", "/ObjectId", "/LOG"}},
        {"attributes stay in the tag", "<LOG id=\"1\"><Seeing/></LOG>", {"LOG id=\"1\"", "Seeing/", "/LOG"}},
        {"declaration is a tag", "<?xml version=\"1.0\"?><a>", {"?xml version=\"1.0\"?", "a"}},
        {"comment skipped whole", "<a><!-- <LOG> <ObjectId>M1</ObjectId> </LOG> --><b>", {"a", "b"}},
        {"comment over lines", "<a><!-- one\n<LOG>\ntwo --></a>", {"a", "/a"}},
        {"comment with dashes and >", "<!-- a -> b > c --><x>", {"x"}},
        {"cdata skipped whole", "<a><![CDATA[<LOG> ]] > ]]></a>", {"a", "/a"}},
        {"cdata lower case", "<a><![cdata[<b>]]><c>", {"a", "c"}},
        {"doctype with internal subset",
         "<!DOCTYPE log [\n <!ELEMENT LOG (#PCDATA)>\n <!ENTITY x \"a>b\">\n]>\n<LOG>", {"LOG"}},
        {"tag over two lines keeps its line end", "<LOG\n>", {"LOG\n"}},
        {"text between tags is not a tag", "a < b? no: <x>y</x>", {" b? no: <x", "/x"}},
        {"empty tag", "<>x</>", {"", "/"}},
    };
    for (const Case &c : cases) EXPECT_EQ(Tags(c.text), c.tags) << c.name;
}

TEST(XmlReaderTags, EndOfFileInsideAUnitEndsTheReading) {
    struct Case {
        const char *name;
        std::string text;
        V tags;
    } cases[] = {
        {"tag without >", "<a><b", {"a"}},
        {"< as the last byte", "<a><", {"a"}},
        {"closing tag without >", "<a></a", {"a"}},
        {"comment never closed", "<a><!-- <b>", {"a"}},
        {"cdata never closed", "<a><![CDATA[ <b> ]]", {"a"}},
        {"declaration never closed", "<a><!DOCTYPE [ <b> ]", {"a"}},
        {"empty file", "", {}},
    };
    for (const Case &c : cases) EXPECT_EQ(Tags(c.text), c.tags) << c.name;
}

TEST(XmlReaderTags, TagTextIsBoundedByTheCallersBuffer) {
    // A tag that does not fit is read to its '>' and matches nothing; the
    // reading goes on after it.
    EXPECT_EQ(Tags("<ObservationText>x</ObservationText><LOG>", 8), (V{"", "/", "LOG"}));
    EXPECT_EQ(Tags("<LOG></LOG>", 4), (V{"LOG", "/LOG"}));  // exactly fits
    EXPECT_EQ(Tags("<LOGS>", 4), (V{""}));
    std::string huge = "<" + std::string(100000, 'x') + "><LOG>";
    EXPECT_EQ(Tags(huge), (V{"", "LOG"}));
    // A '<' that is never closed reads the rest of the file and stops cleanly.
    EXPECT_EQ(Tags("<LOG><" + std::string(50000, 'y') + "\n" + std::string(50000, 'z')), (V{"LOG"}));
}

TEST(XmlReaderText, ElementTexts) {
    struct Case {
        const char *name;
        std::string text;
        const char *tag;
        std::string expect;
    } cases[] = {
        {"same line", "<ObjectId>M 31</ObjectId>", "ObjectId", "M 31"},
        {"blanks at the ends are layout", "<ObjectId>  M 31\t</ObjectId>", "ObjectId", "M 31"},
        {"value on the next line", "<ObjectId>\n   M 31\n</ObjectId>", "ObjectId", "M 31"},
        {"multi-line notes", "<Notes>Faint halo,\n  dark lane\r\nseen.</Notes>", "Notes",
         "Faint halo,\r\n  dark lane\r\nseen."},
        {"no text", "<ObjectId></ObjectId>", "ObjectId", ""},
        {"only layout", "<ObjectId>\n  \n</ObjectId>", "ObjectId", ""},
        {"text to the end of the file", "<ObjectId>M 31\n", "ObjectId", "M 31"},
        {"cdata", "<Notes><![CDATA[a <b> & c]]></Notes>", "Notes", "a <b> & c"},
        {"cdata keeps a bracket", "<Notes><![CDATA[see [1] and ]] too]]></Notes>", "Notes",
         "see [1] and ]] too"},
        {"cdata after layout", "<Notes>\n  <![CDATA[x]]>\n</Notes>", "Notes", "x"},
        {"cdata keeps its own blanks", "<Notes><![CDATA[  x  ]]></Notes>", "Notes", "  x  "},
        {"cdata over lines", "<Notes><![CDATA[one\ntwo]]></Notes>", "Notes", "one\r\ntwo"},
        {"text and cdata joined", "<Notes>a &amp; <![CDATA[&amp;]]> b</Notes>", "Notes", "a & &amp; b"},
        {"cdata never closed keeps what was read", "<Notes><![CDATA[abc\ndef", "Notes", "abc\r\ndef"},
        {"comment inside dropped", "<Notes>a<!-- x -->b</Notes>", "Notes", "ab"},
        // A later CDATA section on the same line belongs to a later element.
        {"compact line", "<ObjectId>M31</ObjectId><ObservationText><![CDATA[Nice]]></ObservationText>",
         "ObjectId", "M31"},
        {"empty element before a later cdata",
         "<ObjectId></ObjectId><ObservationText><![CDATA[Nice]]></ObservationText>", "ObjectId", ""},
        {"predefined entities", "<Site>Smith &amp; Sons &lt;&gt;&quot;&apos;</Site>", "Site",
         "Smith & Sons <>\"'"},
        {"numeric references", "<Site>Caf&#233; &#xE9;&#XC9; &#8364;&#x2014;</Site>", "Site",
         "Caf\xE9 \xE9\xC9 \x80\x97"},
        {"unrepresentable character", "<Site>&#x4E2D;</Site>", "Site", "?"},
        {"not a reference stays as written", "<Site>a & b &nbsp; &#; &#0; &#x110000; &#12a; &amp</Site>",
         "Site", "a & b &nbsp; &#; &#0; &#x110000; &#12a; &amp"},
        {"reference does not run past the line", "<Site>&amp\n;</Site>", "Site", "&amp\r\n;"},
    };
    for (const Case &c : cases) EXPECT_EQ(TextOf(c.text, c.tag), c.expect) << c.name;
}

TEST(XmlReaderText, Utf8FilesGiveWindows1252Texts) {
    const std::string cafe = "<Site>Caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD</Site>";  // é € and a CJK character
    struct Case {
        const char *name;
        std::string text;
        std::string expect;
    } cases[] = {
        {"declared", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + cafe, "Caf\xE9 \x80 ?"},
        {"declared with single quotes", "<?xml version='1.0' encoding='utf-8'?>" + cafe, "Caf\xE9 \x80 ?"},
        {"byte-order mark", "\xEF\xBB\xBF" + cafe, "Caf\xE9 \x80 ?"},
        {"in CDATA too", "\xEF\xBB\xBF<Site><![CDATA[\xC3\xA9]]></Site>", "\xE9"},
        {"references stay single bytes", "\xEF\xBB\xBF<Site>&#233;\xC3\xA9</Site>", "\xE9\xE9"},
        {"a byte outside any sequence is kept", "\xEF\xBB\xBF<Site>\xE9t\xC3</Site>", "\xE9t\xC3"},
        {"over-long form is not a character", "\xEF\xBB\xBF<Site>\xE0\x80\xA9</Site>", "\xE0\x80\xA9"},
        // Well-formed UTF-8 is converted whatever the file says; a file that is
        // not UTF-8 throughout and does not say so keeps its bytes.
        {"not declared, UTF-8 throughout", cafe, "Caf\xE9 \x80 ?"},
        {"not declared, not UTF-8 throughout", "<Site>Caf\xC3\xA9 \xE9</Site>", "Caf\xC3\xA9 \xE9"},
        {"another encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Site>Caf\xE9</Site>",
         "Caf\xE9"},
    };
    for (const Case &c : cases) EXPECT_EQ(TextOf(c.text, "Site"), c.expect) << c.name;
    // The byte-order mark is no part of the first tag.
    EXPECT_EQ(Tags("\xEF\xBB\xBF<LOG>"), (V{"LOG"}));
}

TEST(XmlReaderText, CursorStopsOnTheNextTag) {
    TextFile file("<a>one</a><b>two</b>");
    XmlReader r;
    ASSERT_EQ(ReadFirstXmlLine(file.f, &r), 1);
    char tag[64];
    int closing = 0;
    std::string text;
    ASSERT_EQ(ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing), 1);
    EXPECT_EQ(ReadXmlElementText(file.f, &r, &text), 3);
    EXPECT_EQ(text, "one");
    // Read again at once: nothing is left before the closing tag.
    EXPECT_EQ(ReadXmlElementText(file.f, &r, &text), 0);
    EXPECT_EQ(text, "");
    ASSERT_EQ(ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing), 1);
    EXPECT_STREQ(tag, "a");
    EXPECT_EQ(closing, 1);
    ASSERT_EQ(ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing), 1);
    EXPECT_STREQ(tag, "b");
    EXPECT_EQ(closing, 0);
    EXPECT_EQ(ReadXmlElementText(file.f, &r, &text), 3);
    EXPECT_EQ(text, "two");
}

TEST(XmlReaderText, OneLineFileLongerThanALineBuffer) {
    // 200 entries on one line (about 8,000 characters): no text is cut where
    // a 2,047-character buffer would end.
    std::string doc = "<DS>";
    for (int i = 0; i < 200; ++i) doc += "<LOG><ObjectId>NGC " + std::to_string(1000 + i) + "</ObjectId></LOG>";
    doc += "</DS>";
    ASSERT_GT(doc.size(), 3 * 2047u);
    TextFile file(doc);
    XmlReader r;
    ASSERT_EQ(ReadFirstXmlLine(file.f, &r), 1);
    char tag[kXmlTagBufferSize];
    int closing = 0, seen = 0;
    std::string text;
    while (ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing)) {
        if (closing || std::string(tag) != "ObjectId") continue;
        ReadXmlElementText(file.f, &r, &text);
        EXPECT_EQ(text, "NGC " + std::to_string(1000 + seen));
        ++seen;
    }
    EXPECT_EQ(seen, 200);
    EXPECT_EQ(r.lineNumber, 1);

    int n = 0;
    std::string notes(5000, 'n');
    EXPECT_EQ(TextOf("<Notes>" + notes + "</Notes>", "Notes", &n), notes);
    EXPECT_EQ(n, 5000);
}

TEST(XmlReaderText, TextModeFileWithCrLf) {
    // Opened as text: CR LF line ends read on Windows as LF, elsewhere as CR LF;
    // both give the same texts.
    TextFile file("<LOG>\r\n<Notes>one\r\ntwo</Notes>\r\n</LOG>\r\n", "r");
    XmlReader r;
    ASSERT_EQ(ReadFirstXmlLine(file.f, &r), 1);
    char tag[64];
    int closing = 0;
    std::string text;
    ASSERT_EQ(ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing), 1);
    EXPECT_STREQ(tag, "LOG");
    ASSERT_EQ(ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing), 1);
    EXPECT_STREQ(tag, "Notes");
    EXPECT_EQ(ReadXmlElementText(file.f, &r, &text), 8);
    EXPECT_EQ(text, "one\r\ntwo");
    ASSERT_EQ(ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing), 1);
    ASSERT_EQ(ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing), 1);
    EXPECT_STREQ(tag, "LOG");
    EXPECT_EQ(closing, 1);
    EXPECT_EQ(ReadNextXmlTag(file.f, &r, tag, sizeof tag, &closing), 0);
}

TEST(XmlReaderLines, FirstLineAndSkippedLines) {
    {
        TextFile file("");
        XmlReader r;
        EXPECT_EQ(ReadFirstXmlLine(file.f, &r), 0);
    }
    {
        // A skipped line is a whole line, however long.
        TextFile file(std::string(9000, 'h') + "\nsecond\n<a>\n");
        EXPECT_EQ(SkipXmlLines(file.f, 2), 2);
        XmlReader r;
        ASSERT_EQ(ReadFirstXmlLine(file.f, &r), 1);
        EXPECT_EQ(r.line, "<a>\n");
        EXPECT_EQ(SkipXmlLines(file.f, 5), 0);
    }
    {
        TextFile file("one\ntwo");
        EXPECT_EQ(SkipXmlLines(file.f, 5), 2);
    }
}

TEST(XmlReaderRecords, RecordLinesAndExtractors) {
    {
        TextFile file("<DEEPSKY2000>\n<LOG>\n<ObjectId>M1</ObjectId>\n<Rating>\n3</Rating>\n</DEEPSKY2000>\nx\n");
        std::string buf;
        V got;
        while (ReadXmlRecordLines(&buf, file.f)) got.push_back(buf);
        EXPECT_EQ(got, (V{"<DEEPSKY2000>\n<LOG>\n<ObjectId>M1</ObjectId>\n", "<Rating>\n3</Rating>\n"}));
    }
    {
        TextFile file("<a>\nno end");
        std::string buf;
        EXPECT_EQ(ReadXmlRecordLines(&buf, file.f), 0);
    }
    struct Case {
        const char *text;
        int cdataOk;
        const char *cdata;
        int tagOk;
        const char *tagText;
    } cases[] = {
        {"<a><![CDATA[x]y]]></a>", 1, "x]y", 1, ""},
        {"<a>M 31</a>", 0, "", 1, "M 31"},
        {"<a>open", 0, "", 0, ""},
        {"CDATA[never closed", 0, "", 0, ""},
        {"no tags", 0, "", 0, ""},
    };
    for (const Case &c : cases) {
        std::string out = "junk";
        EXPECT_EQ(ExtractCdataText(c.text, &out), c.cdataOk) << c.text;
        EXPECT_EQ(out, c.cdata) << c.text;
        out = "junk";
        EXPECT_EQ(ExtractTagText(c.text, &out), c.tagOk) << c.text;
        EXPECT_EQ(out, c.tagText) << c.text;
    }
}

}  // namespace

namespace {

TEST(XmlReaderNames, TagsAreKnownByTheirElementNames) {
    struct Case {
        const char *tag;
        const char *name;
        int has;
        int selfClosing;
    } cases[] = {
        {"observation", "observation", 1, 0},
        {"Observation", "OBSERVATION", 1, 0},
        {"observation id=\"obs_1\"", "observation", 1, 0},
        {"observation\n   id=\"obs_1\"", "observation", 1, 0},
        {"observation\tid='1'", "observation", 1, 0},
        {"observation/", "observation", 1, 1},
        {"seeing scale=\"antoniadi\" /", "seeing", 1, 1},
        {"observations", "observation", 0, 0},
        {"obs", "observation", 0, 0},
        {"observation:x", "observation", 0, 0},
        {"ns:observation", "observation", 0, 0},
        {"observation", "", 0, 0},
        {"", "observation", 0, 0},
        // A name the format gives with its attributes still matches itself.
        {"LOG id=\"1\"", "LOG id=\"1\"", 1, 0},
        {"a/b", "a", 1, 0},  // not self-closing: the '/' is not the last character
    };
    for (const Case &c : cases) {
        EXPECT_EQ(XmlTagHasName(c.tag, c.name, 65), c.has) << c.tag << " / " << c.name;
        EXPECT_EQ(IsSelfClosingXmlTag(c.tag), c.selfClosing) << c.tag;
    }
    // The name is read only up to its field's size.
    EXPECT_EQ(XmlTagHasName("LOG", "LOGBOOK", 3), 1);
}

}  // namespace
