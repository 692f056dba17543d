// Preloaded into a game to fix its random deal: the same clock, the same
// seed. Mesa must draw nothing from rand() then, so the game runs with
// MESA_SHADER_CACHE_DISABLE=true: filling an empty shader cache, Mesa 25
// calls rand() about 50 times at start.
#include <ctime>

extern "C" time_t time(time_t* result) {
    const time_t fixed = 1700000000;
    if (result != nullptr) *result = fixed;
    return fixed;
}
