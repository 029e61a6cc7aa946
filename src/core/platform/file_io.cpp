#include "platform/file_io.h"

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
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) throw Error("Could not open " + path + ": " + systemReason());
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) throw Error("Could not read " + path + ".");
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), size))
        throw Error("Could not read " + path + ": " + systemReason());
    return data;
}

std::vector<std::uint8_t> ReadFilePart(const std::string& path, std::uint64_t offset, std::size_t count) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) throw Error("Could not open " + path + ": " + systemReason());
    std::vector<std::uint8_t> data(count);
    if (count == 0) return data;
    in.seekg(static_cast<std::streamoff>(offset));
    if (in) in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(count));
    if (in.bad() || (!in && !in.eof())) throw Error("Could not read " + path + ": " + systemReason());
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

std::uint64_t FileSize(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(PathFromUtf8(path), ec);
    if (ec) throw Error("Could not read " + path + ": " + ec.message());
    return size;
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
