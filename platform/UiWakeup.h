#pragma once
// Wakes the UI thread from a worker without a lock or an allocation: the
// worker writes to an eventfd, a socket notifier on the UI thread calls the
// handler. Wakes posted while one is pending merge into one call.
#include <QObject>
#include <functional>

class QSocketNotifier;

class CUiWakeup : public QObject {
    Q_OBJECT
public:
    // Constructed on the UI thread; `handler` runs there.
    explicit CUiWakeup(std::function<void()> handler, QObject* parent = nullptr);
    ~CUiWakeup() override;

    // Any thread; never blocks.
    void Wake();

private:
    void OnActivated();

    int m_fd = -1;
    QSocketNotifier* m_pNotifier = nullptr;
    std::function<void()> m_handler;
};
