#include "ChildRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

#if defined(Q_OS_UNIX)
#    include <sys/resource.h>
#    include <sys/wait.h>
#    include <unistd.h>
#endif

namespace benchchild {

int measureChild(char** argv)
{
#if defined(Q_OS_UNIX)
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return 1;
    std::printf("%ld %f\n", usage.ru_maxrss, double(timer.nsecsElapsed()) / 1e9);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
#else
    Q_UNUSED(argv);
    return 1;
#endif
}

Run runMeasured(const QString& program, const QStringList& arguments)
{
    Run run;
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  QStringList {QStringLiteral("--measure"), program} + arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return run;
    const QStringList figures
        = QString::fromLatin1(process.readAllStandardOutput()).simplified().split(u' ');
    if (figures.size() != 2)
        return run;
    run.peakMegabytes = figures[0].toDouble() / 1024.0; // kilobytes on Linux
    run.seconds = figures[1].toDouble();
    run.ok = process.exitCode() == 0;
    return run;
}

} // namespace benchchild
