#pragma once

#include <QString>

// The product's name and version, shown in the window caption and the About window.
namespace appinfo {
inline QString productName() {
    return QStringLiteral("ScaleDesk");
}
inline QString version() {
    return QStringLiteral(SCALEDESK_VERSION);
}
} // namespace appinfo
