#include "platform/modules.h"

#include <string>
#include <system_error>
#include <vector>

#include "platform/error.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#else
#include <dlfcn.h>
#endif

namespace zorvane {

namespace fs = std::filesystem;

#ifdef _WIN32

fs::path ExecutablePath() {
    // GetModuleFileNameW cuts a longer name short and says so only by
    // filling the buffer: grow it until the name fits.
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        std::vector<wchar_t> name(size);
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), size);
        if (length == 0) break;
        if (length < size) return fs::path(std::wstring(name.data(), length));
    }
    throw Error("Windows does not tell the program's file: " + std::system_category().message(::GetLastError()));
}

ModuleHandle LoadModule(const fs::path& path) {
    // The folders of the libraries it needs are searched from its own folder
    // first, as for a program's.
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr,
                                      LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (module == nullptr) throw Error(std::system_category().message(static_cast<int>(::GetLastError())));
    return module;
}

void* ModuleSymbol(ModuleHandle module, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

#else

fs::path ExecutablePath() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) throw Error("The system does not tell the program's file (/proc/self/exe): " + ec.message());
    return self;
}

ModuleHandle LoadModule(const fs::path& path) {
    // RTLD_LOCAL: its symbols serve only itself, and can clash with nothing
    // of the program's.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = ::dlerror();
        throw Error(reason != nullptr ? reason : "it cannot be loaded");
    }
    return module;
}

void* ModuleSymbol(ModuleHandle module, const char* name) { return ::dlsym(module, name); }

#endif

}  // namespace zorvane
