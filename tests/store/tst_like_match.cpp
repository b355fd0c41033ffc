#include "store/like_match.h"
#include "store/operations.h"

#include <QtTest>

class LikeMatchTest : public QObject {
    Q_OBJECT

private slots:
    void matchesLikeTheEngineIgnoringCaseAndAccents_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("anywhere") << "%car%" << "Açúcar Cristal" << true;
        QTest::newRow("accented capitals") << "%açúcar%" << "AÇÚCAR CRISTAL" << true;
        QTest::newRow("typed without accents") << "%acucar%" << "AÇÚCAR CRISTAL" << true;
        QTest::newRow("two words without accents") << "%pao frances%" << "Pão Francês (unidade)" << true;
        QTest::newRow("tilde left out") << "%feijao%" << "Feijão Carioca 1 kg" << true;
        QTest::newRow("capitals without accents") << "%SABAO%" << "Sabão em Pó" << true;
        QTest::newRow("accent typed, none stored") << "%açúcar%" << "Acucar" << true;
        QTest::newRow("another letter is still another") << "%feijoa%" << "Feijão" << false;
        QTest::newRow("whole text") << "pão" << "PÃO" << true;
        QTest::newRow("prefix only") << "pão" << "Pão Francês" << false;
        QTest::newRow("one character") << "caf_" << "Café" << true;
        QTest::newRow("one character, not two") << "caf_" << "Cafés" << false;
        QTest::newRow("several runs") << "%a%b%c%" << "xAyyBzzC" << true;
        QTest::newRow("runs out of order") << "%a%b%c%" << "cba" << false;
        QTest::newRow("backtracking") << "%aab" << "aaab" << true;
        QTest::newRow("empty pattern") << "" << "" << true;
        QTest::newRow("empty pattern, some text") << "" << "a" << false;
        QTest::newRow("only percent") << "%%" << "" << true;
        QTest::newRow("apostrophe") << "%d'a%" << "Biscoito D'Ajuda" << true;
        QTest::newRow("plain letters, capitals typed") << "%ARR%" << "Arroz Branco" << true;
        QTest::newRow("plain letters, no match") << "%fei%" << "Arroz Branco" << false;
        QTest::newRow("plain pattern, accented name") << "%sab%" << "SABÃO em pó" << true;
        QTest::newRow("plain pattern, accented name, no match") << "%sao%" << "SABÃO em pó" << false;
        QTest::newRow("one character is one letter, not one byte") << "p_o" << "PÃO" << true;
        QTest::newRow("Kelvin sign folds to k") << "%k%" << QString(QChar(0x212A)) << true;
        QTest::newRow("digits and symbols") << "%1/2%" << "Queijo 1/2 kg" << true;
    }

    void matchesLikeTheEngineIgnoringCaseAndAccents()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        QCOMPARE(likeMatches(pattern, text), matches);
    }

    void escapedWildcardsStandForThemselves()
    {
        QVERIFY(likeMatches("100!%", "100%", u'!'));
        QVERIFY(!likeMatches("100!%", "1000", u'!'));
        QVERIFY(likeMatches("a!_b", "A_B", u'!'));
        QVERIFY(!likeMatches("a!_b", "axb", u'!'));
        QVERIFY(likeMatches("%ç%!%", "AÇÚCAR 100%", u'!'));
        QVERIFY(!likeMatches("%ç%!%", "AÇÚCAR 100", u'!'));
    }

    // One pattern kept for a whole search gives each text its own answer.
    void onePatternServesManyTexts()
    {
        const LikePattern pattern(QByteArray("%\\_a%"), u'\\');
        QVERIFY(pattern.isPatternOf("%\\_a%", u'\\'));
        QVERIFY(!pattern.isPatternOf("%\\_b%", u'\\'));
        QVERIFY(!pattern.isPatternOf("%\\_a%", u'!'));
        QVERIFY(pattern.matches("X_A"));
        QVERIFY(!pattern.matches("XyA"));
        QVERIFY(pattern.matches(QString("Ç_Á").toUtf8()));
        QVERIFY(!pattern.matches(QString("Ç-Á").toUtf8()));
        QVERIFY(pattern.matches(QString("Ç_a").toUtf8()));
        QVERIFY(pattern.matches("x_a"));

        // Bytes that are not well-formed text read as a replacement character, as the full fold reads them.
        QVERIFY(LikePattern("caf_", 0).matches("caf\xC3"));
        QVERIFY(LikePattern("%(%", 0).matches("\xC3("));
        QVERIFY(!LikePattern("_(", 0).matches("\xC3\xA3\xA3("));
    }

    // The names a picker keeps and searches itself are the names the engine's
    // like finds for the same typed text, in the same order.
    void keptNamesFindWhatTheLikeFinds()
    {
        const QList<QByteArray> stored = {
            "Açúcar Cristal", "AÇÚCAR REFINADO", "acucar", "Pão d'Água", "PAO FRANCES", "Leite 100% Integral",
            "Detergente_Neutro", "a\\b", "", "Kelvin \xE2\x84\xAA", "caf\xC3", "\xC3(", "Sabão em Pó", "x",
            "ãããã", "Feijão\tPreto", "Biscoito D'Ajuda 1/2"};
        ProductNames names;
        for (const QByteArray& name : stored)
            names.append(name);
        const QStringList typed = {"", "a", "A", "ã", "acu", "AÇÚ", "pao d'agua", "d'", "0%", "%", "_", "e_n",
                                   "\\", "k", "\u212A", "caf", "(", "ãã", "aa", "\t", "1/2", "xyz", "o em p"};
        for (const QString& text : typed) {
            const LikePattern like(("%" + likeLiteral(text) + "%").toUtf8(), U'\\');
            std::vector<qsizetype> expected;
            for (qsizetype i = 0; i < stored.size(); ++i)
                if (like.matches(stored[i]))
                    expected.push_back(i);
            QVERIFY2(names.containing(text) == expected, qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(LikeMatchTest)
#include "tst_like_match.moc"
