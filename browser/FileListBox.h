// CFileListBox: the list of one filer. It reads a folder into item lines (folders first, then the files that
// match the mask, each group sorted first on its first seven bytes, ties by the whole key and name), finds the
// folder's sample folder, hit-tests its cells and draws each item as a text line or a catalog cell.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "browser/ItemLine.h"
#include "framework/Gdi.h"
#include "framework/ImageList.h"
#include "framework/ListBox.h"
#include "image/BankMapping.h"
#include "image/SampleBank.h"

class CFileListBox : public CListBox {
public:
    // Window styles of the list: items run top to bottom, then into the next column.
    static constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_MULTICOLUMN | LBS_HASSTRINGS |
                                        LBS_OWNERDRAWFIXED | LBS_MULTIPLESEL | LBS_NOTIFY;
    // Bitmap of the attribute icons: images 20 pixels wide, white transparent.
    static constexpr UINT kIconBitmapId = 149;
    static constexpr int kIconImageWidth = 20;
    // An owner-drawn list box of fixed height refuses items of 256 pixels or more.
    static constexpr int kMaxItemHeight = 255;

    ~CFileListBox() override;

    // Creates the list and then its image list (the list's own WM_CREATE runs before this object is bound).
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Listing.
    void SetPath(const CString& path);
    void Refresh() { SetPath(CString(m_strPath)); }
    void SetMask(const CString& pattern) { m_strMask = pattern; }
    void SetSort(int keyMode, int order)
    {
        m_nKeyMode = keyMode;
        m_nOrder = order;
    }
    // The item line of a folder entry, in the list's key mode.
    CString FormatItemLine(const char* name, DWORD attributes, const FILETIME& lastWrite, DWORD sizeHigh,
                           DWORD sizeLow) const;

    // Reading items back.
    CString GetField(int index, int k) const;
    int IsFolderItem(int index) const;
    CString GetItemFileName(int index) const;
    // Date, size, attributes, extension and name of an item at once.
    fovea::ItemFields GetItemFields(int index) const;
    // The items a command applies to: the selected ones in list order, else the caret item.
    std::vector<int> CommandItems() const;
    // 0 for an item no call of the program reaches (its name has no Shift-JIS spelling and no short name).
    int IsReachableItem(int index) const;
    // Full paths of the command items (CommandItems) that the program's calls reach.
    CStringArray GetDragPaths() const;

    // Sample folder of the folder shown; create allows new index lines and folders (CD-ROM drives only).
    void FindSampleDir(int create);
    // Opens the sample bank of the folder shown as a file mapping (its names read, its frames mapped as they are
    // drawn), or none.
    void LoadSamples();
    // Every file list lets go of its bank file so that it can be replaced or deleted; each opens it again when it
    // next paints.
    static void SetBanksAside();
    // The memory DC the bank is drawn from, with the colour cube realised; made once.
    void PrepareSampleDC();

    // Presentation.
    void SetColumns(int height, int icon, int name, int ext, int size, int date);
    int ItemFromPoint(int x, int y) const;
    int InSelectZone(int x, int y) const;
    // Paints one item (the owner draw of the list box); the catalog drawing.
    void DrawCatalogItem(bool entire, bool selected, int index, HDC hdc, const RECT& item);
    // A one-pixel frame: style 0 sunken (black left and top, white right and bottom), 1 raised.
    static void DrawEdge3D(HDC hdc, const RECT& r, int style);
    // The frame of the item's sample in the loaded bank, or -1 when it has none.
    int FindSampleFrame(const std::string& baseName) const;
    // The top row of the item's sample in the bank seen top-down, or -1 when it has none.
    int FindSampleRow(const std::string& baseName) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Listing state.
    int m_bCatalog = 0;
    int m_nKeyMode = fovea::kKeyExtName;
    int m_nOrder = 0;
    CString m_strPath;
    CString m_strMask = "*.*";
    CString m_strSampleDir;

    // Cells: item height and the five column widths, whose sum is the column width.
    int m_nItemHeight = 20;
    int m_nColumnWidth = 0;
    int m_nIconCol = 0;
    int m_nNameCol = 0;
    int m_nExtCol = 0;
    int m_nSizeCol = 0;
    int m_nDateCol = 0;

    // Drawing resources: the attribute icons; the colour cube the list's colours are realised with (in a memory
    // DC made once); the loaded sample bank (its image mapped, one base name per frame, and the frame of each
    // name). While no bank is loaded no item has a sample.
    CImageList m_imageList;
    CPalette m_palette;
    std::unique_ptr<CDC> m_pSampleDC;
    HPALETTE m_pOldPalette = nullptr;
    CBankMapping m_bank;
    CStringArray m_astrBankNames;
    int m_nBankOrder = 0;
    fovea::BankLookup m_bankLookup;

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    void MeasureItem(MEASUREITEMSTRUCT& item) override { item.itemHeight = UINT(m_nItemHeight); }

private:
    void OnCreate();
    void OnLButtonDown(int x, int y);
    // Unmaps the bank and forgets its names; no item has a sample afterwards.
    void ReleaseBank();
    // Opens the bank of m_strSampleDir; report tells the user why one that is there cannot be shown.
    void OpenBank(bool report);
    // Before a paint: a bank replaced or removed on disk is opened again, one cut short loses the frames past
    // its end.
    void CheckBankOnDisk();
    // Paints frame k of the bank into to, on palette displays through the colour cube.
    void DrawSampleFrame(HDC hdc, const RECT& to, int k);
    // Replaces the list's items by the folder lines, then the file lines, with redrawing off.
    void FillList(const std::vector<std::string>& folders, const std::vector<std::string>& files);
    // Enumerates pattern into item lines: folders into folders, other entries into files, each only when
    // given ("." and ".." never). False when the enumeration could not start.
    bool Enumerate(const CString& pattern, std::vector<std::string>* folders, std::vector<std::string>* files) const;
    void RepaintItem(int index) const;
};
