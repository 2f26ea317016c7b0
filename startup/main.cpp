#include "StartUp.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Only a lone "--version" or "--help" is an option; anything else is a path to examine
    // (a file really named so is reached as ./--version).
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tallyglass %s\n", TALLYGLASS_VERSION_TEXT);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("Usage: tallyglass [FILE]\n"
                    "Shows the file-system fields, digests and document properties of FILE.\n"
                    "Only the first path is examined; drop or browse for further files.\n");
        return 0;
    }
    tallyglass::RunProgram(argc, argv);
}
