// Names of variable stars as the General Catalogue of Variable Stars gives
// them, and the catalogue's numbering within a constellation:
//   1-9        R .. Z              10-334  RR .. ZZ, AA .. QZ (J never used)
//   335-8999   V335 ..             9001-9024  Greek letters (with superscript)
//   9100-9199  special names       9201-9299  single letters A .. Q ("L2 Pup")
// Constellations are numbered 1-88 in the order of the abbreviation table.
#pragma once

const int kVariableNameSize = 32;
const int kGreekVariableBase = 9000;       // 9000 + letter index + 1
const int kLetterVariableBase = 9136;      // 9136 + 'A' = 9201
const int kFirstVariableVNumber = 335;
const int kNoVariableConstellation = 89;   // the parser's "no constellation"

// The name of number n in constellation c into text (kVariableNameSize
// bytes): "R  Cyg", "RR Lyr", "V1500 Cyg", "Gamma 2 Cep". Numbers the
// numbering does not cover (0, 9000, 9025-9099, 9200, 9300 and above) and
// constellations outside 1-88 leave the text unchanged.
void FormatVariableStarName(int constellation, int number, int superscript, char *text);
// Parses "RR Lyr", "V1500 Cyg", "del Cep", "Gamma 2 Cep", "U Cyg A": 1 with
// *constellation (1-88; kNoVariableConstellation when the constellation word
// is missing or unknown), numbers[0] the number (0 when the name is not one
// of the catalogue's forms), numbers[1] the component letter (' ' none) and
// *superscript (0 none). 0 for a null or missing text, 40 characters or
// more, or no blank.
int ParseVariableStarName(int *constellation, int numbers[2], int *superscript, const char *text);
