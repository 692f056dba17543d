// The game's command line from any bytes: the input split at NUL bytes into
// up to nine arguments. Whatever the texts, the board is at least 1 x 1,
// positions not given keep their defaults, arguments past the seventh change
// nothing, and a plain decimal text reads as its number.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "board_memory.h"
#include "params.h"

namespace {

const int kDefaults[PARAM_COUNT] = {14, 14, 2, 3, 4, 3, 1};

void fail(const char* what, int slot, int value) {
    std::fprintf(stderr, "readParams: %s (slot %d, value %d)\n", what, slot, value);
    std::abort();
}

// Reads with exactly argc entries plus the closing null, each text in a
// block of its own size, so that a read past either end is caught.
void read(const std::vector<std::vector<char>>& texts, int count, int params[PARAM_COUNT]) {
    std::vector<char*> argv(static_cast<size_t>(count) + 2, nullptr);
    char program[] = "./game";
    argv[0] = program;
    std::vector<std::vector<char>> copies(texts.begin(), texts.begin() + count);
    for (int i = 0; i < count; ++i) argv[i + 1] = copies[i].data();
    readParams(count + 1, argv.data(), params);
}

bool blank(const std::vector<char>& text) {
    for (char c : text)
        if (c != '\0' && c != ' ' && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r') return false;
    return true;
}

// The value of a text made of blanks, an optional minus and one to nine
// digits, then anything but a digit; false for any other text.
bool plainNumber(const std::vector<char>& text, int& value) {
    size_t i = 0;
    while (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\v' || text[i] == '\f' ||
           text[i] == '\r')
        ++i;
    const bool negative = text[i] == '-';
    if (negative) ++i;
    long long number = 0;
    size_t digits = 0;
    for (; text[i] >= '0' && text[i] <= '9'; ++i, ++digits)
        if (digits < 10) number = number * 10 + (text[i] - '0');
    if (digits == 0 || digits > 9) return false;
    value = static_cast<int>(negative ? -number : number);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::vector<char>> texts;
    if (size > 0) {
        texts.emplace_back();
        for (size_t i = 0; i < size; ++i) {
            if (data[i] == '\0') {
                if (texts.size() == 9) break;
                texts.back().push_back('\0');
                texts.emplace_back();
            } else {
                texts.back().push_back(static_cast<char>(data[i]));
            }
        }
        texts.back().push_back('\0');
    }
    const int count = static_cast<int>(texts.size());

    int params[PARAM_COUNT];
    read(texts, count, params);
    if (params[PARAM_WIDTH] < 1) fail("width below 1", PARAM_WIDTH, params[PARAM_WIDTH]);
    if (params[PARAM_HEIGHT] < 1) fail("height below 1", PARAM_HEIGHT, params[PARAM_HEIGHT]);
    // Every size the command line can give has a finite memory estimate that
    // grows with the board, so no board slips under the check.
    const double bytes = gameBytes(params[PARAM_WIDTH], params[PARAM_HEIGHT]);
    if (!(bytes >= 12.0 * 4 * params[PARAM_WIDTH] * params[PARAM_HEIGHT] && bytes < 1e300))
        fail("memory estimate below the boards themselves", PARAM_WIDTH, params[PARAM_WIDTH]);

    for (int slot = 0; slot < PARAM_COUNT; ++slot) {
        if (slot >= count || blank(texts[slot])) {
            if (params[slot] != kDefaults[slot]) fail("not given, yet not the default", slot, params[slot]);
            continue;
        }
        int value = 0;
        if (!plainNumber(texts[slot], value)) continue;
        if (slot == PARAM_WIDTH || slot == PARAM_HEIGHT) value = value < 1 ? 1 : value;
        if (params[slot] != value) fail("a plain number read otherwise", slot, params[slot]);
    }

    if (count > PARAM_COUNT) {
        int seven[PARAM_COUNT];
        read(texts, PARAM_COUNT, seven);
        for (int slot = 0; slot < PARAM_COUNT; ++slot)
            if (seven[slot] != params[slot]) fail("an eighth or ninth argument changed a value", slot, params[slot]);
    }
    return 0;
}
