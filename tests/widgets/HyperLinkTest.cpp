// Tests of the hyperlink control.
#include "HyperLink.h"
#include "AboutDlg.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {
// Counts what the link would have opened.
struct OpenedUrls
{
    std::vector<QUrl> urls;
    OpenedUrls()
    {
        CHyperLink::urlOpener = [this](const QUrl &url) {
            urls.push_back(url);
            return true;
        };
    }
    ~OpenedUrls() { CHyperLink::urlOpener = nullptr; }
};
} // namespace

TEST(HyperLink, OpensOnlyWhenThePressIsReleasedInside)
{
    OpenedUrls opened;
    QWidget parent;
    parent.resize(400, 200);
    CHyperLink link(&parent, 1050);
    link.SetText(QStringLiteral("Tamlin"));
    link.SetUrl(QUrl(QStringLiteral("file:///tmp/readme")));
    link.setGeometry(10, 10, 100, 30);
    parent.show();
    int notices = 0;
    QObject::connect(&link, &CHyperLink::clicked, [&](int id) {
        EXPECT_EQ(id, 1050);
        ++notices;
    });

    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(link.IsPressed());
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(300, 150)); // dragged off first
    EXPECT_TRUE(opened.urls.empty());
    EXPECT_EQ(notices, 0);
    EXPECT_FALSE(link.IsHover());

    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(6, 6));
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0], QUrl(QStringLiteral("file:///tmp/readme")));
    EXPECT_EQ(notices, 1);

    link.setEnabled(false);
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(link.CurrentState(), CHyperLink::Disabled);
}

TEST(HyperLink, LinesAndSizeToFit)
{
    CHyperLink link;
    link.SetMultiLine(true);
    link.SetText(QStringLiteral("Tamlin\nfan controllers\n\n"));
    EXPECT_EQ(link.Lines(), (QStringList{"Tamlin", "fan controllers"})); // no empty lines for the feeds
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    const QFontMetrics metrics(font);
    const int h = metrics.height();
    EXPECT_EQ(link.FitSize(), QSize(metrics.horizontalAdvance(QStringLiteral("fan controllers")) + 3, 2 * (h + 3)));

    QPixmap picture(40, 60);
    picture.fill(Qt::red);
    link.SetNormalImage(picture);
    link.SetBorder(2, Qt::black);
    const QSize withImage = link.FitSize();
    EXPECT_EQ(withImage.height(), std::max(2 * (h + 3), 62) + 4);
    EXPECT_EQ(withImage.width(), metrics.horizontalAdvance(QStringLiteral("fan controllers")) + 4 + 3 + 43);

    link.SetImageFlags(0x3335); // normal state: image to the right instead
    EXPECT_EQ(link.FitSize().width(), withImage.width());
    link.SetImageFlags(0x3330); // no image in the normal state
    EXPECT_EQ(link.FitSize().width(), metrics.horizontalAdvance(QStringLiteral("fan controllers")) + 4 + 3);

    link.SetMultiLine(false);
    EXPECT_EQ(link.Lines().size(), 1);

    link.show();
    QTest::qWait(20); // a paint sizes the control
    EXPECT_EQ(link.size(), link.FitSize());
}

TEST(HyperLink, GreyImageOfKnownPixels)
{
    QImage source(3, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(30, 60, 90, 200));
    source.setPixel(1, 0, qRgba(255, 255, 255, 255));
    source.setPixel(2, 0, qRgba(0, 0, 0, 0));
    const QImage grey = CHyperLink::GreyImage(source);
    EXPECT_EQ(grey.pixel(0, 0), qRgba(60, 60, 60, 200));
    EXPECT_EQ(grey.pixel(1, 0), qRgba(254, 254, 254, 255)); // white never stays white
    EXPECT_EQ(grey.pixel(2, 0), qRgba(0, 0, 0, 0));

    CHyperLink link;
    link.SetAutoDisabledImage(true);
    QPixmap picture(8, 8);
    picture.fill(QColor(255, 0, 0));
    link.SetNormalImage(picture);
    link.setEnabled(false);
    link.show();
    QTest::qWait(20);
    ASSERT_TRUE(link.DisabledImageMade());
    EXPECT_EQ(link.DisabledImage().toImage().pixel(3, 3), qRgb(85, 85, 85));
    link.SetHoverImage(picture); // a new image drops the made grey copy
    EXPECT_FALSE(link.DisabledImageMade());
}

TEST(AboutDlg, VersionLineAndLinks)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Contact"));
    const QString line = dialog.VersionText()->text();
    EXPECT_TRUE(line.startsWith(QStringLiteral("Orvex Interface Software Version 1 Compiled on ")))
        << line.toStdString();
    // "Dec  6 2026, 17:05:42": month, day and year, then the time with colons.
    const QRegularExpression form(
        QStringLiteral("Compiled on [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4}, [0-9]{2}:[0-9]{2}:[0-9]{2}$"));
    EXPECT_TRUE(form.match(line).hasMatch()) << line.toStdString();
    EXPECT_EQ(dialog.PictureLink()->Text(), QStringLiteral("Static"));
    EXPECT_EQ(dialog.PictureLink()->Url(), MakerAddress());
    EXPECT_TRUE(MakerAddress().isLocalFile());
    EXPECT_TRUE(MakerAddress().toLocalFile().endsWith(QStringLiteral("README.md")));
}
