// Linked into every test program of a ThreadSanitizer build: the program reads the suppressions of
// Qt's internals itself, however it is started (ctest with or without a preset, or by hand).
// TSAN_OPTIONS, when set, is read after these and can change them.
extern "C" const char* __tsan_default_options() {
    return "suppressions=" PRESCRIPTS_TSAN_SUPPRESSIONS " halt_on_error=0 die_after_fork=0";
}
