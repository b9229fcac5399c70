// lumetra-analyze's throughput: a 48 kHz stereo file of music-like signal
// through every instrument, unpaced, as the program analyses it (file
// reading, the hub, packets, the instruments' models). "rt_factor" is the
// file's length over the time it takes (budget: at least 1000x real time,
// a 10-minute file in under 0.6 s). Length scaling and memory:
// bench/offline-scaling.sh.
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

void AnalyzeFile(benchmark::State& state)
{
    EnsureBenchApplication();
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("music.wav"));
    if (!WriteMusic(path, kSeconds)) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    CAnalyzeOptions options;
    CFileAnalyzer analyzer(options);
    for (auto _ : state) {
        QJsonObject result;
        QString error;
        if (analyzer.Analyze(path, QString(), result, error) != CFileAnalyzer::Outcome::Analysed) {
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
BENCHMARK(AnalyzeFile)->Unit(benchmark::kMillisecond)->MinTime(3.0);
}
