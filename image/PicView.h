// CPicView: the picture area of the view pane. It paints its parent's picture 1:1 with the picture's own palette.
#pragma once

#include "framework/ScrollView.h"

class CDib;
class CFoveaView;

class CPicView : public CScrollView {
public:
    static constexpr UINT kId = 303;

    // Paints dib at (0, 0) into hdc, whose origin the scroll position has moved; only the part inside the clip
    // box is sent to the device. The palette is realised in the foreground or in the background.
    static void DrawPicture(HDC hdc, const CDib& dib, bool foreground);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const char* ClassName() const override { return "FoveaPicView"; }
    void OnDraw(HDC hdc) override;

private:
    CFoveaView* Owner() const;
};
