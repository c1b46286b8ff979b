// Single designation texts of catalogue objects, each written into a caller
// buffer of at least 65 bytes: the star texts built from packed catalogue
// values (Flamsteed, Bayer), Tycho-2 and Guide Star Catalogue identifiers.
#pragma once
#include <cstdint>

// Packed Bayer/Flamsteed code (24 bits): bits 0-7 Flamsteed number, bits 8-14
// constellation table position 0-87, bits 15-19 Greek letter 1-24, bits
// 20-23 Bayer superscript 1-15.
// "%d %s" (number, abbreviation): 1, or 0 and "" without a number.
int FormatFlamsteedDesignation(char *text, uint32_t packed);
// "%s %d %s" (Greek letter, superscript, abbreviation) or "%s %s" without a
// superscript: 1, or 0 and "" when bits 15-23 are zero or a field is out of range.
int FormatBayerDesignation(char *text, uint32_t packed);
// "TYC %05d-%04d %1d"; returns 1.
int FormatTychoDesignation(char *text, int tyc1, int tyc2, int tyc3);
// "GSC %05d-%04d"; returns 1.
int FormatGscDesignation(char *text, int region, int number);
