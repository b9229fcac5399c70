#pragma once
// The loudness window's per-workspace states, kept in a small file beside
// the workspace file (cv-loudness.wsp next to cv.wsp), so the workspace
// file's own format stays exactly as it is.
//
// File format (little-endian):
//   "LUDW"            4 bytes, magic
//   version           u32, 1
//   count             u32, number of records
//   records           count x 68 bytes: workspace u32, placement 11 x i32,
//                     on, target preset, scale, unit, active (i32 each)
//   crc               u32, CRC-32 (the zip polynomial) of every byte before it
// A reader refuses a file with another magic or version, a count that does
// not match its length, or a wrong checksum, and keeps what it had.
//
// Writing goes to a temporary file in the same folder that replaces the old
// one only once completely written. Plain data; UI thread only.
#include "workspace/LoudnessWspRecord.h"

#include <QByteArray>
#include <QString>
#include <vector>

class CLoudnessWsp {
public:
    static constexpr std::uint32_t kVersion = 1;
    static constexpr int kHeaderBytes = 12;
    static constexpr int kRecordBytes = 68;
    static constexpr int kTrailerBytes = 4;
    static constexpr const char* kFileName = "cv-loudness.wsp";

    // The side file's path for a workspace file's path (same folder).
    static QString PathBeside(const QString& workspacePath);

    // Stores `record`, replacing one kept for the same workspace.
    void Set(const CLoudnessWspRecord& record);
    // The record of workspace `workspace`, or nullptr.
    const CLoudnessWspRecord* Find(std::uint32_t workspace) const;
    const std::vector<CLoudnessWspRecord>& Records() const { return m_records; }
    void Clear() { m_records.clear(); }

    QByteArray ToBytes() const;
    // Replaces the records with the file's; false (records unchanged) when
    // the bytes are not a whole, valid file of this version.
    bool FromBytes(const QByteArray& bytes);

    // False with the records unchanged and `error` saying why when the file
    // is missing, unreadable or not valid.
    bool Load(const QString& path, QString* error = nullptr);
    // False when the file could not be written; the old file then stays.
    bool Save(const QString& path, QString* error = nullptr) const;

private:
    std::vector<CLoudnessWspRecord> m_records;
};
