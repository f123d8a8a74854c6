// The windows under a real window manager (openbox on Xvfb, started by
// scripts/run-under-window-manager): the list and help windows belong to the main
// window and stay in front of it, the windows of the runs open cascaded from
// the main window at the size last given to their kind with the newest
// toolpath in front, and the main window keeps its place however often the
// settings come and go. Skipped without a window manager.
#include <QtTest>

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QWindow>

#include "absolute_display_dialog.h"
#include "help_window.h"
#include "main_dialog.h"
#include "recording_presenter.h"
#include "settings_dialog.h"
#include "toolpath_canvas.h"
#include "toolpath_window.h"

namespace {

// A property of a window (the root window by default) as xprop prints it;
// empty without xprop.
QString windowProperty(const char* name, const QString& window = QStringLiteral("-root"))
{
    QProcess xprop;
    QStringList arguments;
    if (window == QStringLiteral("-root")) {
        arguments << window;
    } else {
        arguments << QStringLiteral("-id") << window;
    }
    xprop.start(QStringLiteral("xprop"), arguments << QString::fromLatin1(name));
    if (!xprop.waitForFinished(10000)) return {};
    return QString::fromLatin1(xprop.readAllStandardOutput());
}

QString rootProperty(const char* name)
{
    return windowProperty(name);
}

// The window that `window` is transient for, as the window manager reads it
// (WM_TRANSIENT_FOR): the owner it keeps it in front of.
WId transientFor(const QWidget& window)
{
    const QString output = windowProperty("WM_TRANSIENT_FOR", QString::number(window.winId()));
    const QRegularExpressionMatch id = QRegularExpression(QStringLiteral("0x[0-9a-fA-F]+")).match(output);
    return id.hasMatch() ? id.captured().toULongLong(nullptr, 16) : 0;
}

bool windowManagerRunning()
{
    return rootProperty("_NET_SUPPORTING_WM_CHECK").contains(QStringLiteral("window id"));
}

// The client windows from bottom to top, as the window manager stacks them.
QList<WId> stackingOrder()
{
    const QString output = rootProperty("_NET_CLIENT_LIST_STACKING");
    QList<WId> windows;
    const QRegularExpression id(QStringLiteral("0x[0-9a-fA-F]+"));
    for (const QRegularExpressionMatch& match : id.globalMatch(output))
        windows.append(match.captured().toULongLong(nullptr, 16));
    return windows;
}

// True when `upper` stands above `lower` in the window manager's stacking.
bool isAbove(const QWidget& upper, const QWidget& lower)
{
    const QList<WId> order = stackingOrder();
    const qsizetype top = order.indexOf(upper.winId());
    const qsizetype bottom = order.indexOf(lower.winId());
    return top >= 0 && bottom >= 0 && top > bottom;
}

// Gives the window manager time to act on what was asked of it.
void settle()
{
    QTest::qWait(300);
}

const QByteArray sampleProgram = "G90G17G0X0Y0Z10.\r\nG1X20.F300\r\nG3X20.Y0Z-2.I-10.J0\r\n";

class Window {
public:
    Window() : dialog(presenter)
    {
        dialog.show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(&dialog);
        settle();
    }

    // An absolute display of the sample program; false when the run did not end.
    bool runAbsoluteDisplay(const QString& source)
    {
        dialog.setSourcePath(source);
        dialog.findChild<QRadioButton*>(QStringLiteral("absoluteDisplayMode"))->setChecked(true);
        QSignalSpy finished(&dialog, &MainDialog::runFinished);
        dialog.execute();
        if (finished.count() == 0 && !finished.wait(60000)) return false;
        settle();
        return true;
    }

    RecordingPresenter presenter;
    MainDialog dialog;
};

}  // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb") || qEnvironmentVariableIsEmpty("DISPLAY") ||
            !windowManagerRunning()) {
            QSKIP("needs an X display with a window manager (see scripts/run-under-window-manager)");
        }
    }

    // Each list window belongs to the main window, comes to the front when
    // shown and stays in front of the main window when that is raised.
    void listWindowsStayInFrontOfTheMainWindow()
    {
        QTemporaryDir directory;
        const QString source = directory.filePath(QStringLiteral("part.nc"));
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(sampleProgram);
        file.close();

        Window w;
        QVERIFY(w.runAbsoluteDisplay(source));
        QPointer<AbsoluteDisplayDialog> first = w.dialog.latestAbsoluteDisplay();
        QVERIFY(first != nullptr && first->isVisible());
        QCOMPARE(transientFor(*first), w.dialog.winId());
        QVERIFY(isAbove(*first, w.dialog));

        QVERIFY(w.runAbsoluteDisplay(source));
        QPointer<AbsoluteDisplayDialog> second = w.dialog.latestAbsoluteDisplay();
        QVERIFY(second != nullptr && second != first);
        QCOMPARE(transientFor(*second), w.dialog.winId());
        QVERIFY(isAbove(*second, *first));
        QVERIFY(isAbove(*first, w.dialog));

        w.dialog.raise();
        w.dialog.activateWindow();
        settle();
        QVERIFY(isAbove(*first, w.dialog));
        QVERIFY(isAbove(*second, w.dialog));
    }

    // Each window of a run opens a step further along the cascade from the
    // main window, on the screen, leaving the main window's inputs and
    // Execute in sight; a list opens at the size the last one was given, and
    // so does a toolpath window; the toolpath of the newest run comes in
    // front of its list.
    void runWindowsCascadeFromTheMainWindow()
    {
        QTemporaryDir directory;
        const QString source = directory.filePath(QStringLiteral("part.nc"));
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(sampleProgram);
        file.close();

        Window w;
        w.dialog.move(60, 40);
        settle();
        const QRect available = w.dialog.screen()->availableGeometry();
        const QRect main = w.dialog.frameGeometry();
        const auto* execute = w.dialog.findChild<QPushButton*>(QStringLiteral("executeButton"));
        const QRect inputs(w.dialog.mapToGlobal(QPoint(0, 0)),
                           QSize(w.dialog.width(), execute->mapTo(&w.dialog, QPoint(0, 0)).y() + execute->height()));
        const auto verifyPlaced = [&](const QWidget& window) {
            const QRect frame = window.frameGeometry();
            QVERIFY2(available.contains(frame), qPrintable(window.objectName()));
            QVERIFY2(!frame.contains(main), qPrintable(window.objectName()));
            QVERIFY2(!frame.intersects(inputs), qPrintable(window.objectName()));
        };

        QVERIFY(w.runAbsoluteDisplay(source));
        QPointer<AbsoluteDisplayDialog> first = w.dialog.latestAbsoluteDisplay();
        QVERIFY(w.runAbsoluteDisplay(source));
        QPointer<AbsoluteDisplayDialog> second = w.dialog.latestAbsoluteDisplay();
        QVERIFY(first != nullptr && second != nullptr);
        verifyPlaced(*first);
        verifyPlaced(*second);
        QVERIFY(first->frameGeometry().topLeft() != second->frameGeometry().topLeft());

        // A size the user gives a list is the next list's.
        second->resize(640, 360);
        settle();
        QVERIFY(w.runAbsoluteDisplay(source));
        QPointer<AbsoluteDisplayDialog> third = w.dialog.latestAbsoluteDisplay();
        QCOMPARE(third->size(), QSize(640, 360));
        verifyPlaced(*third);

        // The first list's toolpath; the next run's comes in front of the
        // newest list.
        first->findChild<QPushButton*>(QStringLiteral("toolpathButton"))->click();
        settle();
        QPointer<ToolpathWindow> toolpath = w.dialog.toolpathWindow();
        QVERIFY(toolpath != nullptr && toolpath->isVisible());
        verifyPlaced(*toolpath);
        QVERIFY(isAbove(*toolpath, *third));
        QVERIFY(w.runAbsoluteDisplay(source));
        QPointer<AbsoluteDisplayDialog> fourth = w.dialog.latestAbsoluteDisplay();
        QCOMPARE(w.dialog.toolpathWindow(), toolpath.data());
        QCOMPARE(toolpath->canvas()->run(), w.dialog.lastToolpath().get());
        QVERIFY(isAbove(*toolpath, *fourth));

        // A toolpath window opened again has the size the last one was given.
        toolpath->resize(520, 420);
        settle();
        toolpath->close();
        QTRY_VERIFY(toolpath.isNull());
        w.dialog.showLastToolpath();
        settle();
        QVERIFY(w.dialog.toolpathWindow() != nullptr);
        QCOMPARE(w.dialog.toolpathWindow()->size(), QSize(520, 420));
        verifyPlaced(*w.dialog.toolpathWindow());
    }

    void helpStaysInFrontOfTheMainWindow()
    {
        Window w;
        w.dialog.showHelp();
        settle();
        HelpWindow* help = w.dialog.helpWindow();
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(transientFor(*help), w.dialog.winId());
        QVERIFY(isAbove(*help, w.dialog));
        w.dialog.raise();
        w.dialog.activateWindow();
        settle();
        QVERIFY(isAbove(*help, w.dialog));
    }

    // The main window hides while the settings are open; each time it comes
    // back, it stands where it stood, frame and all.
    void settingsRoundTripsKeepTheMainWindowInPlace()
    {
        Window w;
        const QRect before = w.dialog.frameGeometry();
        const QPoint contentsBefore = w.dialog.mapToGlobal(QPoint(0, 0));
        for (int trip = 1; trip <= 4; ++trip) {
            bool settingsShown = false;
            QTimer::singleShot(300, &w.dialog, [&] {
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (auto* settings = qobject_cast<SettingsDialog*>(top); settings && settings->isVisible()) {
                        settingsShown = true;
                        settings->reject();
                    }
                }
            });
            w.dialog.openSettings();
            settle();
            QVERIFY(settingsShown);
            QVERIFY(w.dialog.isVisible());
            QCOMPARE(w.dialog.frameGeometry(), before);
            QCOMPARE(w.dialog.mapToGlobal(QPoint(0, 0)), contentsBefore);
        }
    }
};

QTEST_MAIN(WindowManagerTest)
#include "window_manager_test.moc"
