// The main window driven as a user does it: keys pressed on the window (so that each event
// reaches whichever widget has the focus at that moment), the window's own close, and its
// size and placement on the screen.
#include "MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

namespace {

void threeMembers(TempDatabase& db)
{
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin')"));
    addMember(db, 1, QStringLiteral("Amy"), QStringLiteral("艾美"), QStringLiteral("S1"));
    addMember(db, 1, QStringLiteral("Ben"), QString(), QStringLiteral("S2"));
    addMember(db, 1, QStringLiteral("Cyd"), QString(), QStringLiteral("S3"));
}

// Closes every modal dialog or popup that opens while it lives, noting its title.
class DialogCloser
{
public:
    DialogCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                titles << QStringLiteral("popup");
                popup->close();
            }
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                titles << dialog->windowTitle();
                dialog->reject();
            }
        });
        m_timer.start(20);
    }
    QStringList titles;

private:
    QTimer m_timer;
};

} // namespace

class MainWindowKeysTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }

    void accessKeysRunTheCommandBar()
    {
        MainWindowFixture f(threeMembers);
        QVERIFY(f.showActive());
        auto* exitButton
            = qobject_cast<QToolButton*>(f.w->ActionToolBar1->widgetForAction(f.w->actExit));
        QVERIFY(exitButton);
        QCOMPARE(exitButton->text(), QStringLiteral("&Exit"));

        DialogCloser closer;
        f.press(Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(closer.titles, QStringList {QStringLiteral("About Melbrin")});
        QVERIFY(f.showActive());
        f.press(Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(closer.titles.size(), 2);
        QCOMPARE(closer.titles.at(1), QStringLiteral("Card Layout"));
        QVERIFY(f.showActive());
        f.press(Qt::Key_L, Qt::AltModifier);
        QTRY_COMPARE(f.answers.previews, 1);
        QVERIFY(f.showActive());
        f.answers.chooseFile(std::nullopt);
        f.press(Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(f.answers.allAnswered());
        QVERIFY(f.showActive());

        f.w->resize(700, 500);
        f.press(Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(!f.w->isVisible());
        const QSettings s(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
        QCOMPARE(s.value(QStringLiteral("MainWin_WIDTH")).toString(), QStringLiteral("700"));
        QVERIFY(f.answers.shown().empty());
    }

    void tabMovesInAndOutOfTheListKeepingWhatIsTyped()
    {
        MainWindowFixture f(threeMembers);
        QVERIFY(f.showActive());
        QCOMPARE(f.w->eName->text(), QStringLiteral("Amy"));
        f.w->bClear->click();
        f.w->eName->setFocus();
        QTest::keyClicks(f.w->eName, QStringLiteral("Half"));

        f.w->bRemove->setFocus();
        f.press(Qt::Key_Tab);
        QCOMPARE(focusedName(), QStringLiteral("eFind")); // the search box above the list
        f.press(Qt::Key_Tab);
        QCOMPARE(focusedName(), QStringLiteral("dbgInfo"));
        // keys that move no row show nobody over the typed text
        f.press(Qt::Key_Up);
        f.press(Qt::Key_Shift);
        f.press(Qt::Key_Right);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Half"));
        f.press(Qt::Key_Tab);
        QCOMPARE(focusedName(), QStringLiteral("bDelete"));
        f.press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focusedName(), QStringLiteral("dbgInfo"));
        f.press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focusedName(), QStringLiteral("eFind"));
        f.press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focusedName(), QStringLiteral("bRemove"));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Half"));

        // the keys that move the current row show the member there
        f.w->dbgInfo->setFocus();
        const struct
        {
            Qt::Key key;
            const char* shown;
        } moves[] = {{Qt::Key_Down, "Ben"},     {Qt::Key_End, "Cyd"}, {Qt::Key_Home, "Amy"},
                     {Qt::Key_PageDown, "Cyd"}, {Qt::Key_Up, "Ben"},  {Qt::Key_PageUp, "Amy"}};
        for (const auto& move : moves) {
            f.press(move.key);
            QCOMPARE(f.w->eName->text(), QString::fromLatin1(move.shown));
        }
        QCOMPARE(f.w->FSortField(), QStringLiteral("name"));
    }

    void deleteKeyInTheListAsksFirst()
    {
        MainWindowFixture f(threeMembers);
        QVERIFY(f.showActive());
        f.w->dbgInfo->setFocus();
        f.press(Qt::Key_Down);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Ben"));
        f.answers.confirmWith(false);
        f.press(Qt::Key_Delete);
        QCOMPARE(f.answers.questions(), QStringList {QStringLiteral("Delete the record?")});
        QCOMPARE(f.count(QStringLiteral("1")), 3);
        f.answers.confirmWith(true);
        f.press(Qt::Key_Delete);
        QCOMPARE(f.count(QStringLiteral("name = 'Ben'")), 0);
        QCOMPARE(f.listed(), (QStringList {"Amy", "Cyd"}));
        QCOMPARE(f.w->eName->text(), f.listed().at(f.w->dbgInfo->currentIndex().row()));
        QCOMPARE(focusedName(), QStringLiteral("dbgInfo"));

        // the menu key opens the move-to-group menu on the current member, not on the row
        // that happens to be under the pointer
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {2, 2},
                                  f.w->dbgInfo->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(f.w->dbgInfo, &menuKey);
        QTRY_VERIFY(f.w->puMenu->isVisible());
        const QRect current = f.w->dbgInfo->visualRect(f.w->dbgInfo->currentIndex());
        QCOMPARE(f.w->dbgInfo->viewport()->mapFromGlobal(f.w->puMenu->pos()), current.center());
        QCOMPARE(f.w->eName->text(), QStringLiteral("Cyd"));
        f.w->puMenu->close();
    }

    void detailsTabOrder()
    {
        MainWindowFixture f(threeMembers);
        QVERIFY(f.showActive());
        f.w->eStaffNo->setFocus();
        QStringList order {focusedName()};
        for (int i = 0; i < 10; ++i) {
            f.press(Qt::Key_Tab);
            order << focusedName();
        }
        QCOMPARE(order,
                 (QStringList {"eStaffNo", "eName", "eCname", "ePost", "dpJoin", "dpExpiry",
                               "eRemark", "bSave", "bClear", "bRotate", "bPhoto"}));
        f.press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.w->bpClear);
        // back out of the date fields at once, too
        for (int i = 0; i < 7; ++i)
            f.press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focusedName(), QStringLiteral("dpJoin"));
    }

    void enterInADetailsFieldSaves_data()
    {
        QTest::addColumn<QString>("field");
        for (const char* field :
             {"eStaffNo", "eName", "eCname", "ePost", "dpJoin", "dpExpiry", "eRemark"})
            QTest::newRow(field) << QString::fromLatin1(field);
    }
    void enterInADetailsFieldSaves()
    {
        QFETCH(QString, field);
        MainWindowFixture f(threeMembers);
        QVERIFY(f.showActive());
        f.w->bClear->click();
        f.w->eName->setText(QStringLiteral("Dee"));
        f.w->findChild<QWidget*>(field)->setFocus();
        f.press(Qt::Key_Return);
        QCOMPARE(f.count(QStringLiteral("name = 'Dee' and gid = 1")), 1);
        QVERIFY(f.answers.shown().empty());
        // a second Enter is a save of a stored name: it asks first
        f.w->eName->setText(QStringLiteral("Dee"));
        f.answers.confirmWith(false);
        f.press(Qt::Key_Enter);
        QCOMPARE(f.answers.questions(), QStringList {QStringLiteral("Overwrite the record?")});
    }

    // The command bar's Import, by its access key and by a click, reads a CSV file; the
    // group list shows the groups it made.
    void importRunsFromTheCommandBar()
    {
        MainWindowFixture f(threeMembers);
        QVERIFY(f.showActive());
        auto* button
            = qobject_cast<QToolButton*>(f.w->ActionToolBar1->widgetForAction(f.w->actImport));
        QVERIFY(button && button->isVisible());
        QCOMPARE(button->text(), QStringLiteral("&Import"));
        const QString dir = f.db.dir();
        QFile comma(dir + QStringLiteral("/staff.csv"));
        QVERIFY(comma.open(QIODevice::WriteOnly));
        comma.write("GROUP,NAME,STAFF_ID\nSales,Eve,E1\nAdmin,Fay,F1\n");
        comma.close();
        QFile tabs(dir + QStringLiteral("/more.csv"));
        QVERIFY(tabs.open(QIODevice::WriteOnly));
        tabs.write("NAME\tGROUP\tSTAFF_ID\r\nGus\tWorks\tG1\r\n");
        tabs.close();

        f.answers.chooseFile(comma.fileName(), QStringLiteral("CSV Files (*.csv *.txt)"));
        f.press(Qt::Key_I, Qt::AltModifier);
        QTRY_VERIFY(f.answers.allAnswered());
        QCOMPARE(f.answers.lastTitle, QStringLiteral("Import Staff Records"));
        QTRY_COMPARE(f.count(QStringLiteral("name in ('Eve', 'Fay')")), 2);
        QCOMPARE(f.count(QStringLiteral("name = 'Fay' and gid = 1 and staffno = 'F1'")), 1);
        QVERIFY(f.w->lstGroup->findText(QStringLiteral("Sales")) >= 0);

        QVERIFY(f.showActive());
        // Typed without its extension, the name takes the chosen kind's.
        f.answers.chooseFile(dir + QStringLiteral("/more"),
                             QStringLiteral("CSV Files (*.csv *.txt)"));
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(f.answers.allAnswered());
        QTRY_COMPARE(f.count(QStringLiteral("name = 'Gus' and staffno = 'G1'")), 1);
        QVERIFY(f.w->lstGroup->findText(QStringLiteral("Works")) >= 0);
        QVERIFY(f.answers.shown().empty());
    }

    void commandBarHasNoMenuOfBars()
    {
        MainWindowFixture f;
        QVERIFY(f.showActive());
        DialogCloser closer;
        QContextMenuEvent menu(QContextMenuEvent::Mouse, {5, 5},
                               f.w->ActionToolBar1->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(f.w->ActionToolBar1, &menu);
        QTest::qWait(100);
        QVERIFY(closer.titles.isEmpty());
    }

    void longNamesShowTheirStartAndTitlesShowTheOrder()
    {
        const QString longName = QStringLiteral("Bartholomew Alexander Fitzgerald-Montgomery");
        MainWindowFixture f([&](TempDatabase& db) {
            db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (1, 'Admin')"));
            addMember(db, 1, longName, QStringLiteral("歐陽娜娜歐陽娜娜歐陽娜娜歐陽娜娜"),
                      QStringLiteral("S1"));
        });
        QVERIFY(f.showActive());
        QCOMPARE(f.w->eName->text(), longName);
        QVERIFY(f.w->eName->fontMetrics().horizontalAdvance(longName) > f.w->eName->width());
        for (QLineEdit* field : {f.w->eName, f.w->eCname})
            QCOMPARE(field->cursorPosition(), 0);

        QHeaderView* header = f.w->dbgInfo->horizontalHeader();
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), 1);
        for (int column : {0, 0, 2}) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              {header->sectionViewportPosition(column) + 20, header->height() / 2});
            QCOMPARE(header->sortIndicatorSection(), column);
            QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        }
        QCOMPARE(f.w->FSortField(), QStringLiteral("cname"));
    }

    void defaultSizeHoldsAndTheGridTakesTheRoom()
    {
        MainWindowFixture f(threeMembers);
        QVERIFY(f.showActive());
        QCOMPARE(f.w->size(), QSize(640, 480));
        QVERIFY(f.w->minimumSizeHint().width() <= 640);
        QTableView* grid = f.w->dbgInfo;
        QVERIFY(!grid->horizontalScrollBar()->isVisible());
        QHeaderView* header = grid->horizontalHeader();
        QVERIFY(header->length() <= grid->viewport()->width());

        const QSize gridBefore = grid->size();
        const QSize panelBefore = f.w->gbDetails->size();
        f.w->resize(900, 600);
        QTRY_COMPARE(grid->width(), gridBefore.width() + 260);
        QVERIFY(grid->height() > gridBefore.height() + 100);
        QCOMPARE(f.w->gbDetails->width(), panelBefore.width());
    }

    void closingTheWindowKeepsItsPlacement()
    {
        MainWindowFixture f(threeMembers);
        QVERIFY(f.showActive());
        // on a first start the whole frame, title bar included, is on the screen
        QCOMPARE(f.w->frameGeometry().topLeft(), QPoint(0, 0));
        QVERIFY(f.w->geometry().top() >= 0);
        f.w->move(40, 30);
        f.w->resize(720, 520);
        f.w->dbgInfo->horizontalHeader()->resizeSection(0, 61);
        f.w->windowHandle()->close(); // as the title bar's close button does
        QVERIFY(!f.w->isVisible());

        f.w = std::make_unique<app::TMelbrin>(f.dsrc, f.db.path());
        QVERIFY(f.showActive());
        QCOMPARE(f.w->size(), QSize(720, 520));
        QCOMPARE(f.w->frameGeometry().topLeft(), QPoint(40, 30));
        QCOMPARE(f.w->dbgInfo->horizontalHeader()->sectionSize(0), 61);
    }
};

QTEST_MAIN(MainWindowKeysTest)
#include "MainWindowKeysTest.moc"
