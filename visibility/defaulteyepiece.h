// The default eyepiece of an instrument: the one that reaches the faintest
// stars at the zenith under the site's sky (or a typical rural sky).
#pragma once

struct InstrumentRecord;
struct LocationRecord;
struct ObserverRecord;

// Sky of a naked-eye limit of 6.8 and a half-seeing of 1.5" without a site,
// else the site's sky brightness and half its seeing; k 0 counts as 0.1. The
// first eyepiece with the strictly faintest limit becomes the record's
// default eyepiece (unchanged when no eyepiece is accepted). 1 when the
// instrument has main optics, else 0. The observer may be null.
int SelectDefaultEyepiece(InstrumentRecord *instrument, const LocationRecord *site,
                          const ObserverRecord *observer, double k);
