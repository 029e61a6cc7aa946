#pragma once
// The files a command is about to write, checked all together before any
// work starts, and the lines that name the files it wrote.
//
// Every output must end in its kind's extension (in any letter case; a
// name without an extension is given it, as the editor's save dialogs do),
// lie in a folder that exists and may be written, be no device, FIFO or
// folder (a symbolic link to a file is fine: the file linked to is
// written), and be none of the command's inputs nor another of its
// outputs. Replacing an existing tile set needs --force.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_checks.h"

namespace zorvane::cli {

struct OutputFile {
    std::string path;            // as the user gave it
    std::string_view extension;  // the one its kind asks for, with its dot
    std::string_view option;     // how the command line names it: "OUT", "-o", "--zm", "--zp"
    // A tile set, whose replacement needs --force.
    enum class Existing { Replace, NeedsForce };
    Existing existing = Existing::Replace;
};

struct OutputRules {
    std::vector<std::string> inputs;  // the files the command reads
    bool force = false;               // --force was given
};

// Checks the outputs together and returns the absolute path each is to be
// written to, in the same order; throws Error naming the file and what is
// wrong before anything is done.
std::vector<std::string> CheckOutputs(const std::vector<OutputFile>& outputs, const OutputRules& rules);

// The message for a tile set that is in the way without --force.
std::string ExistingTileSetText(const std::string& path);

// What a file is now, to tell afterwards whether a command replaced it.
class FileStamp {
public:
    explicit FileStamp(std::string path);
    // The file exists and is another one than when the stamp was taken.
    bool Replaced() const;

private:
    std::optional<FileIdentity> Now() const;
    std::string path_;
    std::optional<FileIdentity> before_;
};

// "Wrote PATH" on standard output: every command names each file it wrote.
void ReportWritten(const std::string& path);

}  // namespace zorvane::cli
