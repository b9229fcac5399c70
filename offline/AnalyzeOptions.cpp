#include "offline/AnalyzeOptions.h"

#include "Version.h"
#include "meters/analyzer/FftIds.h"
#include "meters/ppm/PpmIds.h"
#include "offline/DeliveryRule.h"
#include "offline/OfflineIds.h"

#include <array>
#include <thread>

namespace {
// Option words in menu order: the index is the stored value.
constexpr std::array<const char*, 3> kDecayWords = { "fast", "medium", "slow" };
constexpr std::array<unsigned, 3> kDecayTimes = { ppm::kDecayFast, ppm::kDecayMedium, ppm::kDecaySlow };
constexpr std::array<const char*, 3> kPeakWords = { "none", "hold", "decay" };
constexpr std::array<const char*, 6> kBallisticsWords = { "digital", "true", "din", "nordic", "bbc", "ebu" };
constexpr std::array<const char*, fft::kWindowTypeCount> kWindowWords = {
    "rectangular", "parzen", "hanning", "blackman", "gaussian", "welch", "hamming"
};
constexpr std::array<const char*, fft::kInputModeCount> kInputWords = { "lr", "left", "right", "diff" };

template <std::size_t N>
int IndexOf(const std::array<const char*, N>& words, const QString& word)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (word == QLatin1String(words[i]))
            return static_cast<int>(i);
    }
    return -1;
}

template <std::size_t N>
QString WordAt(const std::array<const char*, N>& words, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N ? QString::fromLatin1(words[static_cast<std::size_t>(index)])
                                                             : QString();
}

bool TakesValue(const QString& option)
{
    static const QStringList valued = { QStringLiteral("--ppm-decay"), QStringLiteral("--ppm-peak"),
        QStringLiteral("--ppm-ballistics"),
        QStringLiteral("--fft-window"), QStringLiteral("--fft-input"), QStringLiteral("--snapshot"),
        QStringLiteral("--json"), QStringLiteral("--jobs"), QStringLiteral("--files-from"), QStringLiteral("--format"),
        QStringLiteral("--check"), QStringLiteral("--shard") };
    return valued.contains(option);
}

CAnalyzeOptions Refuse(CAnalyzeOptions options, const QString& why)
{
    options.action = CAnalyzeOptions::Action::Usage;
    options.error = why;
    return options;
}
}

CAnalyzeOptions::CAnalyzeOptions()
    : ppmDecayTime(kDecayTimes[ppm::kDefaultDecayIndex])
    , ppmPeakMode(ppm::kDefaultPeakMode)
    , fftWindow(fft::kDefaultWindowType)
    , fftInput(fft::kDefaultInputMode)
{
}

CAnalyzeOptions CAnalyzeOptions::Parse(const QStringList& args)
{
    CAnalyzeOptions options;
    bool filesOnly = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!filesOnly && arg == QLatin1String("-h")) {
            options.action = Action::Help;
            return options;
        }
        if (filesOnly || !arg.startsWith(QLatin1String("--"))) {
            options.files << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            filesOnly = true;
            continue;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("--version")) {
            options.action = arg == QLatin1String("--help") ? Action::Help : Action::Version;
            return options;
        }
        if (arg == QLatin1String("--timeline") || arg == QLatin1String("--null") || arg == QLatin1String("--merge")
            || arg == QLatin1String("--progress")) {
            (arg == QLatin1String("--timeline") ? options.timeline
                 : arg == QLatin1String("--null") ? options.nulSeparated
                 : arg == QLatin1String("--merge") ? options.merge
                                                   : options.progress) = true;
            continue;
        }
        // "--option value" or "--option=value".
        QString option = arg;
        QString value;
        const int equals = arg.indexOf(QLatin1Char('='));
        if (equals > 0) {
            option = arg.left(equals);
            value = arg.mid(equals + 1);
        }
        if (!TakesValue(option))
            return Refuse(options, QStringLiteral("unknown option %1").arg(option));
        if (equals < 0) {
            if (i + 1 >= args.size())
                return Refuse(options, QStringLiteral("%1 needs a value").arg(option));
            value = args[++i];
        }
        if (!options.Apply(option, value))
            return Refuse(options, QStringLiteral("%1 does not take \"%2\"").arg(option, value));
    }
    if (options.files.isEmpty() && (options.filesFrom.isEmpty() || options.merge))
        return Refuse(options, options.merge ? QStringLiteral("no part to merge") : QStringLiteral("no file to analyse"));
    return options;
}

bool CAnalyzeOptions::Apply(const QString& option, const QString& value)
{
    if (option == QLatin1String("--jobs")) {
        bool ok = false;
        jobs = value.toInt(&ok);
        return ok && jobs >= 1;
    }
    if (option == QLatin1String("--files-from")) {
        filesFrom = value;
        return !value.isEmpty();
    }
    if (option == QLatin1String("--format"))
        return CReportWriter::ParseFormat(value, format);
    if (option == QLatin1String("--check")) {
        check = value;
        return CDeliveryRule::Find(value) != nullptr;
    }
    if (option == QLatin1String("--shard")) {
        QString why;
        return CShardSelection::Parse(value, shard, why);
    }
    if (option == QLatin1String("--snapshot") || option == QLatin1String("--json")) {
        if (value.isEmpty())
            return false;
        (option == QLatin1String("--json") ? jsonPath : snapshotDir) = value;
        return true;
    }
    if (option == QLatin1String("--ppm-decay")) {
        const int index = IndexOf(kDecayWords, value);
        if (index >= 0)
            ppmDecayTime = kDecayTimes[static_cast<std::size_t>(index)];
        return index >= 0;
    }
    int* target = nullptr;
    int index = -1;
    if (option == QLatin1String("--ppm-peak")) {
        target = &ppmPeakMode;
        index = IndexOf(kPeakWords, value);
    } else if (option == QLatin1String("--ppm-ballistics")) {
        target = &ppmBallistics;
        index = IndexOf(kBallisticsWords, value);
    } else if (option == QLatin1String("--fft-window")) {
        target = &fftWindow;
        index = IndexOf(kWindowWords, value);
    } else if (option == QLatin1String("--fft-input")) {
        target = &fftInput;
        index = IndexOf(kInputWords, value);
    }
    if (!target || index < 0)
        return false;
    *target = index;
    return true;
}

QString CAnalyzeOptions::PpmDecayName(unsigned decayTime)
{
    for (std::size_t i = 0; i < kDecayTimes.size(); ++i) {
        if (kDecayTimes[i] == decayTime)
            return QString::fromLatin1(kDecayWords[i]);
    }
    return QString();
}

int CAnalyzeOptions::Workers() const
{
    if (jobs > 0)
        return jobs;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

QString CAnalyzeOptions::PpmPeakName(int peakMode) { return WordAt(kPeakWords, peakMode); }
QString CAnalyzeOptions::WindowName(int windowType) { return WordAt(kWindowWords, windowType); }
QString CAnalyzeOptions::InputName(int inputMode) { return WordAt(kInputWords, inputMode); }

QString CAnalyzeOptions::VersionText()
{
    return QStringLiteral("%1 %2 (build %3)\n")
        .arg(QString::fromLatin1(offline::kProgramName), QStringLiteral(LUMETRA_VERSION_STRING))
        .arg(LUMETRA_BUILD_NUMBER);
}

QString CAnalyzeOptions::UsageText()
{
    return QStringLiteral(
        "Usage: lumetra-analyze [options] FILE...\n"
        "       lumetra-analyze [options] --files-from LIST\n"
        "       lumetra-analyze --merge PART.jsonl...\n"
        "Runs each sound file through the peak programme meter, the correlation\n"
        "meter, the spectrum analyzer, the stereo meter and the loudness meter,\n"
        "faster than real time, and prints one JSON report with an object per file.\n"
        "\n"
        "Options (defaults: the program's first-run settings):\n"
        "  --ppm-decay fast|medium|slow   PPM decay time (medium)\n"
        "  --ppm-peak hold|decay|none     PPM peak marker (hold)\n"
        "  --ppm-ballistics digital|true|din|nordic|bbc|ebu\n"
        "                                 PPM ballistics: block peak, true peak, IEC\n"
        "                                 Type I (DIN, Nordic), Type II (BBC, EBU) (digital)\n"
        "  --fft-window rectangular|parzen|hanning|blackman|gaussian|welch|hamming\n"
        "                                 analyzer window function (blackman)\n"
        "  --fft-input lr|left|right|diff analyzer input: Left + Right, Left, Right,\n"
        "                                 Left - Right (lr)\n"
        "  --timeline                     one entry per analysis window (1024 frames),\n"
        "                                 with momentary and short-term loudness\n"
        "  --snapshot DIR                 save ppm.png, analyzer.png, correlation.png and\n"
        "                                 stereo.png as shown at the end of the file (one\n"
        "                                 folder per file when several files are given)\n"
        "  --json FILE                    write the report (any format) to FILE (default:\n"
        "                                 standard output)\n"
        "  --jobs N                       analyse N files at a time (default: one per core)\n"
        "  --files-from LIST              also analyse the files LIST names, one per line\n"
        "                                 (- reads the list from standard input)\n"
        "  --null                         the list's names end with NUL (find -print0)\n"
        "  --format json|jsonl|csv        json: one array (default); jsonl: one line per\n"
        "                                 file, written as soon as it is done; csv: one\n"
        "                                 summary row per file\n"
        "  --check ebu-r128|atsc-a85|streaming-14|streaming-16\n"
        "                                 judge each file's loudness and true peak\n"
        "  --shard K/N                    analyse only the files whose position in the\n"
        "                                 list (from 0) modulo N is K\n"
        "  --merge                        the files are jsonl reports of shards: print\n"
        "                                 them as one json report in list order\n"
        "  --progress                     show progress on standard error even when it is\n"
        "                                 not a terminal\n"
        "  -h, --help                     show this text\n"
        "  --version                      show the version\n"
        "\n"
        "Exit status: 0 when every file was analysed, 1 when a file could not be read\n"
        "(the others are still analysed) or the report not written, 2 for a bad option\n"
        "or a list that cannot be read, 3 when a file failed its --check (1 outranks 3).\n");
}
