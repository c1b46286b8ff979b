// Version stamps of the stores and their acceptance rule.
#include "core/versionstamp.h"
#include "core/safefile.h"

int GetStampVersion(const VersionStamp *stamp) {
    if (!stamp) return 0;
    int letter = 0;
    if (stamp->letter != ' ' && stamp->letter != '\0')
        letter = (int)(signed char)stamp->letter - 96;
    return stamp->major * 1000 + stamp->minor * 100 + letter;
}

int CurrentStampVersion() { return 3106; }

void SetCurrentStamp(VersionStamp *stamp) {
    if (!stamp) return;
    stamp->magic = kStampMagic;
    stamp->major = 3;
    stamp->minor = 1;
    stamp->letter = 'f';
}

int AcceptStampedStore(FILE *f, int rewrite) {
    if (!f || std::fseek(f, 0, SEEK_SET) != 0) return 0;
    VersionStamp s;
    if (std::fread(&s, sizeof s, 1, f) != 1) return 0;
    if (s.magic != kStampMagic || s.major <= 2) return 0;
    int v = GetStampVersion(&s);
    if (v > CurrentStampVersion()) return 0;
    if (v != CurrentStampVersion() && rewrite) {
        VersionStamp cur;
        SetCurrentStamp(&cur);
        if (std::fseek(f, 0, SEEK_SET) != 0 || SafeWrite(&cur, sizeof cur, 1, f) != 1 ||
            !SafeFlush(f))
            return 0;
    }
    return std::fseek(f, (long)sizeof s, SEEK_SET) == 0 ? 1 : 0;
}
