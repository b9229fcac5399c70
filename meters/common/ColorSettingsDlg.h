#pragma once
// The colour settings dialog of the two bar meters: the colours of the
// normal, tween and over zones and the scale steps where the tween and the
// over zone begin. One class serves two templates of identical layout:
// 146 "Analyzer Color Settings" and 147 "Peak Meter Color Settings".
//
// Use, as a modal dialog on the caller's stack:
//
//     CColorSettingsDlg dlg(CColorSettingsDlg::kTemplatePpm);
//     dlg.m_crNorm = ...; dlg.m_crTween = ...; dlg.m_crOver = ...;
//     dlg.m_nTweenPoint = ...; dlg.m_nOverPoint = ...;
//     dlg.SetScale(labels, steps, count);   // the caller's table, kept by the caller
//     if (dlg.DoModal() == CColorSettingsDlg::IDOK) { read the five values back }
//
// The scale table: labels[i] is the text of scale position i (for example
// "-3"), steps[i] its scale step. It must hold at least 21 entries; the over
// list offers the labels 1..10 and the tween list the labels 2..20, each
// followed by " db". On OK the thresholds are compared by the numbers their
// texts start with; an over threshold that is not above the tween threshold
// is refused with "Overlapping Threshold!" and the dialog stays open.
// Otherwise the over point becomes steps[over selection + 1] and the tween
// point steps[tween selection + 2]. Cancel writes nothing.
//
// Tests run it without a modal loop: SetModalRunner() replaces exec() in
// DoModal() (the runner gets the initialised dialog, may set selections and
// colours and call OnOK()/OnCancel(), and returns the result), and
// SetColorChooser() replaces the colour chooser of the swatches.
//
// UI thread only.
#include "platform/ColorRef.h"

#include <QDialog>
#include <cstdint>
#include <functional>

class QComboBox;
class CColorSwatch;

class CColorSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // Dialog templates.
    static constexpr int kTemplateAnalyzer = 146;
    static constexpr int kTemplatePpm = 147;
    // Dialog results.
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;
    // Control ids.
    static constexpr int kIdSwatchNorm = 1001;
    static constexpr int kIdSwatchTween = 1002;
    static constexpr int kIdSwatchOver = 1003;
    static constexpr int kIdComboOver = 1005;
    static constexpr int kIdComboTween = 1007;
    // The bitmap shown beside the buttons.
    static constexpr int kIdLogoBitmap = 145;
    // Entries of the scale table the lists use: over 1..10, tween 2..20.
    static constexpr int kFirstOverLabel = 1;
    static constexpr int kLastOverLabel = 10;
    static constexpr int kFirstTweenLabel = 2;
    static constexpr int kLastTweenLabel = 20;
    static constexpr int kMinScaleEntries = kLastTweenLabel + 1;

    // Runs the dialog in place of exec(); returns IDOK or IDCANCEL.
    using ModalRunner = std::function<int(CColorSettingsDlg&)>;
    // Shows a colour chooser preselecting `color`; true with the chosen
    // colour in `color` when the user confirmed, false when cancelled.
    using ColorChooser = std::function<bool(COLORREF& color)>;

    // `templateId`: kTemplateAnalyzer or kTemplatePpm (any other id gets the
    // analyzer's caption). The dialog has no parent, as the meters open it.
    explicit CColorSettingsDlg(int templateId, QWidget* parent = nullptr);
    ~CColorSettingsDlg() override;

    // In and out: the zone thresholds (scale steps) and colours.
    std::uint32_t m_nTweenPoint = 0;
    std::uint32_t m_nOverPoint = 0;
    COLORREF m_crNorm = RGB(0, 0, 0);
    COLORREF m_crTween = RGB(0, 0, 0);
    COLORREF m_crOver = RGB(0, 0, 0);

    // The caller's scale table (not copied: it must outlive the dialog run).
    void SetScale(const char* const* labels, const std::uint32_t* positions, int count);

    // Initialises the lists and selections, then runs the dialog modally.
    int DoModal();
    int TemplateId() const { return m_nTemplate; }
    // IDOK or IDCANCEL once the dialog has ended, 0 while it runs.
    int Result() const { return m_nResult; }

    // The handlers, public so tests can drive the dialog without a modal loop.
    // Fills the two lists and selects the entries of the current points.
    void OnInitDialog();
    // Validates the thresholds; ends with IDOK or shows the refusal.
    void OnOK();
    void OnCancel();
    // A swatch was clicked: choose its colour (1001 normal, 1002 tween, 1003 over).
    void OnSwatchClicked(int controlId);

    QComboBox* OverCombo() const { return m_comboOver; }
    QComboBox* TweenCombo() const { return m_comboTween; }
    CColorSwatch* Swatch(int controlId) const;

    // Test hooks; each returns the previous hook (an empty one restores the default).
    static ModalRunner SetModalRunner(ModalRunner runner);
    static ColorChooser SetColorChooser(ColorChooser chooser);

    // The number an edit text starts with: leading blanks, an optional sign
    // and the digits up to the first other character ("-3 db" gives -3, an
    // empty text 0).
    static int LeadingInt(const QString& text);

    void reject() override;

private:
    void CreateControls();
    int FindPosition(std::uint32_t step) const;
    COLORREF& SwatchColor(int controlId);
    void EndDialog(int result);

    int m_nTemplate;
    int m_nResult = 0;
    const char* const* m_aLabels = nullptr;
    const std::uint32_t* m_aPositions = nullptr;
    int m_nCount = 0;

    QComboBox* m_comboTween = nullptr;
    QComboBox* m_comboOver = nullptr;
    CColorSwatch* m_swatchTween = nullptr;
    CColorSwatch* m_swatchOver = nullptr;
    CColorSwatch* m_swatchNorm = nullptr;
};
