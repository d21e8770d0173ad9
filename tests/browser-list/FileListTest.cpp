// The file list on real folders: the two passes and the mask, the orders, the item lines read back, folders
// of more than 3000 entries, the sample folder of CD-ROM folders, the cells against the list box's own hit test,
// and items drawn into a memory DC.
#include "ListFixture.h"

#include <algorithm>
#include <set>

#include "framework/File.h"

using namespace listtest;

namespace {

class FileList : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        for (const char* folder : {"zeta", "Alpha", "m.dir"})
            ASSERT_TRUE(CreateDirectoryA(m_strRoot + "\\" + folder, nullptr));
        // Distinct days, so the date order is known: a.b.c oldest, b.txt newest.
        struct {
            const char* name;
            int day;
        } files[] = {{"a.b.c", 1}, {"A.BMP", 2}, {"c.bmp", 3}, {"readme", 4}, {"b.txt", 5}};
        for (const auto& f : files)
            ASSERT_TRUE(MakeFile(m_strRoot + "\\" + f.name, 10, 1996, 5, f.day));
        List(0, 0);
    }
    void List(int keyMode, int order, const char* mask = "*.*")
    {
        ListFixture::List().SetSort(keyMode, order);
        ListFixture::List().SetMask(mask);
        ListFixture::List().SetPath(m_strRoot);
    }
};

TEST_F(FileList, FoldersFirstThenFilesInKeyMode0AndTheMaskFiltersFilesOnly)
{
    List(0, 0);
    // Key mode 0 compares extension + name without case: "b.ca" < "bmpa" < "bmpc" < "readme" < "txtb".
    std::vector<CString> want = {"Alpha", "m.dir", "zeta", "a.b.c", "A.BMP", "c.bmp", "readme", "b.txt"};
    EXPECT_EQ(want, Names());
    EXPECT_EQ(m_strRoot, ListFixture::List().m_strPath);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STREQ(m_strRoot.c_str(), current);

    List(0, 0, "*.TXT");
    EXPECT_EQ((std::vector<CString>{"Alpha", "m.dir", "zeta", "b.txt"}), Names());
    List(0, 0, "*.XYZ");
    EXPECT_EQ((std::vector<CString>{"Alpha", "m.dir", "zeta"}), Names());

    // A folder that cannot be enumerated lists nothing, whatever was shown before.
    ListFixture::List().SetPath(m_strRoot + "\\missing");
    EXPECT_EQ(0, ListFixture::List().GetCount());
}

TEST_F(FileList, NameDateAndUnsortedOrdersKeepFoldersFirst)
{
    List(1, 1);
    std::vector<CString> names = Names();
    ASSERT_EQ(8u, names.size());
    EXPECT_EQ((std::vector<CString>{"zeta", "m.dir", "Alpha", "readme", "c.bmp", "b.txt"}),
              std::vector<CString>(names.begin(), names.begin() + 6));
    // "a/96-05" and "A/96-05" are equal in their first seven bytes once folded: either order is right.
    EXPECT_EQ((std::set<CString>{"A.BMP", "a.b.c"}), std::set<CString>(names.begin() + 6, names.end()));

    List(2, 0);
    names = Names();
    EXPECT_EQ((std::vector<CString>{"a.b.c", "A.BMP", "c.bmp", "readme", "b.txt"}),
              std::vector<CString>(names.begin() + 3, names.end()));

    // Any other order leaves the enumeration's order, still folders first.
    List(1, 7);
    names = Names();
    std::set<CString> folders(names.begin(), names.begin() + 3);
    EXPECT_EQ((std::set<CString>{"Alpha", "m.dir", "zeta"}), folders);
}

TEST_F(FileList, ItemLinesReadBackFieldByField)
{
    // The line of a known entry, from its write time in UTC as the enumeration gives it.
    SYSTEMTIME local = {1996, 5, 0, 1, 12, 0, 0, 0};
    FILETIME localTime, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
    CFileListBox& list = ListFixture::List();
    list.SetSort(0, 0);
    EXPECT_EQ("TXTREADME/96-05-01 12:00:00/      1234/___A_:/TXT/README",
              list.FormatItemLine("README.TXT", FILE_ATTRIBUTE_ARCHIVE, utc, 0, 1234));

    List(0, 0);
    int abc = IndexOf("a.b.c"), alpha = IndexOf("Alpha");
    ASSERT_GE(abc, 0);
    ASSERT_GE(alpha, 0);
    EXPECT_EQ("a", list.GetField(abc, 5));
    EXPECT_EQ("b.c", list.GetField(abc, 4));
    EXPECT_EQ("        10", list.GetField(abc, 2));
    EXPECT_EQ("96-05-01 12:00:00", list.GetField(abc, 1));
    EXPECT_EQ(0, list.IsFolderItem(abc));
    EXPECT_EQ(1, list.IsFolderItem(alpha));
    fovea::ItemFields fields = list.GetItemFields(alpha);
    EXPECT_EQ("Alpha", fields.name);
    EXPECT_EQ("", fields.extension);
    EXPECT_EQ("     ", fields.size);
    EXPECT_EQ('D', fields.attributes.at(4));
}

TEST_F(FileList, LargeFoldersAreListedInFull)
{
    for (int i = 0; i < 3100; ++i) {
        CString name;
        name.Format("%s\\f%04d.dat", m_strRoot.c_str(), i);
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << i;
        CloseHandle(file);
    }
    List(1, 0);
    EXPECT_EQ(3 + 5 + 3100, ListFixture::List().GetCount());
    List(1, 0, "*.dat");
    EXPECT_EQ(3 + 3100, ListFixture::List().GetCount());
}

// 300 pictures whose names share their first bytes come in the file system's own order (under Wine a hash
// order): the list shows them in name order, in every key mode and both ways.
TEST_F(FileList, ThreeHundredPicturesListInNameOrder)
{
    const CString folder = m_strRoot + "\\pictures";
    ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
    std::vector<CString> names;
    for (int i = 1; i <= 300; ++i) {
        CString name;
        name.Format("IMG_%04d.jpg", i);
        names.push_back(name);
    }
    // Written in another order than the names', all on one day.
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(MakeFile(folder + "\\" + names[size_t(i * 7 % 300)], 10, 2004, 8, 1));
    const std::vector<CString> reversed(names.rbegin(), names.rend());
    for (int keyMode : {0, 1, 2}) {
        ListFixture::List().SetSort(keyMode, 0);
        ListFixture::List().SetPath(folder);
        EXPECT_TRUE(Names() == names) << "key mode " << keyMode;
        ListFixture::List().SetSort(keyMode, 1);
        ListFixture::List().SetPath(folder);
        EXPECT_TRUE(Names() == reversed) << "key mode " << keyMode << " descending";
    }
}

TEST_F(FileList, CdRomFoldersFindTheirSampleFolderThroughTheIndexFiles)
{
    if (GetDriveTypeA("Q:\\") != DRIVE_CDROM)
        GTEST_SKIP() << "Q: is not a CD-ROM drive in this Wine prefix";
    CString name;
    name.Format("fovea-list-%lu.d", GetCurrentProcessId());
    CString disc = "Q:\\" + name;
    RemoveTree(disc);
    ASSERT_TRUE(CreateDirectoryA(disc, nullptr));
    ASSERT_TRUE(CreateDirectoryA(disc + "\\sub", nullptr));
    CString samples = m_strRoot + "\\IMGSMP";
    ASSERT_TRUE(CreateDirectoryA(samples, nullptr));
    m_app->m_strSampleRoot = samples;
    CFileListBox& list = ListFixture::List();
    list.SetSort(0, 0);

    // Browsing only looks up: nothing is catalogued, nothing is written.
    list.SetPath(disc);
    EXPECT_TRUE(list.m_strSampleDir.IsEmpty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(samples + "\\CD.SRC"));

    list.FindSampleDir(1);
    EXPECT_EQ(samples + "\\CD0000\\L0000", list.m_strSampleDir);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(list.m_strSampleDir));
    list.SetPath(disc + "\\sub");
    list.FindSampleDir(1);
    EXPECT_EQ(samples + "\\CD0000\\L0001", list.m_strSampleDir);
    // The disc root as the list names it ("Q:") is a CD-ROM folder too, with the empty folder key.
    list.SetPath("Q:");
    list.FindSampleDir(1);
    EXPECT_EQ(samples + "\\CD0000\\L0002", list.m_strSampleDir);
    CFile index;
    ASSERT_TRUE(index.Open(samples + "\\CD0000\\DR.SRC", CFile::modeRead));
    std::string text(size_t(index.GetLength()), '\0');
    index.Read(&text[0], UINT(text.size()));
    index.Close();
    EXPECT_EQ("\\" + name.str() + "\r\n\\" + name.str() + "\\sub\r\n\r\n", text);

    list.SetPath(disc);
    EXPECT_EQ(samples + "\\CD0000\\L0000", list.m_strSampleDir);

    // Other drives keep their samples in the folder itself.
    list.SetPath(m_strRoot);
    EXPECT_EQ(m_strRoot, list.m_strSampleDir);
    SetCurrentDirectoryA(TempFolder());
    RemoveTree(disc);
}

TEST_F(FileList, CatalogCellsAgreeWithTheListBoxesOwnHitTest)
{
    Mode(1); // catalog cells of 100 x 70
    CFileListBox& list = ListFixture::List();
    ASSERT_EQ(8, list.GetCount());
    for (int i = 0; i < list.GetCount(); ++i) {
        RECT r = list.GetItemRect(i);
        EXPECT_EQ(100, r.right - r.left) << i;
        EXPECT_EQ(70, r.bottom - r.top) << i;
        const POINT inside[] = {{r.left + 1, r.top + 1}, {r.left + 50, r.top + 35}, {r.right - 1, r.bottom - 1}};
        for (POINT p : inside) {
            EXPECT_EQ(i, list.ItemFromPoint(p.x, p.y)) << i;
            LRESULT hit = list.SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
            EXPECT_EQ(i, int(LOWORD(hit))) << i;
        }
        // The selection square: m_nIconWidth wide, m_nListItemHeight high, at the cell's lower left.
        EXPECT_EQ(1, list.InSelectZone(r.left + 2, r.bottom - 2)) << i;
        EXPECT_EQ(1, list.InSelectZone(r.left + 17, r.bottom - 18)) << i;
        EXPECT_EQ(0, list.InSelectZone(r.left + 18, r.bottom - 2)) << i;
        EXPECT_EQ(0, list.InSelectZone(r.left + 2, r.bottom - 19)) << i;
    }
    // Text display: the zone is the icon column, whatever the height.
    Mode(3);
    EXPECT_EQ(1, list.InSelectZone(17, 5));
    EXPECT_EQ(0, list.InSelectZone(18, 5));
    EXPECT_EQ(1, list.InSelectZone(list.m_nColumnWidth + 3, 40));

    // Every column hidden: no division by zero, no zone, and the control keeps a usable column width.
    m_view.SetColumns(18, 0, 0, 0, 0, 0);
    EXPECT_EQ(0, list.m_nColumnWidth);
    EXPECT_EQ(0, list.InSelectZone(5, 5));
    EXPECT_EQ(list.GetTopIndex() + 2, list.ItemFromPoint(50, 40));
    list.UpdateWindow();
    // An item height the list box cannot take is kept at its limit, so hit tests stay in step with it.
    m_view.SetColumns(400, 100, 0, 0, 0, 0);
    EXPECT_EQ(CFileListBox::kMaxItemHeight, list.m_nItemHeight);
    EXPECT_EQ(CFileListBox::kMaxItemHeight, int(list.SendMessage(LB_GETITEMHEIGHT, 0)));
}

// A 24-bit memory DC filled grey, to draw items into and read back.
class Canvas {
public:
    Canvas(int width, int height)
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 24, BI_RGB};
        void* bits = nullptr;
        m_dc.reset(CreateCompatibleDC(nullptr));
        m_bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_old = SelectObject(m_dc.get(), m_bitmap.get());
        Fill({0, 0, width, height}, kGrey);
    }
    ~Canvas() { SelectObject(m_dc.get(), m_old); }
    void Fill(RECT r, COLORREF colour)
    {
        fovea::ScopedBrush brush(CreateSolidBrush(colour));
        FillRect(m_dc.get(), &r, brush.get());
    }
    HDC dc() const { return m_dc.get(); }
    COLORREF At(int x, int y) const { return GetPixel(m_dc.get(), x, y); }

    static constexpr COLORREF kGrey = RGB(192, 192, 192);

private:
    fovea::ScopedMemDC m_dc;
    fovea::ScopedBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// True when the pixels strictly inside r are the same in both canvases.
bool SameInside(const Canvas& a, const Canvas& b, RECT r)
{
    for (int y = r.top + 1; y < r.bottom; ++y)
        for (int x = r.left + 1; x < r.right; ++x)
            if (a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

TEST_F(FileList, FramesMarkSelectionAndCaret)
{
    m_view.ShowAsText(18, 24);
    CFileListBox& list = ListFixture::List();
    int item = IndexOf("b.txt");
    ASSERT_GE(item, 0);
    list.SetCaretIndex(0, true);
    const RECT at = {10, 10, 10 + list.m_nColumnWidth, 28};
    // Icon rectangle (12, 12)-(32, 26), text rectangle from x = 36; edges sampled half-way down.
    Canvas plain(300, 120);
    list.DrawCatalogItem(true, false, item, plain.dc(), at);
    EXPECT_EQ(kWhite, plain.At(12, 19));
    EXPECT_EQ(kBlack, plain.At(32, 19));
    EXPECT_EQ(kWhite, plain.At(36, 19)); // raised: not the caret item
    EXPECT_EQ(Canvas::kGrey, plain.At(34, 19));

    Canvas marked(300, 120);
    list.SetCaretIndex(item, true);
    list.DrawCatalogItem(true, true, item, marked.dc(), at);
    EXPECT_EQ(kRed, marked.At(12, 19));
    EXPECT_EQ(kRed, marked.At(32, 19));
    EXPECT_EQ(kRed, marked.At(20, 12));
    EXPECT_EQ(kBlack, marked.At(36, 19)); // sunken around the caret item
    EXPECT_EQ(kWhite, marked.At(at.right - 2, 19));

    // A selection change alone redraws the frames only, over what is there: no red is left behind.
    list.DrawCatalogItem(false, false, item, marked.dc(), at);
    for (int y = 12; y <= 26; ++y)
        for (int x : {12, 32})
            EXPECT_NE(kRed, marked.At(x, y)) << x << "," << y;

    // Catalog cell 100 x 70: the picture rectangle (4, 3)-(96, 49) gets a sunken edge.
    Mode(1);
    Canvas cell(300, 120);
    list.DrawCatalogItem(true, false, item, cell.dc(), {0, 0, 100, 70});
    EXPECT_EQ(kBlack, cell.At(4, 25));
    EXPECT_EQ(kWhite, cell.At(96, 25));
    EXPECT_EQ(kBlack, cell.At(50, 3));
    EXPECT_EQ(kWhite, cell.At(50, 49));
}

TEST_F(FileList, NarrowIconRectanglesTakeTheSmallIcon)
{
    CFileListBox& list = ListFixture::List();
    if (list.m_imageList.GetImageCount() < 10)
        GTEST_SKIP() << "attribute icon bitmap not in the resources";
    int folder = IndexOf("Alpha");
    ASSERT_GE(folder, 0);
    Canvas smallIcon(100, 60), largeIcon(100, 60);
    list.m_imageList.Draw(smallIcon.dc(), 0, 10, 10);
    list.m_imageList.Draw(largeIcon.dc(), 5, 12, 12);

    // Icon column 24: icon rectangle 20 wide, the large folder at its corner.
    m_view.ShowAsText(18, 24);
    Canvas wide(100, 60);
    list.DrawCatalogItem(true, false, folder, wide.dc(), {10, 10, 10 + list.m_nColumnWidth, 28});
    const RECT wideIcon = {12, 12, 32, 26};
    ASSERT_FALSE(SameInside(smallIcon, largeIcon, wideIcon)) << "the two pictures cannot be told apart";
    EXPECT_TRUE(SameInside(wide, largeIcon, wideIcon));

    // Icon column 18: 14 wide, the small folder 2 pixels up and left of it.
    m_view.ShowAsText(18, 18);
    Canvas narrow(100, 60);
    list.DrawCatalogItem(true, false, folder, narrow.dc(), {10, 10, 10 + list.m_nColumnWidth, 28});
    EXPECT_TRUE(SameInside(narrow, smallIcon, {12, 12, 26, 26}));
}

TEST_F(FileList, SamplesFromTheLoadedBankFillTheirRectangles)
{
    ASSERT_TRUE(MakeFile(m_strRoot + "\\pic.bmp"));
    List(0, 0);
    CFileListBox& list = ListFixture::List();
    int pic = IndexOf("pic.bmp"), alpha = IndexOf("Alpha"), zeta = IndexOf("zeta");
    ASSERT_GE(pic, 0);

    // A bank of two frames on disk: frame 0 ("pic") is the bottom band, blue; frame 1 ("Alpha") the top band,
    // green. It is opened as the list opens it, drawn from its mapped rows.
    m_app->m_nSampleBits = 24;
    m_app->m_strBank24Image = "SB2400.BMS";
    m_app->m_strBank24Index = "SB2400.TXT";
    auto loadBank = [&](int width, int height) {
        ASSERT_TRUE(WriteSampleBank(m_strRoot + "\\SB2400.BMS", m_strRoot + "\\SB2400.TXT", width, height,
                                    {"pic", "Alpha"}, [](int k) { return k == 0 ? kBlue : kGreen; }));
        m_app->m_nSampleWidth = width;
        m_app->m_nSampleHeight = height;
        list.LoadSamples();
        ASSERT_EQ(2, list.m_bank.Frames());
    };
    auto unloadBank = [&]() {
        DeleteFileA(m_strRoot + "\\SB2400.BMS");
        DeleteFileA(m_strRoot + "\\SB2400.TXT");
        list.LoadSamples();
    };

    loadBank(80, 60);
    Mode(1);
    for (auto [item, colour] : {std::pair{pic, kBlue}, {alpha, kGreen}, {zeta, Canvas::kGrey}}) {
        Canvas cell(120, 80);
        list.DrawCatalogItem(true, false, item, cell.dc(), {0, 0, 100, 70});
        EXPECT_EQ(colour, cell.At(50, 25)) << item;
        EXPECT_EQ(colour, cell.At(5, 4)) << item;
        EXPECT_EQ(colour, cell.At(95, 48)) << item;
    }

    // Text display with an icon column of 24: an 80 x 60 sample is squeezed into the 20 x 14 icon rectangle.
    m_view.ShowAsText(18, 24);
    Canvas line(300, 40);
    list.DrawCatalogItem(true, false, pic, line.dc(), {10, 10, 10 + list.m_nColumnWidth, 28});
    EXPECT_EQ(kBlue, line.At(13, 13));
    EXPECT_EQ(kBlue, line.At(31, 25));
    EXPECT_EQ(Canvas::kGrey, line.At(34, 19));

    // A sample smaller than the icon rectangle is copied 1:1 to its top-left corner.
    unloadBank();
    loadBank(8, 6);
    Canvas small(300, 40);
    list.DrawCatalogItem(true, false, pic, small.dc(), {10, 10, 10 + list.m_nColumnWidth, 28});
    EXPECT_EQ(kBlue, small.At(13, 13));
    EXPECT_EQ(kBlue, small.At(19, 17));
    EXPECT_NE(kBlue, small.At(20, 13));
    EXPECT_NE(kBlue, small.At(13, 18));
    unloadBank();

    // Without a bank no item has a sample.
    EXPECT_EQ(-1, list.FindSampleRow("pic"));
}

} // namespace
