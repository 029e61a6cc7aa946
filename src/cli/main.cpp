#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
    CLI::App app{"zorvane - command-line tool of the Zorvane Terrain Editor"};
    CLI11_PARSE(app, argc, argv);
    return 0;
}
