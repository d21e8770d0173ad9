// CFileView: the file command strip: refresh, delete, mask, the two selections, new folder, shortcuts, rename
// and attributes. Every command that changes the folder lists it again and puts the caret where the user will
// look next.
#include "browser/FileView.h"

#include <algorithm>

#include "browser/MaskDlg.h"
#include "fileops/FileOps.h"
#include "fileops/FileSafety.h"
#include "fileops/MessageDlg.h"
#include "fileops/PathNames.h"
#include "fileops/PathParts.h"
#include "fileops/TitleDlg.h"
#include "framework/ShiftJis.h"

namespace {

// The name a new folder is offered under.
const char* const kNewFolderName = "名前未定義フォルダ";

} // namespace

bool CFileView::OnFileBarCommand(int button)
{
    switch (button) {
    case 0:
        m_wndList.Refresh();
        break;
    case 1:
        return DeleteItems();
    case 2:
        CreateSamples();
        break;
    case 3:
        DeleteAllSamples();
        break;
    case 4:
        ChangeMask();
        break;
    case 5:
        ToggleSelectAll(false);
        break;
    case 6:
        ToggleSelectAll(true);
        break;
    case 7:
        MakeNewFolder();
        break;
    case 8:
        MakeShortcuts();
        break;
    case 9:
        RenameItems();
        break;
    case 10:
        EditItemAttributes();
        break;
    default:
        break;
    }
    return true;
}

std::vector<int> CFileView::CommandItems()
{
    std::vector<int> reachable;
    CStringArray refused;
    for (int index : m_wndList.CommandItems()) {
        if (m_wndList.IsReachableItem(index))
            reachable.push_back(index);
        else
            refused.Add(m_wndList.GetItemFileName(index));
    }
    if (refused.GetSize() > 0)
        fovea::ReportUnreachable(this, refused);
    return reachable;
}

CString CFileView::ItemPath(int index) const
{
    return m_wndList.m_strPath + "\\" + m_wndList.GetItemFileName(index);
}

void CFileView::PutCaretOn(const CString& name)
{
    int count = m_wndList.GetCount();
    if (count == 0)
        return;
    int found = 0;
    for (int i = 0; i < count; ++i) {
        if (m_wndList.GetItemFileName(i) == name) {
            found = i;
            break;
        }
    }
    m_wndList.SetCaretIndex(found, false);
}

void CFileView::ToggleSelectAll(bool filesOnly)
{
    CFileListBox& list = m_wndList;
    list.SendMessage(WM_SETREDRAW, FALSE);
    if (list.GetSelCount() > 0) {
        list.SetSel(-1, false);
    } else if (!filesOnly) {
        list.SetSel(-1, true);
    } else {
        int count = list.GetCount();
        for (int i = 0; i < count; ++i)
            if (list.IsFolderItem(i) == 0)
                list.SetSel(i, true);
    }
    list.SendMessage(WM_SETREDRAW, TRUE);
    list.Invalidate();
}

bool CFileView::DeleteItems()
{
    if (CMessageDlg::Show("選択ファイル、フォルダをすべて削除します。", "よろしいですか。") != IDOK)
        return false;
    std::vector<int> items = CommandItems();
    // Without a selection the first item is never deleted through the caret.
    if (m_wndList.GetSelCount() == 0 && !items.empty() && items.front() <= 0)
        items.clear();

    // A shown bank is a mapped file, which the platform neither deletes nor lets its folder go: the lists let
    // go of their banks and open them again at their next paint.
    CFileListBox::SetBanksAside();
    CFileOps ops;
    CStringArray left;
    for (int index : items) {
        CString path = ItemPath(index);
        // Neither erase goes through a link: a linked folder loses the link alone, a linked file stays.
        if (m_wndList.IsFolderItem(index) == 1)
            ops.WalkDir(path, "", "Remove");
        else
            ops.DeleteOneFile(path);
        if (ops.PathKind(path) != -1)
            left.Add(m_wndList.GetItemFileName(index));
    }
    m_wndList.Refresh();
    if (left.GetSize() > 0)
        ReportUndeleted(left);
    return true;
}

void CFileView::ReportUndeleted(const CStringArray& names)
{
    fovea::ReportNames(this, "削除できなかったファイル、フォルダがあります。", names);
}

void CFileView::ChangeMask()
{
    CMaskDlg dialog(this);
    dialog.m_strMask = m_wndList.m_strMask;
    if (dialog.DoModal() != IDOK)
        return;
    CString mask = dialog.m_strMask;
    mask.TrimLeft();
    mask.TrimRight();
    // The pattern picks files of the folder shown; one naming another folder would list names that every
    // later command would take for this folder's.
    if (fovea::ReverseFindChar(mask.str(), '\\') != std::string::npos || mask.Find('/') >= 0 || mask.Find(':') >= 0) {
        CMessageDlg::Show("マスクにフォルダは指定できません。", mask);
        return;
    }
    m_wndList.SetMask(mask.IsEmpty() ? CString("*.*") : mask);
    m_wndList.Refresh();
}

bool CFileView::AcceptName(const CString& name)
{
    // A name with a separator would create or move the entry in another folder.
    if (fovea::IsOneName(name.str()))
        return true;
    CMessageDlg::Show("名前にフォルダは指定できません。", name);
    return false;
}

void CFileView::MakeNewFolder()
{
    CTitleDlg dialog(this);
    dialog.m_strTitle = kNewFolderName;
    if (dialog.DoModal() != IDOK || !AcceptName(dialog.m_strTitle))
        return;
    // An existing name fails without a word; the list then shows what is there.
    CFileOps().MakeFolder(m_wndList.m_strPath + "\\" + dialog.m_strTitle);
    m_wndList.Refresh();
    PutCaretOn(dialog.m_strTitle);
}

void CFileView::MakeShortcuts()
{
    const CString& folder = m_wndList.m_strPath;
    CFileOps ops;
    CString lastLink;
    for (int index : CommandItems()) {
        CString name = m_wndList.GetItemFileName(index);
        CString target = folder + "\\" + name;
        CString link = folder + "\\" + CString(m_wndList.GetItemFields(index).name) + ".LNK";
        // A link named like its own target (the item is itself such a link) would replace the item.
        if (fovea::SamePath(link.str(), target.str()))
            continue;
        // A link of that name to another file (report.doc and report.LNK, or the folder photos after
        // photos.jpg) is the user's: it is replaced only when the user says so.
        if (ops.PathKind(link) != -1 && !fovea::LinksTo(link, target) &&
            !CMessageDlg::AskOverwrite(fovea::PathFileName(link.str())))
            continue;
        ops.CreateShortcut(target, link, folder, "", name + " shortcut");
        lastLink = link;
    }
    m_wndList.Refresh();
    if (lastLink.IsEmpty()) {
        PutCaretOn(CString());
        return;
    }
    CString title, extension;
    ops.GetTitlePart(lastLink, title);
    ops.GetExtension(lastLink, extension);
    int found = 0;
    for (int i = 0; i < m_wndList.GetCount(); ++i) {
        fovea::ItemFields fields = m_wndList.GetItemFields(i);
        if (fields.name == title.str() && fields.extension == extension.str()) {
            found = i;
            break;
        }
    }
    if (m_wndList.GetCount() > 0)
        m_wndList.SetCaretIndex(found, false);
}

void CFileView::RenameItems()
{
    // The names are taken first: the list is read again only after the last dialog.
    CStringArray names;
    for (int index : CommandItems())
        names.Add(m_wndList.GetItemFileName(index));
    const CString& folder = m_wndList.m_strPath;
    CFileOps ops;
    CTitleDlg dialog(this);
    for (int i = 0; i < names.GetSize(); ++i) {
        dialog.m_strTitle = names[i];
        // キャンセル or a refused name skips this item only; a failed rename leaves it as it was.
        if (dialog.DoModal() != IDOK)
            continue;
        if (AcceptName(dialog.m_strTitle)) {
            CFileListBox::SetBanksAside(); // a folder holding a mapped bank cannot be renamed
            ops.RenamePath(folder + "\\" + names[i], folder + "\\" + dialog.m_strTitle);
        } else {
            dialog.m_strTitle = names[i];
        }
    }
    m_wndList.Refresh();
    PutCaretOn(dialog.m_strTitle);
}

void CFileView::EditItemAttributes()
{
    bool selection = m_wndList.GetSelCount() > 0;
    CString last;
    CFileOps ops;
    for (int index : CommandItems()) {
        last = m_wndList.GetItemFileName(index);
        ops.EditAttributes(ItemPath(index));
    }
    m_wndList.Refresh();
    int count = m_wndList.GetCount();
    if (selection && count > 0)
        m_wndList.SetCaretIndex(count - 1, false);
    else if (!last.IsEmpty())
        PutCaretOn(last);
}
