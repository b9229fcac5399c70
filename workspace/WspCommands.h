#pragma once
// The document's workspace commands: store and recall of the eight
// workspaces (Shift+F5 .. Shift+F12, F5 .. F12) and the device and
// sample-rate commands, which reuse the same exchange with the views to
// switch every running instrument off and on again around the change.
// Owns the workspace list. UI thread only.
//
// Wiring (the shell's document):
//   CDocCaptureControl capture(doc);          // lives as long as the commands
//   CWspCommands commands(host, capture);     // host: IWorkspaceHost
//   commands.LoadWorkspaces();                // at document creation
//   ... if (commands.OnCommand(id)) return;   // from the command table
//   commands.SaveWorkspaces();                // at document close, after MeterOff(true)
//
// Contract:
// - Recall k (ID_WSP_RECALL_FIRST + k): nothing when k is beyond the list or
//   workspace k was never stored (empty frame title). Otherwise the main
//   placement is set from the frame record, then every view gets
//   HINT_RESTORE, then every view gets HINT_ARRANGE, each with a copy of the
//   workspace, in view order. The main caption is not changed. Then the
//   loudness window applies its side-file record of workspace k, if any.
// - Store k (ID_WSP_STORE_FIRST + k): nothing when k is beyond the list.
//   Otherwise a copy of workspace k (keeping its name) with no records gets
//   HINT_STORE through every view in view order (each appends its record),
//   then the main placement and caption go into its frame record and it
//   replaces workspace k in place; the loudness window's state for k goes
//   to the side file's records. The files are written only by
//   SaveWorkspaces.
// - Device (ID_DEVICE_WAVEMAPPER: -1; ID_DEVICE_FIRST + n: n) and rate
//   (ID_RATE_44100, ID_RATE_48000): a rate first goes to the analyzer
//   display. With capture not opened the id or rate is only stored.
//   Otherwise every view stores into a temporary workspace (HINT_STORE), all
//   meters go off (closing the device), the id or rate is stored, and every
//   view restores (HINT_RESTORE), switching back on what was on, which
//   reopens the device with the new setting. The loudness window is
//   switched off and back on with them (its integration starts afresh).
#include "workspace/WorkspaceIds.h"
#include "workspace/LoudnessWsp.h"
#include "workspace/WspList.h"

#include <QString>

class ICaptureControl;
class IWorkspaceHost;

class CWspCommands {
public:
    CWspCommands(IWorkspaceHost& host, ICaptureControl& capture);

    // True when `id` is one of the commands above (handled or, for a key
    // beyond the list, deliberately ignored).
    bool OnCommand(int id);
    static bool IsWorkspaceCommand(int id);

    void RecallWorkspace(int index);
    void StoreWorkspace(int index);
    void ChangeDevice(int deviceId);
    void ChangeSampleRate(int rate);

    // Reads the workspace file; a file that is missing or not a valid
    // workspace file gives the eight default workspaces instead. True when
    // the file was read.
    bool LoadWorkspaces(const QString& path = kWorkspaceFileName);
    // Writes the workspace file; false (no message) when it could not be
    // written, the old file then being left intact.
    bool SaveWorkspaces(const QString& path = kWorkspaceFileName);

    CWspList& List() { return m_list; }
    const CWspList& List() const { return m_list; }
    // The loudness window's states, loaded and saved beside the workspace
    // file by LoadWorkspaces and SaveWorkspaces.
    const CLoudnessWsp& LoudnessStates() const { return m_loudness; }

private:
    void UpdateViews(int hint, CWsp& workspace);
    template <typename Apply> void ChangeCaptureSetting(Apply apply);

    IWorkspaceHost& m_host;
    ICaptureControl& m_capture;
    CWspList m_list;
    CLoudnessWsp m_loudness;
};
