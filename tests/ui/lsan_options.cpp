// Leak checking of the window tests ignores what Qt and fontconfig keep until
// the process ends (lsan_qt.supp); every other leak still fails the test.
extern "C" const char* __lsan_default_options() {
    return "suppressions=" QUORVEX_LSAN_SUPPRESSIONS;
}
