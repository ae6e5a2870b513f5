// The main window and its dialogs whole and readable on the screen the test runs with. CTest runs
// them at 1920 x 1080 and 1280 x 720 at several scales.
#include "AboutDlg.h"
#include "ComSetting.h"
#include "DownloadHistoryDialog.h"
#include "PointLinker.h"
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

namespace {
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 40;

std::string Describe(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text().simplified().toStdString();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text().toStdString();
    if (const auto *box = qobject_cast<const QGroupBox *>(widget))
        return box->title().toStdString();
    return (widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                           : widget->objectName())
        .toStdString();
}

// Room a combo box gives its text: the edit field, less the small margin its style keeps.
int ComboTextRoom(const QComboBox &combo)
{
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = combo.isEditable();
    option.frame = combo.hasFrame();
    return combo.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo).width();
}

// Every text against the room its control gives it; no two controls of one parent on each other.
void ExpectReadable(const QWidget &window)
{
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (!button->isVisible())
            continue;
        if (const auto *check = qobject_cast<const QCheckBox *>(button)) {
            // The box and its text side by side, each whole.
            QStyleOptionButton option;
            option.initFrom(check);
            option.text = check->text();
            const QRect text = check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
            EXPECT_LE(check->fontMetrics().horizontalAdvance(check->text()), text.width()) << Describe(check);
            EXPECT_LE(check->fontMetrics().height(), check->height()) << Describe(check);
            EXPECT_LE(check->style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, check), check->height())
                << Describe(check);
            continue;
        }
        EXPECT_LE(button->sizeHint().width(), button->width()) << Describe(button);
        EXPECT_LE(button->sizeHint().height(), button->height()) << Describe(button);
    }
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisible() || label->wordWrap() || label->textFormat() == Qt::RichText)
            continue;
        const QSize text = label->fontMetrics().size(0, label->text());
        EXPECT_LE(text.width(), label->contentsRect().width()) << Describe(label);
        EXPECT_LE(label->fontMetrics().height(), label->contentsRect().height()) << Describe(label);
    }
    for (const QGroupBox *box : window.findChildren<QGroupBox *>()) {
        if (box->isVisible()) {
            EXPECT_LT(box->fontMetrics().horizontalAdvance(box->title()) + 20, box->width()) << Describe(box);
        }
    }
    for (const QComboBox *combo : window.findChildren<QComboBox *>()) {
        if (!combo->isVisible())
            continue;
        // The entries the window's own lists hold; a port's long name may scroll in its field.
        if (combo->objectName() != QStringLiteral("ctl1045")) {
            for (int i = 0; i < combo->count(); ++i)
                EXPECT_LE(combo->fontMetrics().horizontalAdvance(combo->itemText(i)), ComboTextRoom(*combo))
                    << Describe(combo) << " " << combo->itemText(i).toStdString();
        }
        EXPECT_GE(combo->height(), combo->fontMetrics().height() + 2) << Describe(combo);
    }
    // Group boxes hold controls drawn over them; everything else stands apart.
    const QList<QWidget *> all = window.findChildren<QWidget *>();
    for (const QWidget *a : all) {
        if (!a->isVisible() || a->isWindow() || qobject_cast<const QGroupBox *>(a))
            continue;
        for (const QWidget *b : all) {
            if (b <= a || !b->isVisible() || b->isWindow() || b->parentWidget() != a->parentWidget() ||
                qobject_cast<const QGroupBox *>(b) || a->parentWidget()->inherits("QAbstractScrollArea"))
                continue;
            EXPECT_FALSE(a->geometry().intersects(b->geometry())) << Describe(a) << " on " << Describe(b);
        }
    }
}

void ExpectOnScreen(const QWidget &window)
{
    const QRect room = window.screen()->availableGeometry();
    EXPECT_LE(window.width() + kFrameWidth, room.width()) << window.windowTitle().toStdString();
    EXPECT_LE(window.height() + kFrameHeight, room.height()) << window.windowTitle().toStdString();
}

std::string ScreenName(const QWidget &window)
{
    const QRect room = window.screen()->availableGeometry();
    return QStringLiteral("screen %1 x %2 at %3")
        .arg(room.width())
        .arg(room.height())
        .arg(window.devicePixelRatioF())
        .toStdString();
}

void Open(QWidget &window)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
}
} // namespace

class ScreenFit : public WindowTest
{
};

TEST_F(ScreenFit, TheMainWindowIsWholeAndReadable)
{
    Open(*window);
    SCOPED_TRACE(ScreenName(*window));
    ExpectOnScreen(*window);
    ExpectReadable(*window);
    // The voltage form's longer labels too.
    window->ApplyVoltageLabels();
    ExpectReadable(*window);
    window->ApplyTemperatureLabels();

    // Never drawn smaller than readable: where the screen cannot hold that, the window scrolls.
    const double scale = window->Units().Scale();
    EXPECT_GE(scale, CPlexaDlg::kReadableScale);
    const QWidget *content = window->Control(1000)->parentWidget();
    EXPECT_EQ(content->size(), window->Units().Size(683, 430));
    auto *scroller = window->findChild<QScrollArea *>();
    ASSERT_NE(scroller, nullptr);
    const bool cut =
        content->width() > scroller->viewport()->width() || content->height() > scroller->viewport()->height();
    if (cut) {
        EXPECT_EQ(scale, CPlexaDlg::kReadableScale);
        // What is out of sight can be scrolled to.
        scroller->ensureWidgetVisible(window->Control(1052));
        const QPoint monitor = window->Control(1052)->mapTo(scroller->viewport(), QPoint());
        EXPECT_TRUE(scroller->viewport()->rect().contains(QRect(monitor, window->Control(1052)->size())));
    } else {
        EXPECT_EQ(window->size(), content->size()); // no room lost to scroll bars
    }

    // The layout in proportion at any scale: fonts and frames follow it.
    const double fontScale = window->font().pointSizeF() / DialogUnits::DialogFont().pointSizeF();
    EXPECT_NEAR(fontScale, scale, 0.01);
    for (const QWidget *child : content->findChildren<QWidget *>())
        EXPECT_EQ(child->font().pointSizeF(), window->font().pointSizeF()) << Describe(child);
    // The chart's labels scale with it, and fit between its ticks.
    EXPECT_NEAR(window->Chart()->font().pointSizeF(), window->font().pointSizeF(), 0.01);
}

TEST(ScreenFitDialogs, EveryDialogIsWholeAndReadable)
{
    CAboutDlg about;
    Open(about);
    SCOPED_TRACE(ScreenName(about));
    ExpectOnScreen(about);
    ExpectReadable(about);

    MyPointerLinker linker;
    Open(linker);
    ExpectOnScreen(linker);
    ExpectReadable(linker);

    comsetting com(ComSettings{}, {{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART")}});
    Open(com);
    ExpectOnScreen(com);
    ExpectReadable(com);

    std::vector<JournalEntry> entries(30);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].time = QDateTime(QDate(2026, 6, 10), QTime(13, 0, 0), Qt::UTC).addSecs(60 * i);
        entries[i].port = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        entries[i].device = QStringLiteral("/dev/ttyUSB0");
    }
    CDownloadHistoryDialog journal(entries);
    Open(journal);
    ExpectOnScreen(journal);
    ExpectReadable(journal);
}
