#include "QtBusyIndicator.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

#include <optional>
#include <thread>

namespace {

// Swallows the player's clicks, keys and closings for as long as it lives, over every window:
// the windows must paint while the work runs, but nothing in them may start anything else.
class InputBlocker final : public QObject
{
public:
    InputBlocker() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Close:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

ErrorOr<void> QtBusyIndicator::runWhileBusy(const Work &work)
{
    const BusyScope busy(*this);
    const InputBlocker blocker;
    std::optional<ErrorOr<void>> outcome;
    QEventLoop loop;
    std::optional<std::thread> worker;
    try {
        // Queued, the quit reaches the loop only once it runs, however soon the work is done.
        worker.emplace([&] {
            outcome.emplace(outcomeOf(work));
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (...) {
        return RuntimeError::fromCurrentException();
    }
    loop.exec();
    worker->join();
    return std::move(*outcome);
}
