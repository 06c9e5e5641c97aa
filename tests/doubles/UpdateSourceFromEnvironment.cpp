// The update source of the program the tests build: URL and delay come from the
// KORAVANT_TEST_UPDATE_* variables, else the release values. Linked ahead of the product's
// library, it takes the place of update/UpdateSource.cpp; the product never reads them.
#include <cstdlib>
#include <string>

#include "framework/Strings.h"
#include "res/resource.h"
#include "update/UpdateSource.h"

std::string UpdateDescriptionUrl() {
    const char* url = std::getenv("KORAVANT_TEST_UPDATE_URL");
    return url && *url ? url : LoadResString(IDS_UPDATE_URL);
}

DWORD UpdateCheckDelayMs() {
    const char* delay = std::getenv("KORAVANT_TEST_UPDATE_DELAY_MS");
    return delay && *delay ? std::strtoul(delay, nullptr, 10) : 120000;
}
