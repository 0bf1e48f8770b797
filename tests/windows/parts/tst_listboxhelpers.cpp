#include "windows/parts/ListBoxHelpers.h"

#include "core/AppState.h"
#include "core/SchoolData.h"

#include <QComboBox>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

class TestListBoxHelpers : public QObject
{
    Q_OBJECT

    static QStringList names(int count)
    {
        QStringList out;
        for (int i = 1; i <= count; ++i)
            out << QStringLiteral("Nauczyciel %1").arg(i);
        return out;
    }

private Q_SLOTS:
    void addingSkipsItemsAlreadyThereWhateverTheirCase()
    {
        QListWidget list;
        ListToListBox(&list, {QStringLiteral("Łukasz"), QStringLiteral("Anna")});
        AddMissingItems(&list, {QStringLiteral("ANNA"), QStringLiteral("Ewa"), QStringLiteral("łukasz")});
        AddItemIfMissing(&list, QStringLiteral("ewa"));
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.item(2)->text(), QStringLiteral("Ewa"));
        ListToListBox(&list, {});
        QCOMPARE(list.count(), 0);
    }

    void classComboAndSelectedPupils()
    {
        QComboBox combo;
        combo.addItem(QStringLiteral("stara"));
        schoolData() = SchoolData{};
        appState().CurrentClassIndex = 7;
        FillClassCombo(&combo);
        QCOMPARE(combo.count(), 0);
        QCOMPARE(appState().CurrentClassIndex, 7); // no class, nothing chosen

        _Klasa ia;
        ia.Name = QStringLiteral("Ia");
        _Klasa ib;
        ib.Name = QStringLiteral("Ib");
        schoolData().Classes = {ia, ib};
        FillClassCombo(&combo);
        QCOMPARE(combo.count(), 2);
        QCOMPARE(combo.itemText(1), QStringLiteral("Ib"));
        QCOMPARE(combo.currentIndex(), 0);
        QCOMPARE(appState().CurrentClassIndex, 0);

        klasaFull().LoadClassSheet(QStringLiteral("Ia"), {QStringLiteral("Abacki Jan"), QStringLiteral("Bąk Ola"),
                                                          QStringLiteral("Cichy Ew")});
        QListWidget list;
        list.setSelectionMode(QAbstractItemView::MultiSelection);
        ListToListBox(&list, {QStringLiteral("Abacki Jan"), QStringLiteral("Bąk Ola"), QStringLiteral("Cichy Ew")});
        list.item(2)->setSelected(true);
        list.item(0)->setSelected(true);
        QStringList names{QStringLiteral("dawny")};
        CollectSelected(&list, names);
        QCOMPARE(names, QStringList({QStringLiteral("Abacki Jan"), QStringLiteral("Cichy Ew")}));
        QVERIFY(!klasaFull().Rows[0].FullAttendance); // no mark, the sheet stays
        CollectSelected(&list, names, MarkFullAttendance);
        QVERIFY(klasaFull().Rows[0].FullAttendance && !klasaFull().Rows[1].FullAttendance &&
                klasaFull().Rows[2].FullAttendance);
        CollectSelected(&list, names, MarkExemplaryConduct);
        QVERIFY(klasaFull().Rows[2].ExemplaryConduct && !klasaFull().Rows[1].ExemplaryConduct);
        list.clearSelection();
        CollectSelected(&list, names, MarkFullAttendance);
        QVERIFY(names.isEmpty());
        schoolData() = SchoolData{};
    }

    void scrollBarShownOnlyForMoreItemsThanRows()
    {
        QWidget panel;
        QListWidget list;
        QScrollBar bar(Qt::Vertical);
        PrepareScrolledList(&list);
        list.resize(200, 25 * 16);
        list.show();
        panel.show();

        ListToListBox(&list, names(25));
        SyncListScrollBar(list.count(), 25, &panel, &list, &bar);
        QVERIFY(panel.isHidden());

        ListToListBox(&list, names(30));
        list.scrollToItem(list.item(29));
        SyncListScrollBar(list.count(), 25, &panel, &list, &bar);
        QVERIFY(!panel.isHidden());
        QCOMPARE(bar.maximum(), 5);
        QCOMPARE(bar.pageStep(), 24);
        QCOMPARE(bar.singleStep(), 5); // the small change of 23 rows, held at 5
        QCOMPARE(bar.value(), list.verticalScrollBar()->value());
        QVERIFY(bar.value() > 0);
    }

    void listAndBarFollowEachOther()
    {
        QListWidget list;
        QScrollBar bar(Qt::Vertical);
        PrepareScrolledList(&list);
        ListToListBox(&list, names(40));
        list.resize(200, 10 * list.sizeHintForRow(0) + 2 * list.frameWidth());
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        bar.setRange(0, 30);

        bar.setValue(12);
        ListFollowsScrollBar(&list, &bar);
        // The list scrolls only after the current event.
        QCOMPARE(list.verticalScrollBar()->value(), 0);
        QTRY_COMPARE(list.verticalScrollBar()->value(), 12);
        QCOMPARE(list.indexAt(QPoint(5, 2)).row(), 12);

        list.verticalScrollBar()->setValue(3);
        ScrollBarFollowsList(&list, &bar);
        QCOMPARE(bar.value(), 3);
    }
};

QTEST_MAIN(TestListBoxHelpers)
#include "tst_listboxhelpers.moc"
