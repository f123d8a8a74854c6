// How the dialogs read numbers and integers from their edits and first show them.
#include <QtTest>

#include <limits>

#include "field_text.h"

class FieldTextTest : public QObject {
    Q_OBJECT

private slots:
    // An invalid QVariant means the text is refused as that kind.
    void readsNumbersAndIntegers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("number");
        QTest::addColumn<QVariant>("integer");
        const struct {
            const char* text;
            QVariant number;
            QVariant integer;
        } rows[] = {
            {"3000", 3000.0, 3000},
            {"0.01", 0.01, {}},
            {"-12.5", -12.5, {}},
            {"+3", 3.0, 3},
            {"-5", -5.0, -5},
            {".5", 0.5, {}},
            {"5.", 5.0, {}},
            {"1e3", 1000.0, {}},
            {"2.5E-1", 0.25, {}},
            {"  7 ", 7.0, 7},
            {"－１２．５", -12.5, {}},
            {"９９", 99.0, 99},
            {"1.0000001", 1.0000001, {}},
            {"2147483647", 2147483647.0, std::numeric_limits<int>::max()},
            {"-2147483648", -2147483648.0, std::numeric_limits<int>::min()},
            {"2147483648", 2147483648.0, {}},
            {"", {}, {}},
            {"abc", {}, {}},
            {"1.2.3", {}, {}},
            {"inf", {}, {}},
            {"nan", {}, {}},
            {"0x10", {}, {}},
            {"1e", {}, {}},
            {"+-1", {}, {}},
            {"1 2", {}, {}},
            {"1,5", {}, {}},
            {".", {}, {}},
            {"-", {}, {}},
            {"1e400", {}, {}},
            {"12a", {}, {}},
        };
        for (const auto& row : rows) {
            QTest::newRow(row.text) << QString::fromUtf8(row.text) << row.number << row.integer;
        }
    }

    void readsNumbersAndIntegers()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, number);
        QFETCH(QVariant, integer);
        const std::optional<double> read = parseNumber(text);
        QCOMPARE(read.has_value(), number.isValid());
        if (read) QVERIFY2(*read == number.toDouble(), qPrintable(QString::number(*read, 'g', 17)));
        const std::optional<int> readInteger = parseInteger(text);
        QCOMPARE(readInteger.has_value(), integer.isValid());
        if (readInteger) QCOMPARE(*readInteger, integer.toInt());
    }

    // The defaults show as 0, 17, 0.01; every shown number reads back exactly.
    void showsNumbersInTheirShortestForm()
    {
        QCOMPARE(formatNumber(0), QStringLiteral("0"));
        QCOMPARE(formatNumber(17), QStringLiteral("17"));
        QCOMPARE(formatNumber(0.01), QStringLiteral("0.01"));
        QCOMPARE(formatNumber(-3.25), QStringLiteral("-3.25"));
        for (const double value : {0.1 + 0.2, 1.0 / 3.0, 1e20, 5e-300, 1.0000001}) {
            const std::optional<double> read = parseNumber(formatNumber(value));
            QVERIFY(read.has_value());
            QVERIFY2(*read == value, qPrintable(formatNumber(value)));
        }
    }
};

QTEST_APPLESS_MAIN(FieldTextTest)
#include "field_text_test.moc"
