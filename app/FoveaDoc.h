// CFoveaDoc: the document of the single-document template. It holds no data: the panes hold what they show.
#pragma once

#include "framework/FrameWnd.h"

class CFoveaDoc : public CDocument {};
