// Published lunar eclipses for the accuracy checks: rows of NASA's Five
// Millennium Catalog of Lunar Eclipses (Espenak and Meeus, NASA TP-2009-
// 214172; eclipse.gsfc.nasa.gov/LEcat5): the catalogue number, the instant
// of greatest eclipse in Terrestrial Dynamical Time (the Moon closest to the
// axis of the Earth's shadow), the type (N penumbral, P partial, T total)
// and the penumbral magnitude. The catalogue enlarges the shadow after
// Danjon (the Earth's radius by 1/85); greatest eclipse does not depend on
// the enlargement.
//
// Numbers 09706 to 09742 are every eclipse from 2025 March to 2040
// November; the others are single eclipses of 2003 to 2047.
#pragma once

namespace lunareclipse_catalogue {

struct Row {
    int number;
    int year, month, day, hour, minute, second;  // TD of greatest eclipse
    char type;
    double penumbralMagnitude;
};

const Row kRows[] = {
    {9658, 2003, 11, 9, 1, 19, 38, 'T', 2.1139},  {9660, 2004, 10, 28, 3, 5, 11, 'T', 2.3637},
    {9675, 2011, 6, 15, 20, 13, 43, 'T', 2.6868}, {9679, 2013, 4, 25, 20, 8, 38, 'P', 0.9866},
    {9684, 2015, 4, 4, 12, 1, 24, 'T', 2.0792},   {9691, 2018, 7, 27, 20, 22, 54, 'T', 2.6792},
    {9692, 2019, 1, 21, 5, 13, 27, 'T', 2.1684},  {9698, 2021, 5, 26, 11, 19, 53, 'T', 1.9540},
    {9700, 2022, 5, 16, 4, 12, 42, 'T', 2.3726},  {9702, 2023, 5, 5, 17, 24, 5, 'N', 0.9636},
    {9705, 2024, 9, 18, 2, 45, 25, 'P', 1.0372},  {9706, 2025, 3, 14, 6, 59, 56, 'T', 2.2595},
    {9707, 2025, 9, 7, 18, 12, 58, 'T', 2.3440},  {9708, 2026, 3, 3, 11, 34, 52, 'T', 2.1838},
    {9709, 2026, 8, 28, 4, 14, 4, 'P', 1.9645},   {9710, 2027, 2, 20, 23, 14, 6, 'N', 0.9266},
    {9711, 2027, 7, 18, 16, 4, 9, 'N', 0.0014},   {9712, 2027, 8, 17, 7, 14, 59, 'N', 0.5456},
    {9713, 2028, 1, 12, 4, 14, 13, 'P', 1.0468},  {9714, 2028, 7, 6, 18, 20, 57, 'P', 1.4266},
    {9715, 2028, 12, 31, 16, 53, 15, 'T', 2.2742}, {9716, 2029, 6, 26, 3, 23, 22, 'T', 2.8266},
    {9717, 2029, 12, 20, 22, 43, 12, 'T', 2.2008}, {9718, 2030, 6, 15, 18, 34, 34, 'P', 1.4480},
    {9719, 2030, 12, 9, 22, 28, 51, 'N', 0.9416},  {9720, 2031, 5, 7, 3, 52, 2, 'N', 0.8814},
    {9721, 2031, 6, 5, 11, 45, 17, 'N', 0.1292},   {9722, 2031, 10, 30, 7, 46, 45, 'N', 0.7161},
    {9723, 2032, 4, 25, 15, 14, 51, 'T', 2.2192},  {9724, 2032, 10, 18, 19, 3, 40, 'T', 2.0830},
    {9725, 2033, 4, 14, 19, 13, 51, 'T', 2.1711},  {9726, 2033, 10, 8, 10, 56, 23, 'T', 2.3057},
    {9727, 2034, 4, 3, 19, 6, 59, 'N', 0.8545},    {9728, 2034, 9, 28, 2, 47, 37, 'P', 0.9911},
    {9729, 2035, 2, 22, 9, 6, 12, 'N', 0.9652},    {9730, 2035, 8, 19, 1, 12, 15, 'P', 1.1507},
    {9731, 2036, 2, 11, 22, 13, 6, 'T', 2.2751},   {9732, 2036, 8, 7, 2, 52, 32, 'T', 2.5266},
    {9733, 2037, 1, 31, 14, 1, 38, 'T', 2.1803},   {9734, 2037, 7, 27, 4, 9, 53, 'P', 1.8584},
    {9735, 2038, 1, 21, 3, 49, 52, 'N', 0.8996},   {9736, 2038, 6, 17, 2, 45, 2, 'N', 0.4422},
    {9737, 2038, 7, 16, 11, 35, 56, 'N', 0.4999},  {9738, 2038, 12, 11, 17, 45, 0, 'N', 0.8046},
    {9739, 2039, 6, 6, 18, 54, 25, 'P', 1.8272},   {9740, 2039, 11, 30, 16, 56, 28, 'P', 2.0418},
    {9741, 2040, 5, 26, 11, 46, 22, 'T', 2.4938},  {9742, 2040, 11, 18, 19, 4, 40, 'T', 2.4525},
    {9756, 2047, 7, 7, 10, 35, 45, 'T', 2.7310},
};
const int kRowCount = static_cast<int>(sizeof kRows / sizeof kRows[0]);

// The span over which the rows hold every eclipse (Julian dates TT):
// 2025 March 1.0 to 2040 December 31.0.
const double kCompleteFrom = 2460735.5;
const double kCompleteTo = 2466519.5;

}  // namespace lunareclipse_catalogue
