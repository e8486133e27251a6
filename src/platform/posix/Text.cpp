#include "platform/Text.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <unicode/bytestream.h>
#include <unicode/locid.h>
#include <unicode/ucol.h>
#include <unicode/unistr.h>
#include <unicode/uloc.h>

namespace platform {
namespace {

// The ICU locale id of the user's collation locale (LC_COLLATE, then LC_ALL and LANG).
std::string CollationLocale() {
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
UCollator* Collator() {
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

} // namespace

int CompareText(std::string_view a, std::string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result =
        ucol_strcollUTF8(Collator(), a.data(), static_cast<int32_t>(a.size()), b.data(),
                         static_cast<int32_t>(b.size()), &status);
    if (U_FAILURE(status))
        return a.compare(b);
    return static_cast<int>(result);
}

std::string ToLowerCase(std::string_view text) {
    std::string lower;
    icu::StringByteSink<std::string> sink(&lower);
    icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
        .toLower(icu::Locale::getRoot())
        .toUTF8(sink);
    return lower;
}

std::string DecimalSeparator() {
    locale_t numeric = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (numeric == static_cast<locale_t>(nullptr))
        return ".";
    std::string separator = ::nl_langinfo_l(RADIXCHAR, numeric);
    ::freelocale(numeric);
    return separator.empty() ? "." : separator;
}

} // namespace platform
