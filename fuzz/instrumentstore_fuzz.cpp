// Fuzz target: the instrument store "instr.bin" and the four pools as damaged
// files could hold them, read through every reader, and the store changed by
// one writer.
//
// Input: a control byte, then a compact image. Control bits 0-2 pick the
// file (0-3 instr.bin, 4 the eyepiece pool, 5 filters, 6 lenses, 7 cameras);
// for instr.bin bits 3-4 pick the change (none, append, delete, backup) and
// bits 5-7 its index. The image of instr.bin is its 9-byte header, then up to
// three records, each given by its first 400 and its last 200 bytes (the name
// lies there) with zeros between, so that short inputs make whole records; a
// pool file is taken as it is.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzzscratch.h"
#include "instruments/camerapool.h"
#include "instruments/eyepiecepool.h"
#include "instruments/filterpool.h"
#include "instruments/instrumentstore.h"
#include "instruments/lenspool.h"

namespace {

const size_t kRecord = kInstrumentRecordSize;
const size_t kHeadBytes = 400, kTailBytes = 200;

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "instrument store check failed: %s\n", what);
        std::abort();
    }
}

int StoredCount(FILE *f) {
    uint8_t b[2];
    if (!f || std::fseek(f, 7, SEEK_SET) != 0 || std::fread(b, 1, 2, f) != 2) return -1;
    return b[0] | (b[1] << 8);
}

std::string Slurp(const std::string &path) {
    std::string out;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char b[65536];
    size_t n;
    while ((n = std::fread(b, 1, sizeof b, f)) > 0) out.append(b, n);
    std::fclose(f);
    return out;
}

template <typename Record, typename Reader>
void ReadPool(FILE *f, int32_t count, Reader read) {
    if (!f) return;
    std::unique_ptr<Record> r(new Record);
    for (int i = 0; i < count && i < 64; ++i) read(f, i, r.get());
    std::fclose(f);
}

void Store(uint8_t control) {
    int32_t count = -1;
    FILE *f = OpenInstrumentFile(&count);
    if (!f) return;
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    for (int i = 0; i < count && i < 8; ++i)
        if (ReadInstrument(f, r.get(), i)) fuzz::TerminatedLength(r->name, sizeof r->name, "instrument name");
    std::unique_ptr<InstrumentRecord> probe(new InstrumentRecord(fuzz::StoredInstrument(0)));
    int at = -1;
    FindInstrumentByName(f, probe.get(), count, &at);
    FindInstrumentById(f, r.get(), 1);
    int index = (control >> 5) - 1;
    int before = StoredCount(f);
    switch ((control >> 3) & 3) {
    case 1: {
        std::unique_ptr<InstrumentRecord> add(new InstrumentRecord(fuzz::StoredInstrument(1)));
        int ok = AppendInstrument(f, add.get());
        Check(StoredCount(f) == (ok ? before + 1 : before), "append raises the count by one or not at all");
        break;
    }
    case 2: {
        int ok = DeleteInstrument(&f, index);
        if (ok) Check(StoredCount(f) == before - 1, "delete lowers the count by one");
        else if (f) Check(StoredCount(f) == before, "a failed delete keeps the count");
        break;
    }
    case 3:
        BackupInstrumentFile();
        break;
    default:
        break;
    }
    if (f) std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const std::string &folder = fuzz::ScratchFolder();
    uint8_t control = data[0];
    ++data;
    --size;
    int which = control & 7;
    if (which >= 4) {
        std::string path = folder + "/pool.bin";
        Check(fuzz::WriteScratchFile("pool.bin", data, size), "write pool");
        int32_t count = -1;
        uint8_t stamp[5];
        switch (which) {
        case 4:
            ReadPool<EyepieceRecord>(OpenOtherEyepieceFile(path.c_str(), &count), count, ReadEyepieceRecord);
            break;
        case 5:
            ReadPool<FilterRecord>(OpenOtherFilterFile(path.c_str(), &count), count, ReadFilterRecord);
            break;
        case 6:
            ReadPool<LensRecord>(OpenOtherLensFile(path.c_str(), &count), count, ReadLensRecord);
            break;
        default:
            ReadPool<CameraRecord>(OpenOtherCameraFile(path.c_str(), &count, stamp), count, ReadCameraRecord);
            break;
        }
        return 0;
    }
    // Expand the compact image of instr.bin.
    std::vector<uint8_t> file(9, 0);
    size_t take = size < 9 ? size : 9;
    std::memcpy(file.data(), data, take);
    data += take;
    size -= take;
    for (int k = 0; k < 3 && size > 0; ++k) {
        size_t at = file.size();
        file.resize(at + kRecord, 0);
        size_t n = size < kHeadBytes ? size : kHeadBytes;
        std::memcpy(&file[at], data, n);
        data += n;
        size -= n;
        n = size < kTailBytes ? size : kTailBytes;
        std::memcpy(&file[at + kRecord - kTailBytes], data, n);
        data += n;
        size -= n;
    }
    std::string kept = Slurp(folder + "/instr.bin");
    Check(fuzz::WriteScratchFile("instr.bin", file.data(), file.size()), "write instr.bin");
    Store(control);
    fuzz::WriteScratchFile("instr.bin", (const uint8_t *)kept.data(), kept.size());
    std::remove((folder + "/instr.bak").c_str());
    return 0;
}
