#include "shell/VelmoraApp.h"

#include "Version.h"
#include "audio/AudioCapture.h"
#include "audio/MeterSinks.h"
#include "audio/VelmoraDoc.h"
#include "meters/common/MeterView.h"
#include "meters/loudness/LoudnessView.h"
#include "platform/SettingsStore.h"
#include "platform/WindowPlacement.h"
#include "shell/AboutDlg.h"
#include "shell/HelpLauncher.h"
#include "shell/MainFrame.h"
#include "shell/MultiViewFrame.h"
#include "shell/ShellIds.h"
#include "shell/UiThreadPriority.h"
#include "shell/ViewFactory.h"
#include "workspace/DocCaptureControl.h"
#include "workspace/WspCommands.h"

#include <QApplication>
#include <QIcon>
#include <QMdiArea>
#include <QSysInfo>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

// Outside any namespace, as the resource registration requires.
static void InitResources() { Q_INIT_RESOURCE(lumetra); }

using namespace ShellIds;

namespace {
QString Settings() { return QString::fromLatin1(kSectionSettings); }
QString Entry(const char* name) { return QString::fromLatin1(name); }

constexpr int kShowMinimize = 6;
constexpr int kShowMinNoActive = 7;

// Only 44100 and 48000 Hz are offered; anything else stored reads as 44100.
int ValidRate(int rate) { return rate == kRate48000 ? kRate48000 : kRate44100; }
}

const CCommandMap<CVelmoraApp> CVelmoraApp::s_commands {
    { ID_PRIORITY_NORMAL, ID_PRIORITY_HIGH, &CVelmoraApp::OnPriority },
    { ID_ON_TOP, ID_ON_TOP, &CVelmoraApp::OnOnTop },
    { ID_HELP_INDEX, ID_HELP_INDEX, &CVelmoraApp::OnHelp },
    { ID_HOMEPAGE, ID_HOMEPAGE, &CVelmoraApp::OnHomepage },
    { ID_DEALER_HOMEPAGE, ID_DEALER_HOMEPAGE, &CVelmoraApp::OnDealerHomepage },
    { ID_APP_ABOUT, ID_APP_ABOUT, &CVelmoraApp::OnAbout },
};

CVelmoraApp::CVelmoraApp() { InitResources(); }

CVelmoraApp::~CVelmoraApp()
{
    // No block may reach the hub while the windows and the hub go away.
    if (m_pCapture && m_pCapture->IsThreadRunning())
        m_pCapture->EndThread();
    m_pMainFrame.reset();
    m_frames.clear();
    m_pWspCommands.reset();
    m_pCaptureControl.reset();
    m_pDoc.reset();
}

// ---- start-up ----------------------------------------------------------------------------

void CVelmoraApp::ReadProgramSettings()
{
    QCoreApplication::setOrganizationName(QString::fromLatin1(CSettingsStore::kOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(CSettingsStore::kApplication));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/lumetra.png")));

    m_strVersion = CAboutDlg::FormatVersionText(LUMETRA_VERSION_MAJOR, LUMETRA_VERSION_MINOR,
        LUMETRA_VERSION_PATCH, LUMETRA_BUILD_NUMBER);
    m_strOsName = QSysInfo::prettyProductName();
    m_strDealerHomePage = CSettingsStore::GetString(QString::fromLatin1(kSectionDealer), Entry(kEntryHomePage),
        QString::fromLatin1(kDefaultDealerHomePage));
    m_nPriority = CSettingsStore::GetInt(Settings(), Entry(kEntryPriority), kDefaultPriority);
    m_bOnTop = CSettingsStore::GetInt(Settings(), Entry(kEntryOnTop), kDefaultOnTop) != 0;
}

bool CVelmoraApp::InitInstance()
{
    ReadProgramSettings();
    m_templates = CViewFactory::Templates();

    m_pCapture = std::make_unique<CAudioCapture>();
    // The thread starts at the priority it keeps: an unprivileged thread
    // that started lower could not come back up.
    if (m_nPriority == 0 || m_nPriority == 1)
        m_pCapture->SetThreadPriority(m_nPriority == 1);
    m_pCapture->CreateThread();

    m_pMainFrame = std::make_unique<CMainFrame>(*this, this);
    for (const CDocTemplate& t : m_templates)
        m_pMainFrame->AddTemplateMenu(t.type);

    if (!OpenDocument())
        return false;

    RestoreMainWindow();
    if (!m_strDeviceNote.isEmpty())
        m_pMainFrame->ShowDeviceNote(m_strDeviceNote);
    SetPriority(m_nPriority);
    m_pMainFrame->ApplyOnTop(m_bOnTop);
    m_pCapture->Device().SetSampleRate(ValidRate(CSettingsStore::GetInt(Settings(), Entry(kEntrySampleRate), kRate44100)));
    OpenCaptureIfMetersOn();
    if (IFftSink* analyzer = m_pDoc->Fft())
        analyzer->SetSampleRate(m_pCapture->Device().SampleRate());
    ActivateStoredView();
    return true;
}

bool CVelmoraApp::OpenDocument()
{
    m_pDoc = std::make_unique<CVelmoraDoc>(*m_pCapture);
    m_pDoc->SetHost(m_pMainFrame.get());
    m_pDoc->SetSharedState(&m_meterState);
    m_pCaptureControl = std::make_unique<CDocCaptureControl>(*m_pDoc);
    m_pWspCommands = std::make_unique<CWspCommands>(*this, *m_pCaptureControl);

    // "No input device found!" has been shown; there is no document.
    if (m_pCapture->Device().EnumerateDevices() < 0) {
        m_pWspCommands.reset();
        m_pCaptureControl.reset();
        m_pDoc.reset();
        return false;
    }
    for (const CDocTemplate& t : m_templates)
        CreateInstrumentWindow(t);
    m_pWspCommands->LoadWorkspaces();
    ChooseStoredDevice();
    m_bDocumentOpen = true;
    return true;
}

// The stored name wins over the stored position, which points elsewhere
// once a device came or went; a device no longer listed gives way to the
// default device, and the title says so.
void CVelmoraApp::ChooseStoredDevice()
{
    CWaveInDevice& device = m_pCapture->Device();
    int id = CSettingsStore::GetInt(Settings(), Entry(kEntryDevice), kDefaultDevice);
    const std::string name = CSettingsStore::GetString(Settings(), Entry(kEntryDeviceName), QString()).toStdString();
    const std::vector<std::string>& names = device.Names();
    const bool idNamesIt = id >= 0 && id < static_cast<int>(names.size()) && names[static_cast<std::size_t>(id)] == name;
    if (id >= 0 && !name.empty() && !idNamesIt) {
        const auto found = std::find(names.begin(), names.end(), name);
        if (found != names.end()) {
            id = static_cast<int>(found - names.begin());
        } else {
            id = WAVE_MAPPER;
            m_strDeviceNote = QStringLiteral("%1 not found, using the default input").arg(QString::fromStdString(name));
        }
    }
    device.SetDeviceId(id);
}

void CVelmoraApp::CreateInstrumentWindow(const CDocTemplate& docTemplate)
{
    CMeterView* view = docTemplate.createView(*this);
    auto* frame = new CMultiViewFrame(view, docTemplate.title, this);
    m_pMainFrame->AddFrame(frame);
    // Each new window starts one caption below and right of the one before,
    // at a default size no smaller than its view allows, until its view
    // places it.
    const int step = frame->contentsMargins().top();
    const int index = static_cast<int>(m_frames.size());
    const QSize size = QSize(kDefaultChildWidth, kDefaultChildHeight).expandedTo(view->MinTrackSize());
    frame->setGeometry(QRect(QPoint(index * step, index * step), size));
    m_frames.push_back(frame);
    // The view restores its placement and registers with the hub, then its
    // window appears.
    view->OnInitialUpdate();
    frame->show();
}

void CVelmoraApp::RestoreMainWindow()
{
    CWindowPlacement placement;
    if (CWindowPlacement::FromBytes(CSettingsStore::GetBinary(Settings(), Entry(kEntryPosition)), placement)) {
        // A program never starts minimised, whichever minimising show
        // command the stored placement holds.
        if (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == kShowMinimize
            || placement.showCmd == kShowMinNoActive)
            placement.showCmd = SW_SHOWNORMAL;
        SetTopLevelPlacement(m_pMainFrame.get(), placement);
    }
    m_pMainFrame->show();
    // The instrument windows were placed before the client area had its
    // size; now each one is kept where its caption can be reached.
    for (CMultiViewFrame* frame : m_frames)
        frame->KeepReachable();
}

void CVelmoraApp::OpenCaptureIfMetersOn()
{
    if (m_pDoc->MeterCount() > 0 && !m_pDoc->OpenForRestoredMeters())
        m_pDoc->AllMetersOff();
}

void CVelmoraApp::ActivateStoredView()
{
    const QString tag = CSettingsStore::GetString(Settings(), Entry(kEntryActive), QString::fromLatin1(kDefaultActive));
    for (std::size_t i = 0; i < m_templates.size() && i < m_frames.size(); ++i) {
        if (m_templates[i].tag == tag)
            m_pMainFrame->ActivateFrame(m_frames[i]);
    }
}

// ---- exit ---------------------------------------------------------------------------------

void CVelmoraApp::OnCloseMainFrame()
{
    CloseDocument();
    m_pMainFrame->SavePlacement();
}

QString CVelmoraApp::ActiveTag() const
{
    const CMeterView* active = m_pMainFrame->ActiveView();
    for (std::size_t i = 0; i < m_templates.size() && i < m_frames.size(); ++i) {
        if (active && m_frames[i]->View() == active)
            return m_templates[i].tag;
    }
    return QString();
}

void CVelmoraApp::CloseDocument()
{
    if (!m_bDocumentOpen)
        return;
    m_bDocumentOpen = false;
    CWaveInDevice& device = m_pCapture->Device();
    CSettingsStore::WriteInt(Settings(), Entry(kEntryDevice), device.DeviceId());
    const int id = device.DeviceId();
    const std::vector<std::string>& names = device.Names();
    CSettingsStore::WriteString(Settings(), Entry(kEntryDeviceName),
        id >= 0 && id < static_cast<int>(names.size()) ? QString::fromStdString(names[static_cast<std::size_t>(id)]) : QString());
    CSettingsStore::WriteInt(Settings(), Entry(kEntrySampleRate), device.SampleRate());
    m_pCapture->m_bStop.store(1, std::memory_order_release);
    if (m_pDoc->MeterCount() > 0)
        m_pDoc->MeterOff(true);
    // A display that fell behind loses whole blocks; say so, since the
    // readings of such a run are not complete.
    if (const std::uint64_t dropped = m_pDoc->DroppedPackets(); dropped > 0)
        std::fprintf(stderr, "lumetra: the displays missed %llu of the captured blocks\n", static_cast<unsigned long long>(dropped));
    m_pWspCommands->SaveWorkspaces();
    if (const QString tag = ActiveTag(); !tag.isEmpty())
        CSettingsStore::WriteString(Settings(), Entry(kEntryActive), tag);
    // The views write their own settings as their windows go.
    for (CMultiViewFrame* frame : m_frames) {
        if (frame->View())
            frame->View()->OnDestroy();
    }
}

int CVelmoraApp::ExitInstance()
{
    CSettingsStore::WriteInt(Settings(), Entry(kEntryPriority), m_nPriority);
    CSettingsStore::WriteInt(Settings(), Entry(kEntryMsgDecay), kPostedTickMode);
    CSettingsStore::WriteInt(Settings(), Entry(kEntryOnTop), m_bOnTop ? 1 : 0);
    CSettingsStore::Sync();
    if (m_pCapture && m_pCapture->IsThreadRunning())
        m_pCapture->EndThread();
    return 0;
}

// ---- commands -----------------------------------------------------------------------------

bool CVelmoraApp::OnCommand(int id)
{
    if (s_commands.Dispatch(*this, id))
        return true;
    return m_pWspCommands && m_pWspCommands->OnCommand(id);
}

void CVelmoraApp::SetPriority(int priority)
{
    m_nPriority = priority;
    if (priority != 0 && priority != 1)
        return;
    const bool high = priority == 1;
    // Normal: capture below normal, user interface normal. High: capture
    // normal, user interface above normal. What the system refuses is kept,
    // and said once.
    const bool captureSet = m_pCapture->SetThreadPriority(high);
    const int uiNice = CUiThreadPriority::Apply(high);
    const int uiWanted = high ? CUiThreadPriority::kNiceAboveNormal : CUiThreadPriority::kNiceNormal;
    if ((!captureSet || uiNice != uiWanted) && !m_bPriorityRefusalShown) {
        m_bPriorityRefusalShown = true;
        std::fprintf(stderr, "lumetra: the system refused the %s priority (capture thread %s, user interface at nice %d instead of %d)\n",
                     high ? "High" : "Normal", captureSet ? "set" : "kept as it was", uiNice, uiWanted);
    }
}

void CVelmoraApp::OnPriority(int id) { SetPriority(id - ID_PRIORITY_NORMAL); }

void CVelmoraApp::OnOnTop(int)
{
    m_bOnTop = !m_bOnTop;
    m_pMainFrame->ApplyOnTop(m_bOnTop);
}

void CVelmoraApp::OnHelp(int)
{
    if (m_pMainFrame)
        CHelpLauncher::OpenHelp();
}

void CVelmoraApp::OnHomepage(int) { CHelpLauncher::OpenUrl(QString::fromLatin1(kNewsPage)); }

void CVelmoraApp::OnDealerHomepage(int)
{
    CHelpLauncher::OpenUrl(QString::fromLatin1(kDealerScheme) + m_strDealerHomePage);
}

void CVelmoraApp::OnAbout(int)
{
    CAboutDlg about(m_strVersion, m_strOsName, m_pMainFrame.get());
    about.exec();
}

CCheckState CVelmoraApp::CheckState() const
{
    CCheckState state;
    state.deviceId = m_pCapture->Device().DeviceId();
    state.priority = m_nPriority;
    state.sampleRate = m_pCapture->Device().SampleRate();
    state.onTop = m_bOnTop;
    return state;
}

bool CVelmoraApp::RescanDevices()
{
    if (!m_pDoc || m_pDoc->MeterCount() > 0 || m_pCapture->Device().IsOpen())
        return false;
    CWaveInDevice& device = m_pCapture->Device();
    const int id = device.DeviceId();
    const std::vector<std::string> before = device.Names();
    const std::string chosen = id >= 0 && id < static_cast<int>(before.size()) ? before[static_cast<std::size_t>(id)] : std::string();
    if (!CWaveIn::Instance().Rescan())
        return false;
    device.EnumerateDevices(true);
    const std::vector<std::string>& names = device.Names();
    if (!chosen.empty()) {
        const auto found = std::find(names.begin(), names.end(), chosen);
        if (found != names.end())
            device.SetDeviceId(static_cast<int>(found - names.begin()));
    }
    return true;
}

CMultiViewFrame* CVelmoraApp::FrameOfType(int type) const
{
    for (CMultiViewFrame* frame : m_frames) {
        if (frame->View() && frame->View()->InstrumentType() == type)
            return frame;
    }
    return nullptr;
}

// ---- the view host ------------------------------------------------------------------------

QWidget* CVelmoraApp::ActiveView() const { return m_pMainFrame ? m_pMainFrame->ActiveView() : nullptr; }

void CVelmoraApp::OnFirstActivation()
{
    if (CFrameMenu* menu = m_pMainFrame ? m_pMainFrame->CurrentMenu() : nullptr)
        menu->SetUpOnFirstActivation(m_pCapture->Device().Names(), m_strDealerHomePage);
}

// ---- moving and sizing ------------------------------------------------------------------------

void CVelmoraApp::OnEnterSizeMove() { m_pCapture->m_bPostTick.store(0, std::memory_order_relaxed); }

void CVelmoraApp::OnExitSizeMove()
{
    m_pCapture->m_bPostTick.store(1, std::memory_order_relaxed);
    if (m_pDoc)
        m_pDoc->ResetDisplays();
}

// ---- the workspace host -----------------------------------------------------------------------

std::vector<IWorkspaceView*> CVelmoraApp::Views() const
{
    // The loudness window keeps its workspace state in the side file: a
    // record of it in the workspace file would change that file's format.
    std::vector<IWorkspaceView*> views;
    for (CMultiViewFrame* frame : m_frames) {
        if (!frame->View() || frame->View()->InstrumentType() != static_cast<int>(CLoudnessView::kType))
            views.push_back(frame->View());
    }
    return views;
}

ILoudnessWorkspaceView* CVelmoraApp::LoudnessView() const
{
    const CMultiViewFrame* frame = FrameOfType(static_cast<int>(CLoudnessView::kType));
    return frame ? qobject_cast<CLoudnessView*>(frame->View()) : nullptr;
}

CWindowPlacement CVelmoraApp::GetMainPlacement() const { return GetTopLevelPlacement(m_pMainFrame.get()); }

void CVelmoraApp::SetMainPlacement(const CWindowPlacement& placement) { SetTopLevelPlacement(m_pMainFrame.get(), placement); }

// The notes in the title (a lost input, dropouts) are not the workspace's business.
QString CVelmoraApp::MainCaption() const { return CMainFrame::BaseTitle(); }
