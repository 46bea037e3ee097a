#pragma once

#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "cards/layout/TFmLayout.h"
#include "data/Tdsrc.h"

#include <memory>

// A starter card database, changed by setup SQL, connected through a data module of its own,
// with scripted answers. Dialogs made by open() must be freed before the fixture.
struct LayoutFixture
{
    explicit LayoutFixture(const QString& setup = {})
    {
        if (!setup.isEmpty())
            db.exec(setup);
        dsrc.connectTo(db.path());
    }

    std::unique_ptr<cards::TFmLayout> open() { return std::make_unique<cards::TFmLayout>(dsrc); }
    QVariant param(const QString& column) const
    {
        return db.scalar(QStringLiteral("select %1 from param").arg(column));
    }
    QString caption(int seq) const
    {
        return db.scalar(QStringLiteral("select uname from fields where seq = %1").arg(seq))
            .toString();
    }

    TempDatabase db;
    ScriptedAnswers answers;
    data::Tdsrc dsrc;
};
