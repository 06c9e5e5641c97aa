#include "process/ProcessTable.h"

bool ProcessTable::Row(int index, FlaggedProcess& row) const {
    std::lock_guard<std::mutex> lock(m_lock);
    if (index < 0 || static_cast<size_t>(index) >= m_rows.size()) return false;
    row = m_rows[static_cast<size_t>(index)];
    return true;
}

int ProcessTable::Count() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return static_cast<int>(m_rows.size());
}
