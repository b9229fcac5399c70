#include "shell/AboutDlg.h"

#include "shell/AboutAnimation.h"
#include "shell/ShellIds.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ShellIds;

namespace {
// 217 x 111 dialog units of an 8-point MS Sans Serif dialog.
constexpr int kDialogWidth = 326;
constexpr int kDialogHeight = 180;
constexpr int kIconSize = 32;
}

CAboutDlg::CAboutDlg(const QString& versionText, const QString& osName, QWidget* parent)
    : QDialog(parent)
    , m_pVersion(new QLabel(versionText))
    , m_pOs(new QLabel(QString::fromLatin1(kRunningOn) + osName))
    , m_pAnimation(new CAboutAnimation)
{
    setWindowTitle(QString::fromLatin1(kAboutTitle));
    setModal(true);
    setObjectName(QStringLiteral("IDD_ABOUTBOX"));

    auto* icon = new QLabel;
    icon->setPixmap(QApplication::windowIcon().pixmap(kIconSize, kIconSize));
    auto* name = new QLabel(QString::fromLatin1(kAppTitle));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(m_pVersion);
    texts->addWidget(new QLabel(QString::fromLatin1(kMakerLine)));
    texts->addWidget(m_pOs);
    texts->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    top->addWidget(m_pAnimation, 0, Qt::AlignTop);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    resize(std::max(kDialogWidth, sizeHint().width()), std::max(kDialogHeight, sizeHint().height()));
}

QString CAboutDlg::VersionLine() const { return m_pVersion->text(); }

QString CAboutDlg::OsLine() const { return m_pOs->text(); }

QString CAboutDlg::FormatVersionText(int major, int minor, int stage, int build)
{
    const char* suffix = stage == kBetaStage ? kBetaSuffix : "";
    return QString::asprintf(kVersionFormat, major, minor, build, suffix);
}

void CAboutDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_pAnimation->Play();
}
