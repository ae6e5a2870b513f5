// The About dialog.
#pragma once

#include <QDialog>
#include <QUrl>

class CHyperLink;
class QLabel;

// The maker's address: there is no public web page, so it is the README shipped with the program.
QUrl MakerAddress();

// Version line with the build date and time, and links to the maker.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    static QString VersionLine();
    CHyperLink *PictureLink() const { return pictureLink; }
    QLabel *VersionText() const { return versionText; }
    QLabel *AddressLink() const { return addressLink; }

private:
    CHyperLink *pictureLink = nullptr;
    QLabel *versionText = nullptr;
    QLabel *addressLink = nullptr;
};
