// The imaging plan of a list item: its best window of the night (or the
// window it is in now) for a camera and filter, with exposure, grade,
// signal-to-noise ratio, resolution, rotation limit and the frames its size
// needs, written into the item's imaging block; and the exposure a planet's
// disk needs for a detailed image.
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;
struct OpticsBlock;
struct SunMoonCache;
struct SunMoonState;

// The SNR the imaging plan asks of each sample's frames.
const double kItemImagingSnr = 3.0;

// Clears the block, then (professional variant, camera index 0 or more, an
// object the model can image) plans the night of the date: the best window,
// or with the now flag and a now hour (local hours) at or after its start,
// the window holding the now hour with its SNR from now to its end. No
// window: grade none (255) and a blank letter.
void PlanItemImaging(const LocationRecord *site, const DateRecord *date, const OpticsBlock *optics,
                     int camera, int filter, int binning, double longestFrame,
                     const SunMoonCache *cache, ObjectRecord *item, int nowFlag, double nowHour);

// Exposure (seconds) for SNR 350 on the disk of the Sun, the Moon or a
// planet other than Pluto (Mercury, Venus, Mars and the Moon by their lit
// part; Saturn's disk 1.3 times larger for the rings) with the colour of
// the body; 0 below the horizon dip; -1 for any other object or bad indices.
double ComputePlanetSurfaceExposure(const LocationRecord *site, const DateRecord *date,
                                    const OpticsBlock *optics, int camera, int filter,
                                    const SunMoonState *state, const ObjectRecord *item,
                                    int binning);
