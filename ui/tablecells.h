// Splitting of a Table's header titles and row texts into cells. Cells are
// separated by tab characters; a run of tabs counts as one separator and tabs
// at either end separate nothing, so an empty cell never takes a column.
#pragma once
#include <string>
#include <vector>

std::vector<std::string> SplitTableCells(const std::string &text);
