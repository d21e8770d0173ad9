// The drop target of our framework layer with real windows and the platform's OLE: registration and its end
// (also when the window goes first), the platform's references, and the calls reaching the view with client
// points, the data object held for the drag, and effects limited to what the source allows.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "framework/FrameWnd.h"
#include "framework/OleDropTarget.h"
#include "tests/support/TestDataObject.h"
#include "tests/support/TestSupport.h"

namespace {

// A view that records the calls it gets and answers as told.
class RecordingView : public CView {
public:
    struct Call {
        char kind; // E enter, O over, L leave, D drop
        IDataObject* data;
        DWORD keys;
        POINT point;
    };
    DWORD OnDragEnter(IDataObject* data, DWORD keys, POINT point) override
    {
        m_calls.push_back({'E', data, keys, point});
        return m_nAnswer;
    }
    DWORD OnDragOver(IDataObject* data, DWORD keys, POINT point) override
    {
        m_calls.push_back({'O', data, keys, point});
        return m_nAnswer;
    }
    void OnDragLeave() override { m_calls.push_back({'L', nullptr, 0, {}}); }
    BOOL OnDrop(IDataObject* data, DWORD keys, POINT point) override
    {
        m_calls.push_back({'D', data, keys, point});
        if (m_bThrow)
            throw std::runtime_error("drop failed");
        return m_bAccept;
    }
    std::string Kinds() const
    {
        std::string kinds;
        for (const Call& call : m_calls)
            kinds += call.kind;
        return kinds;
    }

    std::vector<Call> m_calls;
    DWORD m_nAnswer = DROPEFFECT_COPY;
    BOOL m_bAccept = TRUE;
    bool m_bThrow = false;

protected:
    const char* ClassName() const override { return "FoveaDropTestView"; }
};

// References held on a COM object besides the caller's probe.
ULONG RefsOf(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

class DropTarget : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test_support::StartOle());
        ASSERT_TRUE(m_view.Create(nullptr, 0, RECT{100, 120, 400, 420}, WS_POPUP));
    }
    void TearDown() override { m_view.DestroyWindow(); }

    POINTL ScreenOf(int x, int y) const
    {
        POINT p = {x, y};
        ClientToScreen(m_view.m_hWnd, &p);
        return POINTL{p.x, p.y};
    }

    RecordingView m_view;
    COleDropTarget m_target;
};

TEST_F(DropTarget, RegistrationIsExclusiveAndEndsWithRevoke)
{
    EXPECT_EQ(0u, RefsOf(&m_target));
    ASSERT_TRUE(m_target.Register(&m_view));
    EXPECT_TRUE(m_target.IsRegistered());
    EXPECT_EQ(&m_target, m_view.m_pDropTarget);
    EXPECT_FALSE(m_target.Register(&m_view)); // once only

    COleDropTarget other;
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(m_view.m_hWnd, &other));
    m_target.Revoke();
    EXPECT_FALSE(m_target.IsRegistered());
    EXPECT_EQ(nullptr, m_view.m_pDropTarget);
    // Every reference the platform took is given back, and the window is free again.
    EXPECT_EQ(0u, RefsOf(&m_target));
    EXPECT_EQ(S_OK, RegisterDragDrop(m_view.m_hWnd, &other));
    EXPECT_EQ(S_OK, RevokeDragDrop(m_view.m_hWnd));
    m_target.Revoke(); // a second revoke is harmless

    EXPECT_FALSE(m_target.Register(nullptr));
    CView unmade;
    EXPECT_FALSE(m_target.Register(&unmade));
}

TEST_F(DropTarget, DestroyingTheWindowRevokesTheRegistration)
{
    ASSERT_TRUE(m_target.Register(&m_view));
    ASSERT_TRUE(m_view.DestroyWindow());
    EXPECT_FALSE(m_target.IsRegistered());
    EXPECT_EQ(nullptr, m_view.m_pDropTarget);
    EXPECT_EQ(0u, RefsOf(&m_target));

    // An owner that goes before its window takes the registration with it.
    RecordingView view;
    ASSERT_TRUE(view.Create(nullptr, 0, RECT{0, 0, 50, 50}, WS_POPUP));
    {
        COleDropTarget scoped;
        ASSERT_TRUE(scoped.Register(&view));
    }
    EXPECT_EQ(nullptr, view.m_pDropTarget);
    COleDropTarget next;
    EXPECT_TRUE(next.Register(&view));
    view.DestroyWindow();
}

TEST_F(DropTarget, CallsReachTheViewInClientCoordinates)
{
    ASSERT_TRUE(m_target.Register(&m_view));
    IDropTarget* target = &m_target;
    auto* data = test_support::TestDataObject::ForPaths(CStringArray());
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON, ScreenOf(10, 20), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
    // The drag holds the data object until it ends; the over calls get it although the platform passes none.
    EXPECT_EQ(2u, data->Refs());
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragOver(MK_LBUTTON | MK_SHIFT, ScreenOf(30, 40), &effect));
    effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    ASSERT_EQ(S_OK, target->Drop(data, 0, ScreenOf(50, 60), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
    EXPECT_EQ(1u, data->Refs());

    ASSERT_EQ("EOOD", m_view.Kinds());
    const POINT want[] = {{10, 20}, {30, 40}, {50, 60}, {50, 60}};
    for (size_t i = 0; i < m_view.m_calls.size(); ++i) {
        EXPECT_EQ(want[i].x, m_view.m_calls[i].point.x) << i;
        EXPECT_EQ(want[i].y, m_view.m_calls[i].point.y) << i;
        EXPECT_EQ(static_cast<IDataObject*>(data), m_view.m_calls[i].data) << i;
    }
    EXPECT_EQ(DWORD(MK_LBUTTON | MK_SHIFT), m_view.m_calls[1].keys);
    data->Release();
}

TEST_F(DropTarget, EffectsAreLimitedToWhatTheSourceAllows)
{
    ASSERT_TRUE(m_target.Register(&m_view));
    IDropTarget* target = &m_target;
    auto* data = test_support::TestDataObject::ForPaths(CStringArray());

    // The view offers a copy, the source only allows a move: nothing may happen.
    DWORD effect = DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target->DragEnter(data, 0, ScreenOf(1, 1), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    effect = DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target->Drop(data, 0, ScreenOf(1, 1), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    EXPECT_EQ("EOL", m_view.Kinds()); // refused at the drop point: a leave, never a drop

    // A view that refuses the drop itself answers no effect.
    m_view.m_calls.clear();
    m_view.m_bAccept = FALSE;
    effect = DROPEFFECT_COPY;
    target->DragEnter(data, 0, ScreenOf(1, 1), &effect);
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->Drop(data, 0, ScreenOf(1, 1), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    EXPECT_EQ("EOD", m_view.Kinds());

    // A leave ends the drag and lets go of the data.
    effect = DROPEFFECT_COPY;
    target->DragEnter(data, 0, ScreenOf(1, 1), &effect);
    EXPECT_EQ(2u, data->Refs());
    EXPECT_EQ(S_OK, target->DragLeave());
    EXPECT_EQ(1u, data->Refs());

    EXPECT_EQ(E_INVALIDARG, target->DragOver(0, ScreenOf(1, 1), nullptr));
    data->Release();
}

TEST_F(DropTarget, AFailingViewDoesNotUnwindIntoThePlatform)
{
    ASSERT_TRUE(m_target.Register(&m_view));
    m_view.m_bThrow = true;
    auto* data = test_support::TestDataObject::ForPaths(CStringArray());
    IDropTarget* target = &m_target;
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(data, 0, ScreenOf(1, 1), &effect);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(E_UNEXPECTED, target->Drop(data, 0, ScreenOf(1, 1), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    EXPECT_EQ(1u, data->Refs());
    data->Release();
}

TEST_F(DropTarget, AWindowThatIsNoViewRefusesDrops)
{
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, "FoveaDropTestPlain", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    ASSERT_TRUE(m_target.Register(&plain));
    auto* data = test_support::TestDataObject::ForPaths(CStringArray());
    DWORD effect = DROPEFFECT_COPY;
    IDropTarget* target = &m_target;
    target->DragEnter(data, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    m_target.Revoke();
    plain.DestroyWindow();
    data->Release();
    EXPECT_TRUE(m_view.m_calls.empty());
}

} // namespace
