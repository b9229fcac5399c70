#include "offline/DeliveryRule.h"

#include <array>

namespace {
// Broadcast rules as their recommendations set them (EBU: -23 LUFS within
// 0.5 LU, -1 dBTP; ATSC: -24 LKFS within 2 dB, -2 dBTP); the streaming
// rules are the common platform targets, judged within 1 LU, -1 dBTP.
constexpr std::array<CDeliveryRule, 4> kRules = { {
    { "ebu-r128", -23.0, 0.5, -1.0 },
    { "atsc-a85", -24.0, 2.0, -2.0 },
    { "streaming-14", -14.0, 1.0, -1.0 },
    { "streaming-16", -16.0, 1.0, -1.0 },
} };
}

const CDeliveryRule* CDeliveryRule::Find(const QString& name)
{
    for (const CDeliveryRule& rule : kRules) {
        if (name == QLatin1String(rule.name))
            return &rule;
    }
    return nullptr;
}

QStringList CDeliveryRule::Names()
{
    QStringList names;
    for (const CDeliveryRule& rule : kRules)
        names << QString::fromLatin1(rule.name);
    return names;
}
