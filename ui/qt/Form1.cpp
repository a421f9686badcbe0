#include "Form1.h"

#include "Artwork.h"
#include "Form2.h"
#include "PictureArea.h"
#include "PictureButtonAccessible.h"
#include "WindowAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

struct ButtonArtwork
{
    const char *normalImage;
    const char *highlightedImage;
};

constexpr std::array<ButtonArtwork, MainWindowLayout::ButtonCount> ButtonImages{{
    {"install_off", "install_on"},
    {"uninstall_off", "uninstall_on"},
    {"credits_off", "credits_on"},
    {"exit_off", "exit_on"},
}};

QRect toQRect(const PixelRect &rect)
{
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

} // namespace

// Outside the anonymous namespace: the macro declares the resource's initialiser in the
// enclosing namespace, and it lives in the global one.
static void initArtwork()
{
    // The artwork is compiled into this static library; without a reference to its resource
    // object the linker would leave the pictures out of the program.
    Q_INIT_RESOURCE(artwork);
}

Form1::Form1(RuntimeServices &services)
    : QWidget(nullptr, Qt::FramelessWindowHint), m_services(services), m_controller(*this, services)
{
    initArtwork();
    setFixedSize(MainWindowLayout::ClientWidth, MainWindowLayout::ClientHeight);
    // The palette rather than a style sheet: a style sheet would be inherited by every message
    // box and dialog the window opens and paint them black as well.
    QPalette blackBackground = palette();
    blackBackground.setColor(QPalette::Window, Qt::black);
    setPalette(blackBackground);
    setAutoFillBackground(true);
    setMouseTracking(true);
    // The four picture buttons are one stop of the keyboard's, the window itself.
    setFocusPolicy(Qt::StrongFocus);
    // Not drawn, as the window has no caption, but the task bar and Alt+Tab list it by its title.
    setWindowTitle(QStringLiteral("BEXOM v2"));
    PictureButtonAccessible::install();
    WindowAccessible::install();
    WindowAccessible::track(this);

    Picture1 =
        new PictureArea({}, toQRect(MainWindowLayout::Picture1), PictureArea::Kind::Picture, this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    for (qint16 i = 0; i < MainWindowLayout::ButtonCount; ++i) {
        Buttonn[i] = new PictureArea({}, toQRect(MainWindowLayout::buttonn(i)),
                                     PictureArea::Kind::Button, this);
        Buttonn[i]->setObjectName(QStringLiteral("Buttonn%1").arg(i));
        connect(Buttonn[i], &PictureArea::mouseMoved, this,
                [this, i] { m_controller.Buttonn_MouseMove(i); });
        connect(Buttonn[i], &PictureArea::clicked, this,
                [this, i] { m_controller.Buttonn_Click(i); });
    }

    // White on the black background, shown by the busy sign while a removal runs.
    auto *statusLine = new QLabel(this);
    statusLine->setObjectName(QStringLiteral("StatusLine"));
    statusLine->setGeometry(toQRect(MainWindowLayout::StatusLine));
    QPalette whiteText = statusLine->palette();
    whiteText.setColor(QPalette::WindowText, Qt::white);
    statusLine->setPalette(whiteText);
    statusLine->hide();

    loadPictures(devicePixelRatioF());

    // A window larger than the screen keeps its top left corner on it, where the banner and the
    // first buttons are, rather than lose both ends.
    const QRect area = screen()->availableGeometry();
    const QPoint centred = area.center() - rect().center();
    move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
    // Screen readers learn the buttons' labels once the window is up: naming the first widget
    // makes Qt look for its accessibility plugins, which took a sixth of the start-up.
    QTimer::singleShot(0, this, [this] {
        setAccessibleName(QStringLiteral("BEXOM v2"));
        for (qint16 i = 0; i < MainWindowLayout::ButtonCount; ++i)
            Buttonn[i]->setAccessibleName(QString::fromLatin1(MainWindowLayout::ButtonLabels[i]));
    });
}

Form1::~Form1() = default;

// The pictures for the screen's scale, drawn twice as large for finer screens. The look of each
// button stays as it was.
void Form1::loadPictures(qreal scale)
{
    m_pictureScale = scale;
    Picture1->setPixmap(Artwork::picture(QStringLiteral("banner"), scale));
    for (qint16 i = 0; i < MainWindowLayout::ButtonCount; ++i) {
        Off[i] = Artwork::picture(QString::fromLatin1(ButtonImages[i].normalImage), scale);
        onn[i] = Artwork::picture(QString::fromLatin1(ButtonImages[i].highlightedImage), scale);
        const ButtonPicture look =
            Buttonn[i]->isHighlighted() ? ButtonPicture::Highlighted : ButtonPicture::Normal;
        Buttonn[i]->setPixmap(look == ButtonPicture::Highlighted ? onn[i] : Off[i], look);
    }
}

void Form1::paintEvent(QPaintEvent *event)
{
    // Chosen when painting: Qt tells a widget of no change of scale, as a move to a screen of
    // another scale is, but repaints the whole window at the new one, this before its pictures.
    if (devicePixelRatioF() != m_pictureScale)
        loadPictures(devicePixelRatioF());
    QWidget::paintEvent(event);
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    m_controller.Form_MouseMove();
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Right:
    case Qt::Key_Down:
        m_controller.Form_KeyDown(MainWindowKey::Next);
        return;
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Up:
        m_controller.Form_KeyDown(MainWindowKey::Previous);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        m_controller.Form_KeyDown(MainWindowKey::Press);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// Back from a message box or the dialog, a screen reader hears of the highlighted button, which
// the next Enter presses, and not only of the window.
void Form1::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    const qint16 index = highlightIndex();
    if (index >= 0 && index < MainWindowLayout::ButtonCount && QAccessible::isActive()) {
        QAccessibleEvent focusMoved(Buttonn[index], QAccessible::Focus);
        QAccessible::updateAccessibility(&focusMoved);
    }
}

bool Form1::focusNextPrevChild(bool)
{
    // Tab moves the highlight: the window has no other stop to hand the focus to.
    return false;
}

void Form1::showButtonPicture(std::int16_t index, ButtonPicture picture)
{
    Buttonn[index]->setPixmap(picture == ButtonPicture::Highlighted ? onn[index] : Off[index],
                              picture);
    // A screen reader follows the highlight as it would the focus.
    if (picture == ButtonPicture::Highlighted && hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent focusMoved(Buttonn[index], QAccessible::Focus);
        QAccessible::updateAccessibility(&focusMoved);
    }
}

void Form1::showInstallDialog()
{
    if (!m_installDialog)
        m_installDialog = std::make_unique<Form2>(m_services);
    m_installDialog->load();
    m_installDialog->exec();
}

void Form1::endProgram()
{
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}
