#include "PhotoFolderCommand.h"

#include "Commands.h"
#include "TerminalAnswers.h"
#include "TerminalProgress.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace app::cli {
namespace {

const QString matchName = QStringLiteral("match");
const QString fitName = QStringLiteral("fit");

} // namespace

QList<QCommandLineOption> photoFolderOptions()
{
    return {
        {matchName,
         QStringLiteral("What a file's name is compared with: the member's staff no (default) "
                        "or name."),
         QStringLiteral("staffno|name")},
        {fitName,
         QStringLiteral("A picture not 3 wide by 4 high is cut to that shape around its centre "
                        "(crop, default) or kept whole and stretched on the card (stretch)."),
         QStringLiteral("crop|stretch")},
    };
}

QString readPhotoFolderOptions(const QCommandLineParser& parser,
                               exchange::PhotoFolderOptions& options)
{
    if (parser.isSet(matchName)) {
        const QString value = parser.value(matchName);
        if (value == u"staffno")
            options.match = exchange::PhotoMatch::StaffNo;
        else if (value == u"name")
            options.match = exchange::PhotoMatch::Name;
        else
            return QStringLiteral("--match takes staffno or name, not '%1'").arg(value);
    }
    if (parser.isSet(fitName)) {
        const QString value = parser.value(fitName);
        if (value == u"crop")
            options.fit = imaging::PhotoFit::Crop;
        else if (value == u"stretch")
            options.fit = imaging::PhotoFit::Stretch;
        else
            return QStringLiteral("--fit takes crop or stretch, not '%1'").arg(value);
    }
    return {};
}

int importPhotos(Context& c, const QString& folder, const exchange::PhotoFolderOptions& options)
{
    TerminalProgress progress;
    const exchange::PhotoFolderReport report
        = exchange::importPhotoFolder(c.dsrc, folder, options, progress);
    QTextStream out(c.out);
    out.setEncoding(QStringConverter::Utf8);
    out << exchange::photoFolderReportText(report, -1) << '\n';
    out.flush();
    if (report.failed()) {
        c.answers.failure({}, QStringLiteral("The photos could not be stored."), report.failure);
        return 1;
    }
    return 0;
}

} // namespace app::cli
