#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

enum class RegValueKind { Missing, Dword, String, Other };

// One key under HKEY_CURRENT_USER (on Linux: a section of a settings file under the XDG
// config folder, with typed values). Every write reaches the store at once.
class RegistryKey {
public:
    RegistryKey(RegistryKey&&) noexcept;
    RegistryKey& operator=(RegistryKey&&) noexcept;
    ~RegistryKey();

    // Opens an existing key for reading and writing; never creates it.
    static std::optional<RegistryKey> OpenExisting(const std::string& keyPath);
    // Creates the key when missing and opens it (first-run step only).
    static Result<RegistryKey> Create(const std::string& keyPath);

    RegValueKind KindOf(const std::string& name) const;
    // Precondition: KindOf(name) is Dword, respectively String.
    std::uint32_t ReadDword(const std::string& name) const;
    std::string ReadString(const std::string& name) const;

    Status WriteDword(const std::string& name, std::uint32_t value);
    Status WriteString(const std::string& name, const std::string& value);

    struct Impl;

private:
    explicit RegistryKey(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
