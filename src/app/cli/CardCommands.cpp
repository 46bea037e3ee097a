#include "cards/print/CardCommands.h"

#include "CardFlags.h"
#include "Commands.h"
#include "TerminalAnswers.h"
#include "cards/CardOptions.h"
#include "cards/layout/TFmLayout.h"
#include "cards/print/CheckList.h"
#include "data/OutputFile.h"
#include "data/Tdsrc.h"

namespace app::cli {

int printCards(Context& c, const QString& output, const CardSelection& selection,
               const CardFlags& flags)
{
    data::checkOutput(output, c.dsrc.src.fileName());
    c.answers.pdfPath = output;
    c.answers.markPrinted = selection.markPrinted;
    // The stored settings, loaded as the layout dialog loads them.
    cards::TFmLayout layout(c.dsrc);
    cards::CardOptions options = layout.options();
    flags.applyTo(options);
    if (selection.changedOnly)
        cards::previewChangedStaff(nullptr, c.dsrc, options, layout.fields);
    else if (selection.member)
        cards::previewMemberNamed(nullptr, c.dsrc, options, layout.fields, *selection.member);
    else
        cards::previewAllStaff(nullptr, c.dsrc, options, layout.fields);
    return c.answers.previews() == 1 && !c.answers.errorShown() ? 0 : 1;
}

int printCheckList(Context& c, const QString& output)
{
    data::checkOutput(output, c.dsrc.src.fileName());
    c.answers.pdfPath = output;
    cards::actCheckListExecute(nullptr, c.dsrc);
    return c.answers.previews() == 1 && !c.answers.errorShown() ? 0 : 1;
}

} // namespace app::cli
