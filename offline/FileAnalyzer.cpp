#include "offline/FileAnalyzer.h"

#include "audio/AudioCapture.h"
#include "audio/VelmoraDoc.h"
#include "offline/BytePath.h"
#include "offline/InstrumentReadings.h"
#include "offline/OfflineIds.h"
#include "offline/OfflineInstruments.h"
#include "offline/SnapshotWriter.h"
#include "platform/wavein/SoundFileReader.h"

#include <algorithm>
#include <cstdint>
#include <memory>

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

// Applies the hub's packets as the woken UI thread does, with the ticks the
// PPM relayed; a window that reached the correlation meter adds a timeline
// entry.
void Drain(CVelmoraDoc& doc, COfflineInstruments& instruments, QJsonArray* timeline, int blocks, int rate)
{
    const std::uint64_t windowsBefore = instruments.CorTap().Readings();
    doc.ApplyPackets();
    COfflineInstruments::DeliverRelayedTicks();
    if (timeline && instruments.CorTap().Readings() != windowsBefore)
        timeline->append(CInstrumentReadings::TimelineEntry(SecondsOf(blocks, rate), instruments));
}

StreamStats Stream(CSoundFileReader& reader, CVelmoraDoc& doc, COfflineInstruments& instruments, QJsonArray* timeline)
{
    SampleArea area;
    StreamStats stats;
    for (;;) {
        std::int16_t* block = area.Buffer(stats.blocks);
        const int got = reader.ReadStereo(block, offline::kBlockFrames);
        if (got <= 0)
            break;
        if (got < offline::kBlockFrames) {
            std::fill(block + 2 * got, block + offline::kBlockSamples, std::int16_t { 0 });
            stats.paddedFrames = offline::kBlockFrames - got;
        }
        stats.frames += got;
        doc.ProcessBlock(reinterpret_cast<const std::uint8_t*>(block), area.Start());
        ++stats.blocks;
        if (stats.blocks % offline::kBlocksPerDrain == 0)
            Drain(doc, instruments, timeline, stats.blocks, reader.SampleRate());
        if (got < offline::kBlockFrames)
            break;
    }
    Drain(doc, instruments, timeline, stats.blocks, reader.SampleRate());
    stats.dropped = doc.DroppedPackets();
    return stats;
}

QJsonArray NotesOf(const CSoundFileReader& reader, const StreamStats& stats)
{
    QJsonArray notes;
    if (reader.Channels() == 1)
        notes.append(QStringLiteral("mono file: its channel was measured as both left and right"));
    else if (reader.Channels() > 2)
        notes.append(QStringLiteral("%1 channels: the first two were measured").arg(reader.Channels()));
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

    COfflineInstruments instruments(m_options);
    if (!instruments.IsReady()) {
        error = QStringLiteral("the spectrum analyzer's transform could not be prepared");
        return Outcome::Unreadable;
    }
    CAudioCapture capture; // never opened: it only carries the post-tick switch
    CVelmoraDoc doc(capture);
    instruments.SetSampleRate(reader.SampleRate());
    instruments.Attach(doc);

    QJsonArray timeline;
    const StreamStats stats = Stream(reader, doc, instruments, m_options.timeline ? &timeline : nullptr);
    instruments.Detach(doc);

    result = CInstrumentReadings::Of(instruments);
    result.insert(QStringLiteral("file"), path);
    result.insert(QStringLiteral("rate"), reader.SampleRate());
    result.insert(QStringLiteral("frames"), static_cast<qint64>(stats.frames));
    result.insert(QStringLiteral("blocks"), stats.blocks);
    result.insert(QStringLiteral("notes"), NotesOf(reader, stats));
    if (m_options.timeline)
        result.insert(QStringLiteral("timeline"), timeline);

    if (!snapshotFolder.isEmpty() && !CSnapshotWriter::Write(instruments, snapshotFolder, error))
        return Outcome::SnapshotFailed;
    return Outcome::Analysed;
}
