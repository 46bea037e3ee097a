#include "DialogAnswers.h"
#include "MelbrinApplication.h"
#include "TMelbrin.h"
#include "cli/CommandLine.h"
#include "data/Connection.h"
#include "data/SystemKeyStore.h"
#include "data/Tdsrc.h"

#include <QApplication>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (app::cli::wantsCommandLine(arguments)) {
        // The commands need no display, and Qt's own chatter stays off the terminal.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!qEnvironmentVariableIsSet("MELBRIN_DEBUG"))
            qInstallMessageHandler(
                [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                    if (type == QtCriticalMsg || type == QtFatalMsg)
                        std::fprintf(stderr, "melbrin: %s\n", qPrintable(text));
                });
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Melbrin"));
        QApplication::setApplicationVersion(QStringLiteral("1.00"));
        QApplication::setOrganizationName(QStringLiteral("Tavrik"));
        const data::SystemKeyStoreInstalled secrets;
        return app::cli::run(QApplication::arguments());
    }

    app::MelbrinApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Melbrin"));
    QApplication::setOrganizationName(QStringLiteral("Tavrik"));

    const data::SystemKeyStoreInstalled secrets;
    app::DialogAnswers answers;
    data::setAnswers(&answers);

    // --database PATH or ADDRESS opens another card database than the one remembered or
    // the one beside the program.
    QString database = app::cli::databaseArgument(arguments);
    if (!database.isEmpty())
        database = data::absoluteDataSource(database);

    data::Tdsrc dsrc;
    app::TMelbrin window(dsrc, database);
    window.show();
    const int rc = QApplication::exec();
    data::setAnswers(nullptr);
    return rc;
}
