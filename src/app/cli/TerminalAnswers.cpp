#include "TerminalAnswers.h"

#include "cards/print/PrintOffsets.h"
#include "cards/print/PrintedMembers.h"
#include "data/Error.h"
#include "report/PdfWriter.h"

namespace app::cli {

void TerminalAnswers::say(const QString& text)
{
    std::fprintf(m_err, "melbrin: %s\n", text.simplified().toLocal8Bit().constData());
    std::fflush(m_err);
}

void TerminalAnswers::message(data::MessageIcon icon, const QString&, const QString& text)
{
    if (icon == data::MessageIcon::Error)
        m_errorShown = true;
    m_messages << text;
    say(text);
}

void TerminalAnswers::failure(const QString&, const QString& text, const QString& reason)
{
    m_errorShown = true;
    m_messages << text;
    say(QStringLiteral("%1 (%2)").arg(text, reason));
}

bool TerminalAnswers::confirm(const QString&, const QString& text)
{
    if (yes)
        return true;
    m_errorShown = true;
    say(text + QStringLiteral(" Refused: give --yes to answer OK."));
    return false;
}

std::optional<QString> TerminalAnswers::inputText(QWidget*, const QString&, const QString& prompt,
                                                  const QString&)
{
    m_errorShown = true;
    say(prompt + QStringLiteral(": no answer can be given on the command line."));
    return std::nullopt;
}

std::optional<QString> TerminalAnswers::openFileName(QWidget*, const QString&)
{
    if (fileName.isEmpty())
        return std::nullopt;
    return fileName;
}

std::optional<QString> TerminalAnswers::saveFileName(QWidget*, const QString&, const QString&)
{
    if (fileName.isEmpty())
        return std::nullopt;
    return fileName;
}

std::optional<QString> TerminalAnswers::chooseFolder(QWidget*, const QString&)
{
    if (fileName.isEmpty())
        return std::nullopt;
    return fileName;
}

std::optional<QFont> TerminalAnswers::chooseFont(QWidget*, const QFont&, int, int)
{
    return std::nullopt;
}

void TerminalAnswers::preview(QWidget*, const Render& render)
{
    ++m_previews;
    if (pdfPath.isEmpty())
        throw data::Error(QStringLiteral("No output file was given for the report"));
    // Shifted as the preview's PDF files are, by the PDF writer's kept offset.
    report::writePdf(pdfPath, cards::shiftedForPrinter(render, QString()));
    if (markPrinted)
        cards::pagesPrinted();
}

void TerminalAnswers::previewWithStatus(QWidget* parent, const Render& render, const Status& status)
{
    preview(parent, render);
    if (const QString text = status ? status() : QString(); !text.isEmpty())
        say(text);
}

} // namespace app::cli
