#include "offline/FileAnalyzer.h"

#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "offline/BytePath.h"
#include "offline/FileLoudness.h"
#include "offline/InstrumentReadings.h"
#include "offline/LoudnessAlongside.h"
#include "offline/OfflineIds.h"
#include "offline/OfflineInstruments.h"
#include "offline/OfflineModels.h"
#include "offline/SnapshotWriter.h"
#include "platform/wavein/SoundFileReader.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace {

// What the stream loop learnt about the file.
struct StreamStats {
    long long frames = 0;
    int blocks = 0;
    int paddedFrames = 0;
    std::uint64_t dropped = 0;
};

// The blocks' home: 32 buffers of 2048 bytes in one area, used in turn.
class SampleArea {
public:
    SampleArea() : m_samples(new std::int16_t[offline::kSampleAreaBytes / 2]()) {}
    std::int16_t* Buffer(int block) const
    {
        return m_samples.get() + (block % offline::kRingBuffers) * offline::kBlockSamples;
    }
    const std::uint8_t* Start() const { return reinterpret_cast<const std::uint8_t*>(m_samples.get()); }

private:
    std::unique_ptr<std::int16_t[]> m_samples;
};

double SecondsOf(int blocks, int rate)
{
    return static_cast<double>(blocks) * offline::kBlockFrames / static_cast<double>(rate);
}

// Applies the hub's packets as the woken UI thread does (the PPM's sink
// relays each tick to the analyzer's model at once); a window that reached
// the correlation model adds a timeline entry.
void Drain(CVelmoraDoc& doc, const COfflineModels& models, const CFileLoudness& loudness, QJsonArray* timeline,
           int blocks, int rate)
{
    const std::uint64_t windowsBefore = models.Cor().Readings();
    doc.ApplyPackets();
    if (timeline && models.Cor().Readings() != windowsBefore) {
        QJsonObject entry = CInstrumentReadings::TimelineEntry(SecondsOf(blocks, rate), models);
        loudness.AddTimelineFields(entry);
        timeline->append(entry);
    }
}

StreamStats Stream(CSoundFileReader& reader, CVelmoraDoc& doc, const COfflineModels& models, CFileLoudness& loudness,
                   CLoudnessAlongside* alongside, QJsonArray* timeline)
{
    SampleArea area;
    StreamStats stats;
    const int wanted = offline::kBlocksPerRead * offline::kBlockFrames;
    const int channels = reader.Channels();
    // Every channel of the read frames, for loudness; the instruments take
    // their stereo pair from the sample area. Measured alongside, one read's
    // frames are still being measured while the next read fills the other
    // half.
    const std::size_t readSize = static_cast<std::size_t>(wanted) * static_cast<std::size_t>(channels);
    std::vector<float> allChannels(!loudness.IsOpen() ? 0 : alongside ? 2 * readSize : readSize);
    const int drainEvery = timeline ? offline::kBlocksPerDrainWithTimeline : offline::kBlocksPerDrain;
    for (int read = 0;; ++read) {
        // Half the area at a time: the block before the first one read
        // stays in the other half until its window has been formed.
        std::int16_t* first = area.Buffer(stats.blocks);
        float* frames = allChannels.empty() ? nullptr : allChannels.data() + (alongside && read % 2 == 1 ? readSize : 0);
        const int got = reader.ReadStereo(first, wanted, frames);
        if (got <= 0)
            break;
        const int tail = got % offline::kBlockFrames;
        if (tail > 0) {
            std::fill(first + 2 * got, first + 2 * (got - tail + offline::kBlockFrames), std::int16_t { 0 });
            stats.paddedFrames = offline::kBlockFrames - tail;
        }
        stats.frames += got;
        if (alongside)
            alongside->Add(frames, got); // the file's own frames, not the padding
        const int blocks = (got + offline::kBlockFrames - 1) / offline::kBlockFrames;
        for (int b = 0; b < blocks; ++b) {
            doc.ProcessBlock(reinterpret_cast<const std::uint8_t*>(area.Buffer(stats.blocks)), area.Start());
            if (!alongside && frames) {
                const int start = b * offline::kBlockFrames;
                loudness.Add(frames + static_cast<std::ptrdiff_t>(start) * channels, std::min(offline::kBlockFrames, got - start));
            }
            ++stats.blocks;
            if (stats.blocks % drainEvery == 0)
                Drain(doc, models, loudness, timeline, stats.blocks, reader.SampleRate());
        }
        if (got < wanted)
            break;
    }
    if (alongside)
        alongside->Wait();
    Drain(doc, models, loudness, timeline, stats.blocks, reader.SampleRate());
    stats.dropped = doc.DroppedPackets();
    return stats;
}

// A file's models, made and freed under the transform lock (see the header).
class LockedModels {
public:
    LockedModels(const CAnalyzeOptions& options, std::mutex* lock) : m_pLock(lock)
    {
        const std::unique_lock<std::mutex> guard = Guard();
        m_models.emplace(options);
    }
    ~LockedModels()
    {
        const std::unique_lock<std::mutex> guard = Guard();
        m_models.reset();
    }
    LockedModels(const LockedModels&) = delete;
    LockedModels& operator=(const LockedModels&) = delete;
    COfflineModels& Get() { return *m_models; }

private:
    std::unique_lock<std::mutex> Guard() const
    {
        return m_pLock ? std::unique_lock<std::mutex>(*m_pLock) : std::unique_lock<std::mutex>();
    }
    std::mutex* m_pLock;
    std::optional<COfflineModels> m_models;
};

QJsonArray NotesOf(const CSoundFileReader& reader, const StreamStats& stats)
{
    QJsonArray notes;
    if (reader.Channels() == 1)
        notes.append(QStringLiteral("mono file: its channel was measured as both left and right"));
    else if (reader.Channels() > 2)
        notes.append(QStringLiteral("%1 channels: the first two were measured by the PPM, correlation meter, "
                                    "analyzer and stereo display; loudness and true peak weigh every channel")
                         .arg(reader.Channels()));
    if (reader.SampleRate() != offline::kRate44100 && reader.SampleRate() != offline::kRate48000) {
        notes.append(QStringLiteral("the instruments measure at 44100 Hz or 48000 Hz: at %1 Hz the analyzer's bar "
                                    "frequencies scale by %1/44100 and its labels are those of 44100 Hz")
                         .arg(reader.SampleRate()));
    }
    if (stats.blocks == 0)
        notes.append(QStringLiteral("the file holds no frames"));
    if (stats.paddedFrames > 0 && stats.blocks == 1) {
        notes.append(QStringLiteral("the file holds fewer than 512 frames: its only block was padded with %1 "
                                    "frames of silence")
                         .arg(stats.paddedFrames));
    } else if (stats.paddedFrames > 0) {
        notes.append(QStringLiteral("the last block was padded with %1 frames of silence").arg(stats.paddedFrames));
    }
    if (stats.blocks == 1) {
        notes.append(QStringLiteral("fewer than 1024 frames: no analysis window was formed, so the correlation "
                                    "meter and the analyzer show nothing"));
    } else if (stats.blocks >= 2 && stats.blocks < 4) {
        notes.append(QStringLiteral("fewer than 2048 frames: the analyzer's bars take values every 2048 frames "
                                    "and showed nothing"));
    }
    if (reader.Frames() > stats.frames) {
        notes.append(QStringLiteral("the file ended after %1 of its %2 frames").arg(stats.frames).arg(reader.Frames()));
    }
    if (reader.ClippedSamples() > 0)
        notes.append(QStringLiteral("%1 samples lay beyond full scale and were read as full scale")
                         .arg(reader.ClippedSamples()));
    if (reader.NonFiniteSamples() > 0)
        notes.append(QStringLiteral("%1 samples were not finite (NaN or infinite) and were read as silence")
                         .arg(reader.NonFiniteSamples()));
    if (stats.dropped > 0)
        notes.append(QStringLiteral("%1 packets were dropped on their way to the instruments").arg(stats.dropped));
    return notes;
}
}

CFileAnalyzer::Outcome CFileAnalyzer::Analyze(const QString& path, const QString& snapshotFolder, QJsonObject& result,
                                              QString& error)
{
    CSoundFileReader reader;
    std::string reason;
    if (!reader.Open(CBytePath::Encode(path).toStdString(), reason)) { // the name's own bytes
        error = QString::fromStdString(reason);
        return Outcome::Unreadable;
    }

    // Every file gets its own models and program-wide state: no reading
    // depends on the file analysed before.
    LockedModels kept(m_options, m_pTransformLock);
    COfflineModels& models = kept.Get();
    if (!models.IsReady()) {
        error = QStringLiteral("the spectrum analyzer's transform could not be prepared");
        return Outcome::Unreadable;
    }
    CAudioCapture capture; // never opened: it only carries the post-tick switch
    CVelmoraDoc doc(capture);
    doc.SetMergeBacklog(false);
    models.SetSampleRate(reader.SampleRate());
    models.Attach(doc);

    CFileLoudness loudness;
    if (m_options.loudness)
        loudness.Open(reader.Channels(), reader.SampleRate(), reader.ChannelMap(), offline::kBlocksPerRead * offline::kBlockFrames);

    QJsonArray timeline;
    QElapsedTimer clock;
    clock.start();
    // A timeline reads the loudness at every block, so it is measured in step.
    std::optional<CLoudnessAlongside> alongside;
    if (m_options.loudnessAlongside && !m_options.timeline && loudness.IsOpen())
        alongside.emplace(loudness);
    const StreamStats stats = Stream(reader, doc, models, loudness, alongside ? &*alongside : nullptr,
                                     m_options.timeline ? &timeline : nullptr);
    alongside.reset();
    const qint64 elapsedNs = std::max<qint64>(clock.nsecsElapsed(), 1);
    models.Detach(doc);

    result = CInstrumentReadings::Of(models);
    result.insert(QStringLiteral("file"), path);
    result.insert(QStringLiteral("rate"), reader.SampleRate());
    result.insert(QStringLiteral("frames"), static_cast<qint64>(stats.frames));
    result.insert(QStringLiteral("blocks"), stats.blocks);
    QJsonArray notes = NotesOf(reader, stats);
    if (m_options.loudness) {
        result.insert(QStringLiteral("loudness"), loudness.Report());
        for (const QJsonValue& note : loudness.Notes())
            notes.append(note);
    }
    result.insert(QStringLiteral("notes"), notes);
    if (m_options.timeline)
        result.insert(QStringLiteral("timeline"), timeline);
    // How many times faster than real time the file was measured: the
    // file's duration over the time its blocks took.
    const double seconds = static_cast<double>(stats.frames) / reader.SampleRate();
    result.insert(QStringLiteral("realtime_factor"), seconds / (static_cast<double>(elapsedNs) * 1e-9));

    if (!snapshotFolder.isEmpty()) {
        COfflineInstruments displays(m_options);
        displays.Show(models);
        if (!CSnapshotWriter::Write(displays, snapshotFolder, error))
            return Outcome::SnapshotFailed;
    }
    return Outcome::Analysed;
}
