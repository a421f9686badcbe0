#include "GameOnDriveC.h"
#include "ui/Form1.h"
#include "ui/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class QtMessageBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void showsTheStyleAndReturnsTheButtonPressed_data();
    void showsTheStyleAndReturnsTheButtonPressed();
};

void QtMessageBoxTest::showsTheStyleAndReturnsTheButtonPressed_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QMessageBox::StandardButton>("pressed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QMessageBox::StandardButton>("firstButton");

    QTest::newRow("notice") << 32 << QMessageBox::Ok << 1 << QMessageBox::Question
                            << QMessageBox::Ok;
    QTest::newRow("confirmation, Yes")
        << 36 << QMessageBox::Yes << 6 << QMessageBox::Question << QMessageBox::Yes;
    QTest::newRow("confirmation, No")
        << 36 << QMessageBox::No << 7 << QMessageBox::Question << QMessageBox::Yes;
    QTest::newRow("error") << 16 << QMessageBox::Ok << 1 << QMessageBox::Critical
                           << QMessageBox::Ok;
}

void QtMessageBoxTest::showsTheStyleAndReturnsTheButtonPressed()
{
    QFETCH(int, style);
    QFETCH(QMessageBox::StandardButton, pressed);
    QFETCH(int, answer);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QMessageBox::StandardButton, firstButton);
    // In front of the black main window, whose colour must not spread to the box.
    GameOnDriveC game;
    ScriptedMessageBox unused;
    Form1 mainWindow(game.install.fileSystem(), unused);
    mainWindow.show();
    const QString prompt = "Install to <C:\\GAME\\>?";
    QString seen;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        const QMessageBox::StandardButtons others = box->standardButtons() & ~firstButton;
        seen = QStringLiteral("%1 | %2 | %3 %4 %5 %6")
                   .arg(box->windowTitle(), box->text())
                   .arg(box->icon())
                   .arg(box->defaultButton() == box->button(firstButton))
                   .arg(others.toInt())
                   .arg(box->grab().toImage().pixelColor(2, 2).lightness() > 100);
        box->button(pressed)->click();
    });

    QCOMPARE(QtMessageBox().show(prompt, style, "Title"), answer);

    const int secondButton = firstButton == QMessageBox::Yes ? QMessageBox::No : 0;
    QCOMPARE(seen,
             QStringLiteral("Title | %1 | %2 1 %3 1").arg(prompt).arg(icon).arg(secondButton));
}

QTEST_MAIN(QtMessageBoxTest)
#include "tst_QtMessageBox.moc"
