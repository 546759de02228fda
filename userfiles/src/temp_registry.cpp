#include "userfiles/temp_registry.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace userfiles {

namespace {

enum : int { kFree = 0, kFilling = 1, kHeld = 2 };

// Fixed storage: the handler can neither allocate nor take a lock.
struct Entry {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free);

Entry table[kMaxTempFiles];

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[std::size(kSignals)];

void removeTemps(int signal, siginfo_t* info, void* context)
{
    const int saved = errno;
    for (Entry& e : table)
        if (e.state.load() == kHeld)
            ::unlink(e.path);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (kSignals[i] != signal)
            continue;
        const struct sigaction& before = previous[i];
        if ((before.sa_flags & SA_SIGINFO) && before.sa_sigaction) {
            before.sa_sigaction(signal, info, context);
        } else if (!(before.sa_flags & SA_SIGINFO) && before.sa_handler != SIG_DFL &&
                   before.sa_handler != SIG_IGN) {
            before.sa_handler(signal);
        } else {
            // The signal is blocked while this runs: raised again, it ends
            // the process by its default action as soon as we return.
            struct sigaction fallback {};
            fallback.sa_handler = SIG_DFL;
            sigemptyset(&fallback.sa_mask);
            ::sigaction(signal, &fallback, nullptr);
            ::raise(signal);
        }
    }
    errno = saved;
}

} // namespace

int registerTemp(const char* path)
{
    if (std::strlen(path) >= PATH_MAX)
        return -1;
    for (int i = 0; i < kMaxTempFiles; ++i) {
        int expected = kFree;
        if (!table[i].state.compare_exchange_strong(expected, kFilling))
            continue;
        std::strcpy(table[i].path, path);
        table[i].state.store(kHeld);
        return i;
    }
    return -1;
}

void forgetTemp(int entry)
{
    if (entry >= 0 && entry < kMaxTempFiles)
        table[entry].state.store(kFree);
}

void removeTempsOnSignals()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            struct sigaction now {};
            ::sigaction(kSignals[i], nullptr, &now);
            // A signal the user chose to ignore stays ignored.
            if (!(now.sa_flags & SA_SIGINFO) && now.sa_handler == SIG_IGN)
                continue;
            struct sigaction ours {};
            ours.sa_sigaction = removeTemps;
            ours.sa_flags = SA_SIGINFO | SA_RESTART;
            sigemptyset(&ours.sa_mask);
            ::sigaction(kSignals[i], &ours, &previous[i]);
        }
    });
}

} // namespace userfiles
