#pragma once

#include "Platform/CloudDrive.h"

#include <QFileInfo>

// A cloud folder that is a temporary folder of the test; available when it exists,
// unless the test turns it off.
class FakeCloudDrive final : public Platform::CloudDrive {
public:
    explicit FakeCloudDrive(QString path = {})
        : path(std::move(path))
    {}

    QString folder() const override { return path; }
    bool isAvailable() const override { return enabled && QFileInfo(path).isDir(); }

    QString path;
    bool enabled = true;
};
