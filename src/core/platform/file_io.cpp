#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/error.h"
#include "platform/file_names.h"

namespace zorvane {

namespace fs = std::filesystem;

namespace {

std::string systemReason() { return std::strerror(errno); }

}  // namespace

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(PathFromUtf8(path), ec);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    FileReader file(path);
    return file.readUpTo(file.size());
}

std::vector<std::uint8_t> ReadFilePart(const std::string& path, std::uint64_t offset, std::size_t count) {
    FileReader file(path);
    file.seek(offset);
    return file.readUpTo(count);
}

std::uint64_t FileSize(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(PathFromUtf8(path), ec);
    if (ec) throw Error("Could not read " + path + ": " + ec.message());
    return size;
}

struct FileReader::Stream {
    std::ifstream in;
};

FileReader::FileReader(const std::string& path) : path_(path), stream_(std::make_unique<Stream>()) {
    stream_->in.open(PathFromUtf8(path), std::ios::binary);
    if (!stream_->in) throw Error("Could not open " + path + ": " + systemReason());
    stream_->in.seekg(0, std::ios::end);
    const std::streamoff size = stream_->in.tellg();
    stream_->in.seekg(0, std::ios::beg);
    if (size < 0 || !stream_->in) throw Error("Could not read " + path + ".");
    size_ = static_cast<std::uint64_t>(size);
}

FileReader::~FileReader() = default;

void FileReader::read(std::span<std::uint8_t> bytes) {
    if (bytes.empty()) return;
    if (bytes.size() > size_ - offset_)
        throw Error("Could not read " + path_ + ": it ended at byte " + std::to_string(size_) + ".");
    if (!stream_->in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        throw Error("Could not read " + path_ + ": " + systemReason());
    offset_ += bytes.size();
}

std::vector<std::uint8_t> FileReader::readUpTo(std::uint64_t count) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(std::min(count, size_ - offset_)));
    read(data);
    return data;
}

void FileReader::seek(std::uint64_t offset) {
    offset_ = std::min(offset, size_);
    stream_->in.clear();
    if (!stream_->in.seekg(static_cast<std::streamoff>(offset_)))
        throw Error("Could not read " + path_ + ": " + systemReason());
}

std::string ExtractFileExt(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, std::string_view ext) {
    std::string old = ExtractFileExt(path);
    return path.substr(0, path.size() - old.size()) + std::string(ext);
}

std::string ExtractFileName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    fs::path abs = fs::absolute(PathFromUtf8(path), ec);
    if (ec) return path;
    return Utf8FromPath(abs.lexically_normal());
}

}  // namespace zorvane
