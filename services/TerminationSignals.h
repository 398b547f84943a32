#pragma once

#include <QObject>

#include <csignal>
#include <thread>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal on the thread that makes it, so that a
// session end or a kill request closes the program the ordinary way (stopping its encoders).
// Should the first stop hang, a second such signal ends the program at once with
// secondStatus, or with 128 + the signal's number by default; running encoders die with it.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    static constexpr int StatusBySignal = -1;

    enum class Taker {
        // Whichever thread the kernel picks; while it is the making thread and that thread
        // is stuck in the kernel (on a hung network file, say), no signal is handled.
        AnyThread,
        // A thread of this class: the making thread blocks the signals, so every child it
        // starts must unblock them (ProcessRunner's do).
        OwnThread,
    };

    explicit TerminationSignals(int secondStatus = StatusBySignal, Taker taker = Taker::AnyThread,
                                QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
    sigset_t m_callerMask;
    int m_quit[2] = {-1, -1}; // OwnThread: wakes the taking thread to end it
    std::thread m_taker;
};
