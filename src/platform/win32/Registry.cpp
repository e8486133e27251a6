#include "platform/Registry.h"

#include "platform/win32/Wide.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace platform {
namespace {

using win32::ToWide;

// What the program needs of its key; no more, so a key made read-only by policy still reads.
constexpr REGSAM kAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

Status SetFailure(const std::string& name) {
    return Status::Error("Failed to set data for '" + name + "'");
}

} // namespace

struct RegistryKey::Impl {
    HKEY key = nullptr;

    ~Impl() {
        if (key != nullptr)
            RegCloseKey(key);
    }

    // RegQueryValueExW, not RegGetValueW: it hands REG_EXPAND_SZ over unexpanded.
    std::optional<Value> Query(const std::string& name) const {
        const std::wstring wideName = ToWide(name);
        Value value;
        DWORD size = 0;
        for (;;) {
            value.data.resize(size);
            const LONG result = RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type,
                                                 size ? value.data.data() : nullptr, &size);
            if (result == ERROR_SUCCESS && size <= value.data.size()) {
                value.data.resize(size);
                return value;
            }
            // Asked for the size only, or the value grew meanwhile: ask again with room.
            if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
                return std::nullopt;
        }
    }

    Status Set(const std::string& name, DWORD type, const void* data, std::size_t size) {
        const LONG result =
            RegSetValueExW(key, ToWide(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                           static_cast<DWORD>(size));
        return result == ERROR_SUCCESS ? Status::Ok() : SetFailure(name);
    }
};

RegistryKey::RegistryKey(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::OpenExisting(const std::string& keyPath) {
    if (keyPath.empty())
        return std::nullopt;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), 0, kAccess, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    auto impl = std::make_unique<Impl>();
    impl->key = key;
    return RegistryKey(std::move(impl));
}

Result<RegistryKey> RegistryKey::Create(const std::string& keyPath) {
    HKEY key = nullptr;
    if (keyPath.empty() ||
        RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(keyPath).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return Status::Error("Failed to create key '" + keyPath + "'");
    auto impl = std::make_unique<Impl>();
    impl->key = key;
    return RegistryKey(std::move(impl));
}

RegValueKind RegistryKey::KindOf(const std::string& name) const {
    const auto value = impl_->Query(name);
    if (!value)
        return RegValueKind::Missing;
    switch (value->type) {
    case REG_DWORD:
        return value->data.size() == sizeof(DWORD) ? RegValueKind::Dword : RegValueKind::Other;
    case REG_SZ:
    case REG_EXPAND_SZ:
        return RegValueKind::String;
    default:
        return RegValueKind::Other;
    }
}

std::uint32_t RegistryKey::ReadDword(const std::string& name) const {
    const auto value = impl_->Query(name);
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD))
        return 0;
    DWORD number = 0;
    std::memcpy(&number, value->data.data(), sizeof number);
    return number;
}

std::string RegistryKey::ReadString(const std::string& name) const {
    const auto value = impl_->Query(name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ))
        return {};
    // Stored text need not end in a terminator, nor be a whole number of characters.
    std::wstring text(value->data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), value->data.data(), text.size() * sizeof(wchar_t));
    if (const auto end = text.find(L'\0'); end != std::wstring::npos)
        text.resize(end);
    return win32::ToUtf8(text);
}

Status RegistryKey::WriteDword(const std::string& name, std::uint32_t value) {
    const DWORD number = value;
    return impl_->Set(name, REG_DWORD, &number, sizeof number);
}

Status RegistryKey::WriteString(const std::string& name, const std::string& value) {
    const std::wstring text = ToWide(value);
    return impl_->Set(name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

} // namespace platform
