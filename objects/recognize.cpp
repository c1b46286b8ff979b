// Designation recognition: normalisation, the catalogue prefixes and special
// forms, and the cascade of classes and kinds tried in turn.
#include "objects/recognize.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "astro/angleparse.h"
#include "core/textutil.h"
#include "core/resstrings.h"
#include "objects/buildrecord.h"
#include "objects/ccdmcat.h"
#include "objects/cataloguenumber.h"
#include "objects/clustercat.h"
#include "objects/constellations.h"
#include "ephem/satellitenames.h"
#include "minorbodies/cometdb.h"
#include "objects/dsoxref.h"
#include "objects/earthsatelliteobjects.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/pncat.h"
#include "objects/starrecord.h"

namespace {

// A discoverer designation ("STF 2382", "STF2382AB") the double-star
// catalogue's discoverer lists know.
int DiscovererStarKnown(const std::string &text) {
    const std::string bounded = text.substr(0, 63);
    return FindDiscovererStar(bounded.c_str()) > 0 ||
           FindDiscovererStarFull(bounded.c_str(), nullptr, nullptr, nullptr) > 0;
}

// ---------------------------------------------------------------------------

bool StartsNoCase(const std::string &text, const char *prefix) {
    return MatchPrefixNoCase(prefix, text.c_str()) == 1;
}

bool EqualsNoCase(const std::string &a, const char *b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Text after the first blank; empty when there is none.
std::string AfterFirstBlank(const std::string &text, size_t from = 0) {
    size_t b = text.find(' ', from);
    return b == std::string::npos ? std::string() : text.substr(b + 1);
}

std::string Bounded(const std::string &text) {
    return text.size() > static_cast<size_t>(kRecognitionAttemptLength)
               ? text.substr(0, kRecognitionAttemptLength)
               : text;
}

const char *const kRemovedWords[] = {"NEBULA", "Nebula", "nebula", " NEB", " Neb",
                                     " neb",   "COMET",  "Comet",  "comet"};

class Recognizer {
public:
    Recognizer(RecognitionAttempt attempt, double altitude, const LocationRecord *site,
               const DateRecord *date, double extinction, ObjectRecord *records)
        : attempt_(attempt), altitude_(altitude), site_(site), date_(date),
          extinction_(extinction), records_(records) {}

    int Run(std::string *text);

private:
    int Try(int cls, int kind, const std::string &text, int number = 0, bool letter = true) {
        std::string t = Bounded(text);
        return attempt_(cls, kind, letter ? letter_ : 0, number, t.c_str(), altitude_, site_,
                        date_, extinction_, records_);
    }
    // Attempts in turn; the first count above 0, else 0.
    int TryEach(std::initializer_list<std::pair<int, int>> pairs, const std::string &text) {
        for (const auto &p : pairs) {
            int n = Try(p.first, p.second, text);
            if (n > 0) return n;
        }
        return 0;
    }
    int Closing(int directClass, int directKind, const std::string &directText);
    int CatalogueForm(int which);   // 0 NGC, 1 IC, 2 Messier
    int Cascade();
    int CommonNameClass() const;

    RecognitionAttempt attempt_;
    double altitude_;
    const LocationRecord *site_;
    const DateRecord *date_;
    double extinction_;
    ObjectRecord *records_;

    std::string text_;               // normalised text
    std::vector<std::string> words_; // first six words of the working copy
    int n_ = 0;
    int letter_ = 0;
    int con_ = -1;
};

// Class of the deep-sky common name the text is (-1: a common name whose
// cross-index entry cannot be read); -2 when it is none.
int Recognizer::CommonNameClass() const {
    int type = -1, record = -1;
    int found = FindCommonName(text_.c_str(), &type, &record);
    if (found == 0) return -2;
    return found == 1 ? ClassOfCrossIndexType(type) : -1;
}

int Recognizer::Closing(int directClass, int directKind, const std::string &directText) {
    if (directClass > 0) {
        int n = Try(directClass, directKind, directText);
        if (n > 0) return n;
    }
    int n = TryEach({{kClassReferencePoint, kKindByName},
                     {kClassUserStar, kKindByName},
                     {kClassUserDeepSky, kKindByName},
                     {kClassSkyMark, kKindByName}},
                    text_);
    if (n > 0) return n;
    if (CommonNameClass() != -2) return 0;
    n = Try(kClassQuasar, kQuasarKindDiscoverer, text_);
    if (n > 0) return n;
    if (FindPnByDiscoveryDesignation(Bounded(text_).c_str()) >= 0)
        return Try(kClassPlanetaryNebula, kPnKindDiscovery, text_);
    if (DiscovererStarKnown(text_)) return Try(kClassStar, kStarKindWds, text_);
    return 0;
}

int Recognizer::CatalogueForm(int which) {
    std::string w2 = words_.size() >= 2 ? words_[1] : std::string();
    int number = 0, suffix = 0;
    if (w2.empty() || ParseCatalogueNumber(w2.c_str(), &number, &suffix) != 1) return 0;
    // The cross indexes are held in memory (asked for every designation).
    int cls = -1;
    if (which == 0) {
        int types[2] = {-1, -1}, recs[2] = {-1, -1};
        const int found = LookupHeldNgcCrossIndex(number, suffix, types, recs);
        if (found < 0) return -1;
        if (found >= 1) cls = ClassOfCrossIndexType(types[0]);
    } else if (which == 1) {
        int type = -1, rec = -1;
        const int found = LookupHeldIcCrossIndex(number, suffix, &type, &rec);
        if (found == -2) return 0;
        if (found == 1) cls = ClassOfCrossIndexType(type);
    } else {
        int type = -1, rec = -1;
        const int found = ReadHeldMessierCrossIndex(number, &type, &rec);
        if (found < 0) return 0;
        if (found == 1) cls = ClassOfCrossIndexType(type);
    }
    static const int kKinds[3] = {kKindNgc, kKindIc, kKindMessier};
    return Closing(cls, kKinds[which], w2);
}

int Recognizer::Cascade() {
    int n = Try(kClassSolarSystem, 1, text_);
    if (n > 0) return n;
    int satellite = 0, planet = 0;
    if (FindPlanetSatelliteByName(text_.c_str(), &satellite, &planet))
        return Closing(kClassSolarSystem, satellite, text_);
    n = TryEach({{kClassUserComet, kCometKindFull},
                 {kClassUserStar, kKindByName},
                 {kClassUserDeepSky, kKindByName},
                 {kClassSkyMark, kKindByName},
                 {kClassUserComet, kCometKindPeriodicNumber}},
                text_);
    if (n > 0) return n;
    // A star's proper name is that star, though a minor planet bears the
    // same name ("Merope", "Asterope": an observer writes the minor planet
    // with its number) or a survey that found many comets does ("Atlas").
    if (con_ == -1) {
        n = Try(kClassStar, kStarKindCommonName, text_);
        if (n > 0) return n;
    }
    n = TryEach({{kClassComet, kCometKindDiscovererName},
                 {kClassComet, kCometKindIau},
                 {kClassUserMinorPlanet, kMinorPlanetKindFull},
                 {kClassMinorPlanet, kMinorPlanetKindFull}},
                text_);
    if (n > 0) return n;
    // A text ending in p may be a periodic comet's number ("2P"); when it is
    // not, the walk goes on, since star names in Cep, Lep, Pup and Cap end in
    // p too ("delta Cep", "R Lep"). A text whose last word is a
    // constellation is a star's ("9 Cap" is 9 Capricorni, never comet 9P).
    char last = text_.back();
    if ((last == 'P' || last == 'p') && con_ == -1) {
        std::string stem = text_.substr(0, text_.size() - 1);
        n = TryEach({{kClassUserComet, kCometKindIau}, {kClassComet, kCometKindPeriodicNumber}}, stem);
        if (n > 0) return n;
    }
    // A deep-sky common name whose last word is a constellation ("Omega
    // Centauri", "Eta Carinae Nebula") is that object, not a star.
    int common = CommonNameClass();
    if (common != -2) return Closing(common, kKindCommonName, text_);
    if (con_ != -1) {
        if (ParseGreekLetterWord(words_[0].c_str(), nullptr, nullptr)) {
            n = Try(kClassStar, kStarKindBayer, text_);
            if (n > 0) return n;
        }
        if (IsDigit(text_[0])) {
            n = Try(kClassStar, kStarKindFlamsteed, text_);
            if (n > 0) return n;
        }
        n = Try(kClassStar, kStarKindVariable, text_);
        if (n > 0) return n;
        return Closing(kClassNone, 0, std::string());
    }
    if (n_ == 1) {
        int pos = FindConstellationGenitive(words_[0].c_str());
        if (pos < 0) pos = FindConstellationAbbreviation(words_[0].c_str());
        if (pos >= 0) {
            int index = pos > 75 ? pos + 1 : pos;
            FILE *f = OpenConstellationNames();
            if (!f) return 0;
            char name[kConstellationNameSize + 1] = {0};
            double ra = 0, dec = 0;
            int ok = ReadConstellationName(f, index, name, &ra, &dec);
            std::fclose(f);
            name[kConstellationNameSize] = 0;
            return Closing(kClassConstellation, kKindByName, ok ? std::string(name) : text_);
        }
    }
    // (The star's proper name was tried above.)
    n = TryEach({{kClassConstellation, kKindByName},
                 {kClassReferencePoint, kKindByName},
                 {kClassQuasar, kQuasarKindDiscoverer}},
                text_);
    if (n > 0) return n;
    if (FindPnByDiscoveryDesignation(Bounded(text_).c_str()) >= 0) return Closing(kClassPlanetaryNebula, kPnKindDiscovery, text_);
    if (DiscovererStarKnown(text_)) return Closing(kClassStar, kStarKindWds, text_);
    if (words_[0].size() > 2) {
        // The answer is the catalogue's row + 1; its kind is the answer + 1.
        int row = FindOpenClusterCatalogueWord(words_[0].c_str());
        if (row > 0) {
            return Closing(kClassOpenCluster, row + 1, words_.size() >= 2 ? words_[1] : std::string());
        }
    }
    n = TryEach({{kClassBrightNebula, kNebulaKindOther},
                 {kClassDarkNebula, kDarkKindGlobule},
                 {kClassGlobularCluster, kGlobularKindDiscovery}},
                text_);
    if (n > 0) return n;
    // Earth satellites by their stored name or catalogue number; they need
    // a site and a date, without which these attempts build nothing.
    n = TryEach({{kClassEarthSatellite, kEarthSatelliteKindName},
                 {kClassEarthSatellite, kEarthSatelliteKindNumber}},
                text_);
    if (n > 0) return n;
    return Try(kClassOpenCluster, kOpenClusterKindOther, text_);
}

int Recognizer::Run(std::string *io) {
    std::string &t = text_;
    t = *io;
    if (t.empty()) return 0;
    if (t.size() > static_cast<size_t>(kRecognitionWorkLength)) t.resize(kRecognitionWorkLength);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\r' || t.back() == '\n')) t.pop_back();

    // Normalisation.
    bool hasBlank = t.find(' ') != std::string::npos;
    if (StartsNoCase(t, "van den Bergh-Hagen")) {
        if (t.find(' ', 19) != std::string::npos) t = "vandenBergh-Hagen " + AfterFirstBlank(t, 19);
    } else if ((StartsNoCase(t, "BH ") || StartsNoCase(t, "vdBH")) && hasBlank) {
        t = "vandenBergh-Hagen " + AfterFirstBlank(t);
    } else if (StartsNoCase(t, "van den Bergh")) {
        if (t.find(' ', 13) != std::string::npos) t = "vandenBergh " + AfterFirstBlank(t, 13);
    } else if (StartsNoCase(t, "vdBergh") && hasBlank) {
        t = "vandenBergh " + AfterFirstBlank(t);
    }
    if (StartsNoCase(t, "Dolidze-Dzimselejsvili")) {
        if (t.size() < 23) {
            *io = t;
            return -1;
        }
        t = "Dol-Dzim " + t.substr(23);
    } else if (EqualsNoCase(t, "LMC")) {
        t = "Large Magellanic Cloud";
    } else if (EqualsNoCase(t, "SMC")) {
        t = "Small Magellanic Cloud";
    }
    if (StartsNoCase(t, "THE ")) t = t.substr(4);
    if (t.size() < 5 && t.size() >= 2 && (t[0] == 'M' || t[0] == 'm') && IsDigit(t[1]))
        t = "M " + t.substr(1);
    if (t.size() < 9 && StartsNoCase(t, "NGC") && t.size() > 3 && IsDigit(t[3]))
        t = "NGC " + t.substr(3);
    if (t.size() >= 2 && (t[0] == 'N' || t[0] == 'n') && IsDigit(t[1])) t = "NGC " + t.substr(1);
    // Logs write IC and Barnard numbers without the blank as they do NGC
    // numbers ("IC434", "B33"); these texts name nothing otherwise.
    if (t.size() < 8 && t.size() > 2 && StartsNoCase(t, "IC") && IsDigit(t[2])) t = "IC " + t.substr(2);
    if (t.size() >= 2 && t.size() <= 4 && (t[0] == 'B' || t[0] == 'b') &&
        t.find_first_not_of("0123456789", 1) == std::string::npos)
        t = "B " + t.substr(1);
    if (t.size() < 6 && IsDigitsOrBlanks(t.c_str(), 4)) t = "NGC " + t;
    *io = t;

    // Working copy and words.
    std::vector<char> work(t.begin(), t.end());
    work.push_back('\0');
    for (const char *w : kRemovedWords) RemoveSubstring(work.data(), w);
    std::string copy(work.data());
    for (size_t i = 0; i < copy.size() && words_.size() < 6;) {
        size_t j = copy.find(' ', i);
        if (j == std::string::npos) j = copy.size();
        if (j > i) words_.push_back(copy.substr(i, j - i));
        i = j + 1;
    }
    n_ = static_cast<int>(words_.size());
    if (n_ == 0) return 0;

    if (n_ >= 2 && words_[n_ - 1].size() == 1) {
        letter_ = static_cast<unsigned char>(words_[n_ - 1][0]);
        --n_;
    }
    if (n_ >= 2 && words_[n_ - 1].size() >= 3) {
        // Genitive first; an abbreviation must equal the word (all are three
        // letters, and the lookup matches a prefix).
        const std::string &lastWord = words_[n_ - 1];
        con_ = FindConstellationGenitive(lastWord.c_str());
        if (con_ < 0 && lastWord.size() == 3) con_ = FindConstellationAbbreviation(lastWord.c_str());
        // Nine genitives are two words ("Canis Majoris", "Ursae Minoris").
        if (con_ < 0 && n_ >= 3) {
            std::string pair = words_[n_ - 2] + " " + lastWord;
            con_ = FindConstellationGenitive(pair.c_str());
        }
    }

    const std::string rest = AfterFirstBlank(t);
    const std::string w2 = words_.size() >= 2 ? words_[1] : std::string();

    static const struct {
        const char *prefix;
        int cls, kind;
        bool whole;
    } kStarPrefixes[] = {{"HR ", kClassStar, kStarKindHr, false},   {"HD ", kClassStar, kStarKindHd, false},
                         {"SAO ", kClassStar, kStarKindSao, false}, {"PPM ", kClassStar, kStarKindPpm, false},
                         {"GC ", kClassStar, kStarKindGc, false},   {"BD ", kClassStar, kStarKindBd, true},
                         {"CD ", kClassStar, kStarKindCd, true},    {"CP ", kClassStar, kStarKindCp, true},
                         {"GSC ", kClassStar, kStarKindGsc, false}};
    for (const auto &p : kStarPrefixes)
        if (StartsNoCase(t, p.prefix)) return Closing(p.cls, p.kind, p.whole ? t : rest);
    if (t.size() == 16 && t[0] == 'J' && IsDigit(t[1])) return Closing(kClassStar, kStarKindJ, t);
    static const struct {
        const char *prefix;
        int cls, kind;
    } kMorePrefixes[] = {{"NSV ", kClassStar, kStarKindNsv},   {"ADS ", kClassStar, kStarKindAds},
                         {"HIP ", kClassStar, kStarKindHip},   {"CCDM ", kClassStar, kStarKindCcdm},
                         {"TYC ", kClassStar, kStarKindTycho2}};
    for (const auto &p : kMorePrefixes)
        if (StartsNoCase(t, p.prefix)) return Closing(p.cls, p.kind, rest);
    bool hasDash = t.find('-') != std::string::npos;
    if ((StartsNoCase(t, "NGC ") && !hasDash) ||
        (t.size() >= 2 && (t[0] == 'N' || t[0] == 'n') && t[1] == ' '))
        return CatalogueForm(0);
    if (StartsNoCase(t, "IC ")) return CatalogueForm(1);
    bool hasSC = t.find("SC") != std::string::npos;
    static const struct {
        const char *prefix;
        const char *other;
        int cls, kind;
    } kDeepSkyPrefixes[] = {
        {"Arp ", nullptr, kClassGalaxy, kGalaxyKindArp},
        {"MKN ", "Markarian ", kClassGalaxy, kGalaxyKindMarkarian},
        {"MCG ", nullptr, kClassGalaxy, kGalaxyKindMcg},
        {"UGC ", "Uppsala ", kClassGalaxy, kGalaxyKindUgc}};
    for (const auto &p : kDeepSkyPrefixes)
        if (StartsNoCase(t, p.prefix) || (p.other && StartsNoCase(t, p.other)))
            return Closing(p.cls, p.kind, rest);
    if (StartsNoCase(t, "ESO ") && !hasDash && !hasSC) return Closing(kClassGalaxy, kGalaxyKindEso, rest);
    if (StartsNoCase(t, "PGC ") || StartsNoCase(t, "LEDA ")) return Closing(kClassGalaxy, kGalaxyKindPgc, rest);
    if (StartsNoCase(t, "PK ")) return Closing(kClassPlanetaryNebula, kPnKindPk, rest);
    if (StartsNoCase(t, "PN G") || StartsNoCase(t, "PNG ")) {
        size_t g = t.find_first_of("Gg");
        return Closing(kClassPlanetaryNebula, kPnKindPnG, g == std::string::npos ? std::string() : t.substr(g + 1));
    }
    if (StartsNoCase(t, "A ") || StartsNoCase(t, "Abell ")) return Closing(kClassPlanetaryNebula, kPnKindAbell, rest);
    if ((StartsNoCase(t, "M ") && hasDash) || StartsNoCase(t, "Minkowski "))
        return Closing(kClassPlanetaryNebula, kPnKindMinkowski, rest);
    if (StartsNoCase(t, "He ") || StartsNoCase(t, "Henize ")) return Closing(kClassPlanetaryNebula, kPnKindHenize, rest);
    if (StartsNoCase(t, "H ") || StartsNoCase(t, "Haro ")) return Closing(kClassPlanetaryNebula, kPnKindHaro, rest);
    if (StartsNoCase(t, "K ") || StartsNoCase(t, "Kohoutek ")) return Closing(kClassPlanetaryNebula, kPnKindKohoutek, rest);
    if (StartsNoCase(t, "ARO ")) return Closing(kClassPlanetaryNebula, kPnKindAro, rest);
    if (StartsNoCase(t, "ESO ") && hasDash && !hasSC) return Closing(kClassPlanetaryNebula, kPnKindEso, rest);
    if (StartsNoCase(t, "OCL ")) return Closing(kClassOpenCluster, kOpenClusterKindOcl, rest);
    if (StartsNoCase(t, "Terzan ")) return Closing(kClassGlobularCluster, kGlobularKindTerzan, rest);
    if (StartsNoCase(t, "Palomar ") || StartsNoCase(t, "Pal ")) return Closing(kClassGlobularCluster, kGlobularKindPalomar, rest);
    if ((StartsNoCase(t, "Messier ") || StartsNoCase(t, "M ")) && !EqualsNoCase(t, "M40") &&
        !EqualsNoCase(t, "M 40"))
        return CatalogueForm(2);
    if ((StartsNoCase(t, "MPN ") || words_[0][0] == '(') && words_.size() >= 2) {
        std::string number = w2;
        size_t close = words_[0].find(')');
        if (words_[0][0] == '(' && close != std::string::npos)
            number = words_[0].substr(1, close - 1);
        int built = Try(kClassUserMinorPlanet, kMinorPlanetKindNumberName, number);
        if (built > 0) return built;
        return Try(kClassMinorPlanet, kMinorPlanetKindNumberName, number);
    }
    if (StartsNoCase(t, "ACO ") || StartsNoCase(t, "AGC ")) return Closing(kClassGalaxyGroup, kGroupKindAco, rest);
    if (StartsNoCase(t, "HCG ") || StartsNoCase(t, "Hickson ")) return Closing(kClassGalaxyGroup, kGroupKindHickson, rest);
    if (t.size() >= 2 && (t[0] == 'Q' || t[0] == 'q') && IsDigit(t[1])) return Closing(kClassQuasar, kQuasarKindHewittBurbidge, t);
    if (StartsNoCase(t, "B ") || (StartsNoCase(t, "Barnard ") && !hasDash))
        return Closing(kClassDarkNebula, kDarkKindBarnard, rest);
    if (StartsNoCase(t, "Sharpless") || StartsNoCase(t, "Sh 2-")) return Closing(kClassBrightNebula, kNebulaKindSharpless, rest);
    if (StartsNoCase(t, "vdB ")) return Closing(kClassBrightNebula, kNebulaKindVdB, rest);
    if (StartsNoCase(t, "Gum")) return Closing(kClassBrightNebula, kNebulaKindGum, rest);
    if (StartsNoCase(t, "RCW")) return Closing(kClassBrightNebula, kNebulaKindRcw, rest);
    if (StartsNoCase(t, "LBN")) return Closing(kClassBrightNebula, kNebulaKindLbn, rest);
    if (StartsNoCase(t, "LDN ")) return Closing(kClassDarkNebula, kDarkKindLdn, rest);
    if (StartsNoCase(t, "DC ")) return Closing(kClassDarkNebula, kDarkKindDc, rest);
    size_t slash = t.find("P/");
    // A fragment of a split periodic comet is a comet with an orbit of its
    // own: "73P-B", "73P-B/Schwassmann-Wachmann 3" and the label form
    // "73P/Schwassmann-Wachmann 3-B" are all handed on as "73P-B".
    uint16_t periodic = 0;
    char fragment[kCometFragmentSize] = "";
    if (IsDigit(t[0]) && ParsePeriodicCometText(t.c_str(), &periodic, fragment) && fragment[0] &&
        slash == std::string::npos)
        slash = t.find("P-");
    bool cometForm = StartsNoCase(t, "C/") || (slash != std::string::npos && t[0] == 'P');
    if (!cometForm && slash != std::string::npos) {
        std::string number = t.substr(0, slash);
        if (fragment[0]) number += std::string("P-") + fragment;
        int built = TryEach({{kClassUserComet, kCometKindIau}, {kClassComet, kCometKindPeriodicNumber}}, number);
        return built > 0 ? built : Closing(kClassNone, 0, std::string());
    }
    if (cometForm) {
        std::string copy2 = t.size() > 2 ? t.substr(2) : std::string();
        size_t b1 = copy2.find(' ');
        if (b1 == std::string::npos) return Closing(kClassNone, 0, std::string());
        size_t b2 = copy2.find(' ', b1 + 1);
        if (b2 != std::string::npos) copy2.resize(b2);
        int built = TryEach({{kClassUserComet, kCometKindPeriodicNumber}, {kClassComet, kCometKindIau}},
                            copy2);
        return built > 0 ? built : Closing(kClassNone, 0, std::string());
    }
    if (EqualsNoCase(t, "Polaris")) return Try(kClassStar, kStarKindCommonName, t);
    if (t.size() >= 3 && (t[0] == 'S' || t[0] == 's') && (t[1] == 'I' || t[1] == 'i') &&
        t[2] == ' ') {
        double v = ParseSexagesimal(t.c_str() + 3);
        int number = (v == kNoRealValue || v < 0 || v > 2147483647.0) ? 0 : static_cast<int>(v);
        int built = attempt_(kClassStar, kStarKindNumber, 0, number, nullptr, altitude_, site_, date_, extinction_,
                             records_);
        if (built > 0) {
            // The star's name in natural designation order replaces the text.
            char name[65] = {0};
            if (FormatObjectName(&records_[0], name, nullptr, nullptr, nullptr, nullptr))
                *io = name;
            return built;
        }
        return Closing(kClassNone, 0, std::string());
    }
    return Cascade();
}

}  // namespace

int ClassOfCrossIndexType(int typeCode) {
    static const int kClasses[8] = {kClassOpenCluster,     kClassGlobularCluster,
                                   kClassBrightNebula,    kClassPlanetaryNebula,
                                   kClassGalaxy,          kClassQuasar,
                                   kClassGalaxyGroup,     kClassDarkNebula};
    return typeCode >= 0 && typeCode < 8 ? kClasses[typeCode] : -1;
}

int FindPlanetSatelliteByName(const char *name, int *satellite, int *planet) {
    if (!name) return 0;
    for (int p = 4; p <= 9; ++p)
        for (int s = 1; s <= GetSatelliteCount(p); ++s) {
            char known[32] = "";
            if (GetSatelliteName(p, s, known) && EqualsNoCase(name, known)) {
                if (satellite) *satellite = s;
                if (planet) *planet = p;
                return 1;
            }
        }
    return 0;
}

int IsDigitsOrBlanks(const char *text, int n) {
    if (!text) return 1;
    for (int i = 0; i < n && text[i]; ++i)
        if (!IsDigit(text[i]) && text[i] != ' ') return 0;
    return 1;
}

int IdentifyObjectTextWith(RecognitionAttempt attempt, char *text, double altitude,
                           const LocationRecord *site, const DateRecord *date, double extinction,
                           ObjectRecord records[3]) {
    if (!attempt || !text || !records || !text[0]) return 0;
    try {
        // The caller's buffer holds at least max(strlen + 20, 65) characters.
        size_t capacity = std::strlen(text) + 20;
        if (capacity < 65) capacity = 65;
        std::string io(text);
        Recognizer r(attempt, altitude, site, date, extinction, records);
        int result = r.Run(&io);
        std::snprintf(text, capacity, "%s", io.c_str());
        return result;
    } catch (...) {
        return 0;
    }
}

int IdentifyObjectText(char *text, double altitude, const LocationRecord *site,
                       const DateRecord *date, double extinction, ObjectRecord records[3]) {
    return IdentifyObjectTextWith(BuildObjectRecord, text, altitude, site, date, extinction,
                                  records);
}
