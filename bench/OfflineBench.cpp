// lumetra-analyze's throughput on one thread: a 48 kHz stereo file of
// music-like signal, unpaced, as the program analyses it (file reading, the
// hub, packets, the instruments' models). "rt_factor" is the file's length
// over the time it takes.
//   FourInstruments: PPM, correlation, analyzer and stereo, loudness left
//     out (budget: at least 1000x real time, 10 minutes in under 0.6 s);
//   FourInstrumentsSnapshot: the same, drawing the pictures at the end
//     (budget: at least 800x; the drawing's fixed cost weighs more on this
//     one-minute file than on a long one);
//   WithLoudness: every instrument, loudness and true peak measured in
//     step on the same thread (budget: at least 500x).
// Whole-program figures: bench/analyze-realtime.sh; length scaling and
// memory: bench/offline-scaling.sh, bench/measure-rss.sh.
#include "offline/AnalyzeOptions.h"
#include "offline/FileAnalyzer.h"
#include "platform/wavein/MusicMixGenerator.h"

#include "bench/BenchApplication.h"

#include <QApplication>
#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cstdlib>
#include <vector>

namespace {
constexpr int kRate = 48000;
constexpr int kSeconds = 60;
constexpr int kChunkFrames = 4800;

// Writes `seconds` of music-like stereo as a 16-bit WAV file, chunk by chunk.
bool WriteMusic(const QString& path, int seconds)
{
    SF_INFO info {};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    CMusicMixGenerator music(kRate);
    std::vector<short> chunk(2 * kChunkFrames);
    bool ok = true;
    for (int done = 0; done < seconds * kRate && ok; done += kChunkFrames) {
        for (int i = 0; i < kChunkFrames; ++i) {
            double left = 0.0;
            double right = 0.0;
            music.Next(left, right);
            chunk[static_cast<std::size_t>(2 * i)] = static_cast<short>(left * 24000.0);
            chunk[static_cast<std::size_t>(2 * i + 1)] = static_cast<short>(right * 24000.0);
        }
        ok = sf_writef_short(file, chunk.data(), kChunkFrames) == kChunkFrames;
    }
    return sf_close(file) == 0 && ok;
}

void AnalyzeFile(benchmark::State& state, bool loudness, bool snapshot)
{
    EnsureBenchApplication();
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("music.wav"));
    if (!WriteMusic(path, kSeconds)) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    CAnalyzeOptions options;
    options.loudness = loudness;
    CFileAnalyzer analyzer(options);
    const QString shots = snapshot ? QDir(folder.path()).filePath(QStringLiteral("shots")) : QString();
    if (snapshot)
        QDir().mkpath(shots);
    for (auto _ : state) {
        QJsonObject result;
        QString error;
        if (analyzer.Analyze(path, shots, result, error) != CFileAnalyzer::Outcome::Analysed) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        benchmark::DoNotOptimize(result);
    }
    state.counters["rt_factor"]
        = benchmark::Counter(static_cast<double>(kSeconds), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["s_per_10min"] = benchmark::Counter(kSeconds / 600.0,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(AnalyzeFile, FourInstruments, false, false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(AnalyzeFile, FourInstrumentsSnapshot, false, true)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(AnalyzeFile, WithLoudness, true, false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
}
