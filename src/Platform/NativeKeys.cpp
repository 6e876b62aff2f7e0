#include "Platform/NativeKeys.h"

#include "Platform/linux/EvdevKeyMap.h"

#include <QHash>

namespace Platform {

namespace {

// X key codes are evdev scan codes plus this offset; smaller values mean no scan code.
constexpr quint32 x11KeyCodeOffset = 8;
constexpr int highestVirtualKeyCode = 127;

const QHash<int, int>& keyCodesByScanCode()
{
    static const QHash<int, int> table = [] {
        QHash<int, int> byScan;
        for (int code = 0; code <= highestVirtualKeyCode; ++code) {
            if (const std::optional<int> scan = EvdevKeyMap::scanCode(code))
                byScan.insert(*scan, code);
        }
        return byScan;
    }();
    return table;
}

} // namespace

bool isNativeScanCode(quint32 nativeScanCode)
{
    return nativeScanCode > x11KeyCodeOffset;
}

std::optional<int> keyCodeOfNativeScanCode(quint32 nativeScanCode)
{
    if (!isNativeScanCode(nativeScanCode))
        return std::nullopt;
    const auto found = keyCodesByScanCode().constFind(int(nativeScanCode - x11KeyCodeOffset));
    if (found == keyCodesByScanCode().constEnd())
        return std::nullopt;
    return *found;
}

} // namespace Platform
