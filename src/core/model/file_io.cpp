#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include <fcntl.h>
#include <unistd.h>

#include "project.h"

namespace zorvane {

namespace fs = std::filesystem;

namespace {
std::string systemReason() { return std::strerror(errno); }
}  // namespace

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(fs::path(path), ec);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
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

void SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty()) throw Error("No file name given.");
    fs::path target(path);
    std::string dir = target.has_parent_path() ? target.parent_path().string() : std::string(".");
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw Error("The folder " + dir + " does not exist.");
    if (fs::is_directory(target, ec)) throw Error(path + " is a folder.");

    std::random_device rd;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = path + ".tmp" + std::to_string(rd() % 1000000);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw Error("Could not create a file in " + dir + ": " + systemReason());

    auto fail = [&](const std::string& what) {
        std::string reason = systemReason();
        ::close(fd);
        ::unlink(temp.c_str());
        throw Error("Could not " + what + " " + path + ": " + reason);
    };
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("write");
        }
        if (n == 0) {
            errno = ENOSPC;
            fail("write");
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) fail("write");
    if (::close(fd) != 0) {
        std::string reason = systemReason();
        ::unlink(temp.c_str());
        throw Error("Could not write " + path + ": " + reason);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        std::string reason = systemReason();
        ::unlink(temp.c_str());
        throw Error("Could not replace " + path + ": " + reason);
    }
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
    fs::path abs = fs::absolute(fs::path(path), ec);
    if (ec) return path;
    return abs.lexically_normal().string();
}

}  // namespace zorvane
