// The windows follow their layouts: dialog units become pixels by the font,
// every caption fits its control, controls do not overlap, and the tab order
// is the layout's.
#include <QtTest>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "dialog_units.h"
#include "main_dialog.h"
#include "recording_presenter.h"
#include "settings_dialog.h"
#include "value_field.h"

namespace {

QString withoutMnemonic(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?=.)")));
    return text;
}

// The controls a user reads or uses, group boxes left out (they frame others).
QList<QWidget*> controlsOf(const QWidget& dialog) {
    QList<QWidget*> controls;
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QGroupBox*>(child) != nullptr) continue;
        if (qobject_cast<QLabel*>(child) || qobject_cast<QAbstractButton*>(child) ||
            qobject_cast<QLineEdit*>(child) || qobject_cast<ValueField*>(child)) {
            controls.append(child);
        }
    }
    return controls;
}

QString describe(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    return widget->objectName();
}

void verifyNothingClippedOrOverlapping(const QWidget& dialog) {
    const QList<QWidget*> controls = controlsOf(dialog);
    QVERIFY(!controls.isEmpty());
    for (const QWidget* control : controls) {
        QVERIFY2(dialog.rect().contains(control->geometry()), qPrintable(describe(control) + " leaves the window"));
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            const int needed = label->fontMetrics().horizontalAdvance(withoutMnemonic(label->text()));
            QVERIFY2(needed <= label->contentsRect().width(), qPrintable(label->text() + " is clipped"));
        } else if (qobject_cast<const QRadioButton*>(control) != nullptr) {
            QVERIFY2(control->sizeHint().width() <= control->width(), qPrintable(describe(control) + " is clipped"));
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            const int needed = button->fontMetrics().horizontalAdvance(withoutMnemonic(button->text()));
            QVERIFY2(needed + 4 <= button->width(), qPrintable(button->text() + " is clipped"));
        }
        QVERIFY2(control->fontMetrics().height() <= control->height(), qPrintable(describe(control) + " is too low"));
    }
    for (int i = 0; i < controls.size(); ++i) {
        for (int j = i + 1; j < controls.size(); ++j) {
            const QRect overlap = controls[i]->geometry() & controls[j]->geometry();
            QVERIFY2(overlap.isEmpty(),
                     qPrintable(describe(controls[i]) + " overlaps " + describe(controls[j])));
        }
    }
}

// The object names of the controls in the dialog's focus chain, in order.
QStringList tabOrder(QWidget& dialog, QWidget* first, int count) {
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
    void convertsDialogUnitsByTheFont_data();
    void convertsDialogUnitsByTheFont();
    void sizesWindowsFromTheirLayouts();
    void mainWindowShowsEveryCaptionWhole();
    void settingsShowEveryCaptionWhole();
    void mainWindowTabOrderFollowsTheLayout();
};

void DialogLayoutTest::convertsDialogUnitsByTheFont_data() {
    QTest::addColumn<int>("baseWidth");
    QTest::addColumn<int>("baseHeight");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("13-pixel gothic") << 7 << 13 << QRect(35, 5, 290, 15) << QRect(61, 8, 508, 25);
    QTest::newRow("19-pixel CJK") << 7 << 19 << QRect(0, 25, 85, 15) << QRect(0, 59, 149, 36);
    QTest::newRow("halves round up") << 6 << 16 << QRect(1, 1, 2, 3) << QRect(2, 2, 3, 6);
    // Touching in dialog units, touching in pixels: 10+65 and 75 meet at 131.
    QTest::newRow("edges meet") << 7 << 19 << QRect(10, 75, 65, 15) << QRect(18, 178, 113, 36);
}

void DialogLayoutTest::convertsDialogUnitsByTheFont() {
    QFETCH(int, baseWidth);
    QFETCH(int, baseHeight);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    const DialogUnits converter(baseWidth, baseHeight);
    QCOMPARE(converter.toPixels(units.x(), units.y(), units.width(), units.height()), pixels);
}

void DialogLayoutTest::sizesWindowsFromTheirLayouts() {
    RecordingPresenter presenter;
    MainDialog main(presenter);
    const DialogUnits units(main.font());
    QCOMPARE(main.size(), units.toPixels(QSize(383, 166)));
    QCOMPARE(main.windowTitle(), QStringLiteral("Drennix"));
    SettingsDialog settings(main.settings(), presenter);
    QCOMPARE(settings.size(), DialogUnits(settings.font()).toPixels(QSize(363, 241)));
    QCOMPARE(settings.windowTitle(), QString::fromUtf8("Drennixの設定"));
}

void DialogLayoutTest::mainWindowShowsEveryCaptionWhole() {
    RecordingPresenter presenter;
    MainDialog main(presenter);
    verifyNothingClippedOrOverlapping(main);
}

void DialogLayoutTest::settingsShowEveryCaptionWhole() {
    RecordingPresenter presenter;
    drennix::Settings values;
    drennix::resetToDefaults(values);
    SettingsDialog settings(values, presenter);
    verifyNothingClippedOrOverlapping(settings);
}

void DialogLayoutTest::mainWindowTabOrderFollowsTheLayout() {
    RecordingPresenter presenter;
    MainDialog main(presenter);
    auto* first = main.findChild<QWidget*>(QStringLiteral("browseButton"));
    QVERIFY(first != nullptr);
    const QStringList expected = {"browseButton", "suffixEdit",       "toleranceEdit", "executeButton",
                                  "exitButton",   "initialXEdit",     "initialYEdit",  "initialZEdit",
                                  "machiningTimeMode"};
    QCOMPARE(tabOrder(main, first, expected.size()), expected);
    auto* lastRadio = main.findChild<QWidget*>(QStringLiteral("convertArcsMode"));
    QCOMPARE(tabOrder(main, lastRadio, 3), QStringList({"convertArcsMode", "settingsButton", "helpButton"}));
}

QTEST_MAIN(DialogLayoutTest)
#include "dialog_layout_test.moc"
