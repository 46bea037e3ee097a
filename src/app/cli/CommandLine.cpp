#include "CommandLine.h"

#include "CardFlags.h"
#include "Commands.h"
#include "KeyOptions.h"
#include "PhotoFolderCommand.h"
#include "TerminalAnswers.h"
#include "data/Error.h"
#include "data/Tdsrc.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cstdio>

namespace app::cli {
namespace {

struct Command
{
    const char* name;
    const char* summary;
};

constexpr Command commands[] = {
    {"cards", "Print the cards to a PDF file, with the stored layout settings."},
    {"checklist", "Print the check list of every member to a PDF file."},
    {"import", "Import staff from a workbook (.xls, .xlsx) or a CSV file (.csv, .txt)."},
    {"import-photos", "Store each JPEG or BMP file of FOLDER as the photo of the member it names."},
    {"backup", "Copy the database to DEST as a consistent backup."},
    {"copy", "Copy a whole card database from SOURCE to DEST, each a file or a server."},
    {"init-server", "Create the card tables in a new database on a PostgreSQL server."},
    {"resize-all", "Shrink every photo larger than 480 by 640 to 480 by 640."},
    {"members", "List the members as tab-separated text with a heading line, or find them."},
    {"rekey", "Protect the database file with another password, or the default one again."},
};

bool isCommand(const QString& word)
{
    for (const Command& c : commands) {
        if (word == QLatin1String(c.name))
            return true;
    }
    return false;
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int usageError(const QString& text)
{
    print(stderr, QStringLiteral("melbrin: %1\nTry 'melbrin --help'.\n").arg(text));
    return 2;
}

QString programHelp(QCommandLineParser& parser)
{
    QString text = parser.helpText();
    text += QStringLiteral("\nCommands:\n");
    for (const Command& c : commands)
        text += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(c.name), -15)
                    .arg(QLatin1String(c.summary));
    text += QStringLiteral("\nWith no command the desktop program starts.\n"
                           "'melbrin COMMAND --help' tells more of a command.\n");
    return text;
}

} // namespace

bool wantsCommandLine(const QStringList& arguments)
{
    // Any word that is not an option or the database's path names a command (an unknown one
    // is a usage error); --database alone opens the desktop program on that database.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == u"--database") {
            if (i + 1 == arguments.size())
                return true; // the path is missing: a usage error
            ++i;
            continue;
        }
        if (!a.startsWith(u'-') || a == u"--help" || a == u"-h" || a == u"--version" || a == u"-v"
            || a == u"--help-all")
            return true;
    }
    return false;
}

QString databaseArgument(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == u"--database" && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (a.startsWith(u"--database="))
            return a.mid(qsizetype(sizeof("--database=") - 1));
    }
    return {};
}

int run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Melbrin keeps staff with photos and prints their identity cards."));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("The card database (default: cardinfo.mdb beside the program)."),
        QStringLiteral("PATH"));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Answer OK to every confirmation."));
    parser.addOptions({help, version, database, yes});
    parser.addOptions(passphraseOptions());
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The job to do."),
                                 QStringLiteral("[command]"));

    // A first pass finds the command; its own options and arguments are added for the second.
    QCommandLineParser probe;
    probe.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    probe.addOptions({help, version, database, yes});
    probe.addOptions(passphraseOptions());
    probe.parse(arguments);
    const QString command = probe.positionalArguments().value(0);

    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The PDF file to write."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption member(QStringLiteral("member"),
                                    QStringLiteral("Only the members of this name."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption changed(
        QStringLiteral("changed"),
        QStringLiteral("Only the members whose card data changed since their card was printed."));
    const QCommandLineOption markPrinted(
        QStringLiteral("mark-printed"),
        QStringLiteral("Store the cards written as printed, for the list of cards to reprint."));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Replace an existing DEST."));
    const QCommandLineOption group(QStringLiteral("group"),
                                   QStringLiteral("Only the members of this group."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption find(
        QStringLiteral("find"),
        QStringLiteral("Only the members of any group whose name, Chinese name or staff no "
                       "contains TEXT, letter case ignored."),
        QStringLiteral("TEXT"));
    if (!command.isEmpty() && !isCommand(command))
        return usageError(QStringLiteral("unknown command '%1'").arg(command));
    QString operand; // the one argument a command takes after its name, if any
    if (!command.isEmpty()) {
        parser.clearPositionalArguments();
        parser.addPositionalArgument(command, QStringLiteral("The job to do."));
    }
    if (command == u"cards") {
        parser.addOptions({output, member});
        parser.addOptions({changed, markPrinted});
        parser.addOptions(cardFlagOptions());
    } else if (command == u"checklist") {
        parser.addOption(output);
    } else if (command == u"import") {
        operand = QStringLiteral("FILE");
        parser.addPositionalArgument(
            operand,
            QStringLiteral("The staff list: an Excel workbook (.xls, .xlsx) or a CSV file "
                           "(.csv, .txt; comma, semicolon or tab; UTF-8 or UTF-16). The file's "
                           "content decides how it is read."));
    } else if (command == u"import-photos") {
        operand = QStringLiteral("FOLDER");
        parser.addPositionalArgument(operand, QStringLiteral("The folder of photos."));
        parser.addOptions(photoFolderOptions());
    } else if (command == u"backup") {
        operand = QStringLiteral("DEST");
        parser.addPositionalArgument(
            operand,
            QStringLiteral("The copy to write. It has the database's password unless "
                           "another is given."));
        parser.addOption(force);
        parser.addOptions(newKeyOptions(QStringLiteral("the copy")));
    } else if (command == u"rekey") {
        parser.addOptions(newKeyOptions(QStringLiteral("the database")));
    } else if (command == u"members") {
        parser.addOptions({group, find});
    } else if (command == u"init-server") {
        operand = QStringLiteral("URI");
        parser.addPositionalArgument(
            operand,
            QStringLiteral("The empty database: postgresql://USER@HOST:PORT/DBNAME, with "
                           "?sslmode=verify-full to check the server's certificate."));
    } else if (command == u"copy") {
        operand = QStringLiteral("SOURCE DEST");
        parser.addPositionalArgument(QStringLiteral("SOURCE"),
                                     QStringLiteral("The database to copy: a file or a "
                                                    "postgresql:// address."));
        parser.addPositionalArgument(
            QStringLiteral("DEST"),
            QStringLiteral("A new file, or a server database without members (its card tables "
                           "are created when it has none). A file has the password of a file "
                           "SOURCE (the default one for a server's database) unless another is "
                           "given."));
        parser.addOption(force);
        parser.addOptions(newKeyOptions(QStringLiteral("a file DEST")));
    }

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("melbrin %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    if (parser.isSet(help)) {
        print(stdout, command.isEmpty() ? programHelp(parser) : parser.helpText());
        return 0;
    }
    const QStringList args = parser.positionalArguments();
    if (command.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const int wanted = 1 + int(operand.split(u' ', Qt::SkipEmptyParts).size());
    if (args.size() < wanted)
        return usageError(QStringLiteral("'%1' needs %2").arg(command, operand));
    if (args.size() > wanted)
        return usageError(
            QStringLiteral("too many arguments: %1").arg(args.mid(wanted).join(u' ')));
    if ((command == u"import" || command == u"import-photos" || command == u"init-server"
         || command == u"copy")
        && std::any_of(args.begin() + 1, args.end(), [](const QString& a) { return a.isEmpty(); }))
        return usageError(QStringLiteral("'%1' needs %2, not an empty name").arg(command, operand));
    if (command == u"init-server" && !data::isServerAddress(args.at(1)))
        return usageError(QStringLiteral("'init-server' needs a postgresql:// address, not '%1'")
                              .arg(args.at(1)));
    if ((command == u"cards" || command == u"checklist") && !parser.isSet(output))
        return usageError(QStringLiteral("'%1' needs --output FILE").arg(command));
    if (command == u"members" && parser.isSet(find) && parser.isSet(group))
        return usageError(QStringLiteral("--find and --group cannot be given together"));
    if (command == u"members" && parser.isSet(find) && parser.value(find).isEmpty())
        return usageError(QStringLiteral("--find needs a text to look for"));
    if (command == u"cards" && parser.isSet(changed) && parser.isSet(member))
        return usageError(QStringLiteral("--changed and --member cannot be given together"));

    if (const QString wrong = keyOptionsRefusal(parser, command == u"rekey"); !wrong.isEmpty())
        return usageError(wrong);

    CardFlags cardFlags;
    if (command == u"cards") {
        if (const QString wrong = readCardFlags(parser, cardFlags); !wrong.isEmpty())
            return usageError(wrong);
    }

    exchange::PhotoFolderOptions photoOptions;
    if (command == u"import-photos") {
        if (const QString wrong = readPhotoFolderOptions(parser, photoOptions); !wrong.isEmpty())
            return usageError(wrong);
    }

    TerminalAnswers answers;
    answers.yes = parser.isSet(yes);
    data::setAnswers(&answers);
    struct Restore
    {
        ~Restore() { data::setAnswers(nullptr); }
    } restore;

    try {
        if (command == u"init-server")
            return initServer(answers, args.at(1));
        if (command == u"copy") {
            const std::optional<QString> copyKey = chosenNewKey(parser);
            const QString sourceKey = openingKey(parser, data::absoluteDataSource(args.at(1)));
            return copyDatabase(answers, args.at(1), sourceKey, args.at(2), parser.isSet(force),
                                copyKey);
        }
        const QString source = data::absoluteDataSource(
            parser.isSet(database) ? parser.value(database)
                                   : QDir(QCoreApplication::applicationDirPath())
                                         .filePath(data::Tdsrc::databaseFileName()));
        if (command == u"rekey" && data::isServerAddress(source)) {
            answers.message(data::MessageIcon::Error, {},
                            QStringLiteral("A database on a server has no password of its own; "
                                           "the server's accounts protect it."));
            return 1;
        }
        const std::optional<QString> newKey = chosenNewKey(parser);
        const QString key = openingKey(parser, source);
        // The rekey needs the file to itself: this run holds no connection to it.
        if (command == u"rekey")
            return rekey(answers, source, key, *newKey);
        data::Tdsrc dsrc;
        dsrc.connectTo(source, key);
        Context c {dsrc, answers, stdout};
        if (command == u"members" && parser.isSet(find))
            return findMembers(c, parser.value(find));
        if (command == u"members")
            return listMembers(c, parser.isSet(group) ? parser.value(group) : QString());
        if (command == u"backup")
            return backup(c, args.at(1), parser.isSet(force), newKey);
        if (command == u"import")
            return importStaff(c, args.at(1));
        if (command == u"import-photos")
            return importPhotos(c, args.at(1), photoOptions);
        if (command == u"resize-all")
            return resizeAll(c);
        if (command == u"checklist")
            return printCheckList(c, parser.value(output));
        const QString name = parser.value(member);
        return printCards(c, parser.value(output),
                          {parser.isSet(member) ? &name : nullptr, parser.isSet(changed),
                           parser.isSet(markPrinted)},
                          cardFlags);
    } catch (const std::exception& e) {
        const auto* own = dynamic_cast<const data::Error*>(&e);
        answers.message(data::MessageIcon::Error, {},
                        own ? own->message() : QString::fromLocal8Bit(e.what()));
        return 1;
    }
}

} // namespace app::cli
