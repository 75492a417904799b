#include "tabform2.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <clocale>

class TestTabForm2 : public QObject {
    Q_OBJECT
private slots:
    void startTexts_data();
    void startTexts();
    void indexOutsideReadsZero_data();
    void indexOutsideReadsZero();
    void typedTextIsKept_data();
    void typedTextIsKept();
    void setThreshold_data();
    void setThreshold();
    void setThresholdOutsideChangesNothing_data();
    void setThresholdOutsideChangesNothing();
    void setThresholdIgnoresLocale();
    void tabMovesThroughTheFourBoxes();
};

namespace {

const char* const boxNames[] = {"textb_threshold1_upper", "textb_threshold1_lower",
                                "textb_threshold2_upper", "textb_threshold2_lower"};

QLineEdit* box(TabForm2& page, int index)
{
    return page.findChild<QLineEdit*>(QLatin1String(boxNames[index]));
}

QStringList allTexts(TabForm2& page)
{
    QStringList texts;
    for (int index = 0; index < 4; ++index)
        texts << box(page, index)->text();
    return texts;
}

}  // namespace

void TestTabForm2::startTexts_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("comparator 1 upper") << 0 << "100.0";
    QTest::newRow("comparator 1 lower") << 1 << "0.0";
    QTest::newRow("comparator 2 upper") << 2 << "100.0";
    QTest::newRow("comparator 2 lower") << 3 << "0.0";
}

void TestTabForm2::startTexts()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    TabForm2 page;
    QCOMPARE(page.GetThresholdText(index), text);
    QCOMPARE(box(page, index)->text(), text);
}

void TestTabForm2::indexOutsideReadsZero_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("just past the last") << 4;
    QTest::newRow("minus one") << -1;
}

void TestTabForm2::indexOutsideReadsZero()
{
    QFETCH(int, index);
    TabForm2 page;
    box(page, 3)->setText(QStringLiteral("7"));
    QCOMPARE(page.GetThresholdText(index), QStringLiteral("0.0"));
}

void TestTabForm2::typedTextIsKept_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");
    QTest::newRow("emptied") << 3 << "";
    QTest::newRow("letters") << 0 << "abc";
    QTest::newRow("leading blank") << 1 << " 12.5";
    QTest::newRow("percent sign") << 2 << "50%";
}

void TestTabForm2::typedTextIsKept()
{
    QFETCH(int, index);
    QFETCH(QString, typed);
    TabForm2 page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QLineEdit* edit = box(page, index);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    QCOMPARE(page.GetThresholdText(index), typed);
}

void TestTabForm2::setThreshold_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("negative half") << 1 << -12.5 << "-12.50";
    QTest::newRow("out of range kept") << 2 << 250.0 << "250.00";
    QTest::newRow("rounded") << 0 << 12.3456 << "12.35";
    QTest::newRow("whole") << 3 << 25.0 << "25.00";
    QTest::newRow("zero") << 0 << 0.0 << "0.00";
}

void TestTabForm2::setThreshold()
{
    QFETCH(int, index);
    QFETCH(double, value);
    QFETCH(QString, shown);
    TabForm2 page;
    page.SetThreshold(index, value);
    QCOMPARE(page.GetThresholdText(index), shown);
    QCOMPARE(box(page, index)->text(), shown);
}

void TestTabForm2::setThresholdOutsideChangesNothing_data()
{
    indexOutsideReadsZero_data();
}

void TestTabForm2::setThresholdOutsideChangesNothing()
{
    QFETCH(int, index);
    TabForm2 page;
    const QStringList before = allTexts(page);
    page.SetThreshold(index, 42.0);
    QCOMPARE(allTexts(page), before);
}

void TestTabForm2::setThresholdIgnoresLocale()
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        QSKIP("the de_DE.UTF-8 locale is not installed (scripts/setup installs it)");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TabForm2 page;
    page.SetThreshold(0, 12.3456);
    const QString shown = page.GetThresholdText(0);
    std::setlocale(LC_ALL, previous.c_str());
    QLocale::setDefault(QLocale::c());
    QCOMPARE(shown, QStringLiteral("12.35"));
}

void TestTabForm2::tabMovesThroughTheFourBoxes()
{
    TabForm2 page;
    page.show();
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));
    box(page, 0)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), box(page, 0));
    for (int next = 1; next < 4; ++next) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box(page, next));
    }
}

QTEST_MAIN(TestTabForm2)
#include "tst_tabform2.moc"
