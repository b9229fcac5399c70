#include "platform/wavein/AudioDrivers.h"

#include "platform/Notices.h"
#include "platform/wavein/DemoWaveDriver.h"
#include "platform/wavein/FileWaveDriver.h"
#include "platform/wavein/PortAudioWaveDriver.h"
#include "platform/wavein/WaveIn.h"

namespace {
constexpr const char* kCaption = "Recorder";
constexpr const char* kNoDeviceText = "No input device found!";
}

AudioDriverRegistration RegisterAudioDrivers(bool demo, const QString& inputFile, bool showNotice)
{
    AudioDriverRegistration result;
    CWaveIn& waveIn = CWaveIn::Instance();
    waveIn.ClearDrivers();
    waveIn.AddDriver(std::make_unique<CPortAudioWaveDriver>());
    if (demo) {
        result.demoDevice = waveIn.DeviceCount();
        waveIn.AddDriver(std::make_unique<CDemoWaveDriver>());
    }
    if (!inputFile.isEmpty()) {
        std::string error;
        auto file = CFileWaveDriver::Create(inputFile.toStdString(), error);
        if (file) {
            result.fileDevice = waveIn.DeviceCount();
            waveIn.AddDriver(std::move(file));
        } else {
            result.problem = QStringLiteral("Cannot play the input file \"%1\": %2")
                                 .arg(inputFile, QString::fromStdString(error));
            if (showNotice)
                CNotices::MessageBox(result.problem, QString::fromLatin1(kCaption));
        }
    }
    return result;
}

QString ListDevicesText()
{
    const CWaveIn& waveIn = CWaveIn::Instance();
    const int count = waveIn.DeviceCount();
    if (count == 0)
        return QString::fromLatin1(kNoDeviceText) + QLatin1Char('\n');
    QString text = QStringLiteral("%1: Default (%2)\n")
                       .arg(WAVE_MAPPER)
                       .arg(QString::fromStdString(waveIn.DeviceName(waveIn.DefaultDevice())));
    for (int id = 0; id < count; ++id)
        text += QStringLiteral("%1: %2\n").arg(id).arg(QString::fromStdString(waveIn.DeviceName(id)));
    return text;
}
