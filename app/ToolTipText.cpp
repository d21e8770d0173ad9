// The tip texts of every command strip button and of the windows that explain themselves.
#include "app/ToolTipText.h"

#include <cstddef>

namespace {

using namespace fovea;

struct TipEntry {
    const char* title;
    const char* line1;
    const char* line2;
    const char* line3;
};

// One row per button: the tables read better unwrapped.
// clang-format off
const TipEntry kMainBar[] = {
    {"ＭＳＤＯＳ画面", "", "", ""},
    {"小さいツールチップ表示", "ボタンまたはウィンドウについて", "簡単な説明がほしいとき押下してください", ""},
    {"大きいツールチップ表示", "ボタンまたはウィンドウについて", "詳細な説明がほしいとき押下してください", ""},
    {"ツールチップ非表示", "ボタンまたはウィンドウについて", "説明がいらないとき押下してください", ""},
    {"フォント設定", "ファイル表示部のフォント、テキストビューのフォント", "登録アプリメニューのフォント等が変更できます", ""},
    {"現在のフォーム保存", "現在機能しません", "", ""},
};

const TipEntry kLayoutBar[] = {
    {"ファイラーのみ表示", "", "", ""},
    {"ビュー＆ファイラー１：１表示", "画像・テキストビューアが、ファイラーの左に", "少し開きます", ""},
    {"ビュー＆ファイラー２：１表示", "画像・テキストビューアが、ファイラーの左に", "大きく開きます", ""},
    {"ビューのみ表示", "画像・テキストビューアを開いて、", "ファイラーは非表示にします", ""},
    {"第１ファイラー表示", "ふぉびあは、２つのファイラーを持ちますが", "そのうち、第１ファイラーのみ表示します", ""},
    {"第２ファイラー表示", "ふぉびあは、２つのファイラーを持ちますが", "そのうち、第２ファイラーのみ表示します", ""},
    {"両ファイラー表示", "ふぉびあは、２つのファイラーを持ちますが", "その両方のファイラーを表示します", ""},
    {"フォルダツリー非表示", "ファイラー表示部のうち、フォルダツリー表示部を", "表示しません", ""},
    {"フォルダツリー小表示", "ファイラー表示部のうち、フォルダツリー表示部を", "少し表示します", ""},
    {"フォルダツリー大表示", "ファイラー表示部のうち、フォルダツリー表示部を", "大きく表示します", ""},
    {"登録アプリダイアログ表示・非表示", "登録アプリダイアログの表示非表示を切り替えます",
     "さまざまな、実行アプリケーションを登録してください", ""},
    {"登録アプリダイアログ定位置移動", "登録アプリダイアログを左端の定位置に移動します", "", ""},
};

const TipEntry kFileBar[] = {
    {"再表示", "ファイル情報を最新にするとき", "押下してください", ""},
    {"削除", "削除するファイルまたはフォルダを選択してから", "このボタンを押下してください。ごみ箱移動でなく完全消去です。",
     "デスクトップのごみ箱にドロップすることもできます。"},
    {"選択画像サンプル作成", "フォルダの中でサンプルを作成したい画像ファイルを選択してから",
     "押下してください。フォルダ内のすべてのサンプルを作成するには、",
     "まず全ファイル選択ボタン押下してからこのボタンを押下します"},
    {"フォルダ内全画像サンプル削除", "現在表示中のフォルダの中の全画像の", "サンプルが消去されます。",
     "削除されるのは、サンプルで元画像は残ります"},
    {"マスク指定", "*.*を指定すれば、全ファイルを表示", "*.txtを指定すれば、拡張子が txtのファイルのみ表示", ""},
    {"全フォルダ・ファイル選択", "全ファイル項目、フォルダ項目を選択します", "個々に選択する場合は、各項目の前の小アイコン",
     "を押下します"},
    {"全ファイル選択", "フォルダ項目以外の全ファイル項目を選択します", "個々に選択する場合は、各項目の前の小アイコン",
     "を押下します"},
    {"新規フォルダ作成", "名前変更ダイアログがひらきますので", "作成フォルダ名を入力してください", ""},
    {"ショートカット作成", "ショートカットを作成するファイルを一つまたは複数", "選択してからこのボタンを押下してください", ""},
    {"名前変更", "名前変更するファイルまたはフォルダを一つまたは複数", "選択してからこのボタンを押下してください", ""},
    {"属性変更", "属性変更するファイルまたはフォルダを一つまたは複数", "選択してからこのボタンを押下してください", ""},
};

// The three catalog modes share their explanation.
const char kCatalogLine1[] = "画像サンプルがないと、空白表示になりますので";
const char kCatalogLine2[] = "まず、この上の選択画像サンプル作成ボタンでサンプル";
const char kCatalogLine3[] = "を作成してください";
const TipEntry kModeBar[] = {
    {"画像カタログ表示１", kCatalogLine1, kCatalogLine2, kCatalogLine3},
    {"画像カタログ表示２", kCatalogLine1, kCatalogLine2, kCatalogLine3},
    {"画像カタログ表示３", kCatalogLine1, kCatalogLine2, kCatalogLine3},
    {"テキスト表示１", "ファイル名、拡張子のみ表示", "", ""},
    {"テキスト表示２", "サイズまで表示", "", ""},
    {"テキスト表示３", "日付まで表示", "", ""},
};

const TipEntry kNavBar[] = {
    {"ルートの階層へ", "", "", ""},
    {"１つ上のフォルダ（親フォルダ）階層へ", "", "", ""},
    {"先頭項目へ", "", "", ""},
    {"１ページ左の項目へ", "", "", ""},
    {"１列左の項目へ", "", "", ""},
    {"１列右の項目へ", "", "", ""},
    {"１ページ右の項目へ", "", "", ""},
    {"最終項目へ", "", "", ""},
};

// Every drive button has the same tip, whatever its index.
const TipEntry kDriveBar = {"表示ディスクドライブ切り替え", "", "", ""};

const TipEntry kPictureBar[] = {
    {"上書き保存", "読み込み元のファイルに上書き保存します", "元ファイルが変更されますので、注意してください", ""},
    {"新規保存", "ファイル名指定ダイアログが開きますので", "保存ファイル名を指定してください", ""},
    {"左回転", "", "", ""},
    {"右回転", "", "", ""},
    {"左右反転", "", "", ""},
    {"上下反転", "", "", ""},
    {"拡大", "", "", ""},
    {"縮小", "", "", ""},
};

const TipEntry kTextBar[] = {
    {"上書き保存", "読み込み元のファイルに上書き保存します", "元ファイルが変更されますので、注意してください", ""},
    {"新規保存", "ファイル名指定ダイアログが開きますので", "保存ファイル名を指定してください", ""},
    {"カット", "", "", ""},
    {"コピー", "", "", ""},
    {"貼り付け", "", "", ""},
    {"全選択", "", "", ""},
    {"クリア", "", "", ""},
};

const TipEntry kPageBar[] = {
    {"ページリスト表示・非表示", "登録アプリのページタイトルのリストを開きます", "ページを切り替えるとき、使ってください", ""},
    {"前ページ表示", "", "", ""},
    {"次ページ表示", "", "", ""},
    {"登録アプリ削除", "下に登録されているアプリケーションをこのダイアログより",
     "消去します。消去の選択は項目の前のアイコンボタンを押下", ""},
};

const TipEntry kPageEditBar[] = {
    {"新規ページ登録", "", "", ""},
    {"ページタイトル", "ページのタイトルを変更します", "", ""},
    {"ページ削除", "", "", ""},
};

const TipEntry kExtMenuBar[] = {
    {"実行", "選択しているファイルが実行ファイル", "のとき、それを実行します", ""},
    {"ビュー表示", "選択しているファイルを左の画像", "テキストビューアに開きます", ""},
    {"削除", "下のメニューよりアプリケーション", "を削除します", ""},
};

const TipEntry kDropOnEntry = {"データをドロップしてください", "登録アプリによみこませえたいデータを",
                               "ドロップしてください", ""};
const TipEntry kDropProgram = {"実行ファイル（拡張子EXE）または", "実行ファイルのショートカットを",
                               "ファイラーまたは拡張子ダイアログ", "よりドロップしてください"};
const TipEntry kAddPage = {"ページを追加するには、", "上のページ追加ボタンを", "押下してください", ""};
const TipEntry kDropOnExtMenu = {"拡張に対応して起動したい実行ファイル（EXE）", "またはそのショートカットをドロップしてください",
                                 "登録アプリダイアログからも、ファイラーからも", "ドラッグドロップできます"};
const TipEntry kFileList = {"フォルダ項目をシングルクリックでそのフォルダの中の項目を表示",
                            "ファイル項目をシングルクリックで拡張子別メニューダイアログ表示",
                            "ビューが左にひらいているときは、ビューにファイルの内容表示",
                            "ファイルのコピーは、第１ファイラーより第２ファイラーへドラッグドロップ"};
const TipEntry kPictureArea = {"右のファイラーの画像ファイル", "の項目をクリックすると", "ここに画像が表示されます", ""};

// clang-format on

template <size_t N> const TipEntry* Button(const TipEntry (&bar)[N], int index)
{
    return index >= 0 && size_t(index) < N ? &bar[index] : nullptr;
}

const TipEntry* FindTip(int mode, int window, int index)
{
    switch (window) {
    case kTipFileBarUpper:
    case kTipFileBarLower:
        return Button(kFileBar, index);
    case kTipModeBarUpper:
    case kTipModeBarLower:
        return Button(kModeBar, index);
    case kTipNavBarUpper:
    case kTipNavBarLower:
        return Button(kNavBar, index);
    case kTipDriveBarUpper:
    case kTipDriveBarLower:
        return &kDriveBar;
    case kTipMainBar:
        return Button(kMainBar, index);
    case kTipLayoutBar:
        return Button(kLayoutBar, index);
    case kTipPictureBar:
        return Button(kPictureBar, index);
    case kTipTextBar:
        return Button(kTextBar, index);
    case kTipPageBar:
        return Button(kPageBar, index);
    case kTipPageEditBar:
        return Button(kPageEditBar, index);
    case kTipLauncherEntries:
        return index >= 0 ? &kDropOnEntry : &kDropProgram;
    case kTipLauncherPages:
        return index >= 0 ? &kDropProgram : &kAddPage;
    case kTipExtMenuBar:
        return Button(kExtMenuBar, index);
    case kTipExtMenuEntries:
        // An entry explains itself by its program's icon and title.
        return index >= 0 ? nullptr : &kDropOnExtMenu;
    case kTipFileListUpper:
    case kTipFileListLower:
        // The file lists explain themselves only to whoever asked for explanations.
        return mode == kTipsLarge ? &kFileList : nullptr;
    case kTipPictureArea:
        return &kPictureArea;
    default:
        // The folder trees have no tip.
        return nullptr;
    }
}

} // namespace

void GetToolTipText(int mode, int window, int index, CString& title, CString& line1, CString& line2, CString& line3)
{
    title.Empty();
    line1.Empty();
    line2.Empty();
    line3.Empty();
    const TipEntry* tip = FindTip(mode, window, index);
    if (!tip)
        return;
    title = tip->title;
    line1 = tip->line1;
    line2 = tip->line2;
    line3 = tip->line3;
}
