#pragma once
// Where the update description comes from and when it is fetched. The release build's
// definitions (string 222, two minutes) live alone in UpdateSource.cpp, so that the tests can
// link a program with their own server and no wait without any switch in the product.
#include <windows.h>

#include <string>

std::string UpdateDescriptionUrl();
DWORD UpdateCheckDelayMs();
