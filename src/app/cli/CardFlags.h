#pragma once

#include "cards/CardOptions.h"

#include <QCommandLineOption>
#include <QList>
#include <optional>

class QCommandLineParser;

namespace app::cli {

// The cards command's choices that replace the stored ones for one run; unset ones keep them.
struct CardFlags
{
    std::optional<cards::CardOutput> output; // --sheet a4|card
    std::optional<cards::CodeElement::Kind> code; // --code none|code128|qr
    std::optional<bool> watermark; // --watermark on|off

    void applyTo(cards::CardOptions& options) const;
};

QList<QCommandLineOption> cardFlagOptions();

// Reads the flags given; returns the complaint about a value that names no choice, or an
// empty text.
QString readCardFlags(const QCommandLineParser& parser, CardFlags& flags);

} // namespace app::cli
