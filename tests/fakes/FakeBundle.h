#pragma once

#include "Platform/Bundle.h"

#include <QJsonObject>

// A bundle whose information keys and resource folder the test chooses, e.g. a QTemporaryDir.
class FakeBundle final : public Platform::Bundle {
public:
    QJsonValue infoValue(const QString& key) const override { return info.value(key); }
    QString resourceRoot() const override { return root; }

    QJsonObject info;
    QString root;
};
