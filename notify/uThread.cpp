#include "notify/uThread.h"

#include <QCoreApplication>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

#include "notify/MessageRows.h"
#include "notify/uFrmTip.h"
#include "service/UpdateCheck.h"
#include "service/ucm.h"

// State shared between the poller and the UI thread: the stop request and the
// completion of the one step the poller waits for.
struct TBackupThread::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    quint64 nextStep = 0;
    quint64 doneStep = 0;

    void requestStop() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        changed.notify_all();
    }

    bool stopped() {
        std::lock_guard<std::mutex> lock(mutex);
        return stop;
    }

    void finish(quint64 step) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (step > doneStep) doneStep = step;
        }
        changed.notify_all();
    }
};

namespace {

// Steps waiting for the UI thread. They travel through this queue, guarded by a
// standard mutex, rather than inside the posted event, so that everything the poller
// hands over is published by a lock any race checker can see. Never destroyed: a
// poller still running while the process ends must not find it gone.
std::mutex& pendingMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::deque<std::function<void()>>& pendingSteps() {
    static auto* steps = new std::deque<std::function<void()>>;
    return *steps;
}

// Runs on the UI thread. A step may open a nested event loop (a question box) that
// runs this again; each step is taken off the queue before it runs.
void runPendingSteps() {
    for (;;) {
        std::function<void()> step;
        {
            std::lock_guard<std::mutex> lock(pendingMutex());
            if (pendingSteps().empty()) return;
            step = std::move(pendingSteps().front());
            pendingSteps().pop_front();
        }
        step();
    }
}

}  // namespace

bool TBackupThread::runOnUi(const std::shared_ptr<Shared>& shared, UiStep step) {
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (shared->stop || !QCoreApplication::instance()) return false;
    const quint64 id = ++shared->nextStep;
    {
        std::lock_guard<std::mutex> queue(pendingMutex());
        pendingSteps().push_back([shared, id, step = std::move(step)] {
            if (shared->stopped()) return;
            step([shared, id] { shared->finish(id); });
        });
    }
    // Posted while holding the lock, so a stop request (taken under the same lock when
    // the application is about to quit) either comes first or sees the post queued.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { runPendingSteps(); }, Qt::QueuedConnection);
    shared->changed.wait(lock, [&] { return shared->stop || shared->doneStep >= id; });
    return shared->doneStep >= id;
}

TBackupThread* TBackupThread::Start(const QString& msgUserId, const QString& fromDate) {
    auto* thread = new TBackupThread(msgUserId, fromDate);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    if (QCoreApplication* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, thread, [thread] {
            thread->requestStop();
            thread->wait(kQuitGraceMs);
        });
    }
    thread->start();
    return thread;
}

TBackupThread::TBackupThread(const QString& msgUserId, const QString& fromDate)
    : MsgUserId(msgUserId), FromDate(fromDate), shared_(std::make_shared<Shared>()) {
    setObjectName(QStringLiteral("TBackupThread"));
}

TBackupThread::~TBackupThread() {
    requestStop();
    wait();
}

void TBackupThread::requestStop() {
    shared_->requestStop();
}

bool TBackupThread::PollMessages() {
    const QString answer = ucm::ServicePost(
        {QStringLiteral("userId=") + MsgUserId, QStringLiteral("fromdate=") + FromDate}, {},
        QStringLiteral("UserMng/GetMsg"));
    if (answer.isEmpty()) return true;
    const QStringList messages = notify::ReadMessages(answer);  // throws on a bad answer
    if (messages.isEmpty()) return true;
    runOnUi(shared_, [messages](std::function<void()> done) {
        auto* tip = new TFrmTip();
        tip->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(tip, &QObject::destroyed, [done] { done(); });
        tip->SetMsgTexts(messages);
        tip->show();
    });
    return true;
}

void TBackupThread::run() {
    // Errors end the poller silently: nothing is shown and the update check is skipped.
    try {
        if (!PollMessages() || shared_->stopped()) return;
        ucm::CheckForUpdate([shared = shared_](const std::function<void()>& step) {
            return runOnUi(shared, [step](std::function<void()> done) {
                step();
                done();
            });
        });
    } catch (...) {
    }
}
