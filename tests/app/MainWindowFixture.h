#pragma once

#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "app/TMelbrin.h"

#include <QSettings>
#include <memory>

// A main window on a database of its own, with every question answered from a script and
// the settings store emptied first.
struct MainWindowFixture
{
    TempDatabase db;
    ScriptedAnswers answers;
    data::Tdsrc dsrc;
    std::unique_ptr<app::TMelbrin> w;

    // prepare runs on the file before the window opens.
    template<typename F> explicit MainWindowFixture(F&& prepare)
    {
        QSettings(QStringLiteral("Tavrik"), QStringLiteral("Melbrin")).clear();
        prepare(db);
        w = std::make_unique<app::TMelbrin>(dsrc, db.path());
    }
    MainWindowFixture()
        : MainWindowFixture([](TempDatabase&) {})
    { }
    ~MainWindowFixture() { w.reset(); }

    QStringList listed() const;
    int count(const QString& where) const;

    // Shows the window and waits until it is the active one.
    bool showActive();
    // A key as the user gives it: press and release go to the widget that has the focus when
    // each of them arrives.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {});
};

// The object name of the widget that has the keyboard focus; empty for none.
QString focusedName();
