// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "hollerith.h"
#include "inputchecks.h"
#include "inputtext.h"
#include "punchcard.h"

#include <QtTest>

#include <set>
#include <string>

namespace {

std::set<int> punchedPositions(const TPunchCard &card, int column)
{
    std::set<int> positions;
    for (int p = 1; p <= CardRows; ++p) {
        if (card.isPunched(p, column))
            positions.insert(p);
    }
    return positions;
}

int punchCounting(TPunchCard &card, std::string_view text)
{
    int rejections = 0;
    PunchText(card, text, [&rejections] { ++rejections; });
    return rejections;
}

const std::string sampleSentence =
    "VERSUCH MOEGLICHST NICHT HOLZ STROMAUF ZU FLOESZEN ES WIRD NICHT FUNKTIONIEREN";

} // namespace

class TestCard : public QObject
{
    Q_OBJECT

private slots:
    void codeTableFollowsTheZoneAndDigitRule_data();
    void codeTableFollowsTheZoneAndDigitRule();
    void everyOtherByteIsRejectedOnce();
    void rejectionSeesEarlierColumnsPunched();
    void punchingAddsToTheCard();
    void clearCardEmptiesEveryPosition();
    void lengths_data();
    void lengths();
    void sampleSentenceWithLineBreak();
    void characterCheck_data();
    void characterCheck();
    void messagesFollowTheVerdicts();
    void encodeInputText_data();
    void encodeInputText();
    void decodeInputTextRoundTrips();
};

void TestCard::codeTableFollowsTheZoneAndDigitRule_data()
{
    QTest::addColumn<char>("character");
    const std::string all = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (char c : all)
        QTest::addRow("'%c'", c) << c;
}

void TestCard::codeTableFollowsTheZoneAndDigitRule()
{
    QFETCH(char, character);
    const PunchCodeEntry *entry = PunchCode(static_cast<unsigned char>(character));
    QVERIFY(entry);
    QCOMPARE(entry->character, character);

    // Punched into column 7 of an empty card, it punches its rows there
    // and nowhere else.
    TPunchCard card;
    const std::string text = std::string(6, ' ') + character;
    QCOMPARE(punchCounting(card, text), 0);
    QCOMPARE(punchedPositions(card, 7), expectedPositions(character));
    QCOMPARE(card.holes().count(), expectedPositions(character).size());
}

void TestCard::everyOtherByteIsRejectedOnce()
{
    const std::string known = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QCOMPARE(PunchCodeTable.size(), known.size());
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const bool inCode = known.find(c) != std::string::npos;
        TPunchCard card;
        QCOMPARE(punchCounting(card, std::string(1, c)), inCode ? 0 : 1);
        QCOMPARE(PunchCode(static_cast<unsigned char>(b)) != nullptr, inCode);
        QCOMPARE(CheckCharacters(std::string(1, c)).allowed, inCode);
        if (!inCode)
            QVERIFY2(card.holes().none(), qPrintable(QString::number(b)));
    }
}

void TestCard::rejectionSeesEarlierColumnsPunched()
{
    TPunchCard card;
    std::vector<std::set<int>> seen;
    PunchText(card, "AZa9\r\nB", [&] {
        // Columns before the rejected one are all set already.
        seen.push_back(punchedPositions(card, 1));
        QCOMPARE(punchedPositions(card, 2), expectedPositions('Z'));
        QCOMPARE(punchedPositions(card, 7), std::set<int>{});
    });
    QCOMPARE(seen.size(), 3u); // a, CR and LF; no early stop
    for (const auto &positions : seen)
        QCOMPARE(positions, expectedPositions('A'));
    QCOMPARE(punchedPositions(card, 3), std::set<int>{});
    QCOMPARE(punchedPositions(card, 4), expectedPositions('9'));
    QCOMPARE(punchedPositions(card, 5), std::set<int>{});
    QCOMPARE(punchedPositions(card, 6), std::set<int>{});
    QCOMPARE(punchedPositions(card, 7), expectedPositions('B'));
}

void TestCard::punchingAddsToTheCard()
{
    TPunchCard card;
    PunchText(card, "1", [] {});
    PunchText(card, "J", [] {});
    QCOMPARE(punchedPositions(card, 1), (std::set<int>{2, 4}));
    // B shares no row with 1: the union, not the second text alone.
    PunchText(card, "B", [] {});
    QCOMPARE(punchedPositions(card, 1), (std::set<int>{1, 2, 4, 5}));

    TPunchCard once;
    PunchText(once, "A B", [] {});
    QCOMPARE(punchedPositions(once, 2), std::set<int>{});
    TPunchCard twice = once;
    PunchText(twice, "A B", [] {});
    QVERIFY(twice == once);
}

void TestCard::clearCardEmptiesEveryPosition()
{
    TPunchCard card;
    PunchText(card, std::string(80, 'A') + std::string(80, 'Z'), [] {});
    PunchText(card, std::string(80, '0'), [] {});
    QVERIFY(card.holes().count() > 0);
    card.ClearCard();
    for (int k = 0; k < CardPositions; ++k)
        QVERIFY(!card.isPunched(k));
}

void TestCard::lengths_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("permitted");
    QTest::newRow("empty") << 0 << true;
    QTest::newRow("79") << 79 << true;
    QTest::newRow("80") << 80 << true;
    QTest::newRow("81") << 81 << false;
    QTest::newRow("100000") << 100000 << false;
}

void TestCard::lengths()
{
    QFETCH(int, length);
    QFETCH(bool, permitted);
    const LengthCheck check = CheckLength(std::string(length, 'x'));
    QCOMPARE(check.count, std::size_t(length));
    QCOMPARE(check.permitted, permitted);

    // Only the first 80 characters have a column: rejections of the rest
    // are not raised, holes of the rest not punched.
    const int columns = std::min(length, CardColumns);
    TPunchCard card;
    QCOMPARE(punchCounting(card, std::string(length, 'x')), columns);
    QCOMPARE(card.holes().count(), 0u);
    QCOMPARE(punchCounting(card, std::string(length, '0')), 0);
    QCOMPARE(card.holes().count(), std::size_t(columns));
    for (int c = 1; c <= columns; ++c)
        QVERIFY(card.isPunched(rowPosition(0), c));
}

void TestCard::sampleSentenceWithLineBreak()
{
    const std::string text = sampleSentence + "\r\n";
    QCOMPARE(sampleSentence.size(), 78u);
    QCOMPARE(CheckLength(text).count, 80u);
    QVERIFY(CheckLength(text).permitted);
    QVERIFY(!CheckCharacters(text).allowed);
    QVERIFY(CheckCharacters(sampleSentence).allowed);

    TPunchCard card;
    QCOMPARE(punchCounting(card, text), 2);
    for (int c = 1; c <= 78; ++c)
        QCOMPARE(punchedPositions(card, c), expectedPositions(sampleSentence[c - 1]));
    QCOMPARE(punchedPositions(card, 79), std::set<int>{});
    QCOMPARE(punchedPositions(card, 80), std::set<int>{});
}

void TestCard::characterCheck_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("capitals, digits, spaces") << QByteArray("HOLZ 42 ZU 0") << true;
    QTest::newRow("one lower-case letter") << QByteArray("HOLz 42") << false;
    QTest::newRow("FLOESZEN") << QByteArray("FLOESZEN") << true;
    QTest::newRow("with Umlaut and sharp s") << QByteArray("FL\xD6\xDF\x45N") << false;
    QTest::newRow("rejected first, allowed after") << QByteArray("-ABC") << false;
    QTest::newRow("NUL inside") << QByteArray("AB\0C", 4) << false;
    QTest::newRow("line break") << QByteArray("AB\r\nC") << false;
}

void TestCard::characterCheck()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, allowed);
    const std::string_view bytes(text.constData(), std::size_t(text.size()));
    const CharacterCheck check = CheckCharacters(bytes);
    QCOMPARE(check.allowed, allowed);
    QCOMPARE(check.echo, std::string(bytes)); // rejected characters too, in place
}

void TestCard::messagesFollowTheVerdicts()
{
    // Too long and a rejected character: both adverse verdicts.
    const std::string text = std::string(81, 'A') + "a";
    const Message &length = CheckLength(text).message();
    const Message &characters = CheckCharacters(text).message();
    QCOMPARE(length.title, "ACHTUNG");
    QCOMPARE(length.body,
             "Zeichenanzhl zu groß - kürzen auf maximal 80 Zeichen - bitte Wiederhole-Button nutzen!!!");
    QCOMPARE(characters.title, "ACHTUNG");
    QCOMPARE(characters.body,
             "Eingabetext falsch nur englischsprachige Großbuchstaben, Ziffern sowie "
             "Leerzeichen sind zugelassen - bitte korrigieren!");

    QCOMPARE(CheckLength("ABC").message().title, "WOW");
    QCOMPARE(CheckLength("ABC").message().body, "Zeichenzahl zulässig");
    QCOMPARE(CheckCharacters("ABC").message().title, "WOW");
    QCOMPARE(CheckCharacters("ABC").message().body, "Eingabetext korrekt");
    QCOMPARE(RejectionMessage.title, "ACHTUNG");
    QCOMPARE(RejectionMessage.body, "Zeichen nicht in der definierten Menge!");
}

void TestCard::encodeInputText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << QString("HOLZ 1") << QByteArray("HOLZ 1");
    QTest::newRow("Umlauts and sharp s")
        << QString::fromUtf8("äöüÄÖÜß") << QByteArray("\xE4\xF6\xFC\xC4\xD6\xDC\xDF");
    QTest::newRow("euro sign and quotes") << QString::fromUtf8("€„“…Ÿ") << QByteArray("\x80\x84\x93\x85\x9F");
    QTest::newRow("emoji is one character") << QString::fromUtf8("A😀B") << QByteArray("A?B");
    QTest::newRow("outside Windows-1252") << QString::fromUtf8("Ωあ\u0080") << QByteArray("???");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "A" << QByteArray("?A");
    QTest::newRow("NUL and controls") << QString(QChar(0)) + QChar(7) << QByteArray("\0\x07", 2);
    QTest::newRow("LF") << QString("A\nB") << QByteArray("A\r\nB");
    QTest::newRow("CR LF is one break") << QString("A\r\nB") << QByteArray("A\r\nB");
    QTest::newRow("lone CR") << QString("A\rB") << QByteArray("A\r\nB");
    QTest::newRow("paragraph and line separators") << QString("A\u2029B\u2028") << QByteArray("A\r\nB\r\n");
    QTest::newRow("only line breaks") << QString("\n\n") << QByteArray("\r\n\r\n");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestCard::encodeInputText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const std::string encoded =
        ::encodeInputText({reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size())});
    QCOMPARE(QByteArray(encoded.data(), qsizetype(encoded.size())), bytes);
}

void TestCard::decodeInputTextRoundTrips()
{
    // Every byte the encoding gives back decodes to a character that
    // encodes to the same byte again.
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        const std::string byte(1, static_cast<char>(b));
        QCOMPARE(::encodeInputText(decodeInputText(byte)), byte);
    }
    QCOMPARE(decodeInputText("A\r\n\x80"), u"A\r\n\u20AC");
}

QTEST_APPLESS_MAIN(TestCard)
#include "tst_card.moc"
