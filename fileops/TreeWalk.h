// CTreeWalk: one run of the recursive copy or erase of a folder tree. It walks the UTF-16 paths themselves, so
// that every entry is reached whatever its name; it counts the files done and, once the run lasts more than a
// moment, shows them with the current name in the status line; Escape stops it after the current file; the
// entries it could not reach are reported when it ends.
#pragma once

#include <string>
#include <vector>

#include "framework/String.h"
#include "framework/Win32.h"

class CFileOps;

class CTreeWalk {
public:
    enum class Operation { kOther, kCopy, kRemove };
    // "Copy" and "Remove" exactly; any other name walks and changes nothing.
    static Operation OperationOf(const CString& name);

    CTreeWalk(CFileOps& ops, Operation operation);
    ~CTreeWalk();
    CTreeWalk(const CTreeWalk&) = delete;
    CTreeWalk& operator=(const CTreeWalk&) = delete;

    // The whole run of WalkDir: refused (-1) when destination is source or lies inside it; otherwise the walk,
    // the source folder itself removed after a "Remove", and the report of what was not reached. 0.
    int Run(const std::wstring& source, const std::wstring& destination);
    // One folder level, sub-folders first; -1 when a file copy of this level was declined or the run stopped.
    int Walk(const std::wstring& source, const std::wstring& destination);

    bool Stopped() const { return m_bStopped; }
    int FilesDone() const { return m_nDone; }

private:
    struct Entry {
        std::wstring name;
        DWORD attributes;
    };
    // The entries of folder sharing a bit with mask ("." and ".." never; folders only when mask asks for them).
    // False when the folder could not be listed.
    static bool List(std::vector<Entry>& entries, const std::wstring& folder, DWORD mask);
    // One file done: counted, shown once the run lasts, and Escape looked for.
    void Advance(const std::wstring& path);
    void Missed(const std::wstring& path);
    void ReportMissed() const;

    CFileOps& m_ops;
    Operation m_operation;
    int m_nDone = 0;
    DWORD m_dwStart;
    DWORD m_dwLastShown = 0;
    DWORD m_dwLastLook = 0;
    bool m_bShown = false;
    bool m_bStopped = false;
    CStringArray m_astrMissed;
};
