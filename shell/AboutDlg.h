#pragma once
// The About box (dialog 100, "Info about Lumetra"): the program icon, the
// version text, the maker's line, the system the program runs on, an
// animation that plays once as the box opens, and OK. UI thread only.
#include <QDialog>

class CAboutAnimation;
class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const QString& versionText, const QString& osName, QWidget* parent = nullptr);

    QString VersionLine() const;
    QString OsLine() const;
    CAboutAnimation* Animation() const { return m_pAnimation; }

    // "Version %d.%d  Build %d  %s": major, minor, build, and "Beta" when
    // the third version part marks a beta, else nothing.
    static QString FormatVersionText(int major, int minor, int stage, int build);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_pVersion;
    QLabel* m_pOs;
    CAboutAnimation* m_pAnimation;
};
