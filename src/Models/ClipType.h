#pragma once

#include <QList>
#include <QString>
#include <optional>

// The kind of a clip, stored by its raw value.
enum class ClipType { text, richText, link, image, file, color };

namespace ClipTypes {
// All cases in order: text, richText, link, image, file, color.
const QList<ClipType>& allCases();
// "text", "richText", "link", "image", "file", "color".
QString rawValue(ClipType type);
std::optional<ClipType> fromRawValue(const QString& raw);
} // namespace ClipTypes
