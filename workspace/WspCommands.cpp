#include "workspace/WspCommands.h"

#include "workspace/CaptureControl.h"
#include "workspace/LoudnessWorkspaceView.h"
#include "workspace/WorkspaceHost.h"
#include "workspace/WorkspaceIds.h"
#include "workspace/WorkspaceView.h"

CWspCommands::CWspCommands(IWorkspaceHost& host, ICaptureControl& capture)
    : m_host(host)
    , m_capture(capture)
{
}

bool CWspCommands::IsWorkspaceCommand(int id)
{
    return (id >= ID_WSP_RECALL_FIRST && id <= ID_WSP_RECALL_LAST)
        || (id >= ID_WSP_STORE_FIRST && id <= ID_WSP_STORE_LAST)
        || id == ID_DEVICE_WAVEMAPPER
        || (id >= ID_DEVICE_FIRST && id <= ID_DEVICE_LAST)
        || id == ID_RATE_44100 || id == ID_RATE_48000;
}

bool CWspCommands::OnCommand(int id)
{
    if (id >= ID_WSP_RECALL_FIRST && id <= ID_WSP_RECALL_LAST)
        RecallWorkspace(id - ID_WSP_RECALL_FIRST);
    else if (id >= ID_WSP_STORE_FIRST && id <= ID_WSP_STORE_LAST)
        StoreWorkspace(id - ID_WSP_STORE_FIRST);
    else if (id == ID_DEVICE_WAVEMAPPER)
        ChangeDevice(kWaveMapperDeviceId);
    else if (id >= ID_DEVICE_FIRST && id <= ID_DEVICE_LAST)
        ChangeDevice(id - ID_DEVICE_FIRST);
    else if (id == ID_RATE_44100)
        ChangeSampleRate(kRate44100);
    else if (id == ID_RATE_48000)
        ChangeSampleRate(kRate48000);
    else
        return false;
    return true;
}

void CWspCommands::UpdateViews(int hint, CWsp& workspace)
{
    for (IWorkspaceView* view : m_host.Views()) {
        if (view)
            view->OnUpdate(hint, &workspace);
    }
}

void CWspCommands::RecallWorkspace(int index)
{
    if (index < 0 || index >= m_list.Count())
        return;
    CWsp copy;
    copy.CopyFrom(m_list.At(index));
    if (!copy.IsStored())
        return;
    m_host.SetMainPlacement(copy.m_frame.m_wp);
    UpdateViews(HINT_RESTORE, copy);
    UpdateViews(HINT_ARRANGE, copy);
    ILoudnessWorkspaceView* loudness = m_host.LoudnessView();
    if (const CLoudnessWspRecord* record = m_loudness.Find(static_cast<std::uint32_t>(index)); loudness && record)
        loudness->ApplyWspRecord(*record);
}

void CWspCommands::StoreWorkspace(int index)
{
    if (index < 0 || index >= m_list.Count())
        return;
    CWsp copy;
    copy.CopyFrom(m_list.At(index));
    copy.m_winSets.clear();
    UpdateViews(HINT_STORE, copy);
    copy.m_frame.m_wp = m_host.GetMainPlacement();
    copy.m_frame.m_strTitle = CWinSet::TextToBytes(m_host.MainCaption());
    m_list.Replace(index, copy);
    if (ILoudnessWorkspaceView* loudness = m_host.LoudnessView())
        m_loudness.Set(loudness->WspRecord(static_cast<std::uint32_t>(index)));
}

template <typename Apply> void CWspCommands::ChangeCaptureSetting(Apply apply)
{
    if (!m_capture.IsCaptureOpened()) {
        apply();
        return;
    }
    // Every running instrument goes off, which closes the device; restoring
    // the views switches them on again and the first reopens the device.
    CWsp running;
    UpdateViews(HINT_STORE, running);
    ILoudnessWorkspaceView* loudness = m_host.LoudnessView();
    const CLoudnessWspRecord loudnessRunning = loudness ? loudness->WspRecord(0) : CLoudnessWspRecord {};
    m_capture.AllMetersOff();
    apply();
    UpdateViews(HINT_RESTORE, running);
    if (loudness)
        loudness->ApplyWspRecord(loudnessRunning);
}

void CWspCommands::ChangeDevice(int deviceId)
{
    ChangeCaptureSetting([&] { m_capture.SetDeviceId(deviceId); });
}

void CWspCommands::ChangeSampleRate(int rate)
{
    m_capture.SetAnalyzerSampleRate(rate);
    ChangeCaptureSetting([&] { m_capture.SetSampleRate(rate); });
}

bool CWspCommands::LoadWorkspaces(const QString& path)
{
    // A missing or damaged side file leaves the loudness window as it is.
    m_loudness.Clear();
    m_loudness.Load(CLoudnessWsp::PathBeside(path));
    CWspList loaded;
    if (loaded.Load(path)) {
        m_list = loaded;
        return true;
    }
    m_list.FillDefaults();
    return false;
}

bool CWspCommands::SaveWorkspaces(const QString& path)
{
    // The side file follows the workspace file it belongs to; while no
    // loudness state was ever stored there is nothing to write.
    const bool saved = m_list.Save(path);
    if (saved && !m_loudness.Records().empty())
        m_loudness.Save(CLoudnessWsp::PathBeside(path));
    return saved;
}
