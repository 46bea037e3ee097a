// The desktop program's own dialogs, driven with the mouse and the keyboard as a person
// would: the message boxes (a failure shows the fixed text and, beneath it, why), the
// About box, the input box, the font dialog, and the save dialog, where a file name typed
// without an extension takes the one of the file type chosen.

#include "app/DialogAnswers.h"

#include "MainWindowFixture.h"
#include "app/Taboutbox.h"
#include "cards/layout/FontLabel.h"
#include "cards/layout/TFmLayout.h"
#include "data/DatabaseKey.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <vector>

namespace {

// Runs act on the next modal window once it shows (within a few seconds); act must close it.
void whenModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act, deadline = QDeadlineTimer(20000)] {
        if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
        if (modal->isVisible())
            modal->close(); // a failed check must not leave the test waiting
    });
    timer->start();
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// Clicks a button of the next message box and tells where the box stood.
void answerBox(QMessageBox::StandardButton button, QRect* frame = nullptr, QString* text = nullptr)
{
    whenModal([=](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        if (frame)
            *frame = box->frameGeometry();
        if (text)
            *text = box->text();
        click(box->button(button));
    });
}

// Types text key by key into whichever widget has the focus.
void typeIntoFocus(const QString& text)
{
    QTRY_VERIFY(QApplication::focusWidget()); // once the window is active
    QTest::keyClicks(QApplication::focusWidget(), text);
}

QPoint screenCentre(const QWidget& w)
{
    return w.screen()->availableGeometry().center();
}

void addGroup(TempDatabase& db, int gid, const QString& name)
{
    db.exec(QStringLiteral("insert into grptbl (gid, gdesc) values (%1, '%2')").arg(gid).arg(name));
}

// The main window on the program's own dialogs.
struct DesktopFixture : MainWindowFixture
{
    template<typename F>
    explicit DesktopFixture(F&& prepare)
        : MainWindowFixture(std::forward<F>(prepare))
    {
        data::setAnswers(&dialogs);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    DesktopFixture()
        : DesktopFixture([](TempDatabase&) {})
    { }
    app::DialogAnswers dialogs;
};

} // namespace

class DialogAnswersTest : public QObject
{
    Q_OBJECT

private slots:
    void aFailureShowsItsReason()
    {
        QString title, text, informative;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            informative = box->informativeText();
            icon = box->icon();
            QTest::keyClick(box, Qt::Key_Return);
        });
        app::DialogAnswers answers;
        answers.failure(QStringLiteral("Error"), QStringLiteral("Unable to post the data."),
                        QStringLiteral("database or disk is full"));
        QCOMPARE(title, QStringLiteral("Error"));
        QCOMPARE(text, QStringLiteral("Unable to post the data."));
        QCOMPARE(informative, QStringLiteral("database or disk is full"));
        QCOMPARE(icon, QMessageBox::Critical);
    }

    void aSavedNameTakesTheExtensionOfTheChosenType_data()
    {
        QTest::addColumn<int>("typeDowns");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("first type") << 0 << "cards"
                                    << "cards.pdf";
        QTest::newRow("second type") << 1 << "cards"
                                     << "cards.mrp";
        QTest::newRow("own extension") << 1 << "cards.pdf"
                                       << "cards.pdf";
    }

    void aSavedNameTakesTheExtensionOfTheChosenType()
    {
        QFETCH(int, typeDowns);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(types && name);
            for (int i = 0; i < typeDowns; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(name, typed);
            QTest::keyClick(name, Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject(); // the test fails below instead of waiting
        });
        app::DialogAnswers answers;
        const std::optional<QString> chosen = answers.saveFileName(
            nullptr, QStringLiteral("PDF Files (*.pdf);;Melbrin Reports (*.mrp)"),
            dir.filePath(QStringLiteral("report")));
        QCOMPARE(chosen, std::optional<QString>(dir.filePath(saved)));
    }

    // The open dialog of a kind: a name typed without extension takes the chosen kind's, or
    // the default one for a kind without; the kind chosen is told with the file.
    void anOpenedNameTakesTheExtensionOfTheChosenKind_data()
    {
        QTest::addColumn<int>("typeDowns");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("kind");
        QTest::newRow("first kind") << 0 << "staff.xls"
                                    << "Excel Files (*.xls)";
        QTest::newRow("text") << 1 << "staff.csv"
                              << "CSV Files (*.csv *.txt)";
        QTest::newRow("all files") << 2 << "staff.xls"
                                   << "All Files (*)";
    }

    void anOpenedNameTakesTheExtensionOfTheChosenKind()
    {
        QFETCH(int, typeDowns);
        QFETCH(QString, opened);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        for (const char* name : {"staff.xls", "staff.csv"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(types && name);
            for (int i = 0; i < typeDowns; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(name, QStringLiteral("staff"));
            QTest::keyClick(name, Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject(); // the test fails below instead of waiting
        });
        app::DialogAnswers answers;
        const auto chosen = answers.openFileOfKind(
            nullptr, QStringLiteral("Excel Files (*.xls);;CSV Files (*.csv *.txt);;All Files (*)"),
            QStringLiteral("Import"), dir.filePath(QStringLiteral("import.xls")),
            QStringLiteral("xls"));
        QVERIFY(chosen);
        QCOMPARE(chosen->path, dir.filePath(opened));
        QCOMPARE(chosen->nameFilter, kind);
    }

    // The password box shows dots for what is typed and gives it back; Esc gives nothing.
    void thePasswordBoxHidesWhatIsTyped()
    {
        app::DialogAnswers answers;
        QLineEdit::EchoMode mode = QLineEdit::Normal;
        QString prompt;
        whenModal([&](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>();
            QVERIFY(edit);
            mode = edit->echoMode();
            prompt = qobject_cast<QInputDialog*>(modal)->labelText();
            QTest::keyClicks(edit, QStringLiteral("s3cret"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QCOMPARE(answers.inputPassword(nullptr, QStringLiteral("Database Password"),
                                       QStringLiteral("Password for clerk@db/staff:")),
                 std::optional<QString>(QStringLiteral("s3cret")));
        QCOMPARE(mode, QLineEdit::Password);
        QCOMPARE(prompt, QStringLiteral("Password for clerk@db/staff:"));
        whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(answers.inputPassword(nullptr, QStringLiteral("Database Password"), {}),
                 std::nullopt);
    }

    // The question for a file's password: the prompt, dots for what is typed (the field
    // has the focus), and the remember box, unticked, where it is offered; its access key
    // ticks it. Esc gives nothing.
    void thePassphraseDialogAsksForAFilesPassword_data()
    {
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("tick");
        QTest::newRow("remember ticked") << true << true;
        QTest::newRow("remember left") << true << false;
        QTest::newRow("no store") << false << false;
    }
    void thePassphraseDialogAsksForAFilesPassword()
    {
        QFETCH(bool, offered);
        QFETCH(bool, tick);
        app::DialogAnswers answers;
        const QString prompt = QStringLiteral("The database file '/srv/a&b.mdb' has a password.");
        whenModal([&](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QStringLiteral("Database Password"));
            auto* label = modal->findChild<QLabel*>(QStringLiteral("lPrompt"));
            QVERIFY(label);
            QCOMPARE(label->text(), prompt);
            auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            QVERIFY(edit);
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            auto* box = modal->findChild<QCheckBox*>(QStringLiteral("cbRemember"));
            QCOMPARE(box != nullptr, offered);
            typeIntoFocus(QStringLiteral("Tea at 4"));
            if (box) {
                QVERIFY(!box->isChecked());
                QCOMPARE(box->text(), QStringLiteral("&Remember on this computer"));
            }
            if (tick) {
                QTest::keyClick(modal->windowHandle(), Qt::Key_R, Qt::AltModifier);
                QTRY_VERIFY(box->isChecked());
                // The label's access key goes back to the field.
                QTest::keyClick(modal->windowHandle(), Qt::Key_P, Qt::AltModifier);
                QCOMPARE(QApplication::focusWidget(), edit);
                QTest::keyClick(modal->windowHandle(), Qt::Key_End); // the text came selected
            }
            typeIntoFocus(QStringLiteral(", oolong!"));
            QCOMPARE(edit->displayText().contains(u'T'), false);
            QTest::keyClick(modal->windowHandle(), Qt::Key_Return);
        });
        const auto given
            = answers.askPassphrase(nullptr, QStringLiteral("Database Password"), prompt, offered);
        QVERIFY(given);
        QCOMPARE(given->passphrase, QStringLiteral("Tea at 4, oolong!"));
        QCOMPARE(given->remember, tick);

        whenModal([](QWidget* modal) { QTest::keyClick(modal->windowHandle(), Qt::Key_Escape); });
        QVERIFY(
            !answers.askPassphrase(nullptr, QStringLiteral("Database Password"), prompt, offered));
    }

    // The new password is typed twice: two different ones keep the dialog open and say so in
    // it; both left empty give the empty password (the default one again).
    void theNewPassphraseIsTypedTwice()
    {
        app::DialogAnswers answers;
        whenModal([](QWidget* modal) {
            auto* first = modal->findChild<QLineEdit*>(QStringLiteral("eNewPassword"));
            auto* second = modal->findChild<QLineEdit*>(QStringLiteral("eConfirmPassword"));
            auto* problem = modal->findChild<QLabel*>(QStringLiteral("lProblem"));
            auto* hint = modal->findChild<QLabel*>(QStringLiteral("lDefaultHint"));
            auto* box = modal->findChild<QCheckBox*>(QStringLiteral("cbRemember"));
            QVERIFY(first && second && problem && hint && box);
            QCOMPARE(hint->text(),
                     QStringLiteral("Leave both empty to go back to the program's default "
                                    "password."));
            QCOMPARE(first->echoMode(), QLineEdit::Password);
            QCOMPARE(second->echoMode(), QLineEdit::Password);
            QCOMPARE(QApplication::focusWidget(), first);
            QVERIFY(!problem->isVisible());
            typeIntoFocus(QStringLiteral("own one"));
            QTest::keyClick(modal->windowHandle(), Qt::Key_O, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget(), second);
            typeIntoFocus(QStringLiteral("own on"));
            QTest::keyClick(modal->windowHandle(), Qt::Key_Return);
            QVERIFY(modal->isVisible());
            QVERIFY(problem->isVisible());
            QCOMPARE(problem->text(), QStringLiteral("The two passwords do not match."));
            // The second field again, its text selected to be typed over.
            QCOMPARE(QApplication::focusWidget(), second);
            typeIntoFocus(QStringLiteral("own one"));
            QVERIFY(!problem->isVisible());
            QTest::keyClick(modal->windowHandle(), Qt::Key_R, Qt::AltModifier);
            QTRY_VERIFY(box->isChecked());
            QTest::keyClick(modal->windowHandle(), Qt::Key_Return);
        });
        const auto given
            = answers.newPassphrase(nullptr, QStringLiteral("Database Password"), true);
        QVERIFY(given);
        QCOMPARE(given->passphrase, QStringLiteral("own one"));
        QVERIFY(given->remember);

        // Both empty, without a store: no box to tick.
        whenModal([](QWidget* modal) {
            QVERIFY(!modal->findChild<QCheckBox*>(QStringLiteral("cbRemember")));
            QTest::keyClick(modal->windowHandle(), Qt::Key_Return);
        });
        const auto cleared
            = answers.newPassphrase(nullptr, QStringLiteral("Database Password"), false);
        QVERIFY(cleared);
        QCOMPARE(cleared->passphrase, QString());
        QVERIFY(!cleared->remember);

        whenModal([](QWidget* modal) { QTest::keyClick(modal->windowHandle(), Qt::Key_Escape); });
        QVERIFY(!answers.newPassphrase(nullptr, QStringLiteral("Database Password"), true));
    }

    // Asked for at start, the password stands on its own: the main window, not shown yet,
    // is not made ready for the question (it then came up placed as if it had no frame).
    void thePasswordAtStartComesBeforeTheWindow()
    {
        TempDatabase db;
        data::rekeyDatabase(db.path(), data::defaultKey(), QStringLiteral("own one"));
        app::DialogAnswers answers;
        struct Installed
        {
            explicit Installed(data::Answers* a) { data::setAnswers(a); }
            ~Installed() { data::setAnswers(nullptr); }
        } installed(&answers);
        bool asked = false;
        QWidget* parent = nullptr;
        whenModal([&](QWidget* modal) {
            asked = true;
            parent = modal->parentWidget();
            QTRY_VERIFY(QApplication::focusWidget());
            typeIntoFocus(QStringLiteral("own one"));
            QTest::keyClick(modal->windowHandle(), Qt::Key_Return);
        });
        data::Tdsrc dsrc;
        app::TMelbrin w(dsrc, db.path());
        QVERIFY(asked);
        QVERIFY(!parent);
        QVERIFY(dsrc.src.isOpen());
        QVERIFY(!w.windowHandle());
    }

    // The database box takes a typed server address, or a file found with Browse.
    void theDatabaseBoxTakesAnAddressOrAFile()
    {
        app::DialogAnswers answers;
        data::setAnswers(&answers); // Browse asks through the answers in use
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("branch.mdb"));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        whenModal([](QWidget* modal) {
            auto* field = modal->findChild<QLineEdit*>(QStringLiteral("eDatabase"));
            QVERIFY(field);
            QCOMPARE(field->text(), QStringLiteral("/old/cardinfo.mdb"));
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, QStringLiteral("postgresql://clerk@db/staff"));
            QTest::keyClick(field, Qt::Key_Return);
        });
        QCOMPARE(answers.chooseDatabase(nullptr, QStringLiteral("Open Database"), {},
                                        QStringLiteral("/old/cardinfo.mdb")),
                 std::optional<QString>(QStringLiteral("postgresql://clerk@db/staff")));

        whenModal([&](QWidget* modal) {
            auto* browse = modal->findChild<QPushButton*>(QStringLiteral("bBrowse"));
            QVERIFY(browse);
            QTimer poll;
            poll.setInterval(10);
            QObject::connect(&poll, &QTimer::timeout, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog || !dialog->isVisible())
                    return;
                poll.stop();
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(name);
                QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(name, QStringLiteral("branch.mdb"));
                // The first Return may take the completer's proposal.
                QTest::keyClick(name, Qt::Key_Return);
                if (dialog->isVisible())
                    QTest::keyClick(name, Qt::Key_Return);
                if (dialog->isVisible())
                    dialog->reject();
            });
            poll.start();
            click(browse); // returns once the file dialog closed
            auto* field = modal->findChild<QLineEdit*>(QStringLiteral("eDatabase"));
            QCOMPARE(field->text(), file);
            QTest::keyClick(field, Qt::Key_Return);
        });
        // The file dialog starts beside the file named.
        QCOMPARE(answers.chooseDatabase(nullptr, QStringLiteral("Open Database"), {},
                                        dir.filePath(QStringLiteral("cardinfo.mdb"))),
                 std::optional<QString>(file));
        data::setAnswers(nullptr);
    }

    // Boxes open in the middle of the screen, not over the window that asks.
    void boxesStandInTheMiddleOfTheScreen()
    {
        DesktopFixture f([](TempDatabase& db) { addMember(db, 0, QStringLiteral("Ann")); });
        f.w->move(0, 0);
        f.w->resize(500, 380);
        QVERIFY((f.w->frameGeometry().center() - screenCentre(*f.w)).manhattanLength() > 100);

        QRect error, question, about;
        QSize aboutSize;
        QString text;
        f.w->eName->clear();
        answerBox(QMessageBox::Ok, &error, &text);
        click(f.w->bSave);
        QCOMPARE(text, QStringLiteral("Name field cannot be empty."));
        answerBox(QMessageBox::Cancel, &question, &text);
        click(f.w->bDelete);
        QCOMPARE(text, QStringLiteral("Delete the record?"));
        whenModal([&about, &aboutSize](QWidget* modal) {
            QVERIFY(qobject_cast<app::Taboutbox*>(modal));
            about = modal->frameGeometry();
            aboutSize = modal->size();
            click(modal->findChild<QPushButton*>(QStringLiteral("bClose")));
        });
        click(f.w->ActionToolBar1->widgetForAction(f.w->actAbout));

        for (const QRect& frame : {error, question, about}) {
            QVERIFY(frame.isValid());
            QVERIFY2((frame.center() - screenCentre(*f.w)).manhattanLength() <= 2,
                     qPrintable(QStringLiteral("%1,%2 %3x%4")
                                    .arg(frame.x())
                                    .arg(frame.y())
                                    .arg(frame.width())
                                    .arg(frame.height())));
        }
        QCOMPARE(aboutSize, QSize(327, 275));
        QCOMPARE(f.count(QStringLiteral("1=1")), 1);
    }

    // The input box and the message boxes are wide enough for their title bars to show the
    // whole title.
    void boxesShowTheirWholeTitle()
    {
        DesktopFixture f;
        struct Seen
        {
            QString title;
            int width = 0;
            int needed = 0;
        };
        auto measure = [](QWidget* modal) {
            QFont bold = modal->font();
            bold.setBold(true);
            return Seen {modal->windowTitle(), modal->width(),
                         QFontMetrics(bold).horizontalAdvance(modal->windowTitle())};
        };
        std::vector<Seen> seen;
        whenModal([&](QWidget* modal) {
            QVERIFY(qobject_cast<QInputDialog*>(modal));
            seen.push_back(measure(modal));
            QTest::keyClicks(modal->findChild<QLineEdit*>(), QStringLiteral("Sales"));
            QTest::keyClick(modal, Qt::Key_Return);
        });
        click(f.w->bNewGrp);
        QCOMPARE(f.w->lstGroup->currentText(), QStringLiteral("Sales"));

        // Save Database: the file dialog, then the box that tells it is done
        const QTemporaryDir out;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            dialog->selectFile(out.filePath(QStringLiteral("copy.mdb")));
            click(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save));
            whenModal([&](QWidget* next) {
                auto* box = qobject_cast<QMessageBox*>(next);
                QVERIFY(box);
                seen.push_back(measure(box));
                click(box->button(QMessageBox::Ok));
            });
        });
        click(f.w->ActionToolBar1->widgetForAction(f.w->actSave));
        QVERIFY(QFile::exists(out.filePath(QStringLiteral("copy.mdb"))));

        QCOMPARE(seen.size(), size_t(2));
        QCOMPARE(seen[0].title, QStringLiteral("Create new group"));
        QCOMPARE(seen[1].title, QStringLiteral("Information"));
        for (const Seen& s : seen) {
            // room for the window's icon and its three title-bar buttons beside the text
            QVERIFY2(s.width >= s.needed + 4 * 24,
                     qPrintable(QStringLiteral("%1: %2 for a title of %3")
                                    .arg(s.title)
                                    .arg(s.width)
                                    .arg(s.needed)));
        }
    }

    // Two groups of one name: Save, the list and Remove each find the group by its number.
    void groupsOfOneNameAreToldApart()
    {
        DesktopFixture f([](TempDatabase& db) {
            addGroup(db, 1, QStringLiteral("Sales"));
            addGroup(db, 2, QStringLiteral("Sales"));
            addMember(db, 1, QStringLiteral("Finn"));
            addMember(db, 2, QStringLiteral("Eve"));
        });
        f.w->lstGroup->setFocus();
        QTest::keyClick(f.w->lstGroup, Qt::Key_Down);
        QCOMPARE(f.w->lstGroup->currentIndex(), 1);
        QCOMPARE(f.listed(), QStringList {"Finn"});
        QTest::keyClick(f.w->lstGroup, Qt::Key_Down);
        QCOMPARE(f.listed(), QStringList {"Eve"});
        QCOMPARE(f.w->FGroupId(), 2);
        QTest::keyClick(f.w->lstGroup, Qt::Key_Up);
        QCOMPARE(f.listed(), QStringList {"Finn"});

        // Eve, typed while the other Sales is listed, is overwritten where she is
        click(f.w->bClear);
        QTest::keyClicks(f.w->eName, QStringLiteral("Eve"));
        QTest::keyClicks(f.w->eRemark, QStringLiteral("new"));
        QString asked;
        answerBox(QMessageBox::Ok, nullptr, &asked);
        click(f.w->bSave);
        QCOMPARE(asked, QStringLiteral("Overwrite the record?"));
        QCOMPARE(f.count(QStringLiteral("name='Eve'")), 1);
        QCOMPARE(f.db.scalar(QStringLiteral("select gid || remark from stafftbl where name='Eve'"))
                     .toString(),
                 QStringLiteral("2new"));
        QCOMPARE(f.w->lstGroup->currentIndex(), 2);
        QCOMPARE(f.listed(), QStringList {"Eve"});

        // Remove takes the group listed, not the first of its name
        answerBox(QMessageBox::Ok);
        click(f.w->bRemove);
        QCOMPARE(f.db.scalar(QStringLiteral("select group_concat(gid) from grptbl")).toString(),
                 QStringLiteral("0,1"));
        QCOMPARE(f.db.scalar(QStringLiteral("select gid from stafftbl where name='Eve'")).toInt(),
                 0);
        QCOMPARE(f.db.scalar(QStringLiteral("select gid from stafftbl where name='Finn'")).toInt(),
                 1);
    }

    // The font dialog offers only the sizes the card takes, and cancelling it keeps both the
    // font and its colour.
    void theFontDialogOffersTheCardsSizes()
    {
        TempDatabase db;
        data::Tdsrc dsrc;
        dsrc.connectTo(db.path());
        app::DialogAnswers dialogs;
        data::setAnswers(&dialogs);
        struct Restore
        {
            ~Restore() { data::setAnswers(nullptr); }
        } restore;
        cards::TFmLayout layout(dsrc);
        layout.show();
        QVERIFY(QTest::qWaitForWindowExposed(&layout));
        if (!layout.cbCustom->isChecked())
            click(layout.cbCustom);
        const QFont before = layout.lbFont->font();
        const QColor beforeColor = layout.lbFont->color();
        const QString family = layout.lbFont->properties().font.name;

        for (const bool confirm : {false, true}) {
            QStringList sizes;
            whenModal([&](QWidget* modal) {
                auto* size = modal->findChild<QComboBox*>(QStringLiteral("cbSize"));
                auto* colour = modal->findChild<QComboBox*>(QStringLiteral("cbColour"));
                QVERIFY(size && colour);
                for (int i = 0; i < size->count(); ++i)
                    sizes << size->itemText(i);
                size->setFocus();
                QTest::keyClick(size, Qt::Key_End);
                colour->setFocus();
                QTest::keyClick(colour, Qt::Key_Home);
                for (int i = 0; i < colour->count() && colour->currentText() != u"Red"; ++i)
                    QTest::keyClick(colour, Qt::Key_Down);
                click(modal->findChild<QCheckBox*>(QStringLiteral("cbUnderline")));
                auto* buttons = modal->findChild<QDialogButtonBox*>();
                click(buttons->button(confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel));
            });
            click(layout.bFont);
            QCOMPARE(
                sizes,
                (QStringList {"8", "9", "10", "11", "12", "13", "14", "15", "16", "17", "18"}));
            if (!confirm) {
                QCOMPARE(layout.lbFont->font(), before);
                QCOMPARE(layout.lbFont->color(), beforeColor);
            }
        }
        QCOMPARE(layout.lbFont->font().pointSize(), 18);
        QCOMPARE(layout.lbFont->properties().font.name, family); // not the stand-in shown
        QVERIFY(layout.lbFont->font().underline());
        QCOMPARE(layout.lbFont->color(), QColor(Qt::red));
    }
};

QTEST_MAIN(DialogAnswersTest)
#include "DialogAnswersTest.moc"
