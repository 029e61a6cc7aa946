#include "platform/app_data.h"

#include <cstdlib>
#include <filesystem>

#include "platform/error.h"
#include "platform/file_names.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#include <knownfolders.h>
#include <shlobj.h>
#endif

namespace zorvane {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32

fs::path UserDataRoot() {
    PWSTR known = nullptr;
    fs::path root;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &known)))
        root = fs::path(known);
    ::CoTaskMemFree(known);
    if (root.empty())
        if (const wchar_t* appData = ::_wgetenv(L"APPDATA"); appData != nullptr && *appData != L'\0')
            root = fs::path(appData);
    if (root.empty()) throw Error("Windows names no application data folder for this user.");
    return root / L"Zorvane";
}

#else

// Only an absolute path counts, as the XDG base directory rules say.
fs::path UserDataRoot() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && fs::path(xdg).is_absolute())
        return fs::path(xdg) / "zorvane";
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0')
        throw Error("Neither XDG_DATA_HOME nor HOME is set: there is no folder for the program's data.");
    return fs::path(home) / ".local" / "share" / "zorvane";
}

#endif

}  // namespace

std::string AppDataFolder(AppDataFolderUse use) {
    const fs::path folder = UserDataRoot();
    if (use == AppDataFolderUse::Create) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder, ec))
            throw Error("Could not make the folder " + Utf8FromPath(folder) + ": " +
                        (ec ? ec.message() : std::string("a file of that name is in the way.")));
    }
    return Utf8FromPath(folder);
}

}  // namespace zorvane
