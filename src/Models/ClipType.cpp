#include "Models/ClipType.h"

namespace ClipTypes {

const QList<ClipType>& allCases()
{
    static const QList<ClipType> cases{ClipType::text,  ClipType::richText, ClipType::link,
                                       ClipType::image, ClipType::file,     ClipType::color};
    return cases;
}

QString rawValue(ClipType type)
{
    switch (type) {
    case ClipType::text:
        return QStringLiteral("text");
    case ClipType::richText:
        return QStringLiteral("richText");
    case ClipType::link:
        return QStringLiteral("link");
    case ClipType::image:
        return QStringLiteral("image");
    case ClipType::file:
        return QStringLiteral("file");
    case ClipType::color:
        return QStringLiteral("color");
    }
    return {};
}

std::optional<ClipType> fromRawValue(const QString& raw)
{
    for (ClipType type : allCases()) {
        if (rawValue(type) == raw)
            return type;
    }
    return std::nullopt;
}

} // namespace ClipTypes
