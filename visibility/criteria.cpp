// The visibility criteria record: its initialiser and the tests on its fields alone.
#include "visibility/criteria.h"

#include <cstring>

VisibilityCriteria *InitVisibilityCriteria(VisibilityCriteria *criteria) {
    if (!criteria) return criteria;
    std::memset(criteria, 0, sizeof *criteria);
    criteria->constellation = kAnyConstellation;
    return criteria;
}

int CriteriaHaveNoCondition(const VisibilityCriteria *criteria) {
    if (!criteria) return 1;
    return criteria->altitudeCondition == 0 && criteria->wantedRating == 0 &&
                   criteria->windowFlags == 0
               ? 1
               : 0;
}

int MatchCriteriaFilters(const VisibilityCriteria *criteria, int constellation, uint32_t category) {
    if (!criteria) return 1;
    if (criteria->constellation != kAnyConstellation && criteria->constellation != constellation)
        return 0;
    if (criteria->categoryMask != kAnyCategory && (criteria->categoryMask & category) == 0) return 0;
    return 1;
}
