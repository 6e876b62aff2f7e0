#include "AI/ModelLibrary.h"

#include "AI/ModelError.h"

#include <QJsonArray>

QList<SavedModel> ModelLibrary::enabledModels() const
{
    QList<SavedModel> result;
    for (const SavedModel& model : models) {
        if (model.isEnabled)
            result.append(model);
    }
    return result;
}

std::optional<SavedModel> ModelLibrary::activeModel() const
{
    const QList<SavedModel> enabled = enabledModels();
    if (selectedID) {
        for (const SavedModel& model : enabled) {
            if (model.id == *selectedID)
                return model;
        }
    }
    if (enabled.isEmpty())
        return std::nullopt;
    return enabled.first();
}

void ModelLibrary::select(const QUuid& id)
{
    for (const SavedModel& model : models) {
        if (model.id == id && model.isEnabled) {
            selectedID = id;
            return;
        }
    }
    throw ModelError::invalidConfiguration(QStringLiteral("Choose an enabled model."));
}

void ModelLibrary::remove(const QUuid& id)
{
    models.removeIf([&id](const SavedModel& model) { return model.id == id; });
    selectActive();
}

void ModelLibrary::upsert(const SavedModel& model)
{
    model.configuration.endpoint();
    model.configuration.validateGeneration();
    const auto existing = std::find_if(models.begin(), models.end(),
                                       [&model](const SavedModel& m) { return m.id == model.id; });
    if (existing != models.end()) {
        *existing = model;
    } else {
        if (models.size() >= maximumModels)
            throw ModelError(ModelError::Kind::modelLimit);
        models.append(model);
    }
    selectActive();
}

void ModelLibrary::selectActive()
{
    const std::optional<SavedModel> active = activeModel();
    selectedID = active ? std::optional<QUuid>(active->id) : std::nullopt;
}

QJsonObject ModelLibrary::toJson() const
{
    QJsonArray list;
    for (const SavedModel& model : models)
        list.append(model.toJson());
    QJsonObject o{{QStringLiteral("models"), list}};
    if (selectedID)
        o.insert(QStringLiteral("selectedID"), uuidString(*selectedID));
    return o;
}

std::optional<ModelLibrary> ModelLibrary::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    const QJsonValue list = o.value(QLatin1String("models"));
    const QJsonValue selected = o.value(QLatin1String("selectedID"));
    if (!list.isArray() || !(selected.isUndefined() || selected.isNull() || selected.isString()))
        return std::nullopt;
    ModelLibrary library;
    for (const QJsonValue& element : list.toArray()) {
        const std::optional<SavedModel> model =
            element.isObject() ? SavedModel::fromJson(element.toObject()) : std::nullopt;
        if (!model)
            return std::nullopt;
        if (library.models.size() < maximumModels)
            library.models.append(*model);
    }
    if (selected.isString()) {
        library.selectedID = uuidFromString(selected.toString());
        if (!library.selectedID)
            return std::nullopt;
    }
    return library;
}
