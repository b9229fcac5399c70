#include "meters/analyzer/FftCtrl.h"

#include "meters/analyzer/FftScaleTable.h"
#include "meters/analyzer/FftWindowTables.h"
#include "meters/common/ColorSettingsDlg.h"
#include "meters/common/MeterFonts.h"
#include "meters/common/MeterView.h"
#include "meters/common/ViewFrame.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QTimerEvent>
#include <algorithm>

namespace {
CFftCtrl::MenuRunner& Runner()
{
    static CFftCtrl::MenuRunner runner;
    return runner;
}

QAction* AddItem(QMenu& menu, const char* text, int id, bool checked)
{
    QAction* action = menu.addAction(QString::fromLatin1(text));
    action->setData(id);
    action->setCheckable(checked);
    action->setChecked(checked);
    return action;
}

constexpr const char* kDecayTexts[3] = { "Fast", "Medium", "Slow" };
constexpr int kDecayIds[3] = { fft::ID_FFT_DECAY_FAST, fft::ID_FFT_DECAY_MEDIUM, fft::ID_FFT_DECAY_SLOW };
constexpr const char* kWindowTexts[fft::kWindowTypeCount] = { "Rectangular", "Parzen", "Hanning", "Blackman",
    "Gaussian", "Welch", "Hamming" };
constexpr const char* kInputTexts[fft::kInputModeCount] = { "Left + Right", "Left", "Right", "Left - Right" };

// The "db" captions sit this far left of the right margin's edge.
constexpr int kDbRightInset = 25;

// Rows from the label's reference point (3 below the bars) to the client's
// bottom edge.
constexpr int kLabelSpace = fft::kTopMargin + 12 - 3;

// "Arial" at height -10, made smaller where the face it maps to runs wider,
// until the longest frequency label, written upwards, fits under the bars.
QFont FittedLabelFont()
{
    QFont font = CMeterFonts::Font(QStringLiteral("Arial"), -10, 400);
    for (int px = font.pixelSize(); px > 6; --px) {
        font.setPixelSize(px);
        const QFontMetrics fm(font);
        int widest = 0;
        for (const char* label : fft::kFrequencyLabels)
            widest = std::max(widest, fm.horizontalAdvance(QString::fromLatin1(label)));
        if (widest <= kLabelSpace)
            break;
    }
    return font;
}
}

CFftCtrl::CFftCtrl(QWidget* parent)
    : CMeterCtrl(parent)
    , m_fontNormal(CMeterFonts::Normal())
    , m_fontSmall(CMeterFonts::Small())
    , m_fontLabel(FittedLabelFont())
{
    m_params.m_pLevelTable = &m_model.LevelTable();
    ApplyPeakMode();
    m_params.m_pDc = &Dc();
}

CFftCtrl::~CFftCtrl() = default;

int CFftCtrl::Create(QWidget* parent, unsigned barCount, int x, int y, int width, int height, int id)
{
    if (parent)
        setParent(parent);
    m_nId = id;
    barCount = std::clamp(barCount, 1u, static_cast<unsigned>(fft::kMaxBars));
    setGeometry(x, y, width, height);

    m_bars.clear();
    for (unsigned i = 0; i < barCount; ++i)
        m_bars.push_back(std::make_unique<CFftBar>(&m_params, ClientRect(), &m_model.Bar(i)));
    Layout(ClientRect());

    CDrawContext& dc = Dc();
    dc.SelectPen(m_params.m_crScalePen);
    dc.SelectFont(m_fontNormal);
    dc.SetBkColor(fft::kColorBlack);
    dc.SetTextColor(fft::kColorScaleText);

    m_captureState.SetWindowType(m_nWindowType);
    m_captureState.SetInputMode(m_nInputMode);
    m_captureState.SetOn(m_nOn);
    m_bCreated = true;
    show();
    return 1;
}

IViewFrame* CFftCtrl::Frame() const
{
    if (m_pFrame)
        return m_pFrame;
    const auto* view = qobject_cast<const CMeterView*>(parentWidget());
    return view ? view->Frame() : nullptr;
}

void CFftCtrl::SendToView(int command)
{
    if (auto* view = qobject_cast<CMeterView*>(parentWidget()))
        view->OnCommand(command);
}

// ---- on state -------------------------------------------------------------

void CFftCtrl::SetOn(int on)
{
    if (m_nMinimized > 0) {
        m_nSavedOn = on;
        return;
    }
    ApplyOn(on);
}

void CFftCtrl::ApplyOn(int on)
{
    m_nOn = on;
    m_captureState.SetOn(on);
    if (IViewFrame* frame = Frame())
        frame->SetMeterOn(on);
}

void CFftCtrl::NotifyMinimized(int minimized)
{
    if (minimized) {
        if (++m_nMinimized == 1) {
            m_nSavedOn = m_nOn;
            ApplyOn(0);
        }
    } else if (m_nMinimized > 0 && --m_nMinimized == 0) {
        // An unmatched restore is ignored rather than counted below zero,
        // where the next suspension would restore a stale state.
        ApplyOn(m_nSavedOn);
    }
}

// ---- options --------------------------------------------------------------

void CFftCtrl::SetColors(COLORREF norm, COLORREF tween, COLORREF over)
{
    m_params.m_crNorm = norm;
    m_params.m_crTween = tween;
    m_params.m_crOver = over;
    RepaintBarsFromTheBottom();
}

void CFftCtrl::SetPoints(unsigned tweenPoint, unsigned overPoint)
{
    m_params.m_nTweenPoint = tweenPoint;
    m_params.m_nOverPoint = overPoint;
    RepaintBarsFromTheBottom();
}

void CFftCtrl::RepaintBarsFromTheBottom()
{
    // A bar paints only the strip it rises by; after a change of zone colours
    // or points its next rise repaints it whole, in the new zones.
    for (auto& bar : m_bars)
        bar->SetLastDrawn(0);
}

void CFftCtrl::ResetAllBarsForNewSettings()
{
    ResetBars(-1, 0);
    RedrawBars(-1);
}

void CFftCtrl::SetDecayTime(int units)
{
    m_model.SetDecayTime(units);
    ResetAllBarsForNewSettings();
}

void CFftCtrl::SetPeakHold(int on)
{
    m_model.SetPeakHold(on != 0);
    ApplyPeakMode();
    ResetAllBarsForNewSettings();
}

void CFftCtrl::SetPeakDecay(int on)
{
    m_model.SetPeakDecay(on != 0);
    ApplyPeakMode();
    ResetAllBarsForNewSettings();
}

int CFftCtrl::GetPeakMode() const
{
    if (m_params.m_bPeakHold)
        return 1;
    return m_params.m_bPeakDecay ? 2 : 0;
}

int CFftCtrl::GetDecayIndex() const
{
    if (DecayTime() == fft::kDecayFast)
        return 0;
    return DecayTime() == fft::kDecaySlow ? 2 : 1;
}

void CFftCtrl::SetWindowing(int type)
{
    // All window tables are built once and immutable; publishing the type is
    // the whole change, so the capture thread never sees a table half built.
    m_nWindowType = CFftWindowTables::Valid(type);
    m_captureState.SetWindowType(m_nWindowType);
    // The bars no longer hold: what they show came through the old window.
    if (!m_bMenuOpen)
        SetValue(0, -1);
}

void CFftCtrl::SetInputMode(int mode)
{
    m_nInputMode = mode >= 0 && mode < fft::kInputModeCount ? mode : fft::kDefaultInputMode;
    m_captureState.SetInputMode(m_nInputMode);
}

void CFftCtrl::SetSampleRate(int rate)
{
    m_nSampleRate = rate;
    ResetBars(-1, 1);
    Invalidate();
    PaintNow();
}

// ---- values and ticks -----------------------------------------------------

template <typename F> void CFftCtrl::ForBars(int bar, F&& f)
{
    if (bar < 0) {
        for (auto& b : m_bars)
            f(*b);
    } else if (static_cast<unsigned>(bar) < m_bars.size()) {
        f(*m_bars[bar]);
    }
}

void CFftCtrl::SetValue(unsigned amplitude, int bar)
{
    if (m_bMenuOpen)
        return;
    const unsigned level = m_model.LevelOf(amplitude);
    ForBars(bar, [level](CFftBar& b) { b.Input(level); });
}

void CFftCtrl::ResetBars(int bar, int clearLevel)
{
    ForBars(bar, [clearLevel](CFftBar& b) { b.Reset(clearLevel != 0); });
}

void CFftCtrl::RedrawBars(int bar)
{
    ForBars(bar, [](CFftBar& b) { b.Draw(); });
}

void CFftCtrl::OnTimer()
{
    if (m_bMenuOpen)
        return;
    const CFftTickClock::Due due = m_model.BeginTick();
    if (!due.decay)
        return;
    if (due.peakFall) {
        for (auto& b : m_bars)
            b->PeakFall();
    }
    for (auto& b : m_bars)
        b->Decay(b->DecayStep());
    m_model.EndTick();
}

void CFftCtrl::ShowModelState(const CFftModel& state)
{
    m_model.TakeStateOf(state);
    ApplyPeakMode();
    for (auto& b : m_bars) {
        b->SetLastDrawn(0);
        b->SetPeakY(fft::kNoPeak);
        b->Clear();
        b->Draw();
    }
}

void CFftCtrl::ApplyPeakMode()
{
    // The bars draw their markers by the model's peak mode.
    m_params.m_bPeakHold = m_model.PeakHold() ? 1 : 0;
    m_params.m_bPeakDecay = m_model.PeakDecay() ? 1 : 0;
}

void CFftCtrl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == fft::kTickTimerId)
        OnTimer();
    else
        CMeterCtrl::timerEvent(event);
}

// ---- layout and painting --------------------------------------------------

void CFftCtrl::Layout(const CRect& client)
{
    const int width = client.Width();
    Dc().SelectFont(client.Height() < fft::kSmallFontBelowHeight ? m_fontSmall : m_fontNormal);
    if (m_bars.empty())
        return;
    const int count = static_cast<int>(m_bars.size());
    const int top = client.top + m_nTopMargin - 5;
    const int bottom = client.bottom - m_nTopMargin - 12;
    const int pitch = (width - 2 * m_nSideMargin) / count;
    // Centred; the halving truncates toward zero even for a negative rest.
    int left = client.left + (width - count * pitch) / 2;
    for (auto& b : m_bars) {
        b->SetRect(CRect(left, top, left + pitch - 1, bottom));
        b->SetLevel(0);
        b->SetLastDrawn(0);
        b->Draw();
        left += pitch;
    }
}

void CFftCtrl::OnPaint()
{
    // The window's background brush is black: an invalidated control starts
    // from a black ground, so nothing of an earlier layout or rate survives.
    Dc().FillSolidRect(ClientRect(), fft::kColorBlack);
    Layout(ClientRect());
    for (auto& b : m_bars) {
        b->SetLastDrawn(0);
        b->SetPeakY(fft::kNoPeak);
        b->Clear();
        b->Draw();
    }
    DrawScales(Dc());
    // The labels' pass blackened every bar; a click once painting is over
    // draws them again.
    QMetaObject::invokeMethod(this, [this] { OnLButtonDown(0, 0); }, Qt::QueuedConnection);
}

int CFftCtrl::FirstLabelledBar() const
{
    return m_nSampleRate == fft::kRate48000 ? fft::kFirstLabelledBar48000 : fft::kFirstLabelledBar44100;
}

void CFftCtrl::DrawScales(CDrawContext& dc)
{
    if (m_bars.empty())
        return;
    const CRect first = m_bars.front()->Rect();
    const CRect last = m_bars.back()->Rect();
    dc.SetBkColor(fft::kColorBlack);
    dc.SetTextColor(fft::kColorScaleText);
    dc.SelectPen(m_params.m_crScalePen);
    DrawLevelScale(dc, first, last);

    const int w = dc.Width();
    const int bottom = first.bottom;
    dc.MoveTo(0, bottom);
    dc.LineTo(w, bottom);
    const QString db = QStringLiteral("db");
    CRect rcDb(0, bottom - 6, fft::kScaleInset, bottom + 4);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    dc.ExtTextOut(18, bottom - 6, ETO_OPAQUE, &rcDb, db);
    rcDb.OffsetRect(w - kDbRightInset, 0);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.ExtTextOut(w - kDbRightInset + 6, bottom - 6, ETO_OPAQUE, &rcDb, db);

    dc.SelectPen(fft::kColorLabelLine);
    dc.SetBkColor(fft::kColorBlack);
    dc.SetTextColor(fft::kColorScaleText);
    const int top = ClientRect().top;
    const CRect rcRate(w / 2 - 15, top - 1, w / 2 - 15 + 60, top - 1 + 16);
    dc.ExtTextOut(w / 2 - 15, top - 1, ETO_CLIPPED, &rcRate, QStringLiteral("%1Hz").arg(m_nSampleRate));

    DrawFrequencyLabels(dc);
    dc.SelectPen(m_params.m_crScalePen);
}

void CFftCtrl::DrawLevelScale(CDrawContext& dc, const CRect& first, const CRect& last)
{
    const int w = dc.Width();
    const CFftBar& bar0 = *m_bars.front();
    for (int k = 0; k < fft::kScaleTicks; ++k) {
        const int y = bar0.LevelY(fft::kScaleLevels[k]);
        dc.MoveTo(fft::kScaleInset, y);
        dc.LineTo(first.left, y);
        dc.MoveTo(last.right, y);
        dc.LineTo(w - fft::kScaleInset, y);
        const QString label = QString::fromLatin1(fft::kScaleLabels[k]);
        if (label.isEmpty())
            continue;
        const CRect rcLeft(0, y - 6, fft::kScaleInset, y + 4);
        dc.SetTextAlign(TA_RIGHT | TA_TOP);
        dc.ExtTextOut(20, y - 7, ETO_CLIPPED | ETO_OPAQUE, &rcLeft, label);
        dc.MoveTo(first.left, y);
        dc.LineTo(last.right, y);
        const CRect rcRight(w - fft::kScaleInset, y - 6, w, y + 4);
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        dc.ExtTextOut(w - fft::kScaleInset + 3, y - 7, ETO_CLIPPED | ETO_OPAQUE, &rcRight, label);
    }
}

void CFftCtrl::DrawFrequencyLabels(CDrawContext& dc)
{
    const QFont layoutFont = dc.SelectedFont();
    dc.SelectFont(m_fontLabel);
    dc.SetTextAlign(TA_RIGHT | TA_TOP);
    int nextLabelled = FirstLabelledBar();
    int label = 0;
    for (int i = 0; i < static_cast<int>(m_bars.size()); ++i) {
        const CRect rc = m_bars[i]->Rect();
        dc.PatBlt(rc, Rop::Blackness);
        if (i != nextLabelled || label >= fft::kFrequencyLabelCount)
            continue;
        dc.MoveTo(rc.left - 1, rc.top + 3);
        dc.LineTo(rc.left - 1, rc.bottom);
        const CRect rcText(rc.left - 6, rc.bottom + 3, rc.left + 5, rc.bottom + 26);
        dc.ExtTextOutUp(rc.left - 6, rc.bottom + 3, ETO_OPAQUE, &rcText, QString::fromLatin1(fft::kFrequencyLabels[label]));
        ++label;
        nextLabelled += fft::kBarsPerLabel;
    }
    dc.SelectFont(layoutFont);
}

void CFftCtrl::OnLButtonDown(int /*x*/, int /*y*/)
{
    for (auto& b : m_bars) {
        b->SetLastDrawn(0);
        b->SetPeakY(fft::kNoPeak);
        b->Clear();
        b->Draw();
    }
}

// ---- context menu and commands ---------------------------------------------

std::unique_ptr<QMenu> CFftCtrl::BuildContextMenu()
{
    auto menu = std::make_unique<QMenu>();
    AddItem(*menu, "On", fft::ID_FFT_ON, m_nOn != 0);
    menu->addSeparator();
    AddItem(*menu, "Peak Hold", fft::ID_FFT_PEAK_HOLD, m_params.m_bPeakHold != 0);
    AddItem(*menu, "Peak Decay", fft::ID_FFT_PEAK_DECAY, m_params.m_bPeakDecay != 0);
    menu->addSeparator();
    QMenu* decay = menu->addMenu(QStringLiteral("Decay Time"));
    for (int i = 0; i < 3; ++i)
        AddItem(*decay, kDecayTexts[i], kDecayIds[i], DecayTime() == fft::kDecayTimes[i]);
    menu->addSeparator();
    QMenu* windowing = menu->addMenu(QStringLiteral("Windowing"));
    for (int t = 0; t < fft::kWindowTypeCount; ++t)
        AddItem(*windowing, kWindowTexts[t], fft::ID_FFT_WINDOW_FIRST + t, m_nWindowType == t);
    menu->addSeparator();
    QMenu* input = menu->addMenu(QStringLiteral("Input Mode"));
    for (int m = 0; m < fft::kInputModeCount; ++m)
        AddItem(*input, kInputTexts[m], fft::ID_FFT_INPUT_FIRST + m, m_nInputMode == m);
    menu->addSeparator();
    AddItem(*menu, "Colors...", fft::ID_FFT_COLORS, false);
    return menu;
}

CFftCtrl::MenuRunner CFftCtrl::SetMenuRunner(MenuRunner runner)
{
    MenuRunner previous = std::move(Runner());
    Runner() = std::move(runner);
    return previous;
}

void CFftCtrl::OnContextMenu(const QPoint& globalPos)
{
    m_bMenuOpen = true;
    std::unique_ptr<QMenu> menu = BuildContextMenu();
    QAction* chosen = Runner() ? Runner()(*menu, globalPos) : menu->exec(globalPos);
    const int id = chosen ? chosen->data().toInt() : 0;
    m_bMenuOpen = false;
    // Whatever was chosen, the bars start again from nothing.
    ResetBars(-1, 1);
    menu.reset();
    if (id)
        OnCommand(id);
}

bool CFftCtrl::OnCommand(int id)
{
    switch (id) {
    case fft::ID_FFT_DECAY_FAST: SetDecayTime(fft::kDecayFast); return true;
    case fft::ID_FFT_DECAY_MEDIUM: SetDecayTime(fft::kDecayMedium); return true;
    case fft::ID_FFT_DECAY_SLOW: SetDecayTime(fft::kDecaySlow); return true;
    case fft::ID_FFT_PEAK_HOLD: SetPeakHold(!m_params.m_bPeakHold); return true;
    case fft::ID_FFT_PEAK_DECAY: SetPeakDecay(!m_params.m_bPeakDecay); return true;
    case fft::ID_FFT_ON: SendToView(fft::ID_ANALYZER_ONOFF); return true;
    case fft::ID_FFT_COLORS: ShowColorsDialog(); return true;
    default: break;
    }
    if (id >= fft::ID_FFT_WINDOW_FIRST && id < fft::ID_FFT_WINDOW_FIRST + fft::kWindowTypeCount) {
        SetWindowing(id - fft::ID_FFT_WINDOW_FIRST);
        return true;
    }
    if (id >= fft::ID_FFT_INPUT_FIRST && id < fft::ID_FFT_INPUT_FIRST + fft::kInputModeCount) {
        SetInputMode(id - fft::ID_FFT_INPUT_FIRST);
        return true;
    }
    return false;
}

void CFftCtrl::ShowColorsDialog()
{
    CColorSettingsDlg dlg(CColorSettingsDlg::kTemplateAnalyzer);
    dlg.m_crNorm = m_params.m_crNorm;
    dlg.m_crTween = m_params.m_crTween;
    dlg.m_crOver = m_params.m_crOver;
    dlg.m_nTweenPoint = m_params.m_nTweenPoint;
    dlg.m_nOverPoint = m_params.m_nOverPoint;
    dlg.SetScale(fft::kDialogLabels, fft::kScaleLevels, fft::kScaleTicks);
    if (dlg.DoModal() != CColorSettingsDlg::IDOK)
        return;
    NotifyMinimized(1);
    ResetBars(-1, 1);
    SetColors(dlg.m_crNorm, dlg.m_crTween, dlg.m_crOver);
    SetPoints(dlg.m_nTweenPoint, dlg.m_nOverPoint);
    NotifyMinimized(0);
}
