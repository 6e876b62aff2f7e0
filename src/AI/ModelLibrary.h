#pragma once

#include "AI/SavedModel.h"

#include <QList>

// The saved models, in list order, and the chosen one. Stored as JSON under
// "dorvane.modelLibrary.v1".
struct ModelLibrary {
    QList<SavedModel> models;
    std::optional<QUuid> selectedID;

    static constexpr qsizetype maximumModels = 64;
    static inline const QString storageKey = QStringLiteral("dorvane.modelLibrary.v1");

    bool operator==(const ModelLibrary&) const = default;

    QList<SavedModel> enabledModels() const;
    // The enabled model chosen by selectedID, else the first enabled model, else none.
    std::optional<SavedModel> activeModel() const;

    // Throws ModelError::invalidConfiguration unless the id is an enabled model's.
    void select(const QUuid& id);
    // Removes every model with the id and selects the new active model. Keys stay stored.
    void remove(const QUuid& id);
    // Validates the model (endpoint, then generation values; their ModelError unchanged and
    // nothing changes), replaces the model with its id in place or appends it (a 65th throws
    // ModelError::modelLimit), then selects the new active model.
    void upsert(const SavedModel& model);

    QJsonObject toJson() const;
    // None when the data does not decode; a stored list longer than the limit keeps its first
    // maximumModels models.
    static std::optional<ModelLibrary> fromJson(const QJsonValue& value);

private:
    void selectActive();
};
