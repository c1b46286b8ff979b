// The designations of a star in the user's preferred order: common name,
// Bayer, Flamsteed, variable-star name, HR, HD, SAO, PPM, HIP, BD, CD, CP,
// GC, the double-star identifiers (discoverer, ADS, CCDM, each followed by
// the component letter), NSV, Tycho-2, GSC and the J designation of its place; with the catalogue parts of the first
// and second designation listed.
#pragma once

struct DesignationList;
struct DesignationParts;
struct DesignationPreferences;
struct StarRecord;

// Star designation kinds (slot numbers of the star family's preferences).
enum StarDesignationSlot {
    kStarCommonName = 0, kStarBayer, kStarFlamsteed, kStarVariable, kStarHr, kStarHd, kStarSao,
    kStarPpm, kStarHip, kStarBd, kStarCd, kStarCp, kStarGc, kStarWds, kStarAds, kStarCcdm,
    kStarNsv, kStarTycho2, kStarGsc, kStarJCoordinates
};

// Lists the star's designations into list (count set to 0 first): slots 0-19
// in the order of prefs (natural order without prefs), each when enabled (or
// always with no prefs or with allFlag), stopping at maxEntries (0 = no
// limit). When nothing was listed with prefs and without allFlag, the walk
// runs once more with every kind enabled. Texts of a component other than
// ' ' and 'A' get " <letter>". first and second (either may be null) receive
// the parts of the first and second entries; their plain bytes start at 0.
// 1; 0 for a null star or list.
int FormatStarDesignations(const DesignationPreferences *prefs, const StarRecord *star,
                           char component, DesignationList *list, int maxEntries, int allFlag,
                           DesignationParts *first, DesignationParts *second);
// Appends " " and the letter unless it is ' ', NUL or 'A'. The text must have
// room for two more characters.
void AppendComponentLetter(char *text, char letter);
// "BD %c%2.2d %5.5d%c" (catalogue 1; "CD" 2, "CP" 3) into 65 bytes. A
// suffix letter is printed lower-case whatever its case; a blank or NUL
// suffix is left out. 1, or 0 and "" for another catalogue.
int FormatDurchmusterungDesignation(char *text, int catalogue, int zone, char sign, int number,
                                    char suffix);
