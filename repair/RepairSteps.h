#pragma once
// The repair page's two tools list one row per step: what was acted on and what became of it.
#include <windows.h>

#include <functional>
#include <string>

// Content (UTF-8) and the string-table id of its state; false when the listener is gone and
// the work should stop.
using ListStep = std::function<bool(const std::string& content, UINT stateStringId)>;
