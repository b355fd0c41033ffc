#include "store/like_match.h"

#include <QtTest>

class LikeMatchTest : public QObject {
    Q_OBJECT

private slots:
    void matchesLikeTheEngineIgnoringCase_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("anywhere") << "%car%" << "Açúcar Cristal" << true;
        QTest::newRow("accented capitals") << "%açúcar%" << "AÇÚCAR CRISTAL" << true;
        QTest::newRow("accent differs") << "%acucar%" << "AÇÚCAR" << false;
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
    }

    void matchesLikeTheEngineIgnoringCase()
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
    }
};

QTEST_GUILESS_MAIN(LikeMatchTest)
#include "tst_like_match.moc"
