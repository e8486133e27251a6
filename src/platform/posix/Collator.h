#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <unicode/ucol.h>

namespace platform::posix {

// The ICU locale id of the user's collation locale (LC_COLLATE, then LC_ALL and LANG).
inline std::string CollationLocale() {
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            std::string id(value);
            id = id.substr(0, id.find_first_of(".@"));
            if (id == "C" || id == "POSIX")
                return ""; // root order; ICU's POSIX tailoring would rank case first
            return id;
        }
    }
    return "";
}

struct CollatorDeleter {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

// One collator per thread: the copy worker may compare while the window does.
inline UCollator* Collator() {
    thread_local std::unique_ptr<UCollator, CollatorDeleter> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        const std::string locale = CollationLocale();
        UCollator* opened = ucol_open(locale.c_str(), &status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            opened = ucol_open("", &status);
        }
        // Secondary strength: letter case is ignored, accents are not.
        ucol_setStrength(opened, UCOL_SECONDARY);
        return std::unique_ptr<UCollator, CollatorDeleter>(opened);
    }();
    return collator.get();
}

} // namespace platform::posix
