// The clipboard text of selected absolute display rows in its three forms.
#include <QtTest>

#include "clipboard_text.h"

class ClipboardTextTest : public QObject {
    Q_OBJECT

private slots:
    void copiesEachForm_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<int>("copyItems");
        QTest::addColumn<QString>("expected");

        // Rows 3 and 7 of a list, not adjacent: a straight move (no arc cells, no
        // helical mark) and a helical arc, one line each, in row order.
        const QList<QStringList> rows = {{"3", "G1X10.Y-2.5", "10.000", "-2.500", "0.000", "", "", "", "", "", "5.000"},
                                         {"7", "G3X20.Y0Z-2.I-20.J0", "20.000", "0.000", "-2.000", "20.000", "-0.000",
                                          "-0.000", "0.000", QString::fromUtf8("ﾍﾘｶﾙ"), "125.683"}};
        const QString xy = QStringLiteral("X10.000Y-2.500\r\nX20.000Y0.000\r\n");
        QTest::newRow("XY") << rows << 0 << xy;
        QTest::newRow("below 0 is XY") << rows << -4 << xy;
        QTest::newRow("XYZ") << rows << 1 << QStringLiteral("X10.000Y-2.500Z0.000\r\nX20.000Y0.000Z-2.000\r\n");
        const QString all = QString::fromUtf8(
            "行3 ﾃﾞｰﾀG1X10.Y-2.5 X10.000 Y-2.500 Z0.000 R 始角 終角 R差  移動距離5.000\r\n"
            "行7 ﾃﾞｰﾀG3X20.Y0Z-2.I-20.J0 X20.000 Y0.000 Z-2.000 R20.000 始角-0.000 終角-0.000 R差0.000 ﾍﾘｶﾙ "
            "移動距離125.683\r\n");
        QTest::newRow("all items") << rows << 2 << all;
        QTest::newRow("above 2 is all items") << rows << 9 << all;
        QTest::newRow("no rows") << QList<QStringList>{} << 0 << QString();
    }

    void copiesEachForm()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(int, copyItems);
        QFETCH(QString, expected);
        // The setting's number, read as the settings read it.
        drennix::ProcessSettings settings;
        settings.copyItems = copyItems;
        QCOMPARE(composeClipboardText(rows, settings.copied()), expected);
    }
};

QTEST_APPLESS_MAIN(ClipboardTextTest)
#include "clipboard_text_test.moc"
