#pragma once

#include <QString>
#include <optional>

// The model editor's key state: the key typed in the key field and whether the stored key
// of the model's address is to be removed at the next save.
struct ModelCredentialDraft {
    QString typedKey;
    bool removeSavedKey = false;

    bool operator==(const ModelCredentialDraft&) const = default;

    // The key argument of AIModelSettings::save: the trimmed typed key when not empty; else
    // "" (delete the stored key) when removal is pending; else none (keep the stored key).
    std::optional<QString> keyArgument() const
    {
        const QString trimmed = typedKey.trimmed();
        if (!trimmed.isEmpty())
            return trimmed;
        if (removeSavedKey)
            return QString();
        return std::nullopt;
    }
};
