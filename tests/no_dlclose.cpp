// Preloaded into the sanitized game by the window monkey: libraries stay
// loaded to the end, so that LeakSanitizer, which looks at exit, can name
// the library a leak lies in (Mesa's driver is unloaded as the window
// closes) and its suppressions can match it.
extern "C" int dlclose(void*) {
    return 0;
}
