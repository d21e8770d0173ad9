// CFileOps: the drive information line of a folder, read from the platform and painted into the status bar.
#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "browser/DriveInfo.h"
#include "fileops/FileOps.h"
#include "image/SampleCreateDlg.h"

fovea::DriveSpace CFileOps::DriveSpaceOf(CString path)
{
    fovea::DriveSpace space;
    if (path.IsEmpty())
        return space;
    const char root[] = {path.GetAt(0), ':', '\\', '\0'};
    // The cluster size comes from the old query, which is exact for it; its cluster counts stop at what 32 bits
    // hold, so the sizes come from the 64-bit query.
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    const bool clusters = ::GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
    const uint64_t clusterBytes = clusters ? uint64_t(sectorsPerCluster) * bytesPerSector : 0;
    ULARGE_INTEGER available, totalBytes, freeBytes;
    if (::GetDiskFreeSpaceExA(root, &available, &totalBytes, &freeBytes))
        return fovea::DriveSpaceFromBytes(totalBytes.QuadPart, freeBytes.QuadPart, clusterBytes);
    if (clusters) {
        space.known = true;
        space.clusterBytes = clusterBytes;
        space.totalClusters = totalClusters;
        space.freeClusters = freeClusters;
    }
    return space;
}

CString CFileOps::DriveInfoText(CString path)
{
    std::vector<std::string> plugins;
    if (CFoveaApp* app = FoveaApp(); app && app->m_pSampleDlg) {
        const CStringArray& names = app->m_pSampleDlg->m_astrPluginFile;
        for (int i = 0; i < names.GetSize(); ++i)
            plugins.push_back(names[i].str());
    }
    return CString(fovea::FormatDriveInfo(DriveSpaceOf(path), path.str(), plugins));
}

int CFileOps::ShowDriveInfo(CString path)
{
    // The panes list their first folder before the frame has its status bar: no drive is asked then.
    CFoveaApp* app = FoveaApp();
    if (!app || !app->m_pMainFrame || !app->m_pMainFrame->m_wndStatusBar.m_hWnd)
        return 0;
    ShowStatusText(0, DriveInfoText(path));
    return 0;
}
