#include <cstdio>
#include <cstring>
#include <string>

#include "mif/uniMifUtils.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--columns") == 0) {
        try {
            for (const auto& c : quorvex::ReadMifTable(argv[2]).Columns) {
                std::fwrite(c.Name.data(), 1, c.Name.size(), stdout);
                std::fputc('\n', stdout);
            }
            return 0;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "quorvex-convert: %s\n", e.what());
            return 1;
        }
    }
    return 2;
}
