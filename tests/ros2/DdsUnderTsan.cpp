// Cyclone DDS comes from the distribution, built without ThreadSanitizer:
// its own atomics (sample reference counts, its queues) are invisible to
// it, so the memory its threads hand each other looks unsynchronised where
// it calls memcpy or sendmsg (called_from_lib), and where it frees what
// another thread read last, which that rule does not cover (race: only a
// report with a frame inside Cyclone DDS). Every access of ours that does
// not go through it stays checked.
#if defined(__SANITIZE_THREAD__)
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions()
{
    return "called_from_lib:libddsc.so\n"
           "race:libddsc.so\n";
}
#endif
