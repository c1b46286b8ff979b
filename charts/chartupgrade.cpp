// Conversion of the previous generation's chart definitions (see
// chartupgrade.h). Offsets are byte offsets into the old and the new record;
// the per-view ones are given for view 0 and move by a view's size.
#include "charts/chartupgrade.h"

#include <cstring>
#include <memory>
#include <vector>

#include "core/safefile.h"
#include "core/textutil.h"

const char *const kContextChartName = "Context View";

namespace {

const int kChartNameSize = 64;
const int kTextureNameSize = 65;
const int kMaxViews = 3;
const int kOldChartOffset = 2;  // after the int16 count
// The view byte and view-word fields of the added context chart.
const uint8_t kContextViewKind = 5;
const uint8_t kContextViewSetting = 1;
const int32_t kContextViewBit = 0x20;
// A colour is dark when each of its red, green and blue bytes is at most this.
const int kDarkColourLevel = 128;

// Writes into the new record from the old one.
struct Converter {
    const uint8_t *old;
    uint8_t *out;
    void Copy(int to, int from, int size) const { std::memcpy(out + to, old + from, static_cast<size_t>(size)); }
    void Set8(int to, uint8_t v) const { out[to] = v; }
    void Set16(int to, int16_t v) const { std::memcpy(out + to, &v, 2); }
    void Set32(int to, int32_t v) const { std::memcpy(out + to, &v, 4); }
    void SetDouble(int to, double v) const { std::memcpy(out + to, &v, 8); }
    void Fill(int to, uint8_t v, int size) const { std::memset(out + to, v, static_cast<size_t>(size)); }
    int32_t Old32(int from) const {
        int32_t v;
        std::memcpy(&v, old + from, 4);
        return v;
    }
    uint16_t Old16(int from) const {
        uint16_t v;
        std::memcpy(&v, old + from, 2);
        return v;
    }
    // Old values 1 and 2 of the scheme's mode byte swap places; 0 stays, any
    // other value leaves the (zeroed) byte alone.
    void SwapMode(int to, int from) const {
        uint8_t v = old[from];
        if (v == 0) out[to] = 0;
        else if (v == 1) out[to] = 2;
        else if (v == 2) out[to] = 1;
    }
    // A table of count old entries of size bytes that gains one more entry, a
    // copy of the old last one.
    void CopyGrowByOne(int to, int from, int size, int count) const {
        Copy(to, from, size * count);
        Copy(to + size * count, from + size * (count - 1), size);
    }
};

// One view: old at oldBase, new at newBase (record offsets of view 0 plus
// the view's displacement).
void ConvertView(const Converter &c, int ov, int nv) {
    uint8_t kind = c.old[ov + 100];
    c.Copy(nv + 100, ov + 100, 1);
    if (kind == 1) {
        c.Set8(nv + 101, 4);
        c.Set8(nv + 103, 4);
    } else if (kind >= 2 && kind <= 4) {
        c.Set8(nv + 101, 1);
        c.Set8(nv + 103, 4);
    } else {
        c.Copy(nv + 101, ov + 101, 1);
        c.Copy(nv + 103, ov + 103, 1);
    }
    c.Copy(nv + 102, ov + 102, 1);
    c.Copy(nv + 104, ov + 104, 2);
    c.Copy(nv + 106, ov + 106, 48);   // twelve int32
    c.Copy(nv + 154, ov + 154, 80);   // ten eight-byte values
    c.Copy(nv + 234, ov + 234, 12);   // three int32
    c.Copy(nv + 246, ov + 246, 16);
    c.Set8(nv + 262, 1);
    c.Set32(nv + 263, static_cast<int32_t>(c.Old16(ov + 262)));  // widened
    c.Copy(nv + 267, ov + 264, 2);
    c.Copy(nv + 269, ov + 271, 1);
    c.Copy(nv + 270, ov + 273, 3);
    // The low 15 bits, and the old sign bit 15 moved to bit 31.
    uint16_t packed = c.Old16(ov + 293);
    uint32_t widened = packed & 0x7fffu;
    if (packed & 0x8000u) widened |= 0x80000000u;
    c.Set32(nv + 273, static_cast<int32_t>(widened));
    // Two tables of nine 60-byte entries grow to eleven.
    const int kEntry = 60, kOldEntries = 9;
    c.Copy(nv + 277, ov + 295, kEntry * kOldEntries);
    c.Copy(nv + 277 + kEntry * 9, ov + 295, kEntry);
    c.Copy(nv + 277 + kEntry * 10, ov + 295, kEntry);
    c.Copy(nv + 937, ov + 835, kEntry * kOldEntries);
    c.Fill(nv + 937 + kEntry * 9, 1, kEntry * 2);
    c.Fill(nv + 1597, 2, 11);
    c.Fill(nv + 1608, 1, 11);
    // Byte tables of nine entries grow to eleven.
    c.Copy(nv + 1619, ov + 1384, 9);
    c.Fill(nv + 1628, 1, 2);
    c.Copy(nv + 1630, ov + 1393, 9);
    c.Fill(nv + 1639, 1, 2);
    c.Copy(nv + 1641, ov + 1402, 9);
    c.Fill(nv + 1650, 0, 2);
    c.Copy(nv + 1652, ov + 1411, 9);
    c.Copy(nv + 1661, ov + 1411, 1);
    c.Copy(nv + 1662, ov + 1411, 1);
    // Int32 pairs of nine entries grow to eleven; the new ones repeat entry 0.
    for (int table = 0; table < 2; ++table) {
        int from = ov + (table == 0 ? 1420 : 1492), to = nv + (table == 0 ? 1663 : 1751);
        c.Copy(to, from, 8 * 9);
        c.Copy(to + 8 * 9, from, 8);
        c.Copy(to + 8 * 10, from, 8);
    }
    c.Set8(nv + 1839, 1);
    c.Copy(nv + 1840, ov + 1564, 2);
    c.Copy(nv + 1842, ov + 1566, 16);  // four int32
    c.Copy(nv + 1858, ov + 1582, 2);
    c.Copy(nv + 1860, ov + 1584, 16);
    c.Copy(nv + 1940, ov + 1600, 2);
    c.Copy(nv + 1942, ov + 1602, 32);  // eight int32
    c.Set16(nv + 1974, -1);
    c.Set8(nv + 1976, 0);
    c.Set8(nv + 1977, 0);
    c.Copy(nv + 2040, ov + 1634, 1);
    c.Copy(nv + 2041, ov + 1635, 8);   // two int32
    c.Copy(nv + 2049, ov + 1643, 4);
}

// The scheme tables shared by both parts: old base ob, new base nb are the
// offsets of the first int32 table (4,994 and 6,680 in the first part).
void ConvertSchemeTables(const Converter &c, int ob, int nb) {
    c.CopyGrowByOne(nb, ob, 4, 14);                    // 14 int32 -> 15
    c.CopyGrowByOne(nb + 60, ob + 56, 4, 14);          // 14 int32 -> 15
    c.CopyGrowByOne(nb + 120, ob + 112, 1, 14);        // 14 bytes -> 15
    c.CopyGrowByOne(nb + 135, ob + 126, 2, 14);        // 14 int16 -> 15
    c.CopyGrowByOne(nb + 165, ob + 154, 1, 14);        // 14 bytes -> 15
    c.Copy(nb + 180, ob + 168, 4 * 10);                // 10 int32 -> 12, new ones 0
    c.Fill(nb + 220, 0, 8);
    c.Copy(nb + 228, ob + 208, 10);                    // 10 bytes -> 12, new ones 1
    c.Fill(nb + 238, 1, 2);
    c.Copy(nb + 240, ob + 218, 2 * 10);                // 10 int16 -> 12, new ones entry 0
    c.Copy(nb + 260, ob + 218, 2);
    c.Copy(nb + 262, ob + 218, 2);
    c.Copy(nb + 264, ob + 238, 60 * 25);               // 25 entries of 60 bytes
    c.Copy(nb + 1764, ob + 1678, 60);                  // the 26th
    c.Copy(nb + 1824, ob + 1738, 4 * 25);              // 25 int32
    c.Copy(nb + 1924, ob + 1834, 4);                   // the 26th
}

// Fields taken from the old view 0 into a part's chart-level block at nb
// (8,608 in the first part, 16,970 in the second).
void CopyFromOldViewZero(const Converter &c, int nb) {
    c.Copy(nb, 276, 1);
    c.Copy(nb + 1, 277, 4);    // two int16
    c.Copy(nb + 5, 281, 12);   // three int32
    c.Set16(nb + 17, 0);
    c.Copy(nb + 20, 267, 4);
    c.Copy(nb + 24, 272, 1);
}

}  // namespace

int ConvertOldChartDefinition(const uint8_t *old, ChartDefinition *record) {
    if (!old || !record) return 0;
    std::memset(record, 0, sizeof *record);
    Converter c{old, reinterpret_cast<uint8_t *>(record)};

    // Head. The name is bounded at its field; a damaged view count is held
    // to the three view blocks the record has.
    size_t nameLength = strnlen(reinterpret_cast<const char *>(old), kChartNameSize - 1);
    c.Copy(0, 0, static_cast<int>(nameLength));
    c.Copy(64, 64, 32);
    c.Copy(96, 96, 3);
    int views = old[99];
    if (views < 1) views = 1;
    if (views > kMaxViews) views = kMaxViews;
    c.Set8(99, static_cast<uint8_t>(views));
    c.Copy(6340, 4741, 72);
    c.Copy(6412, 4813, 168);
    c.Copy(6580, 4981, 2);
    const uint8_t settings[7] = {0, 1, 1, 1, 0, 1, 1};
    std::memcpy(c.out + 6582, settings, sizeof settings);

    for (int v = 0; v < views; ++v) ConvertView(c, kOldChartViewSize * v, static_cast<int>(sizeof(ChartView)) * v);

    // Chart-level fields of the first part: the colour scheme.
    c.Copy(6594, 4984, 2);
    c.Copy(6672, 4986, 8);  // two int32, the first the background colour
    c.SwapMode(6596, 4983);
    c.SetDouble(6662, 1.0);
    c.Set8(6671, 3);
    // The texture: the inverted disc on a dark or chosen-dark background.
    const char *texture = "sdisk";
    uint8_t textureFlag = 0;
    if (old[4983] == 1) {
        uint32_t colour = static_cast<uint32_t>(c.Old32(4986));
        bool dark = (colour & 0xff) <= kDarkColourLevel && ((colour >> 8) & 0xff) <= kDarkColourLevel &&
                    ((colour >> 16) & 0xff) <= kDarkColourLevel;
        uint8_t mode = c.out[6594];
        if (mode == 1 || (mode != 0 && dark)) {
            texture = "sdiski";
        } else {
            textureFlag = 2;
        }
    }
    CopyStringZeroFilled(reinterpret_cast<char *>(c.out + 6597), texture, kTextureNameSize);
    c.Set8(6670, textureFlag);
    ConvertSchemeTables(c, 4994, 6680);
    CopyFromOldViewZero(c, 8608);
    c.Set8(8633, 1);
    c.Set8(8634, 1);
    c.Copy(8699, 6832, 8);   // two int32
    c.Copy(8707, 6840, 1);
    c.Copy(8708, 6841, 8);   // two int32

    // Second part: the views as converted, then its own scheme.
    for (int v = 0; v < views; ++v) {
        int size = static_cast<int>(sizeof(ChartView));
        std::memcpy(c.out + 8716 + size * v, c.out + 100 + size * v, static_cast<size_t>(size));
    }
    c.Copy(14956, 11491, 2);
    c.Copy(15034, 11493, 8);  // two int32
    c.SwapMode(14958, 11490);
    CopyStringZeroFilled(reinterpret_cast<char *>(c.out + 14959), "sdisk", kTextureNameSize);
    c.SetDouble(15024, 1.0);
    c.Set8(15032, 0);
    c.Set8(15033, 0);
    ConvertSchemeTables(c, 11501, 15042);
    CopyFromOldViewZero(c, 16970);
    c.Set8(16995, 2);
    c.Set8(16996, 0);
    c.Copy(17061, 13339, 72);
    c.Copy(17133, 13411, 96);
    c.Copy(17229, 13507, 60);
    c.Copy(17289, 13567, 2);
    return 1;
}

int ReadOldChartRecord(FILE *file, ChartDefinition *record, int index) {
    if (!file || !record || index < 0) return 0;
    std::vector<uint8_t> old(kOldChartRecordSize);
    if (!SafeSeek(file, kOldChartOffset + static_cast<int64_t>(index) * kOldChartRecordSize) ||
        SafeRead(old.data(), old.size(), 1, file) != 1)
        return 0;
    return ConvertOldChartDefinition(old.data(), record);
}

int UpgradeChartsFile(const char *oldPath, const char *newPath) {
    if (!oldPath || !newPath) return 0;
    FileHandle in(SafeOpen(oldPath, "rb"));
    if (!in) return 0;
    int16_t count = 0;
    if (!ReadCheckedRecordCount(in.get(), kOldChartRecordSize, &count)) return 0;
    // A file of charts gains the context chart; an empty one stays empty.
    if (count == INT16_MAX) return 0;
    int16_t written = count > 0 ? static_cast<int16_t>(count + 1) : 0;

    SafeRewrite out;
    if (!BeginSafeRewrite(newPath, &out)) return 0;
    if (SafeWrite(&written, 2, 1, out.file) != 1) return 0;
    std::unique_ptr<ChartDefinition> first(new ChartDefinition);
    std::unique_ptr<ChartDefinition> chart(new ChartDefinition);
    auto writeContext = [&]() {
        std::unique_ptr<ChartDefinition> context(new ChartDefinition);
        std::memcpy(context.get(), first.get(), sizeof(ChartDefinition));
        uint8_t *bytes = reinterpret_cast<uint8_t *>(context.get());
        CopyStringZeroFilled(context->name, kContextChartName, kChartNameSize);
        context->viewCount = 1;
        bytes[100] = kContextViewKind;
        bytes[101] = kContextViewSetting;
        int32_t word;
        std::memcpy(&word, bytes + 263, 4);
        word |= kContextViewBit;
        std::memcpy(bytes + 263, &word, 4);
        return SafeWrite(context.get(), sizeof(ChartDefinition), 1, out.file) == 1;
    };
    for (int i = 0; i < count; ++i) {
        if (i == kContextChartPosition && !writeContext()) return 0;
        if (!ReadOldChartRecord(in.get(), chart.get(), i)) return 0;
        if (i == 0) std::memcpy(first.get(), chart.get(), sizeof(ChartDefinition));
        if (SafeWrite(chart.get(), sizeof(ChartDefinition), 1, out.file) != 1) return 0;
    }
    // Fewer charts than the context chart's place: it goes last, so that the
    // raised count covers a record.
    if (count > 0 && count <= kContextChartPosition && !writeContext()) return 0;
    return CommitSafeRewrite(&out);
}

int CopyChartDefinition(const ChartDefinition *source, ChartDefinition *target) {
    if (!source || !target) return 0;
    const uint8_t *s = reinterpret_cast<const uint8_t *>(source);
    uint8_t *t = reinterpret_cast<uint8_t *>(target);
    char name[kChartNameSize];
    std::memcpy(name, source->name, sizeof name);
    name[kChartNameSize - 1] = 0;
    CopyStringZeroFilled(target->name, name, kChartNameSize);
    std::memcpy(t + 64, s + 64, 36);  // head bytes 64-99
    int views = s[99] > kMaxViews ? kMaxViews : s[99];
    std::memcpy(t + 100, s + 100, sizeof(ChartView) * static_cast<size_t>(views));
    std::memcpy(t + 6340, s + 6340, 72);
    std::memcpy(t + 6412, s + 6412, 168);
    std::memcpy(t + 6580, s + 6580, 2);
    std::memcpy(t + 6582, s + 6582, 12);  // three int32
    std::memcpy(t + 6594, s + 6594, 2104);
    t[8698] = s[8698];
    std::memcpy(t + 8699, s + 8699, 8848);  // to 17,546
    return 1;
}

int ReadChartDefinitionCopy(FILE *file, ChartDefinition *record, int index) {
    if (!file || !record || index < 0) return 0;
    std::unique_ptr<ChartDefinition> read(new ChartDefinition);
    if (!SafeSeek(file, kChartHeaderSize + static_cast<int64_t>(index) * kChartRecordSize) ||
        SafeRead(read.get(), sizeof(ChartDefinition), 1, file) != 1)
        return 0;
    return CopyChartDefinition(read.get(), record);
}
