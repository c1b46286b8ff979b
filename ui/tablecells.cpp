// Tab-separated cells of Table titles and rows; see tablecells.h.
#include "ui/tablecells.h"

std::vector<std::string> SplitTableCells(const std::string &text) {
    std::vector<std::string> cells;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && text[i] == '\t') ++i;
        if (i >= n) break;
        size_t start = i;
        while (i < n && text[i] != '\t') ++i;
        cells.push_back(text.substr(start, i - start));
    }
    return cells;
}
