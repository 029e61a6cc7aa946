#pragma once
// Little-endian reading from a memory buffer and writing to a growing one
// or, in pieces, into a file being saved.
// The reader checks every read against the bytes that remain and throws
// Error with a readable reason, so that no file can make a reader run past
// its end or allocate for counts the file cannot hold.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/project.h"
#include "platform/safe_save.h"

namespace zorvane {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}
    // The bytes of a file from `fileOffset` on: offsets, and the reasons
    // that name them, count from the file's start.
    ByteReader(std::span<const std::uint8_t> data, std::uint64_t fileOffset) : data_(data), base_(fileOffset) {}

    std::size_t offset() const { return static_cast<std::size_t>(base_) + pos_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return data_.size() - pos_; }

    // Throws unless `count` more bytes are there; `what` names the field.
    void need(std::size_t count, std::string_view what) const;
    // Throws unless `count` items of at least `itemSize` bytes each can still
    // follow (checked before anything is allocated for them).
    void needItems(std::uint64_t count, std::uint64_t itemSize, std::string_view what) const;

    std::uint8_t u8(std::string_view what);
    std::uint8_t peekU8(std::string_view what) const;
    std::uint16_t u16(std::string_view what);
    std::uint32_t u32(std::string_view what);
    std::int32_t i32(std::string_view what) { return static_cast<std::int32_t>(u32(what)); }
    std::span<const std::uint8_t> bytes(std::size_t count, std::string_view what);
    std::string text(std::size_t count, std::string_view what);
    void skip(std::size_t count, std::string_view what) { bytes(count, what); }
    void seek(std::size_t offset, std::string_view what);
    template <std::size_t N>
    void read(std::array<std::uint8_t, N>& out, std::string_view what) {
        auto b = bytes(N, what);
        std::memcpy(out.data(), b.data(), N);
    }
    // Whether the next bytes are `tag` (nothing is consumed).
    bool peekTag(std::string_view tag) const;

private:
    std::span<const std::uint8_t> data_;
    std::uint64_t base_ = 0;
    std::size_t pos_ = 0;
};

// Throws unless `count` items of at least `itemSize` bytes each fit in
// `room` bytes, as ByteReader::needItems does for the bytes it holds.
void NeedRoom(std::uint64_t count, std::uint64_t itemSize, std::uint64_t room, std::string_view what);

class ByteWriter {
public:
    // A writer that keeps everything it is given (take() hands it over).
    ByteWriter() = default;
    // A writer that hands its bytes on to `sink` in pieces of about
    // kPieceBytes as they come, keeping no more than one piece; finish()
    // hands on the last.
    explicit ByteWriter(SaveSink& sink) : sink_(&sink) { out_.reserve(kPieceBytes); }

    static constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

    void u8(std::uint8_t v) {
        out_.push_back(v);
        if (sink_ != nullptr && out_.size() >= kPieceBytes) spill();
    }
    void u16(std::uint16_t v) { u8(v & 0xFF); u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void bytes(std::span<const std::uint8_t> b) { append(b.data(), b.size()); }
    void bytes(const std::uint8_t* p, std::size_t n) { append(p, n); }
    void text(std::string_view s) { append(s.data(), s.size()); }
    void reserve(std::size_t n) { out_.reserve(n); }
    // Bytes written so far, those handed on included.
    std::size_t size() const { return handedOn_ + out_.size(); }
    std::vector<std::uint8_t>& data() { return out_; }
    std::vector<std::uint8_t> take() { return std::move(out_); }
    void finish() {
        if (sink_ != nullptr) spill();
    }

private:
    // Grows and copies in two steps: GCC's overflow warnings misread the
    // vector's range insert of a short text after a reserve. A piece as long
    // as a whole one goes to the sink as it is, without a copy.
    void append(const void* p, std::size_t n) {
        if (n == 0) return;
        if (sink_ != nullptr && n >= kPieceBytes) {
            spill();
            sink_->write({static_cast<const std::uint8_t*>(p), n});
            handedOn_ += n;
            return;
        }
        const std::size_t at = out_.size();
        out_.resize(at + n);
        std::memcpy(out_.data() + at, p, n);
        if (sink_ != nullptr && out_.size() >= kPieceBytes) spill();
    }
    void spill() {
        if (out_.empty()) return;
        sink_->write(out_);
        handedOn_ += out_.size();
        out_.clear();
    }

    std::vector<std::uint8_t> out_;
    SaveSink* sink_ = nullptr;
    std::size_t handedOn_ = 0;
};

// Writes a string with its one-byte length; refuses strings over 255 bytes
// rather than cutting them.
void WriteShortString(ByteWriter& w, std::string_view s, std::string_view what);

}  // namespace zorvane
