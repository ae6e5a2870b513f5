// The About dialog: picture link, version line, Contact.
#include "AboutDlg.h"

#include "DialogUnits.h"
#include "HyperLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr const char *kMakerReadme = "README.md";
constexpr const char *kInstalledReadme = "/usr/share/doc/orvex/README.md";
} // namespace

QUrl MakerAddress()
{
    // Beside the program, or up the build tree it was built in.
    QDir dir(QCoreApplication::applicationDirPath());
    for (int level = 0; level < 5; ++level) {
        const QString candidate = dir.filePath(QString::fromLatin1(kMakerReadme));
        if (QFileInfo::exists(candidate))
            return QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath());
        if (!dir.cdUp())
            break;
    }
    return QUrl::fromLocalFile(QString::fromLatin1(kInstalledReadme));
}

QString CAboutDlg::VersionLine()
{
    return QStringLiteral("Orvex Interface Software Version 1 Compiled on ") + QString::fromLatin1(__DATE__) +
           QStringLiteral(", ") + QString::fromLatin1(__TIME__);
}

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(173, 204));
    setWindowTitle(QStringLiteral("Contact"));
    const QUrl address = MakerAddress();

    pictureLink = new CHyperLink(this, 1050);
    pictureLink->setGeometry(units.Rect(7, 2, 159, 117));
    pictureLink->SetText(QStringLiteral("Static"));
    pictureLink->SetUrl(address);
    pictureLink->setToolTip(QString()); // the link shows its own tooltip
    pictureLink->SetMultiLine(true);
    pictureLink->SetAutoDisabledImage(true);
    const QPixmap picture(QStringLiteral(":/pictures/153.png"));
    pictureLink->SetNormalImage(picture);
    pictureLink->SetHoverImage(picture);
    pictureLink->SetPressedImage(picture);

    versionText = new QLabel(VersionLine(), this);
    versionText->setWordWrap(true);
    versionText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    versionText->setGeometry(units.Rect(7, 159, 159, 19));

    addressLink = new QLabel(this);
    addressLink->setTextFormat(Qt::RichText);
    addressLink->setText(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toString(), address.toString().toHtmlEscaped()));
    addressLink->setGeometry(units.Rect(7, 176, 95, 10));
    addressLink->setToolTip(address.toString());
    connect(addressLink, &QLabel::linkActivated, this, [](const QString &link) {
        if (CHyperLink::urlOpener)
            CHyperLink::urlOpener(QUrl(link));
    });

    auto *notice = new QLabel(QStringLiteral("Tamlin fan-speed controllers"), this);
    notice->setGeometry(units.Rect(7, 188, 87, 10));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(116, 183, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
