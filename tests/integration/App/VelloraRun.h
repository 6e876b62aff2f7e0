#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

// One run of the real executable with folders of its own for home, preferences, data and
// the runtime folder.
class VelloraRun {
public:
    static constexpr int exitTimeoutMs = 15000;

    VelloraRun()
    {
        environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM"); // Vellora itself must choose xcb
        environment.remove("VELLORA_BENCH_STARTUP");
        for (const auto& [variable, folder] : {std::pair{"HOME", "home"},
                                               {"XDG_CONFIG_HOME", "config"},
                                               {"XDG_DATA_HOME", "data"},
                                               {"XDG_CACHE_HOME", "cache"},
                                               {"XDG_RUNTIME_DIR", "runtime"}}) {
            QDir().mkpath(root.filePath(folder));
            environment.insert(variable, root.filePath(folder));
        }
        QFile::setPermissions(root.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ~VelloraRun()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    QString preferencesPath() const { return root.filePath("config/Vellora/preferences.json"); }
    QString dataPath(const QString& name) const { return root.filePath("data/" + name); }

    void writePreferences(const QJsonObject& values) const
    {
        writeFile(preferencesPath(), QJsonDocument(values).toJson());
    }
    QJsonObject preferences() const
    {
        QFile file(preferencesPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void start(const QStringList& arguments, bool reportStartup = false)
    {
        if (reportStartup)
            environment.insert("VELLORA_BENCH_STARTUP", "1");
        process.setProcessEnvironment(environment);
        process.start(VELLORA_EXECUTABLE, arguments);
        ASSERT_TRUE(process.waitForStarted());
    }
    // Waits for a normal exit and gives its code, or -1.
    int waitForExit()
    {
        if (!process.waitForFinished(exitTimeoutMs) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        return process.exitCode();
    }

    QTemporaryDir root;
    QProcessEnvironment environment;
    QProcess process;
};

inline bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}
