#include "QtBusyIndicator.h"

#include "WindowAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>

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

// Disables every window of the program, which greys the dialog's controls and makes a screen
// reader's Press do nothing, and shows and announces the status line of the window at the front.
// Afterwards the focus goes back to where it was: disabling takes it away.
class BusyWindows final
{
public:
    explicit BusyWindows(const QString &status)
        : m_focus(QApplication::focusWidget()),
          m_front(QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                    : QApplication::activeWindow())
    {
        // Hidden ones too: a screen reader reaches the main window's buttons under a dialog.
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->isEnabled()) {
                window->setEnabled(false);
                WindowAccessible::setBusy(window, true);
                m_disabled.append(window);
            }
        if (m_front)
            m_statusLine = m_front->findChild<QLabel *>(QStringLiteral("StatusLine"));
        if (!m_statusLine)
            return;
        // Its window is disabled, and so is the line, which must read as clearly as ever.
        QPalette readable = m_statusLine->palette();
        readable.setColor(QPalette::Disabled, QPalette::WindowText,
                          readable.color(QPalette::Active, QPalette::WindowText));
        m_statusLine->setPalette(readable);
        m_statusLine->setText(status);
        m_statusLine->show();
        announce(QAccessible::NameChanged);
        announce(QAccessible::Alert);
    }

    ~BusyWindows()
    {
        if (m_statusLine)
            m_statusLine->hide();
        for (const QPointer<QWidget> &window : m_disabled)
            if (window) {
                window->setEnabled(true);
                WindowAccessible::setBusy(window, false);
            }
        if (m_front)
            m_front->activateWindow();
        if (m_focus)
            m_focus->setFocus();
    }

    BusyWindows(const BusyWindows &) = delete;
    BusyWindows &operator=(const BusyWindows &) = delete;

private:
    void announce(QAccessible::Event kind)
    {
        QAccessibleEvent event(m_statusLine, kind);
        QAccessible::updateAccessibility(&event);
    }

    QPointer<QWidget> m_focus;
    QPointer<QWidget> m_front;
    QPointer<QLabel> m_statusLine;
    QList<QPointer<QWidget>> m_disabled;
};

} // namespace

ErrorOr<void> QtBusyIndicator::runWhileBusy(const std::string &status, const Work &work)
{
    const BusyScope busy(*this);
    const InputBlocker blocker;
    const BusyWindows windows(QString::fromStdString(status));
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
