#include "MainWindowFixture.h"
#include "imaging/ImageBox.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

void addGroup(TempDatabase& db, int gid, const QString& name)
{
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (%1, '%2')").arg(gid).arg(name));
}

void staffOfTwoGroups(TempDatabase& db)
{
    addGroup(db, 1, QStringLiteral("Admin"));
    addGroup(db, 2, QStringLiteral("Works"));
    addMember(db, 1, QStringLiteral("Carol"), QStringLiteral("卡羅"), QStringLiteral("S3"));
    addMember(db, 1, QStringLiteral("alice"), QString(), QStringLiteral("S9"));
    addMember(db, 1, QStringLiteral("Bob"), QString(), QStringLiteral("S1"));
    addMember(db, 2, QStringLiteral("Dan"));
}

void selectGroup(MainWindowFixture& f, const QString& name)
{
    f.w->lstGroup->setCurrentText(name);
    f.w->lstGroupClick();
}

bool showWindow(MainWindowFixture& f)
{
    f.w->show();
    return QTest::qWaitForWindowExposed(f.w.get());
}

// A left click on a cell of the grid, as the user gives it.
void clickRow(MainWindowFixture& f, int row)
{
    const QModelIndex index = f.w->dbgInfo->model()->index(row, 1);
    f.w->dbgInfo->scrollTo(index);
    QTest::mouseClick(f.w->dbgInfo->viewport(), Qt::LeftButton, {},
                      f.w->dbgInfo->visualRect(index).center());
}

void clickTitle(MainWindowFixture& f, int column)
{
    QHeaderView* header = f.w->dbgInfo->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// Collects the text of every preview shown, printed into a PDF and read back.
void readPreviews(MainWindowFixture& f, QStringList& texts)
{
    f.answers.onPreview = [&texts](const data::Answers::Render& render) {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
        {
            QPdfWriter writer(pdf);
            render(&writer);
        }
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        p.waitForFinished();
        texts << QString::fromUtf8(p.readAllStandardOutput());
    };
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia)); }

    void startupListsTheFirstGroupAndCounts()
    {
        MainWindowFixture f(staffOfTwoGroups);
        QCOMPARE(f.w->lstGroup->count(), 4); // and "Cards to reprint"
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Admin"));
        QCOMPARE(f.w->FGroupId(), 1);
        QCOMPARE(f.listed(), (QStringList {"alice", "Bob", "Carol"}));
        QCOMPARE(f.w->eName->text(), QStringLiteral("alice"));
        QCOMPARE(f.w->sbPanel[0]->text(), QStringLiteral("Total Staffs=4"));
        QCOMPARE(f.w->sbPanel[1]->text(), QStringLiteral("Total Groups=3"));
        QCOMPARE(f.w->sbPanel[2]->text(), QStringLiteral("Group Members=3"));
        QCOMPARE(f.w->puMenu->actions().size(), 3);
        QCOMPARE(f.w->imgPhoto->toolTip(), QStringLiteral("No picture"));
        QVERIFY(f.answers.shown().empty());
    }

    void titleClickReordersWithoutTouchingThePanel()
    {
        MainWindowFixture f(staffOfTwoGroups);
        f.w->dbgInfo->selectRow(2);
        f.w->dbgInfoCellClick();
        QCOMPARE(f.w->eName->text(), QStringLiteral("Carol"));
        f.w->dbgInfoTitleClick(0); // Staff No
        QCOMPARE(f.w->FSortField(), QStringLiteral("staffno"));
        QCOMPARE(f.listed(), (QStringList {"Bob", "Carol", "alice"}));
        QCOMPARE(f.dsrc.QStaff.currentRow(), 1); // the member shown stays current
        QCOMPARE(f.w->eName->text(), QStringLiteral("Carol"));
        f.w->dbgInfoTitleClick(2);
        QCOMPARE(f.w->FSortField(), QStringLiteral("cname"));
        QCOMPARE(f.dsrc.QStaff.asString(QStringLiteral("name")), QStringLiteral("Carol"));
    }

    void afterAResortDeleteAndPreviewTakeTheMemberShown()
    {
        MainWindowFixture f(staffOfTwoGroups);
        QVERIFY(showWindow(f));
        clickRow(f, 2);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Carol"));
        clickTitle(f, 0); // Staff No
        QCOMPARE(f.listed(), (QStringList {"Bob", "Carol", "alice"}));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Carol"));
        QCOMPARE(f.w->dbgInfo->currentIndex().row(), 1);

        QStringList texts;
        readPreviews(f, texts);
        QTest::mouseClick(f.w->bPreview, Qt::LeftButton);
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts.at(0).contains(QStringLiteral("Carol")));
        QVERIFY(!texts.at(0).contains(QStringLiteral("Bob")));

        f.answers.confirmWith(true);
        QTest::mouseClick(f.w->bDelete, Qt::LeftButton);
        QCOMPARE(f.count(QStringLiteral("name = 'Carol'")), 0);
        QCOMPARE(f.listed(), (QStringList {"Bob", "alice"}));
        QCOMPARE(f.w->eName->text(), QStringLiteral("alice"));
        QCOMPARE(f.answers.questions(), (QStringList {"Print Preview", "Delete the record?"}));
        QVERIFY(f.answers.texts().isEmpty());
    }

    void groupWithoutRowsAndNoGroups()
    {
        MainWindowFixture f([](TempDatabase& db) {
            db.exec(QStringLiteral("delete from grptbl"));
            addMember(db, 0, QStringLiteral("Zero"));
            addMember(db, 4, QStringLiteral("Four"));
        });
        QCOMPARE(f.w->lstGroup->count(), 0);
        QCOMPARE(f.w->FGroupId(), 0);
        QCOMPARE(f.listed(), QStringList {"Zero"});
        QVERIFY(f.w->puMenu->actions().isEmpty());
        QCOMPARE(f.w->sbPanel[0]->text(), QStringLiteral("Total Staffs=2"));
        QCOMPARE(f.w->sbPanel[1]->text(), QStringLiteral("Total Groups=0"));
    }

    void nullTextsShowAsEmptyAndBadDatesAsToday()
    {
        MainWindowFixture f([](TempDatabase& db) {
            db.exec(QStringLiteral(
                "insert into stafftbl (gid, name, cname, staffno, post, datejoin,"
                " expiry, remark) values (0, 'N', NULL, NULL, NULL, 'soon', NULL, NULL)"));
        });
        QVERIFY(f.answers.shown().empty());
        QCOMPARE(f.w->eName->text(), QStringLiteral("N"));
        QCOMPARE(f.w->eCname->text(), QString());
        QCOMPARE(f.w->dpJoin->date(), QDate::currentDate());
        QCOMPARE(f.w->dpExpiry->date(), QDate::currentDate());
    }

    void saveNewOverwriteAndDecline()
    {
        MainWindowFixture f(staffOfTwoGroups);
        // a new name joins the selected group, listed last, and the panel empties
        f.w->ClearDetails();
        f.w->eName->setText(QStringLiteral("Aaron"));
        f.w->eCname->setText(QStringLiteral("亞倫"));
        f.w->dpJoin->setDate(QDate(2004, 3, 5));
        f.w->dpExpiry->setDate(QDate(2009, 3, 5));
        f.w->bSaveClick();
        QCOMPARE(f.listed(), (QStringList {"alice", "Bob", "Carol", "Aaron"}));
        QCOMPARE(
            f.db.scalar(QStringLiteral(
                            "select gid || datejoin || cname from stafftbl where name='Aaron'"))
                .toString(),
            QStringLiteral("15/03/2004亞倫"));
        QCOMPARE(f.w->eName->text(), QString());
        QCOMPARE(f.w->dpJoin->date(), QDate::currentDate());
        QCOMPARE(f.w->dpExpiry->date(), QDate(2009, 3, 5));
        QCOMPARE(f.w->sbPanel[0]->text(), QStringLiteral("Total Staffs=5"));

        // a stored name in another group: confirmed, the list switches to its group
        f.db.exec(QStringLiteral("update stafftbl set cardno = 77 where name = 'Dan'"));
        f.w->eName->setText(QStringLiteral("Dan"));
        f.w->eRemark->setText(QStringLiteral("changed"));
        f.answers.confirmWith(true);
        f.w->bSaveClick();
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Works"));
        QCOMPARE(f.count(QStringLiteral("name='Dan'")), 1);
        QCOMPARE(f.db.scalar(QStringLiteral(
                                 "select gid || cardno || remark from stafftbl where name='Dan'"))
                     .toString(),
                 QStringLiteral("20changed"));
        QCOMPARE(f.w->eRemark->text(), QStringLiteral("changed"));

        // declined: nothing changes
        f.w->eRemark->setText(QStringLiteral("again"));
        f.answers.confirmWith(false);
        f.w->bSaveClick();
        QCOMPARE(
            f.db.scalar(QStringLiteral("select remark from stafftbl where name='Dan'")).toString(),
            QStringLiteral("changed"));
        QCOMPARE(f.w->eRemark->text(), QStringLiteral("again"));
        QVERIFY(f.answers.allAnswered());
        QCOMPARE(f.answers.questions(),
                 (QStringList {"Overwrite the record?", "Overwrite the record?"}));
    }

    void emptyAndBlankNames()
    {
        MainWindowFixture f;
        f.w->eName->clear();
        f.w->bSaveClick();
        QCOMPARE(f.answers.texts(), QStringList {"Name field cannot be empty."});
        QCOMPARE(f.answers.shown().at(0).title, QStringLiteral("Error"));
        f.w->eName->setText(QStringLiteral(" "));
        f.w->bSaveClick();
        QCOMPARE(f.count(QStringLiteral("name=' '")), 1);
        QCOMPARE(f.answers.texts().size(), 1);
    }

    void saveOfAMemberWhoseGroupIsGoneOverwritesInPlace()
    {
        MainWindowFixture f([](TempDatabase& db) { addMember(db, 42, QStringLiteral("Lost")); });
        f.w->eName->setText(QStringLiteral("Lost"));
        f.w->eRemark->setText(QStringLiteral("found"));
        f.answers.confirmWith(true);
        f.w->bSaveClick();
        QCOMPARE(f.count(QStringLiteral("name='Lost'")), 1);
        QCOMPARE(f.db.scalar(QStringLiteral("select gid || remark from stafftbl where name='Lost'"))
                     .toString(),
                 QStringLiteral("42found"));
        QVERIFY(f.answers.texts().isEmpty());
    }

    void deleteAndDeleteAll()
    {
        MainWindowFixture f(staffOfTwoGroups);
        f.answers.confirmWith(false);
        f.w->bDeleteClick();
        QCOMPARE(f.listed().size(), 3);
        f.answers.confirmWith(true);
        f.w->bDeleteClick();
        QCOMPARE(f.listed(), (QStringList {"Bob", "Carol"}));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Bob"));
        QCOMPARE(f.w->sbPanel[0]->text(), QStringLiteral("Total Staffs=3"));
        f.answers.confirmWith(true);
        f.w->bDelAllClick();
        QVERIFY(f.listed().isEmpty());
        QCOMPARE(f.count(QStringLiteral("1")), 1); // Dan of the other group stays
        QCOMPARE(f.w->eName->text(), QString());
        // on an empty list nothing is asked
        f.w->bDeleteClick();
        f.w->bDelAllClick();
        QCOMPARE(f.answers.questions().size(), 3);
        QCOMPARE(f.w->sbPanel[2]->text(), QStringLiteral("Group Members=0"));
    }

    void deletingTheLastRowShowsTheRowBefore()
    {
        MainWindowFixture f(staffOfTwoGroups);
        QVERIFY(showWindow(f));
        QTest::mouseClick(f.w->bClear, Qt::LeftButton);
        QTest::keyClicks(f.w->eName, QStringLiteral("Aaron"));
        QTest::mouseClick(f.w->bSave, Qt::LeftButton);
        QCOMPARE(f.listed(), (QStringList {"alice", "Bob", "Carol", "Aaron"}));
        clickRow(f, 3);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Aaron"));

        f.answers.confirmWith(true);
        QTest::mouseClick(f.w->bDelete, Qt::LeftButton);
        QCOMPARE(f.count(QStringLiteral("name = 'Aaron'")), 0);
        QCOMPARE(f.listed(), (QStringList {"alice", "Bob", "Carol"}));
        QCOMPARE(f.w->eName->text(), QStringLiteral("Carol"));
        QCOMPARE(f.w->dbgInfo->currentIndex().row(), 2);
        // releases over the grid show the current row again
        QTest::mouseClick(f.w->dbgInfo->viewport(), Qt::LeftButton, {},
                          QPoint(3, f.w->dbgInfo->viewport()->height() - 3));
        QTest::keyClick(f.w->dbgInfo, Qt::Key_End);
        QCOMPARE(f.w->eName->text(), QStringLiteral("Carol"));
        QVERIFY(f.answers.texts().isEmpty());

        // Save stores the member shown; the deleted one stays deleted
        QTest::keyClicks(f.w->eRemark, QStringLiteral("kept"));
        f.answers.confirmWith(true);
        QTest::mouseClick(f.w->bSave, Qt::LeftButton);
        QCOMPARE(f.count(QStringLiteral("name = 'Aaron'")), 0);
        QCOMPARE(f.count(QStringLiteral("name = 'Carol' and remark = 'kept'")), 1);
        QCOMPARE(f.listed(), (QStringList {"alice", "Bob", "Carol"}));
        QCOMPARE(f.answers.questions(),
                 (QStringList {"Delete the record?", "Overwrite the record?"}));
        QVERIFY(f.answers.texts().isEmpty());
    }

    void photoButtons()
    {
        MainWindowFixture f;
        QTemporaryDir dir;
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString bmp = dir.filePath(QStringLiteral("p.BMP"));
        QVERIFY(image.save(bmp, "BMP"));
        f.answers.chooseFile(bmp);
        f.w->bPhotoClick();
        QCOMPARE(f.w->imgPhoto->picture().width(), 30);
        QCOMPARE(f.w->imgPhoto->toolTip(), QStringLiteral("30 x 20"));
        f.w->bRotateClick();
        QCOMPARE(f.w->imgPhoto->picture().width(), 20);
        QCOMPARE(f.w->imgPhoto->picture().height(), 30);
        f.w->eName->setText(QStringLiteral("P"));
        f.w->bSaveClick();
        const QByteArray stored
            = f.db.scalar(QStringLiteral("select photo from stafftbl")).toByteArray();
        QCOMPARE(QImage::fromData(stored).size(), QSize(20, 30));
        f.w->bpClearClick();
        QVERIFY(f.w->imgPhoto->picture().isEmpty());
    }

    // Saving from the panel writes a stored photo back as it was read while it is unchanged:
    // one that cannot be decoded is not replaced by the blank picture, one shown reduced is not
    // replaced by the reduced copy, and a member without a photo keeps none.
    void saveKeepsTheStoredPhotoBytes()
    {
        imaging::Picture camera(7000, 7000);
        camera.fill(qRgb(120, 150, 200));
        const QByteArray big = imaging::encodeJpeg(camera);
        const QByteArray broken("not a picture at all");
        MainWindowFixture f([&](TempDatabase& db) {
            addGroup(db, 1, QStringLiteral("Admin"));
            addMember(db, 1, QStringLiteral("Broken"), {}, {}, broken);
            addMember(db, 1, QStringLiteral("Camera"), {}, {}, big);
            addMember(db, 1, QStringLiteral("None"));
        });
        selectGroup(f, QStringLiteral("Admin"));
        const auto photo = [&f](const char* name) {
            return f.db.scalar(QStringLiteral("select photo from stafftbl where name = '%1'")
                                   .arg(QLatin1String(name)));
        };
        for (int row = 0; row < 3; ++row) {
            f.w->dbgInfo->selectRow(row);
            f.w->dbgInfoCellClick();
            f.w->eRemark->setText(QStringLiteral("saved"));
            f.answers.confirmWith(true);
            f.w->bSaveClick();
        }
        QCOMPARE(f.count(QStringLiteral("remark = 'saved'")), 3);
        QCOMPARE(photo("Broken").toByteArray(), broken);
        QCOMPARE(photo("Camera").toByteArray(), big);
        QVERIFY(photo("None").isNull());

        // The panel shows the large photo decoded no larger than it needs.
        f.w->dbgInfo->selectRow(1);
        f.w->dbgInfoCellClick();
        QCOMPARE(f.w->imgPhoto->picture().width(), 875);
        // A photo that cannot be decoded cannot be rotated: the reason is shown, the bytes stay.
        f.w->dbgInfo->selectRow(0);
        f.w->dbgInfoCellClick();
        f.answers.clear();
        f.w->bRotate->click();
        QVERIFY2(f.answers.texts().join(u' ').contains(QStringLiteral("Not a JPEG file")),
                 qPrintable(f.answers.texts().join(u' ')));
        f.answers.confirmWith(true);
        f.w->bSaveClick();
        QCOMPARE(photo("Broken").toByteArray(), broken);
    }

    void newGroup()
    {
        MainWindowFixture f(staffOfTwoGroups);
        for (const auto& name : {std::optional<QString>(), std::optional<QString>(QString()),
                                 std::optional<QString>(QStringLiteral("Works"))})
            f.answers.enter(name);
        for (int i = 0; i < 3; ++i)
            f.w->bNewGrpClick();
        QCOMPARE(f.w->lstGroup->count(), 4); // and "Cards to reprint"
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Admin"));

        for (const QString& name : {QStringLiteral("works"), QStringLiteral("  ")}) {
            f.answers.enter(name);
            f.w->bNewGrpClick();
            QCOMPARE(f.w->lstGroup->currentText(), name);
            // listed last of the groups, before "Cards to reprint"
            QCOMPARE(f.w->lstGroup->itemText(f.w->lstGroup->count() - 2), name);
            QVERIFY(f.listed().isEmpty());
            const int seq
                = f.db.scalar(
                          QStringLiteral("select seq from grptbl where gdesc = '%1' collate binary")
                              .arg(name))
                      .toInt();
            QCOMPARE(f.w->FGroupId(), seq);
            QCOMPARE(f.db.scalar(QStringLiteral("select gid from grptbl where seq = %1").arg(seq))
                         .toInt(),
                     seq);
        }
        QCOMPARE(f.w->sbPanel[1]->text(), QStringLiteral("Total Groups=5"));
        QCOMPARE(f.answers.questions().at(0), QStringLiteral("Create new group: New group name"));
    }

    void newGroupRefusedOnceNumbersRunOut()
    {
        MainWindowFixture f([](TempDatabase& db) {
            db.exec(QStringLiteral(
                "insert into grptbl (seq, gid, gdesc) values (32767, 32767, 'Last')"));
        });
        f.answers.enter(QStringLiteral("One more"));
        f.w->bNewGrp->click(); // through the general error handler
        QCOMPARE(f.answers.shown().size(), size_t(1));
        QVERIFY(f.answers.shown().at(0).text.contains(QStringLiteral("32767")));
        QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from grptbl")).toInt(), 2);
    }

    void removeGroup()
    {
        MainWindowFixture f([](TempDatabase& db) {
            staffOfTwoGroups(db);
            addGroup(db, 3, QStringLiteral("Default"));
        });
        selectGroup(f, QStringLiteral("DEFAULT"));
        f.w->bRemoveClick();
        QCOMPARE(f.answers.texts(), QStringList {"Cannot delete DEFAULT group."});
        selectGroup(f, QStringLiteral("Admin"));
        f.answers.confirmWith(false);
        f.w->bRemoveClick();
        QCOMPARE(f.w->lstGroup->count(), 5); // the groups and "Cards to reprint"
        f.answers.confirmWith(true);
        f.w->bRemoveClick();
        QCOMPARE(f.w->lstGroup->count(), 4);
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("DEFAULT"));
        QCOMPARE(f.listed(), (QStringList {"alice", "Bob", "Carol"}));
        QCOMPARE(f.count(QStringLiteral("gid = 0")), 3);
        QCOMPARE(f.w->sbPanel[1]->text(), QStringLiteral("Total Groups=3"));
        selectGroup(f, QStringLiteral("Default"));
        f.answers.confirmWith(true);
        f.w->bRemoveClick();
        QCOMPARE(f.w->lstGroup->count(), 3);
    }

    void moveToGroup()
    {
        MainWindowFixture f(staffOfTwoGroups);
        f.w->dbgInfo->selectRow(1); // Bob
        QAction* works = f.w->puMenu->actions().at(2);
        QCOMPARE(works->text(), QStringLiteral("Works"));
        works->trigger();
        QCOMPARE(f.listed(), (QStringList {"alice", "Carol"}));
        QCOMPARE(f.db.scalar(QStringLiteral("select gid from stafftbl where name='Bob'")).toInt(),
                 2);
        QCOMPARE(f.w->eName->text(), QStringLiteral("alice"));
        // with an empty list nothing moves
        selectGroup(f, QStringLiteral("DEFAULT"));
        const QString before
            = f.db.scalar(QStringLiteral("select group_concat(gid) from stafftbl")).toString();
        f.w->puMenu->actions().at(1)->trigger();
        QCOMPARE(f.db.scalar(QStringLiteral("select group_concat(gid) from stafftbl")).toString(),
                 before);
    }

    void datesRoundTripOnEveryLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("join");
        QTest::addColumn<QString>("expiry");
        QTest::newRow("C.UTF-8") << QLocale(QStringLiteral("C.UTF-8")) << "5/03/2004"
                                 << "25/12/2009";
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "5/03/2004"
                               << "25/12/2009";
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "5/03/2004"
                               << "25/12/2009";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "5.03.2004"
                               << "25.12.2009";
    }
    void datesRoundTripOnEveryLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, join);
        QFETCH(QString, expiry);
        QLocale::setDefault(locale);
        // Texts stored under the other locales, and under C by earlier versions.
        const QStringList written {"5/03/2004", "5.03.2004", "5-03-2004", "5 03 2004"};
        MainWindowFixture f([&written](TempDatabase& db) {
            for (int i = 0; i < written.size(); ++i) {
                addMember(db, 0, QStringLiteral("W%1").arg(i));
                db.exec(QStringLiteral("update stafftbl set datejoin = '%1', expiry = '%1'"
                                       " where name = 'W%2'")
                            .arg(written[i])
                            .arg(i));
            }
        });
        QVERIFY(showWindow(f));
        for (int row = 0; row < written.size(); ++row) {
            clickRow(f, row);
            QCOMPARE(f.w->eName->text(), QStringLiteral("W%1").arg(row));
            QCOMPARE(f.w->dpJoin->date(), QDate(2004, 3, 5));
            QCOMPARE(f.w->dpExpiry->date(), QDate(2004, 3, 5));
        }

        // Save a new member, show it, and save it again with only its post changed.
        QTest::mouseClick(f.w->bClear, Qt::LeftButton);
        QTest::keyClicks(f.w->eName, QStringLiteral("New"));
        f.w->dpJoin->setDate(QDate(2004, 3, 5));
        f.w->dpExpiry->setDate(QDate(2009, 12, 25));
        QTest::mouseClick(f.w->bSave, Qt::LeftButton);
        const QString dates = QStringLiteral(
            "select coalesce(post, '') || ' ' || datejoin || ' ' || expiry from stafftbl"
            " where name = 'New'");
        QCOMPARE(f.db.scalar(dates).toString(), u' ' + join + u' ' + expiry);
        clickRow(f, written.size()); // listed last
        QCOMPARE(f.w->eName->text(), QStringLiteral("New"));
        QCOMPARE(f.w->dpJoin->date(), QDate(2004, 3, 5));
        QCOMPARE(f.w->dpExpiry->date(), QDate(2009, 12, 25));
        QTest::keyClicks(f.w->ePost, QStringLiteral("Clerk"));
        f.answers.confirmWith(true);
        QTest::mouseClick(f.w->bSave, Qt::LeftButton);
        QCOMPARE(f.db.scalar(dates).toString(), QStringLiteral("Clerk ") + join + u' ' + expiry);
        QCOMPARE(f.w->dpJoin->date(), QDate(2004, 3, 5));
        QCOMPARE(f.w->dpExpiry->date(), QDate(2009, 12, 25));
        QVERIFY(f.answers.allAnswered());
        QVERIFY(f.answers.texts().isEmpty());
    }

    void exchangeCommandsFromTheWindow()
    {
        MainWindowFixture f(staffOfTwoGroups);
        selectGroup(f, QStringLiteral("Works"));
        f.answers.chooseFile(std::nullopt); // a cancelled import still reloads the groups
        f.w->actImportExecute();
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Admin"));

        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("backup.mdb"));
        f.answers.chooseFile(copy);
        f.w->actSave->trigger();
        QCOMPARE(f.answers.texts().last(),
                 QStringLiteral("Database saved.\nThe copy is protected by the program's default "
                                "password."));

        f.w->bResizeAllClick();
        QCOMPARE(f.answers.texts().last(), QStringLiteral("Completed."));
        QCOMPARE(f.listed(), (QStringList {"alice", "Bob", "Carol"}));
        QCOMPARE(f.dsrc.QStaff.currentRow(), 0);
    }

    void previewAndCheckListFromTheWindow()
    {
        MainWindowFixture f([](TempDatabase& db) {
            addMember(db, 0, QStringLiteral("O\"Neil; --'x"));
            addMember(db, 0, QStringLiteral("Other"));
        });
        QStringList texts;
        readPreviews(f, texts);
        QCOMPARE(f.w->eName->text(), QStringLiteral("O\"Neil; --'x"));
        f.w->bPreview->click();
        f.w->actCheckList->trigger();
        QCOMPARE(f.answers.previews, 2);
        QVERIFY(f.answers.texts().isEmpty());
        QVERIFY(texts.at(0).contains(QStringLiteral("O\"Neil; --'x")));
        QVERIFY(!texts.at(0).contains(QStringLiteral("Other")));
        QVERIFY(texts.at(1).contains(QStringLiteral("Member List")));
        QVERIFY(texts.at(1).contains(QStringLiteral("Other")));
        QVERIFY(!f.dsrc.QList.isOpen());
    }

    void settingsDefaultsAndExit()
    {
        {
            MainWindowFixture f;
            QCOMPARE(f.w->pos(), QPoint(0, 0));
            QCOMPARE(f.w->size(), QSize(640, 480));
            QVERIFY(!f.w->isMaximized());
            QCOMPARE(f.w->dbgInfo->horizontalHeader()->sectionSize(1), 100);
            QSettings s(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
            s.setValue(QStringLiteral("MainWin_LEFT"), QStringLiteral("-20"));
            s.setValue(QStringLiteral("MainWin_TOP"), QStringLiteral("abc"));
            s.setValue(QStringLiteral("MainGrid_1"), QStringLiteral("180"));
            s.sync();
            f.w->ReloadGroups();
            QCOMPARE(f.w->pos(), QPoint(-20, 0));
            QCOMPARE(f.w->dbgInfo->horizontalHeader()->sectionSize(1), 180);
            f.w->move(15, 25);
            f.w->dbgInfo->horizontalHeader()->resizeSection(2, 77);
            f.w->actExit->trigger();
            QCOMPARE(s.value(QStringLiteral("MainWin_TOP")).toString(), QStringLiteral("25"));
            QCOMPARE(s.value(QStringLiteral("MainWin_MAX")).toString(), QStringLiteral("0"));
            QCOMPARE(s.value(QStringLiteral("MainGrid_2")).toString(), QStringLiteral("77"));
        }
        {
            // a maximised window stores only _MAX
            MainWindowFixture setUp;
            QSettings s(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
            s.setValue(QStringLiteral("MainWin_LEFT"), QStringLiteral("33"));
            s.sync();
            setUp.w->ReloadGroups();
            setUp.w->show();
            setUp.w->showMaximized();
            QTRY_VERIFY(setUp.w->isMaximized());
            setUp.w->actExit->trigger();
            QCOMPARE(s.value(QStringLiteral("MainWin_MAX")).toString(), QStringLiteral("1"));
            QCOMPARE(s.value(QStringLiteral("MainWin_LEFT")).toString(), QStringLiteral("33"));
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
