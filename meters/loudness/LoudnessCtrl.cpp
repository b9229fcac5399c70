#include "meters/loudness/LoudnessCtrl.h"

#include "meters/common/MeterFonts.h"
#include "meters/common/MeterView.h"
#include "meters/common/ViewFrame.h"
#include "meters/loudness/LoudnessFeed.h"

#include <QMenu>

#include <algorithm>
#include <cmath>

namespace {
const char* const kBarLabels[2] = { "M", "S" };
const char* const kNoValue = "---";

double ToDb(float linear) { return 20.0 * std::log10(static_cast<double>(linear)); }
}

CLoudnessCtrl::CLoudnessCtrl(QWidget* parent) : CMeterCtrl(parent), m_font(CMeterFonts::Small()) {}

int CLoudnessCtrl::Create(int x, int y, int width, int height, int id)
{
    setObjectName(QStringLiteral("loudness%1").arg(id));
    setGeometry(x, y, width, height);
    Dc().SelectFont(m_font);
    Dc().SetBkColor(lud::kBlack);
    m_bCreated = true;
    show();
    return 1;
}

IViewFrame* CLoudnessCtrl::Frame() const
{
    if (m_pFrame)
        return m_pFrame;
    const auto* view = qobject_cast<const CMeterView*>(parentWidget());
    return view ? view->Frame() : nullptr;
}

void CLoudnessCtrl::SetOn(int on)
{
    const bool wasOn = m_nOn != 0;
    m_nOn = on ? 1 : 0;
    // Relaxed: the capture thread only decides from it whether to measure.
    m_bOnMirror.store(m_nOn != 0, std::memory_order_relaxed);
    if (m_pFeed)
        m_pFeed->SetOn(m_nOn != 0);
    if (m_nOn && !wasOn) {
        // The feed starts afresh; so does what is shown.
        m_reading = CLoudnessSnapshot {};
        Redraw();
    }
    if (IViewFrame* frame = Frame())
        frame->SetMeterOn(IsOn());
}

void CLoudnessCtrl::SetSwitchedOn(int on) { SetOn(on); }

void CLoudnessCtrl::NotifyMinimized(bool minimized)
{
    if (minimized == m_bSuspended)
        return;
    m_bSuspended = minimized;
    if (IViewFrame* frame = Frame())
        frame->SetMeterOn(IsOn());
    if (!minimized)
        Redraw();
}

void CLoudnessCtrl::ShowLoudness(const CLoudnessSnapshot& reading)
{
    // A packet captured before the latest reset may still be on its way.
    if (m_bSuspended || (m_pFeed && !m_pFeed->IsCurrent(reading)))
        return;
    ShowReading(reading);
    if (m_pFeed && (!m_collectClock.isValid() || m_collectClock.elapsed() >= kCollectMs)) {
        m_collectClock.start();
        m_pFeed->Collect();
    }
}

void CLoudnessCtrl::ShowNoInput()
{
    if (m_bSuspended || !m_reading.Has(CLoudnessSnapshot::kMomentary | CLoudnessSnapshot::kShortTerm))
        return;
    CLoudnessSnapshot reading = m_reading;
    reading.valid &= static_cast<std::uint8_t>(~(CLoudnessSnapshot::kMomentary | CLoudnessSnapshot::kShortTerm));
    ShowReading(reading);
}

void CLoudnessCtrl::ShowReading(const CLoudnessSnapshot& reading)
{
    m_reading = reading;
    Redraw();
}

void CLoudnessCtrl::ResetIntegration()
{
    if (m_pFeed)
        m_pFeed->RequestReset();
    m_reading = CLoudnessSnapshot {};
    Redraw();
}

const lud::Target& CLoudnessCtrl::Target() const { return lud::kPresets[static_cast<std::size_t>(m_nPreset)]; }

void CLoudnessCtrl::SetPreset(int index)
{
    if (index < 0 || index >= static_cast<int>(lud::kPresets.size()))
        return;
    m_nPreset = index;
    Invalidate();
}

void CLoudnessCtrl::SetScale(int index)
{
    if (index < 0 || index >= static_cast<int>(lud::kScales.size()))
        return;
    m_nScale = index;
    Invalidate();
}

void CLoudnessCtrl::SetUnit(int unit)
{
    if (unit != lud::kUnitLufs && unit != lud::kUnitLu)
        return;
    m_nUnit = unit;
    Invalidate();
}

void CLoudnessCtrl::Layout()
{
    const CRect client = ClientRect();
    m_nTextHeight = Dc().TextHeight();
    const int rowHeight = m_nTextHeight + lud::kReadoutRowPad;
    const int readoutTop = client.bottom - lud::kMargin - lud::kReadoutRows * rowHeight;
    m_rcReadouts = CRect(client.left + lud::kMargin, readoutTop, client.right - lud::kMargin, client.bottom - lud::kMargin);
    // Bars under a half-row of headroom for the top label, over their letters.
    const int barTop = client.top + lud::kMargin + m_nTextHeight / 2;
    const int barBottom = readoutTop - lud::kMargin - m_nTextHeight;
    const int left = client.left + lud::kMargin + lud::kScaleColumn;
    for (int i = 0; i < 2; ++i) {
        const int x = left + i * (lud::kBarWidth + lud::kBarGap);
        m_rcBar[i] = CRect(x, barTop, x + lud::kBarWidth, std::max(barTop + 1, barBottom));
    }
}

CRect CLoudnessCtrl::ReadoutRow(int row) const
{
    const int rowHeight = m_nTextHeight + lud::kReadoutRowPad;
    const int top = m_rcReadouts.top + row * rowHeight;
    return CRect(m_rcReadouts.left, top, m_rcReadouts.right, top + rowHeight);
}

int CLoudnessCtrl::RowOfLu(double lu) const
{
    const lud::Scale& scale = lud::kScales[static_cast<std::size_t>(m_nScale)];
    const CRect& bar = m_rcBar[0];
    const double clamped = std::clamp(lu, static_cast<double>(scale.bottomLu), static_cast<double>(scale.topLu));
    const double fraction = (clamped - scale.bottomLu) / (scale.topLu - scale.bottomLu);
    // The top of the scale is the bar's first row, the bottom its last.
    return bar.bottom - 1 - static_cast<int>(std::lround(fraction * (bar.Height() - 1)));
}

void CLoudnessCtrl::ForgetShown()
{
    m_nBarTopShown[0] = m_nBarTopShown[1] = kBarUnknown;
    std::fill(std::begin(m_bRowShown), std::end(m_bRowShown), false);
}

void CLoudnessCtrl::OnPaint()
{
    ForgetShown();
    Layout();
    Dc().FillSolidRect(ClientRect(), lud::kBlack);
    DrawScale();
    DrawBars();
    DrawReadouts();
}

void CLoudnessCtrl::Redraw()
{
    if (!m_bCreated || IsInvalid())
        return; // the pending full repaint draws the new state
    DrawBars();
    DrawReadouts();
}

void CLoudnessCtrl::DrawScale()
{
    const lud::Scale& scale = lud::kScales[static_cast<std::size_t>(m_nScale)];
    CDrawContext& dc = Dc();
    dc.SetTextColor(lud::kScaleTextColor);
    dc.SetBkColor(lud::kBlack);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.SelectPen(lud::kTickColor);
    const int tickRight = m_rcBar[0].left - 1;
    for (int lu = scale.bottomLu; lu <= scale.topLu; lu += scale.labelStepLu) {
        const int y = RowOfLu(lu);
        dc.MoveTo(tickRight - 4, y);
        dc.LineTo(tickRight, y);
        const double shown = m_nUnit == lud::kUnitLu ? lu : lu + Target().loudness;
        dc.ExtTextOut(tickRight - 5, y - m_nTextHeight / 2, 0, nullptr, QString::number(static_cast<int>(std::lround(shown))));
    }
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    for (int i = 0; i < 2; ++i)
        dc.ExtTextOut((m_rcBar[i].left + m_rcBar[i].right) / 2, m_rcBar[i].bottom + 2, 0, nullptr, QString::fromLatin1(kBarLabels[i]));
}

void CLoudnessCtrl::DrawBars()
{
    DrawBar(0, m_reading.Has(CLoudnessSnapshot::kMomentary), m_reading.momentary);
    DrawBar(1, m_reading.Has(CLoudnessSnapshot::kShortTerm), m_reading.shortTerm);
}

void CLoudnessCtrl::DrawBar(int index, bool valid, float lufs)
{
    const CRect& bar = m_rcBar[index];
    int top = kBarNotShown;
    if (valid) {
        const double lu = lufs - Target().loudness;
        // A level below the scale's bottom shows no bar at all.
        const lud::Scale& scale = lud::kScales[static_cast<std::size_t>(m_nScale)];
        if (lu > scale.bottomLu)
            top = RowOfLu(lu);
    }
    if (top == m_nBarTopShown[index])
        return;
    m_nBarTopShown[index] = top;
    CDrawContext& dc = Dc();
    dc.FillSolidRect(bar, lud::kBlack);
    const int targetRow = RowOfLu(0.0);
    if (top != kBarNotShown) {
        // Up to the target in the normal colour, above it in the warning one.
        const int split = std::max(top, targetRow + 1);
        dc.FillSolidRect(CRect(bar.left, split, bar.right, bar.bottom), lud::kBelowTargetColor);
        if (top <= targetRow)
            dc.FillSolidRect(CRect(bar.left, top, bar.right, targetRow + 1), lud::kAboveTargetColor);
    }
    // The target mark reaches a little beyond the bar on both sides.
    dc.FillSolidRect(CRect(bar.left - lud::kTargetMarkOverhang, targetRow, bar.right + lud::kTargetMarkOverhang, targetRow + 1),
        lud::kTargetMarkColor);
}

QString CLoudnessCtrl::LoudnessText(bool valid, float lufs) const
{
    if (!valid)
        return QString::fromLatin1(kNoValue);
    if (m_nUnit == lud::kUnitLu)
        return QStringLiteral("%1 LU").arg(static_cast<double>(lufs) - Target().loudness, 0, 'f', 1);
    return QStringLiteral("%1 LUFS").arg(static_cast<double>(lufs), 0, 'f', 1);
}

QString CLoudnessCtrl::PeakText(float linear) const
{
    if (!(linear > 0.0f))
        return QString::fromLatin1(kNoValue);
    return QStringLiteral("%1 dBTP").arg(ToDb(linear), 0, 'f', 1);
}

bool CLoudnessCtrl::IsOverLimit(float linear) const { return linear > 0.0f && ToDb(linear) > Target().truePeakLimit; }

void CLoudnessCtrl::DrawReadout(int row, const QString& label, const QString& value, COLORREF color)
{
    // Shaping and drawing text is costly; a row is drawn only when it shows something new.
    const auto r = static_cast<std::size_t>(row);
    if (m_bRowShown[r] && m_crShown[r] == color && m_strShown[r] == value)
        return;
    m_bRowShown[r] = true;
    m_crShown[r] = color;
    m_strShown[r] = value;
    CDrawContext& dc = Dc();
    const CRect rc = ReadoutRow(row);
    dc.SetBkColor(lud::kBlack);
    dc.SetTextColor(color);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.ExtTextOut(rc.left, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, label);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.ExtTextOut(rc.right, rc.top, ETO_CLIPPED, &rc, value);
}

void CLoudnessCtrl::DrawReadouts()
{
    const CLoudnessSnapshot& r = m_reading;
    DrawReadout(0, QStringLiteral("M"), LoudnessText(r.Has(CLoudnessSnapshot::kMomentary), r.momentary), lud::kReadoutColor);
    DrawReadout(1, QStringLiteral("S"), LoudnessText(r.Has(CLoudnessSnapshot::kShortTerm), r.shortTerm), lud::kReadoutColor);
    DrawReadout(2, QStringLiteral("I"), LoudnessText(r.Has(CLoudnessSnapshot::kIntegrated), r.integrated), lud::kReadoutColor);
    const QString range = r.Has(CLoudnessSnapshot::kRange) ? QStringLiteral("%1 LU").arg(static_cast<double>(r.range), 0, 'f', 1)
                                                           : QString::fromLatin1(kNoValue);
    DrawReadout(3, QStringLiteral("LRA"), range, lud::kReadoutColor);
    for (int ch = 0; ch < CLoudnessSnapshot::kChannels; ++ch) {
        const float peak = r.truePeak[ch];
        DrawReadout(4 + ch, ch == 0 ? QStringLiteral("TP L") : QStringLiteral("TP R"), PeakText(peak),
            IsOverLimit(peak) ? lud::kOverColor : lud::kReadoutColor);
    }
}

std::unique_ptr<QMenu> CLoudnessCtrl::BuildContextMenu()
{
    auto menu = std::make_unique<QMenu>();
    auto add = [](QMenu* m, const QString& text, int id, bool checked) {
        QAction* action = m->addAction(text);
        action->setData(id);
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };
    add(menu.get(), QStringLiteral("On"), lud::ID_ON, m_nOn != 0);
    menu->addSeparator();
    for (std::size_t i = 0; i < lud::kPresets.size(); ++i)
        add(menu.get(), QString::fromLatin1(lud::kPresets[i].name), lud::ID_PRESET_FIRST + static_cast<int>(i), m_nPreset == static_cast<int>(i));
    menu->addSeparator();
    for (std::size_t i = 0; i < lud::kScales.size(); ++i)
        add(menu.get(), QString::fromLatin1(lud::kScales[i].name), lud::ID_SCALE_FIRST + static_cast<int>(i), m_nScale == static_cast<int>(i));
    menu->addSeparator();
    add(menu.get(), QStringLiteral("LUFS"), lud::ID_UNIT_LUFS, m_nUnit == lud::kUnitLufs);
    add(menu.get(), QStringLiteral("LU"), lud::ID_UNIT_LU, m_nUnit == lud::kUnitLu);
    menu->addSeparator();
    QAction* reset = menu->addAction(QStringLiteral("Reset Integration"));
    reset->setData(lud::ID_RESET_INTEGRATION);
    return menu;
}

void CLoudnessCtrl::OnContextMenu(const QPoint& globalPos)
{
    std::unique_ptr<QMenu> menu = BuildContextMenu();
    // Right-aligned at the point, as the other meters' menus open.
    const QPoint at(globalPos.x() - menu->sizeHint().width(), globalPos.y());
    const QAction* chosen = menu->exec(at);
    const int id = chosen ? chosen->data().toInt() : 0;
    menu.reset();
    if (id)
        OnCommand(id);
}

void CLoudnessCtrl::SendToView(int command)
{
    if (auto* view = qobject_cast<CMeterView*>(parentWidget()))
        view->OnCommand(command);
}

bool CLoudnessCtrl::OnCommand(int id)
{
    const int presetCount = static_cast<int>(lud::kPresets.size());
    const int scaleCount = static_cast<int>(lud::kScales.size());
    if (id >= lud::ID_PRESET_FIRST && id < lud::ID_PRESET_FIRST + presetCount) {
        SetPreset(id - lud::ID_PRESET_FIRST);
        return true;
    }
    if (id >= lud::ID_SCALE_FIRST && id < lud::ID_SCALE_FIRST + scaleCount) {
        SetScale(id - lud::ID_SCALE_FIRST);
        return true;
    }
    switch (id) {
    case lud::ID_ON: SendToView(lud::ID_VIEW_ON_OFF); return true;
    case lud::ID_UNIT_LUFS: SetUnit(lud::kUnitLufs); return true;
    case lud::ID_UNIT_LU: SetUnit(lud::kUnitLu); return true;
    case lud::ID_RESET_INTEGRATION: ResetIntegration(); return true;
    default: return false;
    }
}

void CLoudnessCtrl::OnLButtonDown(int x, int y)
{
    if (ReadoutRow(2).PtInRect(x, y))
        ResetIntegration();
}
