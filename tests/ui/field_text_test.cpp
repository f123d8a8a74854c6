// How the dialogs read numbers from their edits and first show them.
#include <QtTest>

#include <limits>

#include "field_text.h"

class FieldTextTest : public QObject {
    Q_OBJECT

private slots:
    void readsNumbers_data();
    void readsNumbers();
    void refusesWhatIsNotANumber_data();
    void refusesWhatIsNotANumber();
    void readsIntegers_data();
    void readsIntegers();
    void refusesWhatIsNotAnInteger_data();
    void refusesWhatIsNotAnInteger();
    void showsNumbersInTheirShortestForm_data();
    void showsNumbersInTheirShortestForm();
    void shownNumbersReadBackExactly_data();
    void shownNumbersReadBackExactly();
};

void FieldTextTest::readsNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("0") << "0" << 0.0;
    QTest::newRow("0.01") << "0.01" << 0.01;
    QTest::newRow("-12.5") << "-12.5" << -12.5;
    QTest::newRow("+3") << "+3" << 3.0;
    QTest::newRow(".5") << ".5" << 0.5;
    QTest::newRow("5.") << "5." << 5.0;
    QTest::newRow("1e3") << "1e3" << 1000.0;
    QTest::newRow("2.5E-1") << "2.5E-1" << 0.25;
    QTest::newRow("blanks around") << "  7 " << 7.0;
    QTest::newRow("full-width") << QString::fromUtf8("－１２．５") << -12.5;
    QTest::newRow("1.0000001") << "1.0000001" << 1.0000001;
}

void FieldTextTest::readsNumbers() {
    QFETCH(QString, text);
    QFETCH(double, value);
    const std::optional<double> read = parseNumber(text);
    QVERIFY(read.has_value());
    QVERIFY2(*read == value, qPrintable(QString::number(*read, 'g', 17)));
}

void FieldTextTest::refusesWhatIsNotANumber_data() {
    QTest::addColumn<QString>("text");
    for (const char* text : {"", " ", "abc", "1.2.3", "inf", "-inf", "nan", "0x10", "1e", "1e+", "--1", "+-1", "1 2",
                             "1,5", ".", "-", "+.", "1e400", "12a"}) {
        QTest::newRow(text) << QString::fromLatin1(text);
    }
}

void FieldTextTest::refusesWhatIsNotANumber() {
    QFETCH(QString, text);
    QVERIFY(!parseNumber(text).has_value());
}

void FieldTextTest::readsIntegers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("3000") << "3000" << 3000;
    QTest::newRow("-5") << "-5" << -5;
    QTest::newRow("+7") << "+7" << 7;
    QTest::newRow("blanks around") << " 9 " << 9;
    QTest::newRow("full-width") << QString::fromUtf8("９９") << 99;
    QTest::newRow("largest") << "2147483647" << std::numeric_limits<int>::max();
    QTest::newRow("smallest") << "-2147483648" << std::numeric_limits<int>::min();
}

void FieldTextTest::readsIntegers() {
    QFETCH(QString, text);
    QFETCH(int, value);
    const std::optional<int> read = parseInteger(text);
    QVERIFY(read.has_value());
    QCOMPARE(*read, value);
}

void FieldTextTest::refusesWhatIsNotAnInteger_data() {
    QTest::addColumn<QString>("text");
    for (const char* text : {"", "1.5", "1e3", "abc", "2147483648", "-2147483649", "+-1", "+", "-", "1 2", "0x1F"}) {
        QTest::newRow(text) << QString::fromLatin1(text);
    }
}

void FieldTextTest::refusesWhatIsNotAnInteger() {
    QFETCH(QString, text);
    QVERIFY(!parseInteger(text).has_value());
}

void FieldTextTest::showsNumbersInTheirShortestForm_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0.0 << "0";
    QTest::newRow("1") << 1.0 << "1";
    QTest::newRow("17") << 17.0 << "17";
    QTest::newRow("90") << 90.0 << "90";
    QTest::newRow("0.01") << 0.01 << "0.01";
    QTest::newRow("2.5") << 2.5 << "2.5";
    QTest::newRow("-3.25") << -3.25 << "-3.25";
}

void FieldTextTest::showsNumbersInTheirShortestForm() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatNumber(value), text);
}

void FieldTextTest::shownNumbersReadBackExactly_data() {
    QTest::addColumn<double>("value");
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2;
    QTest::newRow("1/3") << 1.0 / 3.0;
    QTest::newRow("1e20") << 1e20;
    QTest::newRow("tiny") << 5e-300;
    QTest::newRow("1.0000001") << 1.0000001;
}

void FieldTextTest::shownNumbersReadBackExactly() {
    QFETCH(double, value);
    const std::optional<double> read = parseNumber(formatNumber(value));
    QVERIFY(read.has_value());
    QVERIFY2(*read == value, qPrintable(formatNumber(value)));
}

QTEST_APPLESS_MAIN(FieldTextTest)
#include "field_text_test.moc"
