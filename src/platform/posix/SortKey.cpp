#include "platform/Text.h"

#include "platform/posix/Collator.h"

#include <unicode/ucol.h>
#include <unicode/unistr.h>

namespace platform {

std::string SortKey(std::string_view text) {
    const icu::UnicodeString wide = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string key(64, '\0');
    for (;;) {
        const int32_t needed = ucol_getSortKey(posix::Collator(), wide.getBuffer(), wide.length(),
                                               reinterpret_cast<uint8_t*>(key.data()),
                                               static_cast<int32_t>(key.size()));
        if (needed <= static_cast<int32_t>(key.size())) {
            key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0); // drop the final 0
            return key;
        }
        key.resize(static_cast<std::size_t>(needed));
    }
}

} // namespace platform
