#pragma once

// The thread a card's work runs on, so that the window keeps painting and
// answering while the library waits on the adapter. The window thread hands
// a command's body over and waits for it in a local event loop; whatever the
// body asks of the window comes back through onThreadOf.

#include <QObject>
#include <QThread>

#include <functional>
#include <optional>
#include <type_traits>

class CardWorker {
public:
    CardWorker();
    ~CardWorker();
    CardWorker(const CardWorker&) = delete;
    CardWorker& operator=(const CardWorker&) = delete;

    // Runs work on the card's thread and returns once it has ended, its
    // exception rethrown here. Meanwhile the calling thread handles its
    // events: repaints, the progress, clicks the gates turn away.
    void run(const std::function<void()>& work);
    // True while run() waits for work.
    bool busy() const { return fBusy; }
    QThread* thread() { return &fThread; }

private:
    QThread fThread;
    QObject* fHere = nullptr; // lives on fThread: what work is queued to
    bool fBusy = false;
};

// Runs fn on the thread that owns target and waits for it: at once when
// called there, else by a blocking queued call (target's thread must be
// handling events, as the window's is while it waits in CardWorker::run).
// An exception fn throws is rethrown to the caller. Returns fn's result.
void callOnThreadOf(QObject* target, const std::function<void()>& fn);

template <typename Fn> auto onThreadOf(QObject* target, Fn&& fn) -> decltype(fn())
{
    if constexpr (std::is_void_v<decltype(fn())>) {
        callOnThreadOf(target, fn);
    } else {
        std::optional<decltype(fn())> result;
        callOnThreadOf(target, [&] { result.emplace(fn()); });
        return std::move(*result);
    }
}
