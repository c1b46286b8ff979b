// Rules of the picker's Browse page (see pickerbrowse.h).
#include "picker/pickerbrowse.h"

#include "objects/objectrecord.h"
#include "objects/starrecord.h"

namespace {
// Combo rows above this one stand one record after their constellation
// number, the names file holding Serpens Caput and Serpens Cauda apart.
const int kSerpensCaputRow = 76;
const int kSerpensNumber = 76;
}  // namespace

int ConstellationFilterOfRow(int row) {
    if (row <= 0) return 0;
    return row > kSerpensCaputRow ? row - 1 : row;
}

int ConstellationRowOfFilter(int filter) {
    if (filter <= 0) return 0;
    return filter >= kSerpensNumber ? filter + 1 : filter;
}

int BrowseConstellationValue(int filter) {
    if (filter <= 0) return 0;
    return filter >= kSerpensNumber ? filter + 1 : filter;
}

int BrowseKindTakesConstellation(int objectClass, int kind) {
    return objectClass == kClassStar && kind >= kStarKindBayer && kind <= kStarKindVariable ? 1 : 0;
}

const char *BrowsePatternOf(const char *text) { return text && text[0] ? text : "*"; }
