// Constellation name tables and the readers of the constellation name, extent
// and description files (reference directory slot 0).
#include "objects/constellations.h"

#include <cctype>
#include <cstring>
#include <string>

#include "core/textutil.h"
#include "core/datapaths.h"
#include "objects/catcache.h"
#include "objects/catfile.h"

namespace {

const int kConnamesCatalogue = 45;   // "connames"
const int kConboundCatalogue = 46;   // "conbound"
const int kShowCatalogue = 92;       // "show"
const int kConnamesRecord = 28;
const int kConboundRecord = 22;

}  // namespace

const char kConstellationAbbreviations[88][4] = {
    "And", "Ant", "Aps", "Aqr", "Aql", "Ara", "Ari", "Aur", "Boo", "Cae", "Cam", "Cnc",
    "CVn", "CMa", "CMi", "Cap", "Car", "Cas", "Cen", "Cep", "Cet", "Cha", "Cir", "Col",
    "Com", "CrA", "CrB", "Crv", "Crt", "Cru", "Cyg", "Del", "Dor", "Dra", "Equ", "Eri",
    "For", "Gem", "Gru", "Her", "Hor", "Hya", "Hyi", "Ind", "Lac", "Leo", "LMi", "Lep",
    "Lib", "Lup", "Lyn", "Lyr", "Men", "Mic", "Mon", "Mus", "Nor", "Oct", "Oph", "Ori",
    "Pav", "Peg", "Per", "Phe", "Pic", "Psc", "PsA", "Pup", "Pyx", "Ret", "Sge", "Sgr",
    "Sco", "Scl", "Sct", "Ser", "Sex", "Tau", "Tel", "Tri", "TrA", "Tuc", "UMa", "UMi",
    "Vel", "Vir", "Vol", "Vul"};

const char kConstellationGenitives[88][20] = {
    "Andromedae", "Antliae", "Apodis", "Aquarii", "Aquilae", "Arae", "Arietis", "Aurigae",
    "Bootis", "Caeli", "Camelopardalis", "Cancri", "Canum Venaticorum", "Canis Majoris",
    "Canis Minoris", "Capricorni", "Carinae", "Cassiopeiae", "Centauri", "Cephei", "Ceti",
    "Chamaeleontis", "Circini", "Columbae", "Comae Berenices", "Coronae Australis",
    "Coronae Borealis", "Corvi", "Crateris", "Crucis", "Cygni", "Delphini", "Doradus",
    "Draconis", "Equulei", "Eridani", "Fornacis", "Geminorum", "Gruis", "Herculis",
    "Horologii", "Hydrae", "Hydri", "Indi", "Lacertae", "Leonis", "Leonis Minoris",
    "Leporis", "Librae", "Lupi", "Lyncis", "Lyrae", "Mensae", "Microscopii", "Monocerotis",
    "Muscae", "Normae", "Octantis", "Ophiuchi", "Orionis", "Pavonis", "Pegasi", "Persei",
    "Phoenicis", "Pictoris", "Piscium", "Piscis Austrini", "Puppis", "Pyxidis", "Reticuli",
    "Sagittae", "Sagittarii", "Scorpii", "Sculptoris", "Scuti", "Serpentis", "Sextantis",
    "Tauri", "Telescopii", "Trianguli", "Trianguli Australis", "Tucanae", "Ursae Majoris",
    "Ursae Minoris", "Velorum", "Virginis", "Volantis", "Vulpeculae"};

const char kGreekLetterNames[24][8] = {
    "Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta", "Theta",
    "Iota", "Kappa", "Lambda", "Mu", "Nu", "Xi", "Omicron", "Pi",
    "Rho", "Sigma", "Tau", "Upsilon", "Phi", "Chi", "Psi", "Omega"};

int FindGreekLetterName(const char *text) {
    if (!text) return -1;
    size_t n = std::strlen(text);
    if (n < 2) return -1;
    for (int i = 0; i < 24; ++i) {
        const char *name = kGreekLetterNames[i];
        if (std::strlen(name) < n) continue;
        if (std::toupper(static_cast<unsigned char>(name[0])) !=
            std::toupper(static_cast<unsigned char>(text[0])))
            continue;
        if (std::strncmp(name + 1, text + 1, n - 1) == 0) return i;
    }
    return -1;
}

namespace {

// The IAU abbreviations of alpha, theta and xi ("alf Cyg", "tet Ori",
// "ksi Pup"), which the prefix rule of FindGreekLetterName cannot read.
int FindGreekLetterAbbreviation(const char *text) {
    struct Abbreviation {
        const char *text;
        int letter;
    };
    static const Abbreviation kForms[] = {{"alf", 0}, {"tet", 7}, {"ksi", 13}};
    for (const Abbreviation &a : kForms) {
        if (std::strlen(text) != 3) break;
        if (std::tolower(static_cast<unsigned char>(text[0])) == a.text[0] &&
            std::strcmp(text + 1, a.text + 1) == 0)
            return a.letter;
    }
    return -1;
}

}  // namespace

int ParseGreekLetterWord(const char *word, int *letter, int *superscript) {
    if (!word) return 0;
    std::string w(word);
    int s = 0;
    if (w.size() >= 3 && w.back() >= '1' && w.back() <= '9' &&
        !std::isdigit(static_cast<unsigned char>(w[w.size() - 2]))) {
        s = w.back() - '0';
        w.pop_back();
    }
    int g = FindGreekLetterName(w.c_str());
    // The IAU's three-letter forms that are not the start of the name.
    if (g < 0) g = FindGreekLetterAbbreviation(w.c_str());
    if (g < 0) return 0;
    if (letter) *letter = g;
    if (superscript) *superscript = s;
    return 1;
}

int ConstellationTablePosition(int index) {
    if (index < 0 || index >= kConstellationCount) return -1;
    return index <= 75 ? index : index - 1;
}

FILE *OpenConstellationNames() { return OpenCatalogueFile(kConnamesCatalogue, 0); }

int ReadConstellationName(FILE *stream, int index, char *name, double *ra, double *dec) {
    if (!stream || index < -1) return 0;
    long position;
    if (index >= 0) {
        position = static_cast<long>(index) * kConnamesRecord;
        if (std::fseek(stream, position, SEEK_SET) != 0) return 0;
    } else {
        position = std::ftell(stream);
        if (position < 0) return 0;
    }
    unsigned char rec[kConnamesRecord];
    if (std::fread(rec, 1, sizeof(rec), stream) != sizeof(rec)) return 0;
    if (name) {
        std::memcpy(name, rec, kConstellationNameSize);
        name[kConstellationNameSize - 1] = '\0';
    }
    if (ra) *ra = TurnFractionToRadians(GetI32(rec + 20));
    if (dec) *dec = TurnFractionToRadians(GetI32(rec + 24));
    return static_cast<int>(position / kConnamesRecord) + 1;
}

int FindConstellationByName(const char *name) {
    if (!name) return -1;
    try {
        // The names held in memory: every text recognition walks past the
        // constellations is looked up here.
        static DerivedFromImage<FoldedNameMap> cache;
        const FoldedNameMap *names = cache.Get(
            CatalogueFileImage(kConnamesCatalogue, 0), [](const CatalogueImage &image, FoldedNameMap *out) {
                size_t count = image.bytes.size() / kConnamesRecord;
                if (count > static_cast<size_t>(kConstellationCount)) count = kConstellationCount;
                for (size_t i = 0; i < count; ++i) {
                    char text[kConstellationNameSize];
                    std::memcpy(text, image.bytes.data() + i * kConnamesRecord, kConstellationNameSize);
                    text[kConstellationNameSize - 1] = '\0';
                    out->emplace(FoldCase(text), static_cast<int>(i));
                }
            });
        if (!names) return -1;
        auto it = names->find(FoldCase(name));
        return it == names->end() ? -1 : it->second;
    } catch (...) {
        return -1;
    }
}

FILE *OpenConstellationExtents() { return OpenCatalogueFile(kConboundCatalogue, 0); }

int ReadConstellationExtent(FILE *stream, int index, double *ra1, double *ra2, double *dec1,
                            double *dec2) {
    if (!stream || index < -1 || index >= 90) return 0;
    long position;
    if (index >= 0) {
        position = static_cast<long>(index) * kConboundRecord;
        if (std::fseek(stream, position, SEEK_SET) != 0) return 0;
    } else {
        position = std::ftell(stream);
        if (position < 0 || position / kConboundRecord >= 90) return 0;
    }
    unsigned char rec[kConboundRecord];
    if (std::fread(rec, 1, sizeof(rec), stream) != sizeof(rec)) return 0;
    if (dec1) *dec1 = TurnFractionToRadians(GetI32(rec + 4));
    if (dec2) *dec2 = TurnFractionToRadians(GetI32(rec + 8));
    if (ra1) *ra1 = TurnFractionToRadians(GetI32(rec + 12));
    if (ra2) *ra2 = TurnFractionToRadians(GetI32(rec + 16));
    return static_cast<int>(position / kConboundRecord) + 1;
}

int GetConstellationAbbreviation(int index, char *text) {
    int p = ConstellationTablePosition(index);
    if (p < 0) {
        if (text) text[0] = '\0';
        return 0;
    }
    if (text) std::memcpy(text, kConstellationAbbreviations[p], 4);
    return 1;
}

int FindConstellationAbbreviation(const char *text) {
    if (!text) return -1;
    for (int i = 0; i < kConstellationTableSize; ++i)
        if (MatchPrefixNoCase(text, kConstellationAbbreviations[i])) return i;
    return -1;
}

int FindConstellationGenitive(const char *text) {
    if (!text) return -1;
    for (int i = 0; i < kConstellationTableSize; ++i)
        if (CompareStringsNoCase(text, kConstellationGenitives[i]) == 0) return i;
    return -1;
}

namespace {

void PutText(char *out, int size, const std::string &text) {
    if (out) std::snprintf(out, static_cast<size_t>(size), "%s", text.c_str());
}

// One line of a text file without its line end (LF or CRLF); false at the end.
bool ReadTextLine(FILE *f, std::string *line) {
    line->clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        line->push_back(static_cast<char>(c));
    }
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return any;
}

}  // namespace

int ReadConstellationInfo(int index, char *name, char *abbreviation, char *genitive,
                          char *description) {
    if (name) name[0] = '\0';
    if (abbreviation) abbreviation[0] = '\0';
    if (genitive) genitive[0] = '\0';
    if (description) description[0] = '\0';
    if (index < 0 || index >= kConstellationCount) return 0;
    FILE *f = OpenRefDirectoryFile("con_info.dat", 0, "rb");
    if (!f) return 0;
    std::string line;
    bool ok = true;
    for (int i = 0; i <= index + 1 && ok; ++i) ok = ReadTextLine(f, &line);
    std::fclose(f);
    if (!ok) return 0;
    // name, abbreviation, genitive, description: the later fields begin with
    // one character (a blank) that is skipped; the description runs to the end.
    std::string fields[4];
    size_t start = 0;
    for (int k = 0; k < 4; ++k) {
        size_t comma = k < 3 ? line.find(',', start) : std::string::npos;
        std::string field = line.substr(start, comma == std::string::npos ? std::string::npos
                                                                           : comma - start);
        if (k > 0 && !field.empty()) field.erase(0, 1);
        fields[k] = field;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    PutText(name, kConstellationInfoFieldSize, fields[0]);
    PutText(abbreviation, kConstellationInfoFieldSize, "Abbreviation: " + fields[1]);
    PutText(genitive, kConstellationInfoFieldSize,
            "Genitive form: " + fields[2] + ".  E.g. Alpha " + fields[2] + ".");
    size_t stop = fields[3].find('.');
    if (stop == std::string::npos) return 0;
    std::string first = fields[3].substr(0, stop + 1);
    std::string rest = stop + 2 <= fields[3].size() ? fields[3].substr(stop + 2) : std::string();
    PutText(description, kConstellationDescriptionSize, first + "\r\n\r\n" + rest);
    return 1;
}

FILE *OpenShowFile(unsigned char *header) {
    FILE *f = OpenCatalogueFile(kShowCatalogue, 0);
    if (!f) return nullptr;
    unsigned char h[4];
    if (std::fread(h, 1, 4, f) != 4) {
        std::fclose(f);
        return nullptr;
    }
    if (header) std::memcpy(header, h, 4);
    return f;
}
