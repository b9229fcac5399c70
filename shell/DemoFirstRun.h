#pragma once
// The first start with the demonstration devices: when `--demo` is given and
// no settings file exists yet, the settings are seeded so the first screen
// reads "Demo: Music mix" with every instrument switched on. Once a settings
// file exists, what it holds wins. UI thread only, before the application's
// start-up reads its settings.
class CDemoFirstRun {
public:
    // Seeds "Settings"/"Device" with `demoDevice` and every instrument's
    // on state, unless a settings file exists already or `demoDevice` is -1
    // (no demo device was added). True when it seeded.
    static bool SeedIfFirstRun(int demoDevice);
};
