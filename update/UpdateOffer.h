#pragma once
// The update description "update.ini": what version the server offers, and its change text.
#include <string>

constexpr char kUpdateDescriptionFile[] = "update.ini";

struct UpdateOffer {
    std::string version;
    std::string change;
};

// Reads section "Koravant" of the description at `iniPath`. A missing VERSION reads as
// `ownVersion` (nothing offered); a missing CHANGE as the default text; CHANGE is cut to 2047
// characters.
UpdateOffer ReadUpdateOffer(const std::string& iniPath, const std::string& ownVersion);
// Any difference in the text counts as another version, an older one included.
inline bool OffersOtherVersion(const UpdateOffer& offer, const std::string& ownVersion) {
    return offer.version != ownVersion;
}
