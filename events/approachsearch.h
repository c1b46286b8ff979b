// Close approaches among many bodies at once: every body is placed once per
// step, every pair's separation is watched, and each pair's minimum is
// refined and reported once, as a close approach within the limit or as an
// overlap of the two discs.
#pragma once
#include <vector>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/precession.h"
#include "events/bodyplace.h"

// Results of NextApproach.
const int kApproachEnd = 0;
const int kApproachClose = 1;
const int kApproachOverlap = 2;
const int kApproachProgress = -10;

struct ApproachBody {
    SearchBody body;
    double ra, dec;                  // at the current step
    std::vector<double> previous;    // separation from each later body at the previous step
    std::vector<int> rising;         // whether that separation was rising
};

struct ApproachSearch {
    DateRecord date;
    LocationRecord site;
    double end;               // T(TT)
    double step;              // days
    double tolerance;         // days
    double limit;             // rad
    PrecessionRecord toDate, toJ2000;
    double progressInterval;  // Julian centuries
    double nextTick;
    const int *stop;
    int listsPending;         // 1 until the separation lists are made
    std::vector<ApproachBody> bodies;
    int first, second;        // where the pair loop goes on; first -1: a new step
};

// 1, 0 when the search or the date is missing.
int BeginApproachSearch(ApproachSearch *search, const LocationRecord *site, const DateRecord *start, double span,
                        double tolerance, double limit, const int *stop);
// 1 added; 0 when the body cannot be set up (left out; a bare position of
// class 0 has no place of its own and is refused), or when memory is short
// (every body is then released and the list emptied).
int AddApproachBody(ApproachSearch *search, int objectClass, int index, int satellite);
// 1 close approach, 2 overlap, -10 progress tick, 0 end of span, stopped, or
// memory short for the separation lists. first and second are the bodies'
// positions in the list, the nearer first; magnitudes in the same order.
int NextApproach(ApproachSearch *search, double *time, double *separation, int *first, int *second,
                 double *magnitude1, double *magnitude2);
// Releases every body and the lists.
void EndApproachSearch(ApproachSearch *search);
