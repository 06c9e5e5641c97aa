#pragma once
// The process list's rows with their process identifiers: at most 256, rewritten whole by
// each rebuild and read by Delete. One lock covers a whole rebuild (with the list's update)
// and a read of a row, so a row's name, path and identifier come from one rebuild.
#include <mutex>
#include <vector>

#include "process/ProcessJudge.h"

class ProcessTable {
  public:
    // Replaces the rows and calls `show(rows)` under the lock; rows past 256 are dropped.
    // Nothing happens, and false returns, when the rows are the ones held already.
    template <typename Show>
    bool Rebuild(std::vector<FlaggedProcess> rows, Show show) {
        if (rows.size() > kMaxFlaggedProcesses) rows.resize(kMaxFlaggedProcesses);
        std::lock_guard<std::mutex> lock(m_lock);
        if (rows == m_rows) return false;
        m_rows = std::move(rows);
        show(static_cast<const std::vector<FlaggedProcess>&>(m_rows));
        return true;
    }
    // Row `index` as the last rebuild left it; false when there is no such row.
    bool Row(int index, FlaggedProcess& row) const;
    int Count() const;

  private:
    mutable std::mutex m_lock;
    std::vector<FlaggedProcess> m_rows;
};
