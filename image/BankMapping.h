// CBankMapping: a sample bank image opened as a file mapping. Only the windows of the file that hold the frames
// drawn are mapped, a few at a time, so a bank of any size is shown whole while the memory used follows the frames
// on screen. Frames are painted straight from the mapped rows.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/Handles.h"
#include "framework/String.h"
#include "image/SampleBank.h"

class CBankMapping {
public:
    enum OpenResult {
        kMissing,    // no bank image: the usual case, nothing to say
        kUnreadable, // there, but it cannot be opened or mapped
        kEmpty,      // a file of no bytes
        kNotPicture, // not a .BMP file at all
        kOtherShape, // a picture of another sample size or depth: no samples
        kOpened,
    };

    CBankMapping() = default;
    ~CBankMapping() { Close(); }
    CBankMapping(const CBankMapping&) = delete;
    CBankMapping& operator=(const CBankMapping&) = delete;

    // Opens the bank image at path; whatever the result, the path is watched until Close.
    OpenResult Open(const CString& path, int frameWidth, int frameHeight);

    // Unmaps everything and forgets the path.
    void Close();
    // Lets go of the file (so that it can be replaced or deleted) but keeps watching its path: NeedsReopen is
    // then true.
    void SetAside();
    bool IsOpen() const { return bool(m_file); }
    // True when the file at the path is no longer the one mapped (another bank was moved in, it was removed, or
    // changed in size or time) or the file was set aside: the caller opens it again.
    bool NeedsReopen() const;
    // Whole frames of the file as it is now.
    int Frames() const { return m_nFrames; }
    const fovea::BankImageLayout& Layout() const { return m_layout; }

    // Takes the size of the mapped file again: frames past its end are dropped, with every view that reaches
    // there. Returns the frames left.
    int CheckLength();

    // The rows of frame k in a mapped view (the first stored row first), or null when the frame is not in the
    // file or cannot be mapped.
    const uint8_t* FrameBits(int k);
    const BITMAPINFO* FrameInfo() const { return reinterpret_cast<const BITMAPINFO*>(m_layout.bitmapInfo.data()); }
    // Paints frame k into to (stretched when the sizes differ); false when the frame is missing.
    bool DrawFrame(HDC hdc, const RECT& to, int k);
    // Bytes of the file mapped at present.
    uint64_t MappedBytes() const;

private:
    struct View {
        uint64_t start = 0;
        uint64_t length = 0;
        const uint8_t* base = nullptr;
        uint64_t lastUse = 0;
    };

    void UnmapViews();
    void UnmapView(size_t i);
    void CloseFile();

    fovea::ScopedFile m_file;
    fovea::ScopedHandle m_mapping;
    fovea::BankImageLayout m_layout;
    int m_nFrames = 0;
    uint64_t m_nFileSize = 0;
    std::vector<View> m_views;
    uint64_t m_nUses = 0;
    CString m_strPath;
    // The file's size and time at the path when it was opened: what ChangedOnDisk compares with.
    WIN32_FILE_ATTRIBUTE_DATA m_seen = {};
    bool m_bSeen = false;
    bool m_bSetAside = false;
};
