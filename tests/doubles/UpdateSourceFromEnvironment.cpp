// The update source of the program the tests build: URL and delay come from the
// KORAVANT_TEST_UPDATE_* variables, else the release values. Linked ahead of the product's
// library, it takes the place of update/UpdateSource.cpp; the product never reads them.
#include <cstdlib>
#include <string>

#include "framework/Strings.h"
#include "res/resource.h"
#include "update/UpdateSource.h"

static std::string Variable(const char* name) {
    char value[1024] = {};
    DWORD length = ::GetEnvironmentVariableA(name, value, sizeof(value));
    return length < sizeof(value) ? std::string(value, length) : std::string();
}

std::string UpdateDescriptionUrl() {
    std::string url = Variable("KORAVANT_TEST_UPDATE_URL");
    return url.empty() ? LoadResString(IDS_UPDATE_URL) : url;
}

DWORD UpdateCheckDelayMs() {
    std::string delay = Variable("KORAVANT_TEST_UPDATE_DELAY_MS");
    return delay.empty() ? 120000 : std::strtoul(delay.c_str(), nullptr, 10);
}
