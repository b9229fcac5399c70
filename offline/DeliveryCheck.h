#pragma once
// Judges one file's loudness figures against a delivery rule: integrated
// loudness within the rule's tolerance of its target, true peak at or below
// its ceiling. Figures are judged as a meter shows them, to a tenth, so
// -23.5 LUFS passes a -23 +/- 0.5 rule. A file shorter than one 400 ms
// gating block has no integrated loudness to judge: it gets a note and only
// its true peak is judged. A figure that was not measured fails the check,
// since a file nobody measured must not pass.
//
// Plain value, any thread.
#include "offline/DeliveryRule.h"
#include "offline/LoudnessFigures.h"

#include <QJsonObject>
#include <QStringList>

class CDeliveryCheck {
public:
    // The shortest file whose integrated loudness can be judged.
    static constexpr double kShortestJudgedSeconds = 0.4;

    static CDeliveryCheck Evaluate(const CDeliveryRule& rule, const CLoudnessFigures& figures);

    bool Passed() const { return m_passed; }
    const QStringList& Reasons() const { return m_reasons; }
    const QString& Note() const { return m_note; }
    // {"rule", "pass", "reasons"[, "note"]}
    QJsonObject ToJson() const;

private:
    void JudgeLoudness(const CDeliveryRule& rule, const CLoudnessFigures& figures);
    void JudgeTruePeak(const CDeliveryRule& rule, const CLoudnessFigures& figures);
    void Fail(const QString& reason);

    QString m_rule;
    bool m_passed = true;
    QStringList m_reasons;
    QString m_note;
};
