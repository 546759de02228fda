#include "cards/card_worker.h"

#include <QEventLoop>
#include <QMetaObject>

#include <exception>

CardWorker::CardWorker()
{
    fThread.setObjectName(QStringLiteral("card"));
    fThread.start();
    fHere = new QObject;
    fHere->moveToThread(&fThread);
    QObject::connect(&fThread, &QThread::finished, fHere, &QObject::deleteLater);
}

CardWorker::~CardWorker()
{
    fThread.quit();
    fThread.wait();
}

void CardWorker::run(const std::function<void()>& work)
{
    QEventLoop loop;
    std::exception_ptr error;
    fBusy = true;
    QMetaObject::invokeMethod(fHere, [&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        // Queued: the loop may not have started yet, and it is the window
        // thread's to end.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    fBusy = false;
    if (error)
        std::rethrow_exception(error);
}

void callOnThreadOf(QObject* target, const std::function<void()>& fn)
{
    if (QThread::currentThread() == target->thread()) {
        fn();
        return;
    }
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        target,
        [&] {
            try {
                fn();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}
