// How the dialogs read numbers from their edits and first show them.
#include <QtTest>

#include <limits>

#include "field_text.h"

class FieldTextTest : public QObject {
    Q_OBJECT

private slots:
    void readsNumbers_data();
    void readsNumbers();
    void readsIntegers_data();
    void readsIntegers();
    void showsNumbersInTheirShortestForm();
};

// An empty `value` column means the text is refused.
void FieldTextTest::readsNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    const struct {
        const char* text;
        QVariant value;
    } rows[] = {
        {"0", 0.0},      {"0.01", 0.01},    {"-12.5", -12.5},  {"+3", 3.0},      {".5", 0.5},   {"5.", 5.0},
        {"1e3", 1000.0}, {"2.5E-1", 0.25},  {"  7 ", 7.0},     {"－１２．５", -12.5}, {"1.0000001", 1.0000001},
        {"", {}},        {"abc", {}},       {"1.2.3", {}},     {"inf", {}},      {"nan", {}},   {"0x10", {}},
        {"1e", {}},      {"+-1", {}},       {"1 2", {}},       {"1,5", {}},      {".", {}},     {"-", {}},
        {"1e400", {}},   {"12a", {}},
    };
    for (const auto& row : rows) QTest::newRow(row.text) << QString::fromUtf8(row.text) << row.value;
}

void FieldTextTest::readsNumbers() {
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    const std::optional<double> read = parseNumber(text);
    QCOMPARE(read.has_value(), value.isValid());
    if (read) QVERIFY2(*read == value.toDouble(), qPrintable(QString::number(*read, 'g', 17)));
}

void FieldTextTest::readsIntegers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    const struct {
        const char* text;
        QVariant value;
    } rows[] = {
        {"3000", 3000}, {"-5", -5}, {"+7", 7}, {" 9 ", 9}, {"９９", 99},
        {"2147483647", std::numeric_limits<int>::max()}, {"-2147483648", std::numeric_limits<int>::min()},
        {"", {}}, {"1.5", {}}, {"1e3", {}}, {"2147483648", {}}, {"+-1", {}}, {"-", {}}, {"0x1F", {}},
    };
    for (const auto& row : rows) QTest::newRow(row.text) << QString::fromUtf8(row.text) << row.value;
}

void FieldTextTest::readsIntegers() {
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    const std::optional<int> read = parseInteger(text);
    QCOMPARE(read.has_value(), value.isValid());
    if (read) QCOMPARE(*read, value.toInt());
}

// The defaults show as 0, 1, 17, 0.01; every shown number reads back exactly.
void FieldTextTest::showsNumbersInTheirShortestForm() {
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

QTEST_APPLESS_MAIN(FieldTextTest)
#include "field_text_test.moc"
