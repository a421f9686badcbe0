#include "InstallScratch.h"
#include "QtBoundary.h"
#include "ScriptedServices.h"
#include "ui/qt/Form2.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class Form2Test : public QObject
{
    Q_OBJECT

private slots:
    void onlyCloseBoxAndCancelLeaveTheDialog();
    void tabLandsOnTheSelectedOptionAndEnterPressesTheFocusedButton();
};

void Form2Test::onlyCloseBoxAndCancelLeaveTheDialog()
{
    InstallScratch game;
    const QStringList before = toQt(game.snapshot());
    ScriptedServices services(game.fileSystem());
    Form2 dialog(services.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(dialog.findChild<QLineEdit *>("Text1"), key);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>("Command2"), Qt::LeftButton);

    QVERIFY(!dialog.isVisible());
    QVERIFY(services.messageBox().shown().empty());
    QCOMPARE(toQt(game.snapshot()), before);
}

void Form2Test::tabLandsOnTheSelectedOptionAndEnterPressesTheFocusedButton()
{
    InstallScratch game;
    ScriptedServices services(game.fileSystem(), {MessageBoxAnswer::No});
    Form2 dialog(services.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const auto focusAfterTabs = [&dialog](int tabs) {
        dialog.findChild<QLineEdit *>("Text1")->setFocus();
        for (int tab = 0; tab < tabs; ++tab)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget()->objectName();
    };

    QCOMPARE(focusAfterTabs(1), "Option2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QVERIFY(dialog.findChild<QRadioButton *>("Option1")->isChecked());
    QCOMPARE(focusAfterTabs(1), "Option1");
    QCOMPARE(focusAfterTabs(2), "Command1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(services.messageBox().shown().size(), 1);
    QVERIFY(dialog.isVisible());
    QCOMPARE(focusAfterTabs(3), "Command2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QTRY_VERIFY(!dialog.isVisible());
}

QTEST_MAIN(Form2Test)
#include "tst_Form2.moc"
