#include "meters/common/ColorSettingsDlg.h"

#include "meters/common/ColorSwatch.h"
#include "meters/common/MeterFonts.h"
#include "platform/Notices.h"
#include "platform/SettingsStore.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {
const char* const kCaptionAnalyzer = "Analyzer Color Settings";
const char* const kCaptionPpm = "Peak Meter Color Settings";
const char* const kOverlapText = "Overlapping Threshold!";
const char* const kUnitSuffix = " db";

// Dialog units of the template's font ("MS Sans Serif" 8) in pixels: a
// horizontal unit is a quarter, a vertical one an eighth of the base cell
// of 6 x 13 pixels.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
constexpr int DluX(int x) { return x * kBaseUnitX / 4; }
constexpr int DluY(int y) { return y * kBaseUnitY / 8; }
QRect Dlu(int x, int y, int w, int h) { return QRect(DluX(x), DluY(y), DluX(w), DluY(h)); }
constexpr int kDialogWidth = 143;
constexpr int kDialogHeight = 95;

CColorSettingsDlg::ModalRunner& Runner()
{
    static CColorSettingsDlg::ModalRunner runner;
    return runner;
}

CColorSettingsDlg::ColorChooser& Chooser()
{
    static CColorSettingsDlg::ColorChooser chooser;
    return chooser;
}

// The standard colour chooser with the colour preselected and the custom
// colours shown.
bool ChooseWithDialog(COLORREF& color)
{
    const QColor chosen = QColorDialog::getColor(ToQColor(color), nullptr, QString());
    if (!chosen.isValid())
        return false;
    color = FromQColor(chosen);
    return true;
}

// The program's logo beside the buttons: a small bar meter in the three zone colours.
QPixmap MakeLogo(const QSize& size)
{
    QPixmap logo(size);
    logo.fill(Qt::black);
    QPainter p(&logo);
    const int barWidth = std::max(size.width() / 5, 2);
    const int heights[] = { size.height() * 3 / 5, size.height() - 4 };
    for (int i = 0; i < 2; ++i) {
        const int x = barWidth + i * 2 * barWidth;
        const int top = size.height() - 2 - heights[i];
        const int bottom = size.height() - 2;
        const int tween = bottom - (bottom - top) * 2 / 3;
        const int over = bottom - (bottom - top) * 9 / 10;
        p.fillRect(QRect(QPoint(x, tween), QPoint(x + barWidth - 1, bottom)), ToQColor(RGB(0, 192, 0)));
        p.fillRect(QRect(QPoint(x, over), QPoint(x + barWidth - 1, tween - 1)), ToQColor(RGB(255, 255, 0)));
        if (i == 1)
            p.fillRect(QRect(QPoint(x, top), QPoint(x + barWidth - 1, over - 1)), ToQColor(RGB(255, 0, 0)));
    }
    return logo;
}
}

CColorSettingsDlg::CColorSettingsDlg(int templateId, QWidget* parent)
    : QDialog(parent), m_nTemplate(templateId)
{
    setWindowTitle(QString::fromLatin1(templateId == kTemplatePpm ? kCaptionPpm : kCaptionAnalyzer));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    setFont(CMeterFonts::Normal());
    CreateControls();
}

CColorSettingsDlg::~CColorSettingsDlg() = default;

void CColorSettingsDlg::CreateControls()
{
    setFixedSize(DluX(kDialogWidth), DluY(kDialogHeight));

    // The group box comes first so the swatches and lists lie above it.
    auto* group = new QGroupBox(QStringLiteral("Bar Colors"), this);
    group->setGeometry(Dlu(7, 4, 75, 84));

    // The swatches stack like a bar: over on top, tween, normal at the bottom.
    m_swatchOver = new CColorSwatch(kIdSwatchOver, this);
    m_swatchOver->setGeometry(Dlu(20, 14, 16, 18));
    m_swatchTween = new CColorSwatch(kIdSwatchTween, this);
    m_swatchTween->setGeometry(Dlu(20, 32, 16, 19));
    m_swatchNorm = new CColorSwatch(kIdSwatchNorm, this);
    m_swatchNorm->setGeometry(Dlu(20, 51, 16, 35));
    for (CColorSwatch* swatch : { m_swatchOver, m_swatchTween, m_swatchNorm })
        connect(swatch, &CColorSwatch::clicked, this, &CColorSettingsDlg::OnSwatchClicked);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(Dlu(86, 4, 50, 14));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &CColorSettingsDlg::OnOK);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(Dlu(86, 23, 50, 14));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &CColorSettingsDlg::OnCancel);

    // Each list sits at the boundary it sets; the height of the template's
    // rectangle is that of the dropped list, the closed box keeps its own.
    m_comboOver = new QComboBox(this);
    m_comboOver->setObjectName(QStringLiteral("combo%1").arg(kIdComboOver));
    m_comboOver->move(DluX(37), DluY(26));
    m_comboOver->resize(DluX(36), m_comboOver->sizeHint().height());
    m_comboTween = new QComboBox(this);
    m_comboTween->setObjectName(QStringLiteral("combo%1").arg(kIdComboTween));
    m_comboTween->move(DluX(37), DluY(46));
    m_comboTween->resize(DluX(36), m_comboTween->sizeHint().height());
    for (QComboBox* combo : { m_comboOver, m_comboTween }) {
        combo->setMaxVisibleItems(8);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }

    auto* threshold = new QLabel(QStringLiteral("Threshold"), this);
    threshold->setGeometry(Dlu(39, 16, 34, 8));

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("bitmap%1").arg(kIdLogoBitmap));
    const QRect logoRect = Dlu(97, 50, 21, 31);
    logo->setGeometry(logoRect);
    logo->setPixmap(MakeLogo(logoRect.size()));
}

void CColorSettingsDlg::SetScale(const char* const* labels, const std::uint32_t* positions, int count)
{
    m_aLabels = labels;
    m_aPositions = positions;
    m_nCount = count;
}

int CColorSettingsDlg::DoModal()
{
    m_nResult = 0;
    OnInitDialog();
    if (Runner())
        return Runner()(*this);
    exec();
    // A window closed by other means than OK counts as Cancel.
    return m_nResult == IDOK ? IDOK : IDCANCEL;
}

int CColorSettingsDlg::FindPosition(std::uint32_t step) const
{
    for (int i = 0; i < m_nCount; ++i) {
        if (m_aPositions[i] == step)
            return i;
    }
    return -1;
}

void CColorSettingsDlg::OnInitDialog()
{
    m_swatchNorm->SetColor(m_crNorm);
    m_swatchTween->SetColor(m_crTween);
    m_swatchOver->SetColor(m_crOver);

    m_comboOver->clear();
    m_comboTween->clear();
    // A table shorter than the lists need offers what it has; nothing is
    // read beyond its end.
    auto label = [this](int i) {
        const char* text = m_aLabels ? m_aLabels[i] : nullptr;
        return QString::fromLatin1(text ? text : "") + QLatin1String(kUnitSuffix);
    };
    for (int i = kFirstOverLabel; i <= kLastOverLabel && i < m_nCount; ++i)
        m_comboOver->addItem(label(i));
    for (int i = kFirstTweenLabel; i <= kLastTweenLabel && i < m_nCount; ++i)
        m_comboTween->addItem(label(i));

    // A point that is not in the table, or not offered by the list, selects nothing.
    auto select = [](QComboBox* combo, int index) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    };
    const int over = FindPosition(m_nOverPoint);
    select(m_comboOver, over < 0 ? -1 : over - kFirstOverLabel);
    const int tween = FindPosition(m_nTweenPoint);
    select(m_comboTween, tween < 0 ? -1 : tween - kFirstTweenLabel);
    m_comboOver->setFocus();
}

int CColorSettingsDlg::LeadingInt(const QString& text)
{
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        // Saturate rather than overflow on an absurdly long number.
        if (value < 1000000000LL)
            value = value * 10 + (text[i].unicode() - '0');
        ++i;
    }
    return static_cast<int>(negative ? -value : value);
}

void CColorSettingsDlg::OnOK()
{
    const int over = LeadingInt(m_comboOver->currentText());
    const int tween = LeadingInt(m_comboTween->currentText());
    if (over <= tween) {
        CNotices::MessageBox(QString::fromLatin1(kOverlapText), QString::fromLatin1(CSettingsStore::kApplication),
            NoticeIcon::Error);
        return;
    }
    // An empty over list reads as 0 dB and passes; it then stands for the
    // table's first position (the top of the scale).
    const int overIndex = m_comboOver->currentIndex() + kFirstOverLabel;
    const int tweenIndex = m_comboTween->currentIndex() + kFirstTweenLabel;
    if (overIndex >= 0 && overIndex < m_nCount)
        m_nOverPoint = m_aPositions[overIndex];
    if (tweenIndex >= 0 && tweenIndex < m_nCount)
        m_nTweenPoint = m_aPositions[tweenIndex];
    EndDialog(IDOK);
}

void CColorSettingsDlg::OnCancel() { EndDialog(IDCANCEL); }

void CColorSettingsDlg::reject() { OnCancel(); }

void CColorSettingsDlg::EndDialog(int result)
{
    m_nResult = result;
    QDialog::done(result == IDOK ? QDialog::Accepted : QDialog::Rejected);
}

CColorSwatch* CColorSettingsDlg::Swatch(int controlId) const
{
    switch (controlId) {
    case kIdSwatchNorm: return m_swatchNorm;
    case kIdSwatchTween: return m_swatchTween;
    case kIdSwatchOver: return m_swatchOver;
    default: return nullptr;
    }
}

COLORREF& CColorSettingsDlg::SwatchColor(int controlId)
{
    switch (controlId) {
    case kIdSwatchTween: return m_crTween;
    case kIdSwatchOver: return m_crOver;
    default: return m_crNorm;
    }
}

void CColorSettingsDlg::OnSwatchClicked(int controlId)
{
    CColorSwatch* swatch = Swatch(controlId);
    if (!swatch)
        return;
    COLORREF& color = SwatchColor(controlId);
    COLORREF chosen = color;
    const bool confirmed = Chooser() ? Chooser()(chosen) : ChooseWithDialog(chosen);
    if (confirmed)
        color = chosen;
    swatch->SetColor(color);
}

CColorSettingsDlg::ModalRunner CColorSettingsDlg::SetModalRunner(ModalRunner runner)
{
    ModalRunner previous = std::move(Runner());
    Runner() = std::move(runner);
    return previous;
}

CColorSettingsDlg::ColorChooser CColorSettingsDlg::SetColorChooser(ColorChooser chooser)
{
    ColorChooser previous = std::move(Chooser());
    Chooser() = std::move(chooser);
    return previous;
}
