#include "offline/DeliveryCheck.h"

#include <QJsonArray>
#include <cmath>

namespace {
// To a tenth, as a meter shows the figure.
double Shown(double value) { return std::round(value * 10.0) / 10.0; }

QString OneDecimal(double value) { return QString::number(value, 'f', 1); }
}

CDeliveryCheck CDeliveryCheck::Evaluate(const CDeliveryRule& rule, const CLoudnessFigures& figures)
{
    CDeliveryCheck check;
    check.m_rule = QString::fromLatin1(rule.name);
    check.JudgeLoudness(rule, figures);
    check.JudgeTruePeak(rule, figures);
    return check;
}

void CDeliveryCheck::JudgeLoudness(const CDeliveryRule& rule, const CLoudnessFigures& figures)
{
    if (figures.seconds < kShortestJudgedSeconds) {
        m_note = QStringLiteral("shorter than one 400 ms gating block: integrated loudness not judged");
        return;
    }
    if (!figures.integratedLufs) {
        Fail(QStringLiteral("integrated loudness was not measured"));
        return;
    }
    const double integrated = *figures.integratedLufs;
    if (std::isinf(integrated) && integrated < 0) {
        Fail(QStringLiteral("integrated loudness is below the -70 LUFS gate (silence); target %1 LUFS")
                 .arg(OneDecimal(rule.targetLufs)));
        return;
    }
    const double low = rule.targetLufs - rule.toleranceLu;
    const double high = rule.targetLufs + rule.toleranceLu;
    const double shown = Shown(integrated);
    if (shown < Shown(low) || shown > Shown(high)) {
        Fail(QStringLiteral("integrated loudness %1 LUFS is outside %2 to %3 LUFS")
                 .arg(OneDecimal(shown), OneDecimal(low), OneDecimal(high)));
    }
}

void CDeliveryCheck::JudgeTruePeak(const CDeliveryRule& rule, const CLoudnessFigures& figures)
{
    if (!figures.truePeakDbtp) {
        Fail(QStringLiteral("true peak was not measured"));
        return;
    }
    const double shown = Shown(*figures.truePeakDbtp);
    if (shown > Shown(rule.truePeakLimitDbtp)) {
        Fail(QStringLiteral("true peak %1 dBTP is above %2 dBTP")
                 .arg(OneDecimal(shown), OneDecimal(rule.truePeakLimitDbtp)));
    }
}

void CDeliveryCheck::Fail(const QString& reason)
{
    m_passed = false;
    m_reasons << reason;
}

QJsonObject CDeliveryCheck::ToJson() const
{
    QJsonObject json {
        { QStringLiteral("rule"), m_rule },
        { QStringLiteral("pass"), m_passed },
        { QStringLiteral("reasons"), QJsonArray::fromStringList(m_reasons) },
    };
    if (!m_note.isEmpty())
        json.insert(QStringLiteral("note"), m_note);
    return json;
}
