#pragma once

#include "core/base/LogClass.h"
#include "platform/Status.h"

#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace app {

namespace detail {
template <typename T> struct IsOutcome : std::false_type {};
template <> struct IsOutcome<platform::Status> : std::true_type {};
template <typename T> struct IsOutcome<platform::Result<T>> : std::true_type {};
} // namespace detail

// Runs one guarded operation. A failed Status or Result, or a std::exception thrown by the body,
// writes one log entry, the prefix (e.g. "ReadIniFile:") directly followed by the message, and
// gives false; the caller then skips the rest of the operation. Any other thrown type travels on.
template <typename F> bool Guard(std::string_view prefix, F&& body) {
    using Returned = std::remove_cvref_t<std::invoke_result_t<F>>;
    static_assert(std::is_void_v<Returned> || detail::IsOutcome<Returned>::value,
                  "a guarded body returns nothing, a platform::Status or a platform::Result");
    try {
        if constexpr (std::is_void_v<Returned>) {
            std::forward<F>(body)();
        } else {
            const auto outcome = std::forward<F>(body)();
            if (!outcome.ok()) {
                TLogClass::WriteLog(std::string(prefix) + outcome.message());
                return false;
            }
        }
        return true;
    } catch (const std::exception& failure) {
        TLogClass::WriteLog(std::string(prefix) + failure.what());
        return false;
    }
}

} // namespace app
