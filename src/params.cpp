#include "params.h"

#include <cctype>
#include <sstream>

namespace {

const int defaults[PARAM_COUNT] = {14, 14, 2, 3, 4, 3, 1};

bool isBlank(const char* text) {
    for (; *text != '\0'; ++text)
        if (!std::isspace(static_cast<unsigned char>(*text))) return false;
    return true;
}

}  // namespace

void readParams(int argc, char** argv, int params[7]) {
    for (int slot = 0; slot < PARAM_COUNT; ++slot) params[slot] = defaults[slot];

    for (int i = 1; i <= PARAM_COUNT && i < argc && argv[i] != nullptr; ++i) {
        // A blank text yields no number at all; it stands for the default.
        if (isBlank(argv[i])) continue;
        std::istringstream in(argv[i]);
        unsigned int value = 0;
        in >> value;
        params[i - 1] = static_cast<int>(value);
    }

    if (params[PARAM_WIDTH] <= 0) params[PARAM_WIDTH] = 1;
    if (params[PARAM_HEIGHT] <= 0) params[PARAM_HEIGHT] = 1;
}
