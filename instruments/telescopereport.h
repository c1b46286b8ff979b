// The telescope report's contents without windows: one row per eyepiece (and
// per eyepiece with the Barlow lens) with its magnification, true field, exit
// pupil and limiting magnitude for a report observer and site, their sort
// orders, the summary of the optics and the whole report as tab-separated
// text for the clipboard. Every value is computed on a copy of the optics, so
// a report never changes the telescope it reports.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "instruments/instrumentrecord.h"
#include "instruments/camerareport.h"
#include "instruments/optics.h"

struct ObserverRecord;
struct LocationRecord;

// A row value with this bit is the eyepiece with the Barlow lens.
const uint32_t kBarlowRowBit = 0x80000000u;
// The report's opening sort key: magnification, ascending.
const int kReportDefaultSortKey = 2;

// One eyepiece row with its values.
struct EyepieceReportRow {
    uint32_t row;               // eyepiece index, kBarlowRowBit for the Barlow row
    double magnification;
    double trueField;           // radians
    double exitPupil;           // mm
    double limitingMagnitude;
    char label[kEyepieceLabelSize];  // FormatEyepieceLabel with extras
};

// Whom and where the limiting magnitudes are for.
struct ReportConditions {
    const ObserverRecord *observer;  // null: the model's default observer
    const LocationRecord *site;      // null: naked-eye limit 6.0, seeing 2"
};

// The rows of the main optics: 0 .. n-1, and again with the Barlow bit when
// the Barlow factor is neither 0 nor 1; values computed, in that order.
std::vector<EyepieceReportRow> BuildEyepieceReportRows(const OpticsBlock &optics,
                                                       const ReportConditions &conditions);
// Sort comparison under a key: |k| 1 the raw row values as signed 32-bit
// numbers (Barlow rows first), always ascending; 2..5 magnification, true
// field, exit pupil, limiting magnitude, descending for a negative key.
int CompareEyepieceRows(const EyepieceReportRow &a, const EyepieceReportRow &b, int key);
void SortEyepieceReportRows(std::vector<EyepieceReportRow> *rows, int key);
// The new key after a click on header column c (0-based): its sign flips when
// the column is already the key's, else it becomes c + 1.
int NextReportSortKey(int key, int column);

// Aperture / 7, / 4 and x 1 in mm, each to 2 significant digits.
void RecommendedMagnifications(double apertureMm, double out[3]);
// Limiting magnitude of the optics at their current magnification for the
// conditions (extinction 0.1, zenith, colour index 0, half the site's seeing).
double ReportLimitingMagnitude(const OpticsBlock &optics, const ReportConditions &conditions);

// "Telescope type: ..." .. the finder line and, in the professional variant,
// one line per camera; CRLF between lines, for the report dialog's summary
// (kept below 4,098 characters).
std::string BuildReportSummary(const InstrumentRecord &telescope, const ReportConditions &conditions,
                               int professional = 0);
// The whole report for the clipboard: title, summary, the camera table when
// camera rows are given (in the display order), the eyepiece table
// (tab-separated heads and rows) and the closing lines, CRLF line ends.
std::string BuildReportCopyText(const InstrumentRecord &telescope,
                                const std::vector<EyepieceReportRow> &rows,
                                const ReportConditions &conditions,
                                const std::vector<CameraReportRow> *cameraRows = nullptr,
                                const std::vector<int> *cameraOrder = nullptr);
// The closing lines' observer and site texts.
std::string ReportSiteLine(const ReportConditions &conditions);
std::string ReportObserverLine(const ReportConditions &conditions);
// The values of the finder for the report: magnification, aperture, true field
// (radians) and limiting magnitude. 0 without a finder.
int ReportFinderValues(const InstrumentRecord &telescope, const ReportConditions &conditions,
                       double *magnification, double *aperture, double *trueField, double *limit);
// "Refractor", "Reflector", "SCT" or "".
const char *TelescopeTypeName(int type);
