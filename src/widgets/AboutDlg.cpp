// The About dialog: picture link, version line, Contact.
#include "AboutDlg.h"

#include "DialogUnits.h"
#include "HyperLink.h"
#include "ReadmePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

QUrl MakerAddress()
{
    // The installed tree wherever its prefix went (a package, cmake --install --prefix), then the
    // configured prefix, then the sources of a program run from its build folder.
    const QString candidates[] = {
        QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromUtf8(kReadmeFromProgram)),
        QString::fromUtf8(kInstalledReadme),
        QString::fromUtf8(kSourceReadme),
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath());
    }
    return QUrl::fromLocalFile(QString::fromUtf8(kInstalledReadme));
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
    // Two lines, ending where the address starts.
    versionText->setGeometry(units.Rect(7, 159, 159, 17));

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
    // As wide as the room left of OK, so the text is never cut.
    notice->setGeometry(units.Rect(7, 188, 105, 10));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(116, 183, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
