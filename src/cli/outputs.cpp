#include "outputs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>

#include "platform/error.h"
#include "platform/file_io.h"
#include "platform/file_names.h"

namespace zorvane::cli {

namespace fs = std::filesystem;

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string WhatItIs(fs::file_type type) {
    switch (type) {
    case fs::file_type::directory: return "a folder";
    case fs::file_type::character:
    case fs::file_type::block: return "a device";
    case fs::file_type::fifo: return "a FIFO";
    case fs::file_type::socket: return "a socket";
    default: return "not a regular file";
    }
}

// The same file by identity (links, other spellings), or the same name
// where neither exists yet.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return a == b || fs::equivalent(PathFromUtf8(a), PathFromUtf8(b), ec);
}

void CheckFolder(const std::string& path) {
    const std::string folder = Utf8FromPath(PathFromUtf8(path).parent_path());
    std::error_code ec;
    if (!fs::is_directory(PathFromUtf8(folder), ec))
        throw Error("Cannot write " + path + ": the folder " + folder + " does not exist.");
    if (const std::error_code error = CheckFolderWritable(PathFromUtf8(folder)))
        throw Error("Cannot write " + path + ": the folder " + folder + " cannot be written (" + error.message() +
                    ").");
}

// Whether a file is there to be replaced; throws for anything but a
// regular file (links followed).
bool ExistsAsFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(PathFromUtf8(path), ec);
    if (status.type() == fs::file_type::not_found) return false;
    if (ec) throw Error("Cannot write " + path + ": " + ec.message() + ".");
    if (status.type() != fs::file_type::regular)
        throw Error("Cannot write " + path + ": it is " + WhatItIs(status.type()) +
                    ", not a file, and is left as it is.");
    return true;
}

// The path the output is written to: absolute, with its kind's extension.
// A name without one is given it, unless a file of that very name exists.
std::string TargetPath(const OutputFile& output) {
    const std::string option(output.option);
    if (output.path == "-")
        throw Error(option + " is -: this command writes a file, not standard output; name the file.");
    std::string path = AbsolutePath(output.path);
    if (path.empty() || PathFromUtf8(path).filename().empty())
        throw Error(option + " names a folder (" + output.path + "), not a file.");
    const std::string ext = ExtractFileExt(path);
    std::error_code ec;
    if (ext.empty() && !fs::exists(fs::symlink_status(PathFromUtf8(path), ec)))
        return path + std::string(output.extension);
    if (!SameLetters(ext, output.extension)) {
        ExistsAsFile(path);  // a device or a folder is named as such
        throw Error(option + " names a *" + std::string(output.extension) + " file. Give " +
                    ChangeFileExt(path, output.extension) + " rather than " + path + ".");
    }
    return path;
}

}  // namespace

std::vector<std::string> CheckOutputs(const std::vector<OutputFile>& outputs, const OutputRules& rules) {
    std::vector<std::string> targets;
    for (const OutputFile& output : outputs) targets.push_back(TargetPath(output));
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const std::string& path = targets[i];
        CheckFolder(path);
        const bool exists = ExistsAsFile(path);
        for (const std::string& input : rules.inputs)
            if (const std::string read = AbsolutePath(input); SameFile(path, read))
                throw Error("Cannot write " + path + ": the command reads it" +
                            (read == path ? "" : " (as " + read + ")") + ", and an input is never written over.");
        for (std::size_t j = 0; j < i; ++j)
            if (SameFile(path, targets[j]))
                throw Error("Cannot write " + path + " twice: " + std::string(outputs[i].option) + " and " +
                            std::string(outputs[j].option) + " name the same file.");
        if (exists && outputs[i].existing == OutputFile::Existing::NeedsForce && !rules.force)
            throw Error(ExistingTileSetText(path));
    }
    return targets;
}

std::string ExistingTileSetText(const std::string& path) {
    return "The tile set " + path + " exists: give --force to replace it, or name another file.";
}

FileStamp::FileStamp(std::string path) : path_(std::move(path)), before_(Now()) {}

bool FileStamp::Replaced() const {
    const auto now = Now();
    return now && now != before_;
}

std::optional<FileIdentity> FileStamp::Now() const { return IdentityOf(PathFromUtf8(path_)); }

void ReportWritten(const std::string& path) { std::cout << "Wrote " << path << "\n"; }

}  // namespace zorvane::cli
