#include <cstdio>

#include "cli/console.h"

namespace quorvex::cli {

std::vector<std::string> StartConsole(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

std::string ForTerminal(std::string_view utf8) {
    return std::string(utf8);
}

void WriteMessage(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

}  // namespace quorvex::cli
