#pragma once
// The one-shot message poller: fetches the user's messages once, shows them in the
// message box on the UI thread, waits until the box is closed, then runs the update
// check, and ends. It works only on its own copies of the account text and the date.
//
// Lifetime: Start() creates the thread with no parent and starts it; the object
// deletes itself (deleteLater) when its body has ended. Nothing waits for it while
// the program runs. When the application is about to quit, the thread is told to
// stop: a wait for the box or the question is released at once and no further step
// is started; the quitting UI thread then gives it a short, bounded time to return
// from a request in flight, so that it never runs on while the process tears down
// its globals. A thread still stuck after that is left alone and never destroyed
// while running.
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

class TBackupThread : public QThread {
    Q_OBJECT
public:
    // Creates the poller for these texts and starts it at once. Call on the UI thread
    // while a QApplication exists. The returned pointer is for observation only (it
    // may already be gone when the caller looks); nobody owns or deletes it.
    static TBackupThread* Start(const QString& msgUserId, const QString& fromDate);

    TBackupThread(const QString& msgUserId, const QString& fromDate);
    ~TBackupThread() override;

    const QString MsgUserId;  // sent as "userId"
    const QString FromDate;   // sent as "fromdate"

    // Asks the thread to stop at its next step; releases any wait on the UI thread.
    void requestStop();

    // One request and, when there are messages, the hand-over to the message box.
    // Returns false when the answer could not be read (the update check then does
    // not run). Runs on the poller thread.
    bool PollMessages();

    // How long the quitting UI thread waits for a request in flight (milliseconds).
    static constexpr int kQuitGraceMs = 3000;

protected:
    void run() override;

private:
    struct Shared;
    // A step run on the UI thread; it calls `done` when the poller may go on (at
    // once, or later, as when a window closes).
    using UiStep = std::function<void(std::function<void()> done)>;
    // Runs `step` on the UI thread and waits for it to complete. Returns false when
    // the poller was told to stop first.
    static bool runOnUi(const std::shared_ptr<Shared>& shared, UiStep step);

    std::shared_ptr<Shared> shared_;
};
