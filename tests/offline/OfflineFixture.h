#pragma once
// Shared set-up of the offline tests: a private folder for the sound files
// and a one-call analysis of a signal through the offline path.
#include "TestSoundFiles.h"
#include "offline/AnalyzeOptions.h"
#include "offline/FileAnalyzer.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class OfflineFixture : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return QDir(m_folder.path()).filePath(name); }

    QString Write(const QString& name, int rate, int channels, const testfiles::Samples& samples)
    {
        const QString path = PathOf(name);
        EXPECT_TRUE(testfiles::WriteWav(path, rate, channels, samples)) << qPrintable(path);
        return path;
    }

    // The report object of one file analysed with `options` (files ignored).
    QJsonObject Analyze(const QString& path, const CAnalyzeOptions& options = CAnalyzeOptions(),
                        const QString& snapshots = QString())
    {
        CFileAnalyzer analyzer(options);
        QJsonObject result;
        QString error;
        EXPECT_EQ(analyzer.Analyze(path, snapshots, result, error), CFileAnalyzer::Outcome::Analysed)
            << qPrintable(error);
        return result;
    }

    static int At(const QJsonObject& object, const char* section, const char* key, int index)
    {
        return object[QLatin1String(section)].toObject()[QLatin1String(key)].toArray()[index].toInt();
    }
    static QString TextAt(const QJsonObject& object, const char* section, const char* key, int index)
    {
        return object[QLatin1String(section)].toObject()[QLatin1String(key)].toArray()[index].toString();
    }
    static QJsonValue ValueOf(const QJsonObject& object, const char* section, const char* key)
    {
        return object[QLatin1String(section)].toObject()[QLatin1String(key)];
    }

    QTemporaryDir m_folder;
};
