// Seeing ratings: the five words users pick for a site's seeing and their
// typical seeing in arcseconds.
#pragma once

// Typical seeing (arcsec) for a rating 0 excellent, 1 good, 2 average, 3 poor,
// 4 bad: 0.3, 0.75, 1.5, 3.0, 5.0. A rating outside 0..4 takes the nearest one.
double GetSeeingForRating(int rating);
