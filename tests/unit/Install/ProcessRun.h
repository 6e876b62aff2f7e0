#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A program run to its end, with its standard output and error together.
struct ProcessRun {
    static constexpr int timeoutMs = 120000;

    int exitCode = -1;
    QString output;

    static ProcessRun of(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(timeoutMs))
            return {-1, QStringLiteral("timed out")};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAll())};
    }
};
