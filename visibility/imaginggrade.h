// Grades of imaging prospects: the letter shown for a grade, the grade and
// the finer level of a moment or a window from its signal-to-noise and
// resolution percentages, and the practical frame length an exposure is
// rounded to. Target kinds are those of imagingtarget.h.
#pragma once

const int kImagingGrades = 5;  // 0 "F" .. 4 "A"

// "FDCBA"[grade]; a blank for any other grade.
char GetGradeLetter(int grade);
// Grade 0..4 from the signal-to-noise percentage p, the resolution
// percentage r and the resolution threshold v: by p for other objects; by p
// once r > v for planets and double stars; by r alone for the Sun.
int GradeFromPercentage(double p, double r, double v, int kind);
// Level 0..6 of one moment, the finer scale windows are cut by.
int LevelFromPercentage(double p, double r, double v, int kind);
// Rounds a frame length (seconds) to what a camera is set to: below 5 s
// unchanged, to 5 s up to 50 s, to whole minutes up to 30 min, to five
// minutes beyond. Halves round away from zero.
double SnapExposureTime(double seconds);
