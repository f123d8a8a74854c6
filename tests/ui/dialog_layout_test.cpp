// The windows follow their layouts: dialog units become pixels by the font,
// every caption fits its control, controls do not overlap, and the tab order
// is the layout's.
#include <QtTest>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include "dialog_units.h"
#include "main_dialog.h"
#include "recording_presenter.h"
#include "settings_dialog.h"
#include "value_field.h"

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
