// Built into the sanitized program only. The sound server's client library keeps a few bytes
// it never frees, on its own threads and at its own pace: its leaks are not the game's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpulse.so\nleak:libasound.so\n";
}
