#include "CardCode.h"

#include "CardReport.h"
#include "CodeSymbol.h"
#include "FormatStr.h"
#include "data/Error.h"
#include "data/Query.h"
#include "report/SymbolControl.h"

#include <QCoreApplication>

namespace cards {
namespace {

// The smallest side a code may have and still be read by a door reader at arm's length.
constexpr double smallestSide = 5.0;
// Rounding of the stored tenths of a millimetre.
constexpr double slack = 1e-6;

QString tr(const char* text)
{
    return QCoreApplication::translate("cards", text);
}

QString mmText(double value)
{
    return QString::number(value, 'f', 1);
}

// The member as the preview names it: the name, else the staff number, else the row number.
QString memberName(const data::Query& rows)
{
    for (const char* column : {"name", "staffno"}) {
        const QString text = rows.value(QLatin1String(column)).toString().trimmed();
        if (!text.isEmpty())
            return text;
    }
    return tr("member %1").arg(rows.value(QStringLiteral("seq")).toString());
}

} // namespace

QSizeF cardSize(int style)
{
    return style == 2 ? QSizeF(54.0, 85.5) : QSizeF(85.5, 54.0);
}

CodeElement defaultCodePlace(int style, CodeElement::Kind kind)
{
    CodeElement place;
    place.kind = kind;
    const bool qr = kind == CodeElement::Kind::Qr;
    // Landscape styles: the texts start 15.3 mm down, the photo lower still. Portrait: the
    // photo starts 15.3 mm down, the texts below it.
    if (style == 2) {
        place.x = qr ? 40.0 : 4.0;
        place.y = qr ? 2.0 : 2.5;
    } else {
        place.x = qr ? 71.5 : 43.5;
        place.y = qr ? 2.0 : 2.5;
    }
    place.width = qr ? 12.0 : (style == 2 ? 46.0 : 40.0);
    place.height = qr ? 12.0 : 10.0;
    return place;
}

CodeElement placedCode(const CardOptions& options)
{
    if (options.code.placed)
        return options.code;
    CodeElement code = defaultCodePlace(options.style, options.code.kind);
    code.field = options.code.field;
    return code;
}

void checkCodePlace(const CardOptions& options)
{
    if (options.code.kind == CodeElement::Kind::None)
        return;
    const CodeElement code = placedCode(options);
    const QSizeF card = cardSize(options.style);
    const QString where
        = tr("The code at %1, %2 mm, %3 x %4 mm in size, ")
              .arg(mmText(code.x), mmText(code.y), mmText(code.width), mmText(code.height));
    if (code.width < smallestSide - slack || code.height < smallestSide - slack)
        throw data::Error(where
                          + tr("is too small to be read: each side must be at least %1 mm.")
                                .arg(mmText(smallestSide)));
    if (code.x < -slack || code.y < -slack || code.x + code.width > card.width() + slack
        || code.y + code.height > card.height() + slack)
        throw data::Error(where
                          + tr("would fall off the card, which is %1 x %2 mm. Nothing was "
                               "printed.")
                                .arg(mmText(card.width()), mmText(card.height())));
}

void addCardCode(CardReport& card, const CardOptions& options, data::Query& rows)
{
    const CodeElement::Kind kind = options.code.kind;
    if (kind == CodeElement::Kind::None)
        return;
    checkCodePlace(options);
    const CodeElement code = placedCode(options);
    if (rows.isOpen() && !rows.hasColumn(code.field))
        throw data::Error(tr("The code's field \"%1\" is not a column of the members. Nothing "
                             "was printed.")
                              .arg(code.field));
    const bool dates = code.field == u"datejoin" || code.field == u"expiry";
    auto& control = card.report.detailBand()->add<report::SymbolControl>(
        report::LengthRect {report::Length::mm(code.x), report::Length::mm(code.y),
                            report::Length::mm(code.width), report::Length::mm(code.height)},
        code.field, [kind, dates](const QString& value) {
            return codeSymbol(kind, dates ? FormatStr(value) : value);
        });
    control.fit = kind == CodeElement::Kind::Qr ? report::SymbolControl::Fit::KeepAspect
                                                : report::SymbolControl::Fit::Stretch;
    control.refused = [&card, &rows](const QString&, const QString& reason) {
        card.codeRefusals << tr("%1 (%2)").arg(memberName(rows), reason);
    };
}

QString codeStatus(const QStringList& refusals)
{
    constexpr qsizetype named = 3;
    if (refusals.isEmpty())
        return {};
    QString text
        = (refusals.size() == 1 ? tr("No code printed for 1 member: ")
                                : tr("No code printed for %1 members: ").arg(refusals.size()))
        + refusals.mid(0, named).join(QStringLiteral("; "));
    if (refusals.size() > named)
        text += tr(" and %1 more").arg(refusals.size() - named);
    return text;
}

} // namespace cards
