// The instruments measure at 44100 Hz and 48000 Hz only: a file at any other
// rate is still analysed, and its report says the analyzer's bars are off.
#include "OfflineFixture.h"

using namespace testfiles;

namespace {
struct RateCase {
    int rate;
    bool noted;
};

class SampleRateNoteTest : public OfflineFixture, public ::testing::WithParamInterface<RateCase> {};

bool NotesMentionTheRate(const QJsonObject& result, int rate)
{
    const QString words = QStringLiteral("at %1 Hz").arg(rate);
    for (const QJsonValue& note : result[QLatin1String("notes")].toArray()) {
        if (note.toString().contains(words))
            return true;
    }
    return false;
}
}

INSTANTIATE_TEST_SUITE_P(Rates, SampleRateNoteTest,
    ::testing::Values(RateCase { 44100, false }, RateCase { 48000, false }, RateCase { 32000, true },
        RateCase { 22050, true }, RateCase { 96000, true }));

TEST_P(SampleRateNoteTest, OnlyRatesTheInstrumentsDoNotMeasureAtAreNoted)
{
    const int rate = GetParam().rate;
    const QJsonObject r = Analyze(Write(QStringLiteral("tone.wav"), rate, 2, StereoSine(1000, rate, 16000, rate / 2)));
    EXPECT_EQ(r[QLatin1String("rate")].toInt(), rate);
    EXPECT_EQ(NotesMentionTheRate(r, rate), GetParam().noted);
}
