#include "workspace/LoudnessWsp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace {
constexpr char kMagic[4] = { 'L', 'U', 'D', 'W' };
constexpr int kPlacementValues = 11;

std::uint32_t Crc32(const char* data, qsizetype size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint8_t>(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutU32(QByteArray& out, std::uint32_t value)
{
    char bytes[4];
    qToLittleEndian<std::uint32_t>(value, bytes);
    out.append(bytes, 4);
}

void PutI32(QByteArray& out, std::int32_t value) { PutU32(out, static_cast<std::uint32_t>(value)); }

std::uint32_t U32At(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<std::uint32_t>(bytes.constData() + at); }
std::int32_t I32At(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<std::int32_t>(bytes.constData() + at); }
}

QString CLoudnessWsp::PathBeside(const QString& workspacePath)
{
    return QFileInfo(workspacePath).dir().filePath(QString::fromLatin1(kFileName));
}

void CLoudnessWsp::Set(const CLoudnessWspRecord& record)
{
    auto it = std::find_if(m_records.begin(), m_records.end(), [&](const auto& r) { return r.workspace == record.workspace; });
    if (it != m_records.end())
        *it = record;
    else
        m_records.push_back(record);
}

const CLoudnessWspRecord* CLoudnessWsp::Find(std::uint32_t workspace) const
{
    auto it = std::find_if(m_records.begin(), m_records.end(), [&](const auto& r) { return r.workspace == workspace; });
    return it != m_records.end() ? &*it : nullptr;
}

QByteArray CLoudnessWsp::ToBytes() const
{
    QByteArray out;
    out.append(kMagic, 4);
    PutU32(out, kVersion);
    PutU32(out, static_cast<std::uint32_t>(m_records.size()));
    for (const CLoudnessWspRecord& r : m_records) {
        PutU32(out, r.workspace);
        for (std::int32_t v : r.placement.Values())
            PutI32(out, v);
        for (std::int32_t v : { r.on, r.targetPreset, r.scale, r.unit, r.active })
            PutI32(out, v);
    }
    PutU32(out, Crc32(out.constData(), out.size()));
    return out;
}

bool CLoudnessWsp::FromBytes(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderBytes + kTrailerBytes || !std::equal(kMagic, kMagic + 4, bytes.constData()))
        return false;
    if (U32At(bytes, 4) != kVersion)
        return false;
    const std::uint32_t count = U32At(bytes, 8);
    // Compare in 64 bits: a huge count must not wrap into a plausible size.
    const std::uint64_t expected = std::uint64_t(kHeaderBytes) + std::uint64_t(count) * kRecordBytes + kTrailerBytes;
    if (expected != static_cast<std::uint64_t>(bytes.size()))
        return false;
    const qsizetype body = bytes.size() - kTrailerBytes;
    if (Crc32(bytes.constData(), body) != U32At(bytes, body))
        return false;

    std::vector<CLoudnessWspRecord> records;
    records.reserve(count);
    qsizetype at = kHeaderBytes;
    for (std::uint32_t i = 0; i < count; ++i) {
        CLoudnessWspRecord r;
        r.workspace = U32At(bytes, at);
        std::array<std::int32_t, kPlacementValues> values {};
        for (int v = 0; v < kPlacementValues; ++v)
            values[static_cast<std::size_t>(v)] = I32At(bytes, at + 4 + 4 * v);
        r.placement = CWindowPlacement::FromValues(values);
        qsizetype opt = at + 4 + 4 * kPlacementValues;
        for (std::int32_t* field : { &r.on, &r.targetPreset, &r.scale, &r.unit, &r.active }) {
            *field = I32At(bytes, opt);
            opt += 4;
        }
        records.push_back(r);
        at += kRecordBytes;
    }
    m_records = std::move(records);
    return true;
}

bool CLoudnessWsp::Load(const QString& path, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    if (!FromBytes(bytes))
        return fail(QStringLiteral("%1 is not a valid loudness workspace file").arg(path));
    return true;
}

bool CLoudnessWsp::Save(const QString& path, QString* error) const
{
    const QByteArray bytes = ToBytes();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    file.cancelWriting();
    return false;
}
