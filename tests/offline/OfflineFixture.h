#pragma once
// Shared set-up of the offline tests: 16-bit sound files written with
// libsndfile in a private folder, one-call analysis through the offline
// path, and the built lumetra-analyze run as a batch scheduler runs it (no
// display, no runtime folder).
#include "offline/AnalyzeOptions.h"
#include "offline/FileAnalyzer.h"
#include "tests/common/EndWithTest.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// Interleaved 16-bit frames, left first (or one channel for a mono file).
using Samples = std::vector<std::int16_t>;

inline std::int16_t SineAt(double hz, int rate, double amplitude, int frame)
{
    return static_cast<std::int16_t>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hz * frame / rate)));
}
// A sine on the left channel and another (or the same) on the right.
inline Samples TwoTones(double leftHz, double rightHz, int rate, double leftAmp, double rightAmp, int frames)
{
    Samples s;
    for (int i = 0; i < frames; ++i)
        s.insert(s.end(), { SineAt(leftHz, rate, leftAmp, i), SineAt(rightHz, rate, rightAmp, i) });
    return s;
}
// The same sine on both channels; rightSign -1 gives opposite channels.
inline Samples StereoSine(double hz, int rate, double amplitude, int frames, int rightSign = 1)
{
    return TwoTones(hz, hz, rate, amplitude, rightSign * amplitude, frames);
}
inline Samples MonoSine(double hz, int rate, double amplitude, int frames)
{
    Samples s;
    for (int i = 0; i < frames; ++i)
        s.push_back(SineAt(hz, rate, amplitude, i));
    return s;
}
inline Samples Silence(int frames) { return Samples(static_cast<std::size_t>(2 * frames), 0); }
inline Samples Then(Samples first, const Samples& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
inline QJsonArray Report(const QByteArray& json) { return QJsonDocument::fromJson(json).array(); }
inline QJsonValue ValueOf(const QJsonObject& object, const char* section, const char* key)
{
    return object[QLatin1String(section)].toObject()[QLatin1String(key)];
}
inline int At(const QJsonObject& object, const char* section, const char* key, int index)
{
    return ValueOf(object, section, key).toArray()[index].toInt();
}

class OfflineFixture : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return m_folder.filePath(name); }
    QString Write(const QString& name, int rate, int channels, const Samples& samples)
    {
        const QString path = PathOf(name);
        SF_INFO info { 0, rate, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0 };
        SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
        const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
        EXPECT_TRUE(file && sf_writef_short(file, samples.data(), frames) == frames && sf_close(file) == 0)
            << qPrintable(path);
        return path;
    }
    // `program` in the test's folder; /bin/sh runs a shell line for what
    // QProcess cannot pass (bytes that are not text, GNU parallel), the analyzer as $0.
    void Start(QProcess& process, const QStringList& args, const QString& program = LUMETRA_ANALYZE_PROGRAM)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR" })
            env.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_folder.path());
        EndWithTest(process);
        process.start(program, args);
    }
    ProgramRun Run(const QStringList& args, const QByteArray& input = {},
                   const QString& program = LUMETRA_ANALYZE_PROGRAM)
    {
        QProcess process;
        Start(process, args, program);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
    }
    ProgramRun RunShell(const QString& line) { return Run({ "-c", line, LUMETRA_ANALYZE_PROGRAM }, {}, "/bin/sh"); }
    // The report object of one file analysed with `options` (files ignored).
    QJsonObject Analyze(const QString& path, const CAnalyzeOptions& options = CAnalyzeOptions(),
                        const QString& snapshots = QString())
    {
        QJsonObject result;
        QString error;
        EXPECT_EQ(CFileAnalyzer(options).Analyze(path, snapshots, result, error), CFileAnalyzer::Outcome::Analysed)
            << qPrintable(error);
        return result;
    }
    QTemporaryDir m_folder;
};
