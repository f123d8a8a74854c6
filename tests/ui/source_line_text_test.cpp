// Source lines and letters between code page 932 bytes and Unicode text.
#include <QtTest>

#include "source_line_text.h"

class SourceLineTextTest : public QObject {
    Q_OBJECT

private slots:
    void decodesSourceLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << QByteArray("G1X10.(CUT)") << QStringLiteral("G1X10.(CUT)");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("half-width katakana") << QByteArray("(\xB6\xAF\xC0)") << QString::fromUtf8("(ｶｯﾀ)");
        QTest::newRow("kanji") << QByteArray("(\x89\xC1\x8D\x48)") << QString::fromUtf8("(加工)");
        // The Windows table: 0x5C is the backslash, 0x8160 the full-width tilde.
        QTest::newRow("backslash") << QByteArray("\x5C") << QStringLiteral("\\");
        QTest::newRow("wave dash") << QByteArray("\x81\x60") << QString(QChar(0xFF5E));
        QTest::newRow("NEC special") << QByteArray("\x87\x40") << QString::fromUtf8("①");
        // A double-byte character cut by the 98-byte limit.
        QTest::newRow("cut lead byte") << QByteArray("AB\x89") << QString::fromUtf8("AB\xEF\xBF\xBD");
        QTest::newRow("undefined byte") << QByteArray("A\xA0Z") << QString::fromUtf8("A\xEF\xBF\xBDZ");
    }

    void decodesSourceLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeSourceLine(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))), text);
    }

    // An empty `bytes` column with `refused` set: the text has no code page 932 form.
    void encodesLetters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::newRow("letter") << QStringLiteral("X") << QByteArray("X") << false;
        QTest::newRow("empty") << QString() << QByteArray() << false;
        QTest::newRow("half-width katakana is one byte") << QString::fromUtf8("ｱ") << QByteArray("\xB1") << false;
        QTest::newRow("full-width letter is two bytes") << QString::fromUtf8("Ｘ") << QByteArray("\x82\x77") << false;
        QTest::newRow("emoji") << QString::fromUtf8("😀") << QByteArray() << true;
        QTest::newRow("Latin-1 letter") << QString::fromUtf8("ÿ") << QByteArray() << true;
    }

    void encodesLetters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        const std::optional<std::string> encoded = encodeCodePage932(text);
        QCOMPARE(!encoded.has_value(), refused);
        if (encoded) QCOMPARE(QByteArray::fromStdString(*encoded), bytes);
    }
};

QTEST_APPLESS_MAIN(SourceLineTextTest)
#include "source_line_text_test.moc"
