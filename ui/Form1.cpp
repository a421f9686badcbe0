#include "Form1.h"

#include "BusyCursor.h"
#include "Form2.h"
#include "install/ModInstaller.h"
#include "install/RemovalRequest.h"
#include "PictureArea.h"
#include "RuntimeErrorNotice.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>

namespace {

constexpr QSize ClientSize(296, 423);
constexpr QRect BannerGeometry(16, 16, 258, 61);
constexpr int ButtonLeft = 16;
constexpr int FirstButtonTop = 112;
constexpr int ButtonPitch = 72;
constexpr QSize ButtonSize(257, 61);

struct ButtonArtwork
{
    const char *label;
    const char *normalImage;
    const char *highlightedImage;
};

constexpr std::array<ButtonArtwork, 4> Artwork{{
    {"Install", ":/artwork/install_off.png", ":/artwork/install_on.png"},
    {"Uninstall", ":/artwork/uninstall_off.png", ":/artwork/uninstall_on.png"},
    {"Credits", ":/artwork/credits_off.png", ":/artwork/credits_on.png"},
    {"Exit", ":/artwork/exit_off.png", ":/artwork/exit_on.png"},
}};

QRect buttonGeometry(int index)
{
    return QRect(QPoint(ButtonLeft, FirstButtonTop + index * ButtonPitch), ButtonSize);
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

Form1::Form1(FileSystem &fileSystem, MessageBox &messageBox)
    : QWidget(nullptr, Qt::FramelessWindowHint), m_fileSystem(fileSystem), m_messageBox(messageBox)
{
    initArtwork();
    setFixedSize(ClientSize);
    // The palette rather than a style sheet: a style sheet would be inherited by every message
    // box and dialog the window opens and paint them black as well.
    QPalette blackBackground = palette();
    blackBackground.setColor(QPalette::Window, Qt::black);
    setPalette(blackBackground);
    setAutoFillBackground(true);
    setMouseTracking(true);

    Picture1 =
        new PictureArea(QPixmap(QStringLiteral(":/artwork/banner.png")), BannerGeometry, this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    for (qint16 i = 0; i < 4; ++i) {
        Off[i] = QPixmap(QString::fromLatin1(Artwork[i].normalImage));
        onn[i] = QPixmap(QString::fromLatin1(Artwork[i].highlightedImage));
        Buttonn[i] = new PictureArea(Off[i], buttonGeometry(i), this);
        Buttonn[i]->setObjectName(QStringLiteral("Buttonn%1").arg(i));
        Buttonn[i]->setAccessibleName(QString::fromLatin1(Artwork[i].label));
        connect(Buttonn[i], &PictureArea::mouseMoved, this, [this, i] { Buttonn_MouseMove(i); });
        connect(Buttonn[i], &PictureArea::clicked, this, [this, i] { Buttonn_Click(i); });
    }

    move(screen()->availableGeometry().center() - rect().center());
}

Form1::~Form1() = default;

void Form1::setStoredGameDirectory(const std::string &directory)
{
    m_storedGameDirectory = directory;
}

ErrorOr<void> Form1::Unins_Aftermath()
{
    const BusyCursor busy;
    return ModInstaller(m_fileSystem).uninstall(Edition::Aftermath, m_storedGameDirectory);
}

ErrorOr<void> Form1::Unins_Counterstrike()
{
    const BusyCursor busy;
    return ModInstaller(m_fileSystem).uninstall(Edition::Counterstrike, m_storedGameDirectory);
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    Form_MouseMove();
}

void Form1::Buttonn_Click(qint16 index)
{
    if (index == 3)
        func_exit();
    if (index == 2)
        func_credits();
    if (index == 1)
        func_uninstall();
    if (index == 0)
        func_install();
}

void Form1::Buttonn_MouseMove(qint16 index)
{
    if (index == m_highlightIndex)
        return;
    m_highlightIndex = index;
    for (qint16 i = 0; i < 4; ++i)
        Buttonn[i]->setPixmap(Off[i]);
    Buttonn[index]->setPixmap(onn[index]);
}

void Form1::Form_MouseMove()
{
    if (m_highlightIndex == NoHighlight)
        return;
    m_highlightIndex = NoHighlight;
    for (qint16 i = 0; i < 4; ++i)
        Buttonn[i]->setPixmap(Off[i]);
}

void Form1::func_install()
{
    if (!m_installDialog)
        m_installDialog = std::make_unique<Form2>(m_fileSystem, m_messageBox);
    m_installDialog->load();
    m_installDialog->exec();
}

void Form1::func_uninstall()
{
    RuntimeErrorNotice::showIfFailed(m_messageBox,
                                     RemovalRequest(m_fileSystem, m_messageBox).run(*this));
}

void Form1::func_credits()
{
    m_messageBox.show("The Credits can be found in the file: BEXOM-Credits.doc",
                      MessageBoxStyle::OkOnly | MessageBoxStyle::Question, "BEXOM");
}

void Form1::func_exit()
{
    const int answer = m_messageBox.show("Are you sure you wish to leave?",
                                         MessageBoxStyle::YesNo | MessageBoxStyle::Question,
                                         "BEXOM Installation Program");
    if (answer == MessageBoxAnswer::No)
        return;
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}
