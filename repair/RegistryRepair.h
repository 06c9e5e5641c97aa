#pragma once
// Applies the repair table to the registry, listing each row as it goes.
#include <windows.h>

#include <string>
#include <vector>

#include "repair/RepairSteps.h"
#include "repair/RepairTable.h"

// True when the system is 64-bit, whether this program runs natively or under WOW64.
bool IsSixtyFourBitSystem();
// The view flags each step of `hive` is written with: one entry per view written.
std::vector<REGSAM> RegistryViewsFor(RepairHive hive, bool sixtyFourBitSystem);
// `text` followed by zero bytes up to `length`; empty when the text and its terminating zero
// do not fit.
std::string FixedLengthData(const char* text, DWORD length);
// Opens the step's key in each of its views and deletes or writes its value.
void ApplyRegistryStep(const RegistryStep& step, bool sixtyFourBitSystem);
// Works through the whole table in row order. Rows are listed whatever their steps achieved.
void RepairRegistry(const ListStep& list);
