// Preloaded into the games that bench_events compares: the same clock gives
// both the same random deal.
#include <ctime>

extern "C" time_t time(time_t* result) {
    const time_t fixed = 1700000000;
    if (result != nullptr) *result = fixed;
    return fixed;
}
