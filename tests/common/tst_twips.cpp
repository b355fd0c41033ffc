#include "common/twips.h"

#include <QtTest>

class TestTwips : public QObject {
    Q_OBJECT

private slots:
    void placesPanel_data();
    void placesPanel();
    void convertsTwipsToPixels_data();
    void convertsTwipsToPixels();
};

void TestTwips::placesPanel_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");

    QTest::newRow("1024x768") << 1024.0 << 768.0 << 112.5 << 261.0;
    QTest::newRow("narrower than the panel") << 800.0 << 600.0 << -1567.5 << -243.0;
    QTest::newRow("8K screen") << 7680.0 << 4320.0 << 50032.5 << 10917.0;
}

void TestTwips::placesPanel()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, left);
    QFETCH(double, top);
    const PanelPosition position = panelPosition(width, height, 15135, 10215);
    QCOMPARE(position.left, left);
    QCOMPARE(position.top, top);
}

void TestTwips::convertsTwipsToPixels_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");

    QTest::newRow("panel width") << 15135.0 << 1009;
    QTest::newRow("half pixel rounds up") << 112.5 << 8;
    QTest::newRow("negative") << -1567.5 << -105;
    QTest::newRow("zero") << 0.0 << 0;
}

void TestTwips::convertsTwipsToPixels()
{
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips), pixels);
    QCOMPARE(twipsRect(twips, 0, 15, 30), QRect(pixels, 0, 1, 2));
}

QTEST_MAIN(TestTwips)
#include "tst_twips.moc"
