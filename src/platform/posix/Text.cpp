#include "platform/Text.h"

#include "platform/AsciiCase.h"
#include "platform/posix/Collator.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/uchar.h>
#include <unicode/locid.h>
#include <unicode/ucol.h>
#include <unicode/unistr.h>
#include <unicode/uloc.h>

namespace platform {

using posix::Collator;

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

std::string FoldFileNameCase(std::string_view name) {
    // Most names on a player are ASCII: fold those without a trip through ICU.
    std::string folded(name);
    if (FoldAsciiCase(folded, false))
        return folded;
    folded.clear();
    icu::StringByteSink<std::string> sink(&folded);
    UErrorCode status = U_ZERO_ERROR;
    icu::CaseMap::utf8Fold(U_FOLD_CASE_DEFAULT,
                           icu::StringPiece(name.data(), static_cast<int32_t>(name.size())), sink,
                           nullptr, status);
    if (U_FAILURE(status))
        return std::string(name);
    return folded;
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
