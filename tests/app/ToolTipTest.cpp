// The tip texts word for word, and the decisions of the tip update: which window, which entry, how many lines.
#include <gtest/gtest.h>

#include <string>

#include "app/ToolTipRules.h"
#include "app/ToolTipText.h"

using namespace fovea;

namespace {

struct Tip {
    int window;
    int index;
    const char* lines[4];
};

// One row per tip: the tables read better unwrapped.
// clang-format off
// Every button of every strip in large mode; the lower filer's strips (window + 1) say the same as the upper's.
const Tip kButtonTips[] = {
        {8, 0, {"ＭＳＤＯＳ画面", "", "", ""}},
        {8, 1, {"小さいツールチップ表示", "ボタンまたはウィンドウについて", "簡単な説明がほしいとき押下してください", ""}},
        {8, 2, {"大きいツールチップ表示", "ボタンまたはウィンドウについて", "詳細な説明がほしいとき押下してください", ""}},
        {8, 3, {"ツールチップ非表示", "ボタンまたはウィンドウについて", "説明がいらないとき押下してください", ""}},
        {8, 4, {"フォント設定", "ファイル表示部のフォント、テキストビューのフォント", "登録アプリメニューのフォント等が変更できます", ""}},
        {8, 5, {"現在のフォーム保存", "現在機能しません", "", ""}},
        {9, 0, {"ファイラーのみ表示", "", "", ""}},
        {9, 1, {"ビュー＆ファイラー１：１表示", "画像・テキストビューアが、ファイラーの左に", "少し開きます", ""}},
        {9, 2, {"ビュー＆ファイラー２：１表示", "画像・テキストビューアが、ファイラーの左に", "大きく開きます", ""}},
        {9, 3, {"ビューのみ表示", "画像・テキストビューアを開いて、", "ファイラーは非表示にします", ""}},
        {9, 4, {"第１ファイラー表示", "ふぉびあは、２つのファイラーを持ちますが", "そのうち、第１ファイラーのみ表示します", ""}},
        {9, 5, {"第２ファイラー表示", "ふぉびあは、２つのファイラーを持ちますが", "そのうち、第２ファイラーのみ表示します", ""}},
        {9, 6, {"両ファイラー表示", "ふぉびあは、２つのファイラーを持ちますが", "その両方のファイラーを表示します", ""}},
        {9, 7, {"フォルダツリー非表示", "ファイラー表示部のうち、フォルダツリー表示部を", "表示しません", ""}},
        {9, 8, {"フォルダツリー小表示", "ファイラー表示部のうち、フォルダツリー表示部を", "少し表示します", ""}},
        {9, 9, {"フォルダツリー大表示", "ファイラー表示部のうち、フォルダツリー表示部を", "大きく表示します", ""}},
        {9, 10, {"登録アプリダイアログ表示・非表示", "登録アプリダイアログの表示非表示を切り替えます", "さまざまな、実行アプリケーションを登録してください", ""}},
        {9, 11, {"登録アプリダイアログ定位置移動", "登録アプリダイアログを左端の定位置に移動します", "", ""}},
        {0, 0, {"再表示", "ファイル情報を最新にするとき", "押下してください", ""}},
        {0, 1, {"削除", "削除するファイルまたはフォルダを選択してから", "このボタンを押下してください。ごみ箱移動でなく完全消去です。", "デスクトップのごみ箱にドロップすることもできます。"}},
        {0, 2, {"選択画像サンプル作成", "フォルダの中でサンプルを作成したい画像ファイルを選択してから", "押下してください。フォルダ内のすべてのサンプルを作成するには、", "まず全ファイル選択ボタン押下してからこのボタンを押下します"}},
        {0, 3, {"フォルダ内全画像サンプル削除", "現在表示中のフォルダの中の全画像の", "サンプルが消去されます。", "削除されるのは、サンプルで元画像は残ります"}},
        {0, 4, {"マスク指定", "*.*を指定すれば、全ファイルを表示", "*.txtを指定すれば、拡張子が txtのファイルのみ表示", ""}},
        {0, 5, {"全フォルダ・ファイル選択", "全ファイル項目、フォルダ項目を選択します", "個々に選択する場合は、各項目の前の小アイコン", "を押下します"}},
        {0, 6, {"全ファイル選択", "フォルダ項目以外の全ファイル項目を選択します", "個々に選択する場合は、各項目の前の小アイコン", "を押下します"}},
        {0, 7, {"新規フォルダ作成", "名前変更ダイアログがひらきますので", "作成フォルダ名を入力してください", ""}},
        {0, 8, {"ショートカット作成", "ショートカットを作成するファイルを一つまたは複数", "選択してからこのボタンを押下してください", ""}},
        {0, 9, {"名前変更", "名前変更するファイルまたはフォルダを一つまたは複数", "選択してからこのボタンを押下してください", ""}},
        {0, 10, {"属性変更", "属性変更するファイルまたはフォルダを一つまたは複数", "選択してからこのボタンを押下してください", ""}},
        {2, 0, {"画像カタログ表示１", "画像サンプルがないと、空白表示になりますので", "まず、この上の選択画像サンプル作成ボタンでサンプル", "を作成してください"}},
        {2, 1, {"画像カタログ表示２", "画像サンプルがないと、空白表示になりますので", "まず、この上の選択画像サンプル作成ボタンでサンプル", "を作成してください"}},
        {2, 2, {"画像カタログ表示３", "画像サンプルがないと、空白表示になりますので", "まず、この上の選択画像サンプル作成ボタンでサンプル", "を作成してください"}},
        {2, 3, {"テキスト表示１", "ファイル名、拡張子のみ表示", "", ""}},
        {2, 4, {"テキスト表示２", "サイズまで表示", "", ""}},
        {2, 5, {"テキスト表示３", "日付まで表示", "", ""}},
        {4, 0, {"ルートの階層へ", "", "", ""}},
        {4, 1, {"１つ上のフォルダ（親フォルダ）階層へ", "", "", ""}},
        {4, 2, {"先頭項目へ", "", "", ""}},
        {4, 3, {"１ページ左の項目へ", "", "", ""}},
        {4, 4, {"１列左の項目へ", "", "", ""}},
        {4, 5, {"１列右の項目へ", "", "", ""}},
        {4, 6, {"１ページ右の項目へ", "", "", ""}},
        {4, 7, {"最終項目へ", "", "", ""}},
        {10, 0, {"上書き保存", "読み込み元のファイルに上書き保存します", "元ファイルが変更されますので、注意してください", ""}},
        {10, 1, {"新規保存", "ファイル名指定ダイアログが開きますので", "保存ファイル名を指定してください", ""}},
        {10, 2, {"左回転", "", "", ""}},
        {10, 3, {"右回転", "", "", ""}},
        {10, 4, {"左右反転", "", "", ""}},
        {10, 5, {"上下反転", "", "", ""}},
        {10, 6, {"拡大", "", "", ""}},
        {10, 7, {"縮小", "", "", ""}},
        {11, 0, {"上書き保存", "読み込み元のファイルに上書き保存します", "元ファイルが変更されますので、注意してください", ""}},
        {11, 1, {"新規保存", "ファイル名指定ダイアログが開きますので", "保存ファイル名を指定してください", ""}},
        {11, 2, {"カット", "", "", ""}},
        {11, 3, {"コピー", "", "", ""}},
        {11, 4, {"貼り付け", "", "", ""}},
        {11, 5, {"全選択", "", "", ""}},
        {11, 6, {"クリア", "", "", ""}},
        {12, 0, {"ページリスト表示・非表示", "登録アプリのページタイトルのリストを開きます", "ページを切り替えるとき、使ってください", ""}},
        {12, 1, {"前ページ表示", "", "", ""}},
        {12, 2, {"次ページ表示", "", "", ""}},
        {12, 3, {"登録アプリ削除", "下に登録されているアプリケーションをこのダイアログより", "消去します。消去の選択は項目の前のアイコンボタンを押下", ""}},
        {13, 0, {"新規ページ登録", "", "", ""}},
        {13, 1, {"ページタイトル", "ページのタイトルを変更します", "", ""}},
        {13, 2, {"ページ削除", "", "", ""}},
        {16, 0, {"実行", "選択しているファイルが実行ファイル", "のとき、それを実行します", ""}},
        {16, 1, {"ビュー表示", "選択しているファイルを左の画像", "テキストビューアに開きます", ""}},
        {16, 2, {"削除", "下のメニューよりアプリケーション", "を削除します", ""}},
};

// The windows that explain themselves, by the entry under the pointer (-1: none).
const Tip kWindowTips[] = {
    {14, 0, {"データをドロップしてください", "登録アプリによみこませえたいデータを", "ドロップしてください", ""}},
    {14, -1, {"実行ファイル（拡張子EXE）または", "実行ファイルのショートカットを", "ファイラーまたは拡張子ダイアログ", "よりドロップしてください"}},
    {15, 3, {"実行ファイル（拡張子EXE）または", "実行ファイルのショートカットを", "ファイラーまたは拡張子ダイアログ", "よりドロップしてください"}},
    {15, -1, {"ページを追加するには、", "上のページ追加ボタンを", "押下してください", ""}},
    {17, -1, {"拡張に対応して起動したい実行ファイル（EXE）", "またはそのショートカットをドロップしてください", "登録アプリダイアログからも、ファイラーからも", "ドラッグドロップできます"}},
    {17, 0, {"", "", "", ""}},
    {18, -1, {"フォルダ項目をシングルクリックでそのフォルダの中の項目を表示", "ファイル項目をシングルクリックで拡張子別メニューダイアログ表示", "ビューが左にひらいているときは、ビューにファイルの内容表示", "ファイルのコピーは、第１ファイラーより第２ファイラーへドラッグドロップ"}},
    {19, -1, {"フォルダ項目をシングルクリックでそのフォルダの中の項目を表示", "ファイル項目をシングルクリックで拡張子別メニューダイアログ表示", "ビューが左にひらいているときは、ビューにファイルの内容表示", "ファイルのコピーは、第１ファイラーより第２ファイラーへドラッグドロップ"}},
    {20, -1, {"", "", "", ""}},
    {21, 2, {"", "", "", ""}},
    {22, -1, {"右のファイラーの画像ファイル", "の項目をクリックすると", "ここに画像が表示されます", ""}},
    {6, 0, {"表示ディスクドライブ切り替え", "", "", ""}},
    {7, 5, {"表示ディスクドライブ切り替え", "", "", ""}},
};
// clang-format on

std::string Texts(int mode, int window, int index)
{
    CString title("stale"), line1("stale"), line2("stale"), line3("stale");
    GetToolTipText(mode, window, index, title, line1, line2, line3);
    return title.str() + "|" + line1.str() + "|" + line2.str() + "|" + line3.str();
}

std::string Expected(const Tip& tip)
{
    return std::string(tip.lines[0]) + "|" + tip.lines[1] + "|" + tip.lines[2] + "|" + tip.lines[3];
}

} // namespace

TEST(ToolTipText, EveryButtonWordForWord)
{
    for (const Tip& tip : kButtonTips) {
        SCOPED_TRACE(testing::Message() << "window " << tip.window << " button " << tip.index);
        EXPECT_EQ(Expected(tip), Texts(kTipsLarge, tip.window, tip.index));
        // Small tips get the same texts and show only the title; the lower filer's strips say what the upper's say.
        EXPECT_EQ(Expected(tip), Texts(kTipsSmall, tip.window, tip.index));
        if (tip.window < kTipDriveBarUpper) {
            EXPECT_EQ(Expected(tip), Texts(kTipsLarge, tip.window + 1, tip.index));
        }
    }
}

TEST(ToolTipText, WindowsThatExplainThemselves)
{
    for (const Tip& tip : kWindowTips) {
        SCOPED_TRACE(testing::Message() << "window " << tip.window << " index " << tip.index);
        EXPECT_EQ(Expected(tip), Texts(kTipsLarge, tip.window, tip.index));
    }
    // The file lists explain themselves in large tips only.
    EXPECT_EQ("|||", Texts(kTipsSmall, kTipFileListUpper, -1));
    // Any negative index is a pointer over no entry.
    EXPECT_EQ(Texts(kTipsLarge, kTipLauncherPages, -1), Texts(kTipsLarge, kTipLauncherPages, -7));
}

TEST(ToolTipText, NoTextBeyondAStripOrOutsideTheNumbers)
{
    // A stale text would show the tip of another button.
    EXPECT_EQ("|||", Texts(kTipsLarge, kTipMainBar, 6));
    EXPECT_EQ("|||", Texts(kTipsLarge, kTipLayoutBar, -1));
    EXPECT_EQ("|||", Texts(kTipsLarge, kTipNavBarLower, 8));
    EXPECT_EQ("|||", Texts(kTipsLarge, kTipExtMenuBar, 3));
    EXPECT_EQ("|||", Texts(kTipsLarge, kTipWindowCount, 0));
    EXPECT_EQ("|||", Texts(kTipsLarge, -1, 0));
}

namespace {

TipRect Rect(int left, int top, int right, int bottom)
{
    TipRect r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

// A main window of 800 x 600: the strips on top, the upper filer's list with its file strip, the picture area.
TipScene MainWindow()
{
    TipScene scene;
    scene.windows[kTipMainBar] = Rect(0, 0, 250, 24);
    scene.windows[kTipLayoutBar] = Rect(250, 0, 800, 24);
    scene.windows[kTipFileBarUpper] = Rect(400, 24, 800, 49);
    scene.windows[kTipFileListUpper] = Rect(500, 49, 800, 300);
    scene.windows[kTipTreeUpper] = Rect(200, 24, 400, 300);
    scene.windows[kTipPictureArea] = Rect(0, 24, 200, 570);
    return scene;
}

} // namespace

TEST(ToolTipRules, HitOrder)
{
    TipScene scene = MainWindow();
    EXPECT_EQ(kTipMainBar, FindTipWindow(scene, 10, 10));
    EXPECT_EQ(kTipLayoutBar, FindTipWindow(scene, 250, 0)); // edges: left and top inside
    EXPECT_EQ(kTipFileBarUpper, FindTipWindow(scene, 799, 48));
    EXPECT_EQ(kTipFileListUpper, FindTipWindow(scene, 600, 100));
    EXPECT_EQ(kTipPictureArea, FindTipWindow(scene, 100, 569));
    EXPECT_EQ(-1, FindTipWindow(scene, 100, 570)); // right and bottom outside
    EXPECT_EQ(-1, FindTipWindow(scene, 900, 10));

    // A pane under a strip takes the point over: the later group wins.
    scene.windows[kTipFileListUpper] = Rect(400, 24, 800, 300);
    EXPECT_EQ(kTipFileListUpper, FindTipWindow(scene, 500, 30));
}

TEST(ToolTipRules, ShownLauncherAndExtensionMenuCoverWhatIsBelow)
{
    TipScene scene = MainWindow();
    // The launcher over the right part of the file list: its strip, then its entries.
    scene.launcher = Rect(650, 24, 800, 570);
    scene.windows[kTipPageBar] = Rect(655, 50, 795, 80);
    scene.windows[kTipLauncherEntries] = Rect(655, 90, 795, 560);

    // Hidden, it covers nothing.
    EXPECT_EQ(kTipFileListUpper, FindTipWindow(scene, 700, 100));
    scene.launcherShown = true;
    EXPECT_EQ(kTipLauncherEntries, FindTipWindow(scene, 700, 100));
    EXPECT_EQ(kTipPageBar, FindTipWindow(scene, 700, 60));
    // On the launcher's frame: the file strip and list below it get no tip.
    EXPECT_EQ(-1, FindTipWindow(scene, 652, 30));
    EXPECT_EQ(-1, FindTipWindow(scene, 652, 200));
    // Beside the launcher the file list keeps its tip.
    EXPECT_EQ(kTipFileListUpper, FindTipWindow(scene, 600, 100));

    // The extension menu opened over the launcher's entries.
    scene.extMenu = Rect(680, 200, 790, 400);
    scene.windows[kTipExtMenuBar] = Rect(685, 205, 785, 230);
    scene.windows[kTipExtMenuEntries] = Rect(685, 230, 785, 395);
    scene.extMenuShown = true;
    EXPECT_EQ(kTipExtMenuEntries, FindTipWindow(scene, 700, 300));
    EXPECT_EQ(kTipExtMenuBar, FindTipWindow(scene, 700, 210));
    EXPECT_EQ(kTipLauncherEntries, FindTipWindow(scene, 700, 450));
    // The menu's frame over the file list, away from the launcher, hides what is below.
    scene.launcherShown = false;
    EXPECT_EQ(-1, FindTipWindow(scene, 682, 300));
}

TEST(ToolTipRules, WhichEntryTheTipAsksFor)
{
    struct Case {
        int window, index, count;
        bool asks;
        int textIndex;
    } const cases[] = {
        {kTipMainBar, 2, 6, true, 2},          {kTipMainBar, 6, 6, false, 6},       // empty space of a strip: hidden
        {kTipMainBar, -1, 6, true, -1},                                             // on its frame
        {kTipLauncherPages, 3, 4, true, 3},    {kTipLauncherPages, 4, 4, false, 4}, // below the last page
        {kTipLauncherPages, -1, 4, true, -1},                                       // on the frame: how to add a page
        {kTipLauncherEntries, 9, 2, true, -1}, // below the last entry: what to drop
        {kTipLauncherEntries, 1, 2, true, 1},  {kTipExtMenuEntries, 0, 0, true, -1},
        {kTipFileListLower, -1, 0, true, -1},  {kTipPictureArea, -1, 0, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "window " << c.window << " index " << c.index);
        int textIndex = 1234;
        EXPECT_EQ(c.asks, TipTextIndex(c.window, c.index, c.count, textIndex));
        if (c.asks) {
            EXPECT_EQ(c.textIndex, textIndex);
        }
    }
    // Left of or above the client area the pointer is on the frame, whatever the list's own hit test says.
    EXPECT_EQ(-1, TipEntryIndex(-1, 5, 0));
    EXPECT_EQ(-1, TipEntryIndex(5, -2, 0));
    EXPECT_EQ(4, TipEntryIndex(0, 0, 4));
}

TEST(ToolTipRules, LinesAndSize)
{
    // Small tips show the title alone; large ones four lines when there is a body, else the title.
    EXPECT_EQ(1, TipLineCount(kTipsSmall, "再表示", "ファイル情報を最新にするとき"));
    EXPECT_EQ(4, TipLineCount(kTipsLarge, "再表示", "ファイル情報を最新にするとき"));
    EXPECT_EQ(1, TipLineCount(kTipsLarge, "左回転", ""));
    EXPECT_EQ(0, TipLineCount(kTipsLarge, "", "body without a title"));
    EXPECT_EQ(0, TipLineCount(kTipsSmall, "", ""));

    TipSize four = TipWindowSize(300, 12, 4);
    EXPECT_EQ(302, four.cx);
    EXPECT_EQ(50, four.cy);
    TipSize one = TipWindowSize(60, 12, 1);
    EXPECT_EQ(62, one.cx);
    EXPECT_EQ(14, one.cy);
}
