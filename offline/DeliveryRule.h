#pragma once
// The delivery rules --check knows: an integrated loudness target with its
// tolerance either side and a true-peak ceiling.
//
// Plain values, any thread.
#include <QString>
#include <QStringList>

struct CDeliveryRule {
    const char* name;
    double targetLufs;
    double toleranceLu;
    double truePeakLimitDbtp;

    // The rule called `name`, or nullptr.
    static const CDeliveryRule* Find(const QString& name);
    // Every rule's name, in the order --help lists them.
    static QStringList Names();
};
