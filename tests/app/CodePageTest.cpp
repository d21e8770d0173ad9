// The code page the program runs in, and Japanese texts reaching it byte for byte from literals and from
// resources (which windres stores as UTF-16 and LoadStringA converts back).
#include <gtest/gtest.h>

#include "framework/FrameWnd.h"
#include "res/resource.h"

TEST(CodePage, AnsiCodePageIsShiftJis)
{
    EXPECT_EQ(932u, GetACP());
}

TEST(CodePage, ResourceTextsArriveAsTheLiteralBytes)
{
    struct {
        UINT id;
        const char* literal;
        const char* bytes;
    } cases[] = {
        {9001, "ファイラーのみ表示", "\x83\x74\x83\x40\x83\x43\x83\x89\x81\x5B\x82\xCC\x82\xDD\x95\x5C\x8E\xA6"},
        {9002, "ソート順", "\x83\x5C\x81\x5B\x83\x67\x8F\x87"},
        {IDS_SOCKETS_INIT_FAILED, "Windows ｿｹｯﾄの初期化に失敗しました。", nullptr},
        {IDS_OLE_INIT_FAILED,
         "OLE の初期化に失敗しました。OLE ﾗｲﾌﾞﾗﾘが正しいﾊﾞｰｼﾞｮﾝのものか確認してください。", nullptr},
        {IDR_MAINFRAME, "ふぉびあ\n\nFovea\n\n\nFovea.Document\nFovea Document", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        if (c.bytes) {
            EXPECT_EQ(std::string(c.bytes), std::string(c.literal));
        }
        EXPECT_EQ(std::string(c.literal), LoadResourceString(c.id).str());
    }
}

TEST(CodePage, MenuTextsArriveAsTheLiteralBytes)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(nullptr, menu);
    char text[256] = {};
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("ヘルプメニュー(&H)", text);
    HMENU popup = GetSubMenu(menu, 0);
    GetMenuStringA(popup, ID_APP_ABOUT, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("ﾊﾞｰｼﾞｮﾝ情報(Fovea) (&A)...", text);
    GetMenuStringA(popup, ID_HELP_FINDER, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("ヘルプマニュアル(&H)", text);
    DestroyMenu(menu);
}
