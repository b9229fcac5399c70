#include "tests/shell/PlaceholderView.h"

namespace {
constexpr int kMinWidth = 100;
constexpr int kMinHeight = 80;
}

CPlaceholderView::CPlaceholderView(IViewHost& host, int type, QWidget* parent)
    : CMeterView(host, parent)
    , m_nType(type)
{
}

// The frame keeps the default size it was made with.
void CPlaceholderView::OnInitialUpdate() {}

void CPlaceholderView::OnActivateView(bool activate)
{
    if (activate && m_bFirstActivation) {
        m_bFirstActivation = false;
        Host().OnFirstActivation();
    }
}

QSize CPlaceholderView::MinTrackSize() const { return QSize(kMinWidth, kMinHeight); }

COLORREF CPlaceholderView::EraseColor() const { return RGB(96, 96, 96); }
