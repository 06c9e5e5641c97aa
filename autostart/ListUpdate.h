#pragma once
// A refresh touches only the rows that changed: a refresh that finds the same entries leaves
// the list (its scroll position and selection) alone, and a deletion removes just its row.
#include <cstddef>
#include <vector>

#include "autostart/AutostartValues.h"

struct ListUpdate {
    bool rebuild = false;  // clear the list and add every fresh entry
    size_t keep = 0;       // otherwise: the leading rows that stay,
    size_t remove = 0;     // the rows removed after them (the rows behind those stay too),
    size_t append = 0;     // and the fresh entries added at the end
};

ListUpdate PlanListUpdate(const std::vector<AutostartEntry>& listed,
                          const std::vector<AutostartEntry>& fresh);
