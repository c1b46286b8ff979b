// Fuzz target: the head of an exchange package and the dialog-settings store
// "dds.bin" as damaged files could hold them.
//
// Input: a control byte, then the file. Control bit 0 picks the file. A
// package's header is read with its description (whose length must never run
// past the file), and the reader rule applied. The dialog settings are walked
// for every key in use, read, and changed by one store and one removal; the
// chain must then still be walkable.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/dlgsettings.h"
#include "core/package.h"
#include "fuzz/fuzzscratch.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "package or settings check failed: %s\n", what);
        std::abort();
    }
}

const int kKeys[] = {kDdsReportPrint, kDdsCoordinateUnits, kDdsRecentObjects, kDdsSkyBrightnessTab,
                     kDdsSearchScope,  kDdsHorizon,         kDdsGps};

void Package(const uint8_t *data, size_t size) {
    Check(fuzz::WriteScratchFile("package.pkg", data, size), "write package");
    FILE *f = std::fopen((fuzz::ScratchFolder() + "/package.pkg").c_str(), "rb");
    if (!f) return;
    PackageHeader header;
    char *text = nullptr;
    if (ReadPackageHeader(f, &header, &text)) {
        Check(header.textLength >= 0 && (size_t)header.textLength + sizeof header <= size, "text within the file");
        if (text) Check(std::strlen(text) <= (size_t)header.textLength, "text terminated");
        for (int kind = 1; kind <= 9; ++kind) PackageHeaderAccepted(&header, kind);
    }
    delete[] text;
    std::fclose(f);
}

void Settings(const uint8_t *data, size_t size) {
    Check(fuzz::WriteScratchFile("dds.bin", data, size), "write dds.bin");
    std::vector<uint8_t> buffer(8192);
    for (int key : kKeys) GetDialogSetting(buffer.data(), 4, key);
    GetDialogSetting(buffer.data(), 4740, kDdsRecentObjects);
    const uint8_t value[4] = {1, 2, 3, 4};
    if (PutDialogSetting(value, 4, kDdsSearchScope)) {
        uint8_t back[4] = {0};
        Check(GetDialogSetting(back, 4, kDdsSearchScope) == 1 && std::memcmp(back, value, 4) == 0,
              "a stored setting reads back");
    }
    DeleteDialogSetting(kDdsGps);
    FILE *f = OpenDialogSettings();
    if (f) {
        DialogSettingHeader h;
        for (int key : kKeys) {
            std::fseek(f, 0, SEEK_SET);
            SeekDialogSetting(f, key, &h);
        }
        std::fclose(f);
    }
    std::remove((fuzz::ScratchFolder() + "/dds.bin").c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    fuzz::ScratchFolder();
    if (data[0] & 1)
        Settings(data + 1, size - 1);
    else
        Package(data + 1, size - 1);
    return 0;
}
