#include "autostart/ListUpdate.h"

#include <algorithm>

namespace {
// Rows removed one by one redraw the list each time; more than this are quicker rebuilt.
constexpr size_t kMostRowsRemovedInPlace = 8;
}  // namespace

ListUpdate PlanListUpdate(const std::vector<AutostartEntry>& listed,
                          const std::vector<AutostartEntry>& fresh) {
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
