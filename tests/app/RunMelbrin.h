#pragma once

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the built program as a person would from a terminal, without any display setting.
struct Run
{
    int code = -1;
    QString out;
    QString err;
};

inline Run melbrin(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the commands need no display setting
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MELBRIN_EXECUTABLE), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// A file's bytes as one digest; empty when it cannot be read.
inline QByteArray digestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// The text of a PDF, as pdftotext reads it.
inline QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What pdfinfo says of a PDF.
inline QString pdfInfo(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}
