// The windows follow their layouts: dialog units become pixels by the font,
// every caption fits its control, controls do not overlap, the controls of a
// row line up, the tab order is the layout's, and no two controls a window
// offers at once (nor two items of a menu) share a mnemonic.
#include <QtTest>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>

#include "absolute_display_dialog.h"
#include "dialog_units.h"
#include "help_window.h"
#include "main_dialog.h"
#include "recording_presenter.h"
#include "settings_dialog.h"
#include "tool_table_dialog.h"
#include "toolpath_window.h"
#include "value_field.h"
#include "window_placement.h"

namespace {

// A caption's text as drawn: its mnemonic marks removed.
int drawnWidth(const QWidget& control, const QString& caption)
{
    return control.fontMetrics().horizontalAdvance(QString(caption).remove(QRegularExpression("&(?=.)")));
}

// Where a control stands in its window, also when it is on a page.
QRect placeInWindow(const QWidget& dialog, const QWidget* control)
{
    return QRect(control->mapTo(&dialog, QPoint(0, 0)), control->size());
}

// The controls a user reads or uses (group boxes frame others) lie inside the
// window, show their whole caption, are a text line high and do not overlap.
void verifyNothingClippedOrOverlapping(const QWidget& dialog)
{
    QList<QWidget*> controls;
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (child->isVisibleTo(&dialog) && qobject_cast<QGroupBox*>(child) == nullptr &&
            (qobject_cast<QLabel*>(child) || qobject_cast<QAbstractButton*>(child) || qobject_cast<QLineEdit*>(child) ||
             qobject_cast<ValueField*>(child))) {
            controls.append(child);
        }
    }
    QVERIFY(!controls.isEmpty());
    const auto name = [](const QWidget* widget) {
        if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
        return widget->objectName();
    };
    for (const QWidget* control : controls) {
        const QRect place = placeInWindow(dialog, control);
        QVERIFY2(dialog.rect().contains(place), qPrintable(name(control) + " leaves the window"));
        bool whole = true;
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            whole = drawnWidth(*label, label->text()) <= label->contentsRect().width();
        } else if (qobject_cast<const QRadioButton*>(control) != nullptr) {
            whole = control->sizeHint().width() <= control->width();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            whole = drawnWidth(*button, button->text()) + 4 <= button->width();
        }
        QVERIFY2(whole, qPrintable(name(control) + " is clipped"));
        QVERIFY2(control->fontMetrics().height() <= control->height(), qPrintable(name(control) + " is too low"));
        for (const QWidget* other : controls) {
            QVERIFY2(other == control || (place & placeInWindow(dialog, other)).isEmpty(),
                     qPrintable(name(control) + " overlaps " + name(other)));
        }
    }
}

// The texts that carry a mnemonic: buttons, labels that lead to a control,
// group boxes and tabs.
QStringList mnemonicTexts(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return {button->text()};
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && label->buddy()) return {label->text()};
    if (const auto* box = qobject_cast<const QGroupBox*>(widget)) return {box->title()};
    QStringList tabs;
    if (const auto* bar = qobject_cast<const QTabBar*>(widget)) {
        for (int tab = 0; tab < bar->count(); ++tab)
            tabs.append(bar->tabText(tab));
    }
    return tabs;
}

// The page of a tab widget that `widget` stands on; null when it is on none.
const QWidget* pageOf(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* at = widget; at != nullptr && at != window; at = at->parentWidget()) {
        const QWidget* parent = at->parentWidget();
        if (qobject_cast<const QStackedWidget*>(parent) && qobject_cast<const QTabWidget*>(parent->parentWidget()))
            return at;
    }
    return nullptr;
}

// A window offers its own controls' mnemonics together with those of the
// page in front; each combination holds every mnemonic once. Each menu of
// the window holds every mnemonic once among its items.
void verifyDistinctMnemonics(const QWidget& window)
{
    QMap<const QWidget*, QMap<QKeySequence, QString>> byPage;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (qobject_cast<const QMenu*>(widget) != nullptr) continue;
        for (const QString& text : mnemonicTexts(widget)) {
            const QKeySequence key = QKeySequence::mnemonic(text);
            if (key.isEmpty()) continue;
            QMap<QKeySequence, QString>& keys = byPage[pageOf(widget, &window)];
            QVERIFY2(!keys.contains(key), qPrintable(text + " and " + keys.value(key) + " in " + window.objectName()));
            keys.insert(key, text);
        }
    }
    const QMap<QKeySequence, QString> own = byPage.value(nullptr);
    for (auto page = byPage.cbegin(); page != byPage.cend(); ++page) {
        if (page.key() == nullptr) continue;
        for (auto key = page->cbegin(); key != page->cend(); ++key)
            QVERIFY2(!own.contains(key.key()), qPrintable(key.value() + " and " + own.value(key.key())));
    }
    for (const QMenu* menu : window.findChildren<QMenu*>()) {
        QMap<QKeySequence, QString> keys;
        for (const QAction* action : menu->actions()) {
            const QKeySequence key = QKeySequence::mnemonic(action->text());
            if (key.isEmpty()) continue;
            QVERIFY2(!keys.contains(key), qPrintable(action->text() + " and " + keys.value(key)));
            keys.insert(key, action->text());
        }
    }
}

// The object names of the controls in the dialog's focus chain, in order.
QStringList tabOrder(QWidget& dialog, QWidget* first, int count)
{
    QStringList names;
    QWidget* widget = first;
    for (int i = 0; i < count && widget != nullptr; ++i) {
        names.append(widget->objectName());
        do {
            widget = widget->nextInFocusChain();
        } while (widget != first && !(widget->focusPolicy() & Qt::TabFocus));
        if (widget == first || widget == &dialog) break;
    }
    return names;
}

}  // namespace

class DialogLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void convertsDialogUnitsByTheFont_data()
    {
        QTest::addColumn<int>("baseWidth");
        QTest::addColumn<int>("baseHeight");
        QTest::addColumn<QRect>("units");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("19-pixel font") << 7 << 19 << QRect(0, 25, 85, 15) << QRect(0, 59, 149, 36);
        QTest::newRow("halves round up") << 6 << 16 << QRect(1, 1, 2, 3) << QRect(2, 2, 3, 6);
        // Touching in dialog units, touching in pixels: 10+65 and 75 meet at 131.
        QTest::newRow("edges meet") << 7 << 19 << QRect(10, 75, 65, 15) << QRect(18, 178, 113, 36);
    }

    void convertsDialogUnitsByTheFont()
    {
        QFETCH(int, baseWidth);
        QFETCH(int, baseHeight);
        QFETCH(QRect, units);
        QFETCH(QRect, pixels);
        const DialogUnits converter(baseWidth, baseHeight);
        QCOMPARE(converter.toPixels(units.x(), units.y(), units.width(), units.height()), pixels);
    }

    // Nothing clipped, nothing overlapping, in both dialogs.
    void sizesWindowsAndShowsEveryCaptionWhole()
    {
        RecordingPresenter presenter;
        MainDialog main(presenter);
        QCOMPARE(main.size(), DialogUnits(main.font()).toPixels(QSize(383, 186)));
        verifyNothingClippedOrOverlapping(main);
        SettingsDialog settings(main.settings(), presenter);
        QCOMPARE(settings.firstPage()->minimumSize(), DialogUnits(settings.font()).toPixels(QSize(363, 241)));
        QCOMPARE(settings.windowTitle(), QString::fromUtf8("Drennixの設定"));
        settings.show();
        verifyNothingClippedOrOverlapping(settings);
        settings.pages()->setCurrentIndex(1);
        verifyNothingClippedOrOverlapping(settings);
    }

    // In each row of the main window the labels, fields and buttons stand at
    // one height, and the result values stand in columns.
    void mainWindowRowsLineUp()
    {
        RecordingPresenter presenter;
        MainDialog main(presenter);
        QList<QWidget*> controls;
        for (QWidget* child : main.findChildren<QWidget*>()) {
            if (qobject_cast<QLabel*>(child) || qobject_cast<QPushButton*>(child) || qobject_cast<QLineEdit*>(child) ||
                qobject_cast<ValueField*>(child)) {
                controls.append(child);
            }
        }
        QVERIFY(controls.size() > 30);
        const auto name = [](const QWidget* widget) {
            const auto* label = qobject_cast<const QLabel*>(widget);
            return label != nullptr ? label->text() : widget->objectName();
        };
        for (const QWidget* control : controls) {
            for (const QWidget* other : controls) {
                const QRect a = control->geometry();
                const QRect b = other->geometry();
                if (a.top() > b.bottom() || b.top() > a.bottom()) continue;
                QVERIFY2(a.top() == b.top() && a.height() == b.height(),
                         qPrintable(name(control) + " and " + name(other) + " stand at different heights"));
            }
        }
        const QList<ValueField*> values = main.findChildren<ValueField*>();
        for (const ValueField* value : values) {
            for (const ValueField* other : values) {
                if (std::abs(value->x() - other->x()) < DialogUnits(main.font()).toPixelsX(4))
                    QVERIFY2(value->x() == other->x(), qPrintable(value->objectName() + " " + other->objectName()));
            }
        }
    }

    void everyWindowHasDistinctMnemonics()
    {
        RecordingPresenter presenter;
        MainDialog main(presenter);
        verifyDistinctMnemonics(main);
        SettingsDialog settings(main.settings(), presenter);
        verifyDistinctMnemonics(settings);
        AbsoluteDisplayDialog list(main.settings(), presenter, nullptr);
        QVERIFY(list.contextMenu() != nullptr && list.contextMenu()->actions().size() == 3);
        verifyDistinctMnemonics(list);
        ToolTableDialog tools(presenter, nullptr);
        QVERIFY(tools.contextMenu() != nullptr && tools.contextMenu()->actions().size() == 3);
        verifyDistinctMnemonics(tools);
        ToolpathWindow toolpath(nullptr);
        verifyDistinctMnemonics(toolpath);
        HelpWindow help(nullptr);
        verifyDistinctMnemonics(help);
    }

    // The cascade of the run windows: from halfway down the main window, a
    // step right and down for each, starting again after its length; pushed
    // back onto the screen, and no larger than it.
    void cascadesRunWindowsOnTheScreen_data()
    {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("step");
        QTest::addColumn<QRect>("frame");
        const int s = WindowPlacer::cascadeStep;
        QTest::newRow("first") << QRect(100, 50, 700, 400) << QSize(600, 300) << 0 << QRect(100 + s, 250, 600, 300);
        QTest::newRow("third") << QRect(100, 50, 700, 400) << QSize(600, 300) << 2
                               << QRect(100 + 3 * s, 250 + 2 * s, 600, 300);
        QTest::newRow("again after the length")
            << QRect(100, 50, 700, 400) << QSize(600, 300) << WindowPlacer::cascadeLength + 1
            << QRect(100 + 2 * s, 250 + s, 600, 300);
        QTest::newRow("low on the screen")
            << QRect(500, 600, 700, 400) << QSize(870, 500) << 0 << QRect(1280 - 870, 1024 - 500, 870, 500);
        QTest::newRow("left of the screen")
            << QRect(-400, 0, 700, 400) << QSize(600, 300) << 0 << QRect(0, 200, 600, 300);
        QTest::newRow("larger than the screen")
            << QRect(0, 0, 700, 400) << QSize(2000, 1500) << 0 << QRect(0, 0, 1280, 1024);
    }

    void cascadesRunWindowsOnTheScreen()
    {
        QFETCH(QRect, owner);
        QFETCH(QSize, size);
        QFETCH(int, step);
        QFETCH(QRect, frame);
        QCOMPARE(cascadeFrame(owner, size, QRect(0, 0, 1280, 1024), step), frame);
    }

    void mainWindowTabOrderFollowsTheLayout()
    {
        RecordingPresenter presenter;
        MainDialog main(presenter);
        auto* first = main.findChild<QWidget*>(QStringLiteral("browseButton"));
        QVERIFY(first != nullptr);
        const QStringList expected = {"browseButton", "suffixEdit",   "toleranceEdit", "executeButton",    "exitButton",
                                      "initialXEdit", "initialYEdit", "initialZEdit",  "machiningTimeMode"};
        QCOMPARE(tabOrder(main, first, expected.size()), expected);
        auto* lastRadio = main.findChild<QWidget*>(QStringLiteral("convertArcsMode"));
        QCOMPARE(tabOrder(main, lastRadio, 3), QStringList({"convertArcsMode", "settingsButton", "helpButton"}));
    }
};

QTEST_MAIN(DialogLayoutTest)
#include "dialog_layout_test.moc"
