// SPDX-License-Identifier: MIT
#include "chrome/headerwidget.h"
#include "chrome/helpwidget.h"
#include "mainwindow/mainwidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

enum ButtonSlot { Contact = 3, Help, Minimise, Close };

QToolButton *button(HeaderWidget *header, ButtonSlot slot)
{
    return qobject_cast<QToolButton *>(header->layout()->itemAt(slot)->widget());
}

QList<HelpWidget *> helpWindows()
{
    QList<HelpWidget *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *help = qobject_cast<HelpWidget *>(widget))
            windows << help;
    return windows;
}

void sendMouse(QWidget *to, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, to->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &event);
}

int colourDistance(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

} // namespace

class TestHeaderWidget : public QObject
{
    Q_OBJECT
public slots:
    void openUrl(const QUrl &url) { openedUrls << url; }

private slots:
    void cleanup()
    {
        for (HelpWidget *help : helpWindows())
            help->close();
        QTRY_COMPARE(helpWindows().size(), 0);
        QTRY_COMPARE(TestSupport::visibleTopLevels(), 0);
        qApp->setStyleSheet(QString());
    }

    void itemsInOrder()
    {
        HeaderWidget header;
        auto *layout = qobject_cast<QHBoxLayout *>(header.layout());
        QVERIFY(layout);
        QCOMPARE(layout->count(), 8);
        auto *logo = qobject_cast<QLabel *>(layout->itemAt(0)->widget());
        QVERIFY(logo && !logo->pixmap().isNull());
        QVERIFY(layout->itemAt(1)->spacerItem() && layout->itemAt(7)->spacerItem());
        auto *caption = qobject_cast<QLabel *>(layout->itemAt(2)->widget());
        QVERIFY(caption);
        QCOMPARE(caption->text(), QStringLiteral("Parcelo\u2122"));
        const QList<QPair<ButtonSlot, const char *>> icons = {{Contact, ":/qrc/contact-us.png"},
                                                              {Help, ":/qrc/help.png"},
                                                              {Minimise, ":/qrc/minimize.png"},
                                                              {Close, ":/qrc/close.png"}};
        for (const auto &[slot, path] : icons) {
            QToolButton *b = button(&header, slot);
            QVERIFY2(b, path);
            QCOMPARE(b->icon().pixmap(32).toImage(), QIcon(QLatin1String(path)).pixmap(32).toImage());
        }
        for (int i = 0; i < layout->count(); ++i)
            QCOMPARE(layout->stretch(i), i == 2 ? 1 : 0);
    }

    void styleSheetPaintsBarAndLeavesButtonsClear()
    {
        QFile sheet(QStringLiteral(":/qrc/style.qss"));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromLatin1(sheet.readAll()));
        // Inside a window, as in the program: grabbing the bar alone would fill it with the sheet's
        // background whether it paints that or not.
        QWidget window;
        window.resize(980, 74);
        auto *header = new HeaderWidget(&window);
        header->resize(window.size());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Unfocused: a focused button has a ring of its own.
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus();

        // The gradient starts in the primary colour at the left.
        const QImage shown = window.grab().toImage();
        QVERIFY(colourDistance(shown.pixel(0, 37), QColor(0x52, 0x72, 0xBA)) < 12);
        // Around each icon the bar's gradient shows through the button, not a panel of its own.
        for (ButtonSlot slot : {Contact, Help, Minimise, Close}) {
            const QRect r = button(header, slot)->geometry();
            const QColor inside = shown.pixel(r.topLeft() + QPoint(1, 1));
            const QColor outside = shown.pixel(r.topLeft() + QPoint(1, -3));
            QVERIFY2(colourDistance(inside, outside) < 12,
                     qPrintable(inside.name() + QLatin1String(" vs ") + outside.name()));
        }
    }

    void dragWithAnyButtonMovesWindow_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void dragWithAnyButtonMovesWindow()
    {
        QFETCH(Qt::MouseButton, button);
        MainWidget window;
        window.move(100, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *header = window.findChild<HeaderWidget *>();
        QSignalSpy moved(header, &HeaderWidget::moveWindow);
        const QPoint startPos = window.pos();

        // Moves with no button held, before the press and after the release, emit nothing.
        const QPoint pressed = window.mapToGlobal(QPoint(300, 30));
        sendMouse(header, QEvent::MouseMove, pressed - QPoint(20, 5), Qt::NoButton, Qt::NoButton);
        sendMouse(header, QEvent::MouseButtonPress, pressed, button, button);
        const QList<QPoint> steps = {{7, 3}, {-2, 11}, {40, -25}};
        QPoint pointer = pressed;
        for (const QPoint step : steps)
            sendMouse(header, QEvent::MouseMove, pointer += step, Qt::NoButton, button);
        sendMouse(header, QEvent::MouseButtonRelease, pointer, button, Qt::NoButton);
        sendMouse(header, QEvent::MouseMove, pointer + QPoint(30, 30), Qt::NoButton, Qt::NoButton);

        QCOMPARE(moved.size(), steps.size());
        for (int i = 0; i < steps.size(); ++i)
            QCOMPARE(moved.at(i).at(0).toPoint(), steps.at(i));
        QTRY_COMPARE(window.pos(), startPos + (pointer - pressed));
    }

    void releaseOfAnyButtonEndsTheDrag()
    {
        HeaderWidget header;
        QSignalSpy moved(&header, &HeaderWidget::moveWindow);
        // Releasing the right button ends the drag although the left one is still held.
        const Qt::MouseButtons both = Qt::LeftButton | Qt::RightButton;
        sendMouse(&header, QEvent::MouseButtonPress, QPoint(50, 20), Qt::LeftButton, Qt::LeftButton);
        sendMouse(&header, QEvent::MouseButtonPress, QPoint(50, 20), Qt::RightButton, both);
        sendMouse(&header, QEvent::MouseMove, QPoint(55, 20), Qt::NoButton, both);
        sendMouse(&header, QEvent::MouseButtonRelease, QPoint(55, 20), Qt::RightButton, Qt::LeftButton);
        sendMouse(&header, QEvent::MouseMove, QPoint(70, 30), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(moved.size(), 1);
        QCOMPARE(moved.at(0).at(0).toPoint(), QPoint(5, 0));
    }

    // One help window at a time, placed over the main window; Escape closes it, and the close
    // button ends the event loop although a help window is open.
    void oneHelpWindowOverTheMainWindowAndCloseButtonQuits()
    {
        MainWidget window;
        window.setGeometry(100, 80, 980, 660);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *header = window.findChild<HeaderWidget *>();
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(button(header, Help), Qt::LeftButton);
        QCOMPARE(helpWindows().size(), 1);
        QPointer<HelpWidget> help = helpWindows().first();
        QVERIFY(help->isVisible() && !help->isModal());
        QCOMPARE(help->windowTitle(), QStringLiteral("Parcelo"));
        // Centred over the main window, give or take a frame.
        QVERIFY(window.geometry().contains(help->frameGeometry()));
        QVERIFY((help->geometry().center() - window.geometry().center()).manhattanLength() < 10);

        QTest::keyClick(help, Qt::Key_Escape);
        QTRY_VERIFY(help.isNull());
        QTest::mouseClick(button(header, Help), Qt::LeftButton);
        QCOMPARE(helpWindows().size(), 1);

        QTimer::singleShot(0, header, [header] { QTest::mouseClick(button(header, Close), Qt::LeftButton); });
        // Only a guard against a hang: a loop that the button did not end returns 1.
        QTimer::singleShot(10000, header, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        // Quitting closes every window, and a closed help window deletes itself.
        QTRY_COMPARE(helpWindows().size(), 0);
    }

    void minimiseMinimisesActiveWindow()
    {
        MainWidget window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(button(window.findChild<HeaderWidget *>(), Minimise), Qt::LeftButton);
        QTRY_VERIFY(window.isMinimized());
    }

    void contactOpensMailLink()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "openUrl");
        HeaderWidget header;
        header.show();
        QTest::mouseClick(button(&header, Contact), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QCOMPARE(openedUrls, QList<QUrl>{QUrl(QString::fromLatin1(contactLink))});
        QCOMPARE(openedUrls.first().scheme(), QStringLiteral("mailto"));
        QVERIFY(openedUrls.first().path().contains(QLatin1Char('@')));
    }

private:
    QList<QUrl> openedUrls;
};

QTEST_MAIN(TestHeaderWidget)
#include "tst_headerwidget.moc"
