#include "workspace/WspCommands.h"

#include "workspace/CaptureControl.h"
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
    m_capture.AllMetersOff();
    apply();
    UpdateViews(HINT_RESTORE, running);
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
    CWspList loaded;
    if (loaded.Load(path)) {
        m_list = loaded;
        return true;
    }
    m_list.FillDefaults();
    return false;
}

bool CWspCommands::SaveWorkspaces(const QString& path) { return m_list.Save(path); }
