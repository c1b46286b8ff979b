// Fuzz target: the tag-by-tag reader of tagged log files on arbitrary files.
//
// Input: byte 0 picks the caller's tag buffer size (1, 2, 8, 65, 300 or the
// pass's 2048) and, in its top bits, which opening tags have their element
// text read; byte 1 the lines to skip (0..3); the rest is the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/xmlreader.h"
#include "fuzz/fuzzscratch.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "xml reader check failed: %s\n", what);
        std::abort();
    }
}

void CheckReader(const XmlReader &r) { Check(r.cursor <= r.line.size(), "the cursor stays in its line"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    static const int kSizes[6] = {1, 2, 8, 65, 300, kXmlTagBufferSize};
    int tagSize = kSizes[(data[0] & 7) % 6];
    int textMode = data[0] >> 3;  // bit k: read the text after the k-th opening tag (mod 5)
    int skip = data[1] & 3;
    fuzz::ScratchFolder();
    Check(fuzz::WriteScratchFile("reader.xml", data + 2, size - 2), "write file");
    std::string path = fuzz::ScratchFolder() + "/reader.xml";

    FILE *f = std::fopen(path.c_str(), "rb");
    Check(f != nullptr, "open file");
    SkipXmlLines(f, skip);
    XmlReader r;
    if (ReadFirstXmlLine(f, &r)) {
        CheckReader(r);
        std::vector<char> tag((size_t)tagSize + 16, '\x55');
        int opening = 0;
        // Every tag and every element text consumes at least one byte.
        for (size_t guard = 0;; ++guard) {
            Check(guard <= size + 2, "reading ends");
            int closing = -1;
            int got = ReadNextXmlTag(f, &r, tag.data(), tagSize, &closing);
            CheckReader(r);
            if (!got) break;
            size_t n = fuzz::TerminatedLength(tag.data(), (size_t)tagSize, "tag");
            Check(tag[(size_t)tagSize] == '\x55', "nothing written past the tag buffer");
            Check(closing == 0 || closing == 1, "closing is 0 or 1");
            (void)n;
            if (!closing && ((textMode >> (opening++ % 5)) & 1)) {
                std::string text;
                int len = ReadXmlElementText(f, &r, &text);
                CheckReader(r);
                Check(len >= 0 && (size_t)len == text.size(), "the length is the text's");
            }
        }
    }
    std::fclose(f);

    // The routines beside the reader.
    std::string text(reinterpret_cast<const char *>(data + 2), size - 2);
    text = text.substr(0, text.find('\0'));
    std::string out;
    if (!ExtractCdataText(text.c_str(), &out)) Check(out.empty(), "no CDATA: empty text");
    if (!ExtractTagText(text.c_str(), &out)) Check(out.empty(), "no tag text: empty text");
    f = std::fopen(path.c_str(), "rb");
    Check(f != nullptr, "reopen file");
    std::string buffer;
    for (size_t guard = 0; ReadXmlRecordLines(&buffer, f); ++guard) Check(guard <= size, "record lines end");
    std::fclose(f);
    return 0;
}
