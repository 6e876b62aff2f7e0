#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTest>
#include <optional>

// Another X client for the tests: this test program started again in a helper role (see
// HelperRoleTest.cpp), or any other program. Lines it prints are read while the event loop
// runs, so that this process keeps answering clipboard requests meanwhile.
class HelperProcess {
public:
    static constexpr int defaultTimeoutMs = 15000;

    HelperProcess() = default;
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;
    ~HelperProcess()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.kill();
        process.waitForFinished();
    }

    // This test program in a helper role, with extra environment variables.
    static QStringList helperArguments()
    {
        return {QStringLiteral("--gtest_also_run_disabled_tests"),
                QStringLiteral("--gtest_filter=HelperRole.DISABLED_Run")};
    }

    bool startHelper(const QString& role, const QList<std::pair<QString, QString>>& variables = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VELLORA_TEST_HELPER_ROLE"), role);
        for (const auto& [name, value] : variables)
            environment.insert(name, value);
        process.setProcessEnvironment(environment);
        return start(QCoreApplication::applicationFilePath(), helperArguments());
    }

    bool start(const QString& program, const QStringList& arguments, const QByteArray& input = {})
    {
        process.setProgram(program);
        process.setArguments(arguments);
        process.start();
        if (!process.waitForStarted())
            return false;
        if (!input.isNull()) {
            process.write(input);
            process.closeWriteChannel();
        }
        return true;
    }

    // The rest of the first line that starts with the prefix; empty on time-out.
    QString waitForLine(const QString& prefix, int timeoutMs = defaultTimeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            output += QString::fromUtf8(process.readAllStandardOutput());
            for (const QString& line : output.split(QLatin1Char('\n'))) {
                if (line.startsWith(prefix) && output.contains(line + QLatin1Char('\n')))
                    return line.mid(prefix.size());
            }
            if (process.state() == QProcess::NotRunning && !process.bytesAvailable())
                return {};
            QTest::qWait(20);
        }
        return {};
    }

    // Waits (running the event loop) for the process to end; its standard output, or none
    // when it is still running at the time-out.
    std::optional<QByteArray> finish(int timeoutMs = defaultTimeoutMs)
    {
        if (!QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, timeoutMs))
            return std::nullopt;
        return output.toUtf8() + process.readAllStandardOutput();
    }

    QProcess process;
    QString output;
};
