#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace device {

// Bounded access to the database image: every read checks the bytes left before it reads.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t size() const { return data_.size(); }

    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }

    // The signed little-endian 32-bit value at offset, or nothing past the end.
    std::optional<std::int32_t> I32(std::size_t offset) const {
        if (!Has(offset, 4))
            return std::nullopt;
        const std::uint32_t value = static_cast<std::uint32_t>(data_[offset]) |
                                    static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
                                    static_cast<std::uint32_t>(data_[offset + 2]) << 16 |
                                    static_cast<std::uint32_t>(data_[offset + 3]) << 24;
        return static_cast<std::int32_t>(value);
    }

    // Precondition: Has(offset, length).
    std::span<const std::uint8_t> Bytes(std::size_t offset, std::size_t length) const {
        return data_.subspan(offset, length);
    }

private:
    std::span<const std::uint8_t> data_;
};

} // namespace device
