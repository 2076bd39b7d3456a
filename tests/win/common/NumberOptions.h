#pragma once
// "--name number" pairs on the command line of a Windows-side test program.
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace cuewire::test_programs {

struct NumberOption {
    const char* name;
    long* value;
};

// Reads every pair into its option. False on an unknown name, a name without a
// value, or a value that is not a whole number of 0 or more.
inline bool ParseNumberOptions(int argc, char** argv, std::initializer_list<NumberOption> options) {
    if (argc % 2 != 1) {
        return false;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        char* end = nullptr;
        const long value = std::strtol(argv[i + 1], &end, 10);
        if (!end || *end != '\0' || value < 0) {
            return false;
        }
        const NumberOption* match = nullptr;
        for (const NumberOption& option : options) {
            if (std::strcmp(argv[i], option.name) == 0) {
                match = &option;
            }
        }
        if (!match) {
            return false;
        }
        *match->value = value;
    }
    return true;
}

}  // namespace cuewire::test_programs
