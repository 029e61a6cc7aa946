#include "model/bytes.h"

namespace zorvane {

namespace {
[[noreturn]] void tooShort(std::string_view what, std::size_t offset) {
    throw Error("The file ends too early: " + std::string(what) + " at byte " + std::to_string(offset) +
                " is missing.");
}
}  // namespace

void ByteReader::need(std::size_t count, std::string_view what) const {
    if (count > remaining()) tooShort(what, offset());
}

void ByteReader::needItems(std::uint64_t count, std::uint64_t itemSize, std::string_view what) const {
    NeedRoom(count, itemSize, remaining(), what);
}

void NeedRoom(std::uint64_t count, std::uint64_t itemSize, std::uint64_t room, std::string_view what) {
    if (itemSize != 0 && count > room / itemSize)
        throw Error("The file is damaged: it declares " + std::to_string(count) + " " + std::string(what) +
                    " but holds room for at most " + std::to_string(room / itemSize) + ".");
}

std::uint8_t ByteReader::peekU8(std::string_view what) const {
    need(1, what);
    return data_[pos_];
}

std::uint8_t ByteReader::u8(std::string_view what) {
    need(1, what);
    return data_[pos_++];
}

std::uint16_t ByteReader::u16(std::string_view what) {
    need(2, what);
    std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::uint32_t ByteReader::u32(std::string_view what) {
    need(4, what);
    std::uint32_t v = static_cast<std::uint32_t>(data_[pos_]) | (static_cast<std::uint32_t>(data_[pos_ + 1]) << 8) |
                      (static_cast<std::uint32_t>(data_[pos_ + 2]) << 16) |
                      (static_cast<std::uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t count, std::string_view what) {
    need(count, what);
    auto s = data_.subspan(pos_, count);
    pos_ += count;
    return s;
}

std::string ByteReader::text(std::size_t count, std::string_view what) {
    auto b = bytes(count, what);
    return std::string(b.begin(), b.end());
}

void ByteReader::seek(std::size_t offset, std::string_view what) {
    if (offset < base_ || offset - base_ > data_.size()) tooShort(what, offset);
    pos_ = static_cast<std::size_t>(offset - base_);
}

bool ByteReader::peekTag(std::string_view tag) const {
    if (remaining() < tag.size()) return false;
    return std::memcmp(data_.data() + pos_, tag.data(), tag.size()) == 0;
}

void WriteShortString(ByteWriter& w, std::string_view s, std::string_view what) {
    if (s.size() > MaxStoredPath)
        throw Error("The " + std::string(what) + " is longer than 255 bytes and cannot be stored:\r" +
                    std::string(s));
    w.u8(static_cast<std::uint8_t>(s.size()));
    w.text(s);
}

}  // namespace zorvane
