#include "meters/ppm/PpmCtrl.h"

#include "meters/common/ColorSettingsDlg.h"
#include "meters/common/MeterFonts.h"
#include "meters/common/MeterView.h"
#include "meters/common/ViewFrame.h"
#include "meters/ppm/PpmScaleTable.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QTimerEvent>

namespace {
const char* const kDbCaption = "db";
const char* const kChannelLetters[2] = { "L", "R" };
}

CPpmCtrl::CPpmCtrl(QWidget* parent)
    : CMeterCtrl(parent), m_fontNormal(CMeterFonts::Normal()), m_fontSmall(CMeterFonts::Small())
{
    m_params.m_pLevelTable = m_model.LevelTable().Data();
    m_params.m_pDbTable = CPpmLevelTable::DbTable().data();
    m_params.m_pOwner = this;
    ApplyPeakMode();
}

CPpmCtrl::~CPpmCtrl() = default;

int CPpmCtrl::Create(unsigned barCount, int x, int y, int width, int height, int id, int horizontal)
{
    m_nId = id;
    setObjectName(QStringLiteral("ppm%1").arg(id));
    setGeometry(x, y, width, height);

    m_params = BarParams {};
    m_params.m_bHorizontal = horizontal ? 1 : 0;
    m_params.m_pLevelTable = m_model.LevelTable().Data();
    m_params.m_pDbTable = CPpmLevelTable::DbTable().data();
    m_params.m_pOwner = this;
    ApplyPeakMode();

    const unsigned count = std::clamp(barCount, 1u, ppm::kMaxBars);
    m_bars.clear();
    // The bars hold their channels by address: the count is set before they
    // are made and not changed while they live.
    m_model.SetChannelCount(count);
    const CRect rc(x, y, x + width, y + height);
    for (unsigned i = 0; i < count; ++i)
        m_bars.push_back(std::make_unique<CPpmBar>(rc, &m_params, &m_model.Channel(i)));

    // The pen, font and colours stay selected in the control's own context.
    Dc().SelectPen(m_params.m_penTick);
    Dc().SelectFont(m_fontNormal);
    Dc().SetBkColor(ppm::kBlack);
    Dc().SetTextColor(ppm::kScaleTextColor);
    Layout(ClientRect());
    m_bCreated = true;
    show();
    return 1;
}

IViewFrame* CPpmCtrl::Frame() const
{
    if (m_pFrame)
        return m_pFrame;
    const auto* view = qobject_cast<const CMeterView*>(parentWidget());
    return view ? view->Frame() : nullptr;
}

template <typename F> void CPpmCtrl::ForBars(int channel, F&& f)
{
    if (channel < 0) {
        for (auto& bar : m_bars)
            f(*bar);
    } else if (static_cast<unsigned>(channel) < m_bars.size()) {
        f(*m_bars[static_cast<unsigned>(channel)]);
    }
}

void CPpmCtrl::SetValue(unsigned value, int channel)
{
    unsigned step = 0;
    // In a dB mode the block peaks are not the meter's reading.
    if (m_model.ReadsDb() || !m_model.StepOf(value, step))
        return;
    ForBars(channel, [step](CPpmBar& bar) {
        if (bar.Channel().Input(step))
            bar.Draw();
    });
}

void CPpmCtrl::SetLevels(const float* levels, double seconds, int mode)
{
    if (!m_model.ReadsDb() || (mode >= 0 && mode != CPpmBallistics::SettingsValue(m_model.Ballistics())))
        return;
    const unsigned n = std::min<unsigned>(BarCount(), CPpmCaptureBallistics::kChannels);
    for (unsigned i = 0; i < n; ++i) {
        if (m_model.InputLevel(levels[i], i, seconds))
            m_bars[i]->Draw();
        else
            m_bars[i]->ShowFall();
    }
}

void CPpmCtrl::SetBallistics(EPpmBallistics mode)
{
    m_model.SetBallistics(mode);
    m_captureBallistics.SetMode(mode);
    ResetAllForNewSettings();
}

void CPpmCtrl::OnTimer()
{
    if (m_hRelay)
        QCoreApplication::postEvent(m_hRelay.data(), new QTimerEvent(ppm::kTickTimerId));
    const CPpmModel::TickDue due = m_model.BeginTick();
    if (!due.decay)
        return;
    // The markers move from where the bars end before this tick's fall.
    if (due.peakFall) {
        for (auto& bar : m_bars)
            bar->PeakFall();
    }
    for (unsigned i = 0; i < m_bars.size(); ++i) {
        m_model.Fall(i);
        m_bars[i]->ShowFall();
    }
    m_model.EndTick();
}

void CPpmCtrl::ShowModelState(const CPpmModel& state)
{
    m_model.TakeStateOf(state);
    ApplyPeakMode();
    for (auto& bar : m_bars) {
        bar->m_nLastDrawn = 0;
        bar->ResetMarker();
        bar->Clear();
        bar->Draw();
    }
}

void CPpmCtrl::ApplyPeakMode()
{
    // The bars draw their marker lines by the model's peak mode.
    m_params.m_bPeakHold = m_model.PeakHold() ? 1 : 0;
    m_params.m_bPeakDecay = m_model.PeakDecay() ? 1 : 0;
}

void CPpmCtrl::ResetBar(CPpmBar& bar, bool clearLevel)
{
    if (clearLevel)
        bar.Channel().level = 0;
    bar.m_nLastDrawn = 0;
    bar.ResetMarker();
    bar.Clear();
    bar.Draw();
}

void CPpmCtrl::ResetBars(int channel, int clearLevel)
{
    if (clearLevel) {
        for (unsigned i = 0; i < BarCount(); ++i) {
            if (channel < 0 || static_cast<unsigned>(channel) == i)
                m_model.ClearReading(i);
        }
    }
    ForBars(channel, [this, clearLevel](CPpmBar& bar) { ResetBar(bar, clearLevel != 0); });
}

void CPpmCtrl::RedrawBars(int channel)
{
    ForBars(channel, [](CPpmBar& bar) { bar.Draw(); });
}

void CPpmCtrl::ResetAllForNewSettings()
{
    ResetBars(-1, 0);
    RedrawBars(-1);
}

void CPpmCtrl::SetDecayTime(unsigned units)
{
    m_model.SetDecayTime(units);
    ResetAllForNewSettings();
}

void CPpmCtrl::SetPeakHold(int on)
{
    m_model.SetPeakHold(on != 0);
    ApplyPeakMode();
    ResetAllForNewSettings();
}

void CPpmCtrl::SetPeakDecay(int on)
{
    m_model.SetPeakDecay(on != 0);
    ApplyPeakMode();
    ResetAllForNewSettings();
}

int CPpmCtrl::GetDecayIndex() const
{
    if (m_model.DecayTime() == ppm::kDecayFast)
        return 0;
    if (m_model.DecayTime() == ppm::kDecaySlow)
        return 2;
    return 1;
}

int CPpmCtrl::GetPeakMode() const
{
    if (m_params.m_bPeakHold)
        return 1;
    return m_params.m_bPeakDecay ? 2 : 0;
}

void CPpmCtrl::SetOn(int on)
{
    m_nOn = on;
    // Relaxed is enough: the capture thread only decides from it whether to
    // scan for peaks; the peaks themselves come back through the hub's ring.
    m_nOnMirror.store(on, std::memory_order_relaxed);
    if (IViewFrame* frame = Frame())
        frame->SetMeterOn(on);
}

void CPpmCtrl::NotifyMinimized(int minimized)
{
    if (minimized) {
        if (++m_nMinimized == 1) {
            m_nSavedOn = m_nOn;
            SetOn(0);
        }
    } else if (m_nMinimized > 0) {
        // A restore without a matching suspension is ignored, so the
        // counter never goes below zero and a later suspension still saves
        // the state it interrupts.
        if (--m_nMinimized == 0)
            SetOn(m_nSavedOn);
    }
}

void CPpmCtrl::SetSwitchedOn(int on)
{
    if (IsSuspended())
        m_nSavedOn = on;
    else
        SetOn(on);
}

void CPpmCtrl::SetHorizontal(int horizontal)
{
    m_params.m_bHorizontal = horizontal ? 1 : 0;
    Layout(ClientRect());
    Invalidate();
}

void CPpmCtrl::SetColors(COLORREF norm, COLORREF tween, COLORREF over)
{
    m_params.m_crNorm = norm;
    m_params.m_crTween = tween;
    m_params.m_crOver = over;
}

void CPpmCtrl::SetPoints(unsigned tweenPoint, unsigned overPoint)
{
    m_params.m_nTweenPoint = tweenPoint;
    m_params.m_nOverPoint = overPoint;
}

int CPpmCtrl::Layout(const CRect& client)
{
    const int L = client.left, T = client.top, R = client.right, B = client.bottom;
    const int n = static_cast<int>(m_bars.size());
    if (n == 0)
        return 0;
    const int cells = 2 * n - 1;
    int thickness;
    if (!m_params.m_bHorizontal) {
        const QFont& font = B - T >= ppm::kNormalFontMinHeight ? m_fontNormal : m_fontSmall;
        m_nTextHeight = QFontMetrics(font).height();
        thickness = (R - 2 * m_nSideMargin - L) / cells;
        int x = L + (R - cells * thickness - L) / 2;
        for (int i = 0; i < n; ++i) {
            CPpmBar& bar = *m_bars[static_cast<unsigned>(i)];
            bar.m_rcBar = CRect(x, T + ppm::kBarTopOffset, x + thickness, B - m_nEndMargin);
            bar.m_rcReadout = CRect(x - 7, T + 1, x + thickness + 7, T + 15);
            if (i == 0)
                bar.m_rcReadout.OffsetRect(-2, 1);
            else
                bar.m_rcReadout.OffsetRect(2, 0);
            bar.Channel().level = 0;
            bar.m_nLastDrawn = 0;
            bar.Draw();
            x += 2 * thickness;
        }
    } else {
        const QFont& font = R - L >= ppm::kNormalFontMinWidthHorizontal ? m_fontNormal : m_fontSmall;
        m_nTextHeight = QFontMetrics(font).height();
        thickness = (B - 2 * m_nSideMargin - T) / cells;
        int y = T + (B - cells * thickness - T) / 2;
        for (int i = 0; i < n; ++i) {
            CPpmBar& bar = *m_bars[static_cast<unsigned>(i)];
            bar.m_rcBar = CRect(L + m_nEndMargin, y, R - ppm::kBarRightOffset, y + thickness);
            const int readoutTop = y + thickness / 2 - m_nTextHeight / 2;
            bar.m_rcReadout = CRect(R - 28, readoutTop, R, readoutTop + m_nTextHeight);
            bar.Channel().level = 0;
            bar.m_nLastDrawn = 0;
            bar.Draw();
            y += 2 * thickness;
        }
    }
    return thickness;
}

void CPpmCtrl::SelectReadoutFont(CDrawContext& dc)
{
    const int width = ClientRect().Width();
    const int threshold = m_params.m_bHorizontal ? ppm::kNormalFontMinWidthHorizontal : ppm::kNormalReadoutMinWidthVertical;
    dc.SelectFont(width >= threshold ? m_fontNormal : m_fontSmall);
}

void CPpmCtrl::OnPaint()
{
    // The class background is black: a full repaint starts from an erased client.
    Dc().FillSolidRect(ClientRect(), ppm::kBlack);
    Layout(ClientRect());
    for (auto& bar : m_bars) {
        bar->m_nLastDrawn = 0;
        bar->ResetMarker();
        bar->Clear();
        bar->Draw();
    }
    DrawScales(Dc());
    // As a posted click at (0, 0): once the paint is done the markers are
    // reset and the bars repainted; (0, 0) lies on no readout, so the maxima stay.
    QMetaObject::invokeMethod(this, [this] { OnLButtonDown(0, 0); }, Qt::QueuedConnection);
}

void CPpmCtrl::OnLButtonDown(int x, int y)
{
    bool onReadout = false;
    for (auto& bar : m_bars)
        onReadout = onReadout || bar->m_rcReadout.PtInRect(x, y);
    if (onReadout)
        m_model.RestartMaxima();
    for (auto& bar : m_bars) {
        bar->m_nLastDrawn = 0;
        bar->ResetMarker();
        bar->Clear();
        bar->Draw();
    }
}

void CPpmCtrl::DrawScales(CDrawContext& dc)
{
    if (m_bars.empty())
        return;
    dc.SetBkColor(ppm::kBlack);
    dc.SetTextColor(ppm::kScaleTextColor);
    if (m_params.m_bHorizontal)
        DrawHorizontalScales(dc);
    else
        DrawVerticalScales(dc);
}

void CPpmCtrl::DrawVerticalScales(CDrawContext& dc)
{
    const CRect bar0 = m_bars[0]->m_rcBar;
    const int W = ClientRect().Width();
    const int th = m_nTextHeight;
    const int column = ppm::kScaleColumn;
    for (int i = 0; i < CPpmScaleTable::kCount; ++i) {
        const int y = m_bars[0]->EndOf(CPpmScaleTable::kSteps[i]);
        dc.MoveTo(column, y);
        dc.LineTo(W - column, y);
        const QString label = QString::fromLatin1(CPpmScaleTable::kScaleLabels[i]);
        if (label.isEmpty())
            continue;
        CRect rc(0, y - th / 2, column, y - th / 2 + th);
        dc.SetTextAlign(TA_RIGHT | TA_TOP);
        dc.ExtTextOut(20, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, label);
        rc.OffsetRect(W - column, 0);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        dc.ExtTextOut(rc.left + 3, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, label);
    }
    dc.MoveTo(0, bar0.bottom);
    dc.LineTo(W, bar0.bottom);
    const QString db = QString::fromLatin1(kDbCaption);
    CRect rc(0, bar0.bottom - th / 2, column, bar0.bottom - th / 2 + th);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.ExtTextOut(18, rc.top, ETO_CLIPPED, &rc, db);
    rc.OffsetRect(W - column - 1, 0);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.ExtTextOut(rc.left + 6, rc.top, ETO_CLIPPED, &rc, db);

    // Blacken the bars: the tick lines stay in the margins and gaps only.
    for (auto& bar : m_bars)
        bar->Clear();

    dc.SetTextAlign(TA_CENTER | TA_TOP);
    for (unsigned i = 0; i < m_bars.size() && i < 2; ++i) {
        const CRect& b = m_bars[i]->m_rcBar;
        const CRect letter(b.left, bar0.bottom + 2, b.right, bar0.bottom + 2 + th);
        dc.ExtTextOut((letter.left + letter.right) / 2, letter.top, ETO_CLIPPED, &letter,
            QString::fromLatin1(kChannelLetters[i]));
    }
}

void CPpmCtrl::DrawHorizontalScales(CDrawContext& dc)
{
    const CRect bar0 = m_bars[0]->m_rcBar;
    const int H = ClientRect().Height();
    const int row = ppm::kScaleColumn;
    // Label boxes: 12 pixels wide, from 7 to 19 above the bars and the same
    // box H - 26 further down below them.
    const int labelTop = 7, labelBottom = 19, labelHalfWidth = 6;
    const int lowerOffset = H - 26;
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    for (int i = 0; i < CPpmScaleTable::kCount; ++i) {
        const int x = m_bars[0]->EndOf(CPpmScaleTable::kSteps[i]) - 1;
        dc.MoveTo(x, row);
        dc.LineTo(x, H - row);
        QString label = QString::fromLatin1(CPpmScaleTable::kScaleLabels[i]);
        if (i == 0)
            label = QString::fromLatin1(CPpmScaleTable::kHorizontalTopLabel);
        if (label.isEmpty())
            continue;
        CRect rc(x - labelHalfWidth, labelTop, x + labelHalfWidth, labelBottom);
        dc.ExtTextOut(x - 2, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, label);
        rc.OffsetRect(0, lowerOffset);
        dc.ExtTextOut(x - 2, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, label);
    }
    dc.MoveTo(bar0.left, row);
    dc.LineTo(bar0.left, H - row);
    const QString db = QString::fromLatin1(kDbCaption);
    CRect rc(bar0.left - labelHalfWidth, labelTop, bar0.left + labelHalfWidth, labelBottom);
    dc.ExtTextOut(bar0.left - 1, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, db);
    rc.OffsetRect(0, lowerOffset);
    dc.ExtTextOut(bar0.left - 1, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, db);

    for (auto& bar : m_bars)
        bar->Clear();

    dc.SetTextAlign(TA_LEFT | TA_TOP);
    for (unsigned i = 0; i < m_bars.size() && i < 2; ++i) {
        const CRect& readout = m_bars[i]->m_rcReadout;
        const CRect letter(bar0.left - 13, readout.top, bar0.left - 3, readout.bottom);
        dc.ExtTextOut(letter.left, letter.top, ETO_CLIPPED, &letter, QString::fromLatin1(kChannelLetters[i]));
    }
}

std::unique_ptr<QMenu> CPpmCtrl::BuildContextMenu()
{
    auto menu = std::make_unique<QMenu>();
    auto add = [](QMenu* m, const char* text, int id, bool checked) {
        QAction* action = m->addAction(QString::fromLatin1(text));
        action->setData(id);
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };
    add(menu.get(), "On", ppm::ID_ON, m_nOn != 0);
    menu->addSeparator();
    add(menu.get(), "Horizontal", ppm::ID_HORIZONTAL, m_params.m_bHorizontal != 0);
    add(menu.get(), "Peak Hold", ppm::ID_PEAK_HOLD, m_params.m_bPeakHold != 0);
    add(menu.get(), "Peak Decay", ppm::ID_PEAK_DECAY, m_params.m_bPeakDecay != 0);
    menu->addSeparator();
    QMenu* decay = menu->addMenu(QStringLiteral("Decay Time"));
    add(decay, "Fast", ppm::ID_DECAY_FAST, DecayTime() == ppm::kDecayFast);
    add(decay, "Medium", ppm::ID_DECAY_MEDIUM, DecayTime() == ppm::kDecayMedium);
    add(decay, "Slow", ppm::ID_DECAY_SLOW, DecayTime() == ppm::kDecaySlow);
    QMenu* ballistics = menu->addMenu(QStringLiteral("Ballistics"));
    for (int m = 0; m < CPpmBallistics::kModes; ++m) {
        const auto mode = static_cast<EPpmBallistics>(m);
        add(ballistics, CPpmBallistics::MenuText(mode), ppm::ID_BALLISTICS_FIRST + m, Ballistics() == mode);
    }
    menu->addSeparator();
    QAction* colors = menu->addAction(QStringLiteral("Colors..."));
    colors->setData(ppm::ID_COLORS);
    return menu;
}

void CPpmCtrl::OnContextMenu(const QPoint& globalPos)
{
    std::unique_ptr<QMenu> menu = BuildContextMenu();
    // Right-aligned at the point, as the options menu has always opened.
    const QPoint at(globalPos.x() - menu->sizeHint().width(), globalPos.y());
    const QAction* chosen = menu->exec(at);
    const int id = chosen ? chosen->data().toInt() : 0;
    menu.reset();
    for (auto& bar : m_bars)
        ResetBar(*bar, true);
    if (id)
        OnCommand(id);
}

void CPpmCtrl::SendToView(int command)
{
    if (auto* view = qobject_cast<CMeterView*>(parentWidget()))
        view->OnCommand(command);
}

bool CPpmCtrl::OnCommand(int id)
{
    if (id >= ppm::ID_BALLISTICS_FIRST && id <= ppm::ID_BALLISTICS_LAST) {
        SetBallistics(CPpmBallistics::FromSettingsValue(id - ppm::ID_BALLISTICS_FIRST));
        return true;
    }
    switch (id) {
    case ppm::ID_DECAY_FAST: m_model.SetDecayTime(ppm::kDecayFast); break;
    case ppm::ID_DECAY_MEDIUM: m_model.SetDecayTime(ppm::kDecayMedium); break;
    case ppm::ID_DECAY_SLOW: m_model.SetDecayTime(ppm::kDecaySlow); break;
    case ppm::ID_PEAK_HOLD:
        m_model.SetPeakHold(!m_model.PeakHold());
        ApplyPeakMode();
        break;
    case ppm::ID_PEAK_DECAY:
        m_model.SetPeakDecay(!m_model.PeakDecay());
        ApplyPeakMode();
        break;
    case ppm::ID_ON: SendToView(ppm::ID_VIEW_ON_OFF); return true;
    case ppm::ID_HORIZONTAL: SendToView(ppm::ID_VIEW_ORIENTATION); return true;
    case ppm::ID_COLORS: ShowColorsDialog(); return true;
    default: return false;
    }
    ResetAllForNewSettings();
    return true;
}

void CPpmCtrl::ShowColorsDialog()
{
    CColorSettingsDlg dlg(CColorSettingsDlg::kTemplatePpm);
    dlg.m_crNorm = m_params.m_crNorm;
    dlg.m_crTween = m_params.m_crTween;
    dlg.m_crOver = m_params.m_crOver;
    dlg.m_nTweenPoint = m_params.m_nTweenPoint;
    dlg.m_nOverPoint = m_params.m_nOverPoint;
    dlg.SetScale(CPpmScaleTable::kDialogLabels, CPpmScaleTable::kSteps, CPpmScaleTable::kCount);
    if (dlg.DoModal() != CColorSettingsDlg::IDOK)
        return;
    NotifyMinimized(1);
    // The new colours go in before the bars are redrawn, so a full-scale
    // readout is reprinted in the new over colour.
    SetColors(dlg.m_crNorm, dlg.m_crTween, dlg.m_crOver);
    SetPoints(dlg.m_nTweenPoint, dlg.m_nOverPoint);
    for (auto& bar : m_bars)
        ResetBar(*bar, true);
    NotifyMinimized(0);
}
