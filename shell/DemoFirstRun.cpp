#include "shell/DemoFirstRun.h"

#include "platform/SettingsStore.h"
#include "shell/ShellIds.h"

#include <QFile>

namespace {
// The instruments' settings sections and the value that records whether
// each one is switched on; the views read them as they are created.
constexpr const char* kInstrumentSections[] = { "PPM", "COR", "FFT", "STM", "LUD" };
constexpr const char* kEntryStatus = "Status";
}

bool CDemoFirstRun::SeedIfFirstRun(int demoDevice)
{
    if (demoDevice < 0 || QFile::exists(CSettingsStore::FilePath()))
        return false;
    CSettingsStore::WriteInt(QString::fromLatin1(ShellIds::kSectionSettings),
        QString::fromLatin1(ShellIds::kEntryDevice), demoDevice);
    for (const char* section : kInstrumentSections)
        CSettingsStore::WriteInt(QString::fromLatin1(section), QString::fromLatin1(kEntryStatus), 1);
    return true;
}
