#pragma once

#include "Platform/Bundle.h"

#include <QJsonObject>

namespace Platform {

// The bundle compiled into the executable: ":/Info.json" and ":/Vellora_Vellora.bundle".
class ResourceBundle final : public Bundle {
public:
    ResourceBundle();

    QJsonValue infoValue(const QString& key) const override;
    QString resourceRoot() const override;

private:
    QJsonObject info_;
};

} // namespace Platform
