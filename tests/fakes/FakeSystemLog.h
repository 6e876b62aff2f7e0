#pragma once

#include "Platform/SystemLog.h"

#include <QStringList>

// Keeps the lines written to the system log so tests can read them.
class FakeSystemLog final : public Platform::SystemLog {
public:
    void write(const QString& line) override { lines.append(line); }

    QStringList lines;
};
