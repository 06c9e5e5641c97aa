#pragma once
// A refresh touches only the rows that changed: a refresh that finds the same entries leaves
// the list (its scroll position and selection) alone, and a deletion removes just its row.
#include <algorithm>
#include <cstddef>
#include <vector>

struct ListUpdate {
    bool rebuild = false;  // clear the list and add every fresh entry
    size_t keep = 0;       // otherwise: the leading rows that stay,
    size_t remove = 0;     // the rows removed after them (the rows behind those stay too),
    size_t append = 0;     // and the fresh entries added at the end
};

// Rows removed one by one redraw the list each time; more than this are quicker rebuilt.
inline constexpr size_t kMostRowsRemovedInPlace = 8;

// `Row` is anything that compares with ==: the entries themselves, or the rows shown.
template <typename Row>
ListUpdate PlanListUpdate(const std::vector<Row>& listed, const std::vector<Row>& fresh) {
    auto [listedEnd, freshEnd] =
        std::mismatch(listed.begin(), listed.end(), fresh.begin(), fresh.end());
    size_t keep = static_cast<size_t>(listedEnd - listed.begin());
    if (keep == listed.size()) return {false, keep, 0, fresh.size() - keep};
    // Rows gone from the middle, the rest as it was: the case of a deletion.
    if (listed.size() > fresh.size()) {
        size_t removed = listed.size() - fresh.size();
        if (removed <= kMostRowsRemovedInPlace &&
            std::equal(freshEnd, fresh.end(), listedEnd + static_cast<std::ptrdiff_t>(removed)))
            return {false, keep, removed, 0};
    }
    return {true, 0, 0, fresh.size()};
}
