// The hyperlink control: states, pictures, colours, and the click rule.
#include "HyperLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QToolTip>

#include <algorithm>

std::function<bool(const QUrl &)> CHyperLink::urlOpener = [](const QUrl &address) {
    return QDesktopServices::openUrl(address);
};

CHyperLink::CHyperLink(QWidget *parent, int id) : QWidget(parent), id(id)
{
    linkFont = QFont(QStringLiteral("Arial"));
    linkFont.setPixelSize(14);
    linkFont.setWeight(QFont::Normal);
    linkFont.setStyleStrategy(QFont::PreferAntialias);
    backgroundColour = palette().color(QPalette::Button);
    disabled = !isEnabled();
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent); // the paint covers every pixel
}

void CHyperLink::SetText(const QString &value)
{
    text = value;
    update();
}

void CHyperLink::SetNormalImage(const QPixmap &image)
{
    normalImage = image;
    DropMadeDisabledImage();
}

void CHyperLink::SetHoverImage(const QPixmap &image)
{
    hoverImage = image;
    DropMadeDisabledImage();
}

void CHyperLink::SetPressedImage(const QPixmap &image)
{
    pressedImage = image;
    DropMadeDisabledImage();
}

void CHyperLink::DropMadeDisabledImage()
{
    // A grey copy of an image that changed is stale; it is made again when needed.
    if (autoDisabledImage && disabledImageMade) {
        disabledImage = QPixmap();
        disabledImageMade = false;
    }
}

void CHyperLink::SetBorder(int width, QColor colour, Qt::PenStyle style)
{
    borderWidth = std::max(0, width);
    borderColour = colour;
    borderStyle = style;
}

CHyperLink::State CHyperLink::CurrentState() const
{
    if (disabled)
        return Disabled;
    if (!hover)
        return Normal;
    return pressed ? Pressed : Hover;
}

QPixmap CHyperLink::ImageFor(State state) const
{
    switch (state) {
    case Normal: return normalImage;
    case Hover: return hoverImage;
    case Pressed: return pressedImage;
    case Disabled: return disabledImage;
    }
    return {};
}

QSize CHyperLink::ImageSize(State state) const
{
    if (reserveLargestImage) {
        QSize largest(0, 0);
        for (const QPixmap *image : {&normalImage, &hoverImage, &pressedImage, &disabledImage})
            largest = largest.expandedTo(image->deviceIndependentSize().toSize());
        return largest;
    }
    if (!(FlagsFor(state) & kShowImage))
        return {0, 0};
    return ImageFor(state).deviceIndependentSize().toSize();
}

QStringList CHyperLink::Lines() const
{
    QString shown = text;
    if (!multiLine)
        return {shown};
    while (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    return shown.split(QLatin1Char('\n'));
}

QSize CHyperLink::FitSize() const
{
    const State state = CurrentState();
    const QFontMetrics metrics(linkFont);
    const QStringList lines = Lines();
    const int h = metrics.height();
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const QSize image = ImageSize(state);
    const quint32 flags = FlagsFor(state);
    const bool left = reserveLargestImage || (flags & kShowImage && flags & kImageLeft);
    const bool right = reserveLargestImage || (flags & kShowImage && flags & kImageRight);
    const int height = std::max(static_cast<int>(lines.size()) * (h + 3), image.height() + 2) + 2 * borderWidth;
    int width = widest + 2 * borderWidth + 3;
    if (left && image.width() > 0)
        width += image.width() + 3;
    if (right && image.width() > 0)
        width += image.width() + 3;
    return {width, height};
}

QImage CHyperLink::GreyImage(const QImage &source)
{
    QImage grey = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb pixel = line[x];
            if (qAlpha(pixel) == 0 && (pixel & 0xFFFFFF) == 0)
                continue; // fully transparent black stays as it is
            int g = (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3;
            if (g == 255)
                g = 254;
            line[x] = qRgba(g, g, g, qAlpha(pixel));
        }
    }
    return grey;
}

void CHyperLink::paintEvent(QPaintEvent *)
{
    if (inResize)
        return;
    const State state = CurrentState();
    if (state == Disabled && autoDisabledImage && disabledImage.isNull()) {
        for (const QPixmap *source : {&normalImage, &hoverImage, &pressedImage}) {
            if (!source->isNull()) {
                QPixmap made = QPixmap::fromImage(GreyImage(source->toImage()));
                made.setDevicePixelRatio(source->devicePixelRatio());
                disabledImage = made;
                disabledImageMade = true;
                break;
            }
        }
    }

    const QSize fit = FitSize();
    if (fit != size()) {
        inResize = true;
        resize(fit);
        inResize = false;
    }

    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.fillRect(rect(), backgroundColour);
    if (borderWidth > 0) {
        QPen pen(state == Disabled ? palette().color(QPalette::Disabled, QPalette::WindowText) : borderColour,
                 borderWidth, borderStyle);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const qreal inset = borderWidth / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }

    const QFontMetrics metrics(linkFont);
    const QStringList lines = Lines();
    const int h = metrics.height();
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));

    const QPixmap image = ImageFor(state);
    const QSize imageSize = ImageSize(state);
    const quint32 flags = FlagsFor(state);
    const bool shows = (flags & kShowImage) && !image.isNull();
    int x = borderWidth + 1;
    const int imageTop = (height() - imageSize.height()) / 2;
    const int ownWidth = image.deviceIndependentSize().toSize().width();
    if (shows && (flags & kImageLeft)) {
        const int centring = reserveLargestImage ? (imageSize.width() - ownWidth) / 2 : 0;
        painter.drawPixmap(x + centring, imageTop, image);
    }
    if (imageSize.width() > 0 && (reserveLargestImage || (shows && (flags & kImageLeft))))
        x = imageSize.width() + 4 + borderWidth;
    if (shows && (flags & kImageRight))
        painter.drawPixmap(x + widest + 3, imageTop, image);

    QColor textColour;
    QColor underlineColour;
    switch (state) {
    case Disabled: textColour = palette().color(QPalette::Disabled, QPalette::WindowText); break;
    case Pressed: textColour = underlineColour = pressedColour; break;
    case Hover: textColour = underlineColour = hoverColour; break;
    case Normal:
        textColour = normalColour;
        underlineColour = underline ? normalColour : backgroundColour;
        break;
    }

    const int free = std::max(0, height() - static_cast<int>(lines.size()) * (h + 2) - 1);
    const int top = (free & ~1) / 2;
    painter.setFont(linkFont);
    for (int k = 0; k < lines.size(); ++k) {
        const int lineTop = top + k * (h + 2);
        painter.setPen(textColour);
        painter.drawText(QPoint(x, lineTop + metrics.ascent()), lines[k]);
        if (state != Disabled) {
            painter.fillRect(QRect(x, lineTop + h, metrics.horizontalAdvance(lines[k]) + 1, 1), underlineColour);
        }
    }
}

bool CHyperLink::PointerOverUs() const
{
    const QPoint global = QCursor::pos();
    if (!QRect(mapToGlobal(QPoint(0, 0)), size()).contains(global))
        return false;
    QWidget *under = QApplication::widgetAt(global);
    return under == this || (under && under->inherits("QTipLabel"));
}

void CHyperLink::mouseMoveEvent(QMouseEvent *event)
{
    if (!disabled) {
        if (!cursorReplaced) {
            setCursor(Qt::PointingHandCursor);
            cursorReplaced = true;
        }
    }
    if (!hover) {
        hover = true;
        pressed = event->buttons() & Qt::LeftButton;
        update();
    }
    if (!url.isEmpty() && !QToolTip::isVisible())
        tooltipTimer.start(kTooltipDelayMs, this);
    QWidget::mouseMoveEvent(event);
}

void CHyperLink::leaveEvent(QEvent *event)
{
    tooltipTimer.stop();
    QToolTip::hideText();
    hover = false;
    if (PointerOverUs())
        hoverTimer.start(300, this);
    else
        update();
    if (!disabled && cursorReplaced) {
        unsetCursor();
        cursorReplaced = false;
    }
    QWidget::leaveEvent(event);
}

void CHyperLink::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == tooltipTimer.timerId()) {
        tooltipTimer.stop();
        QToolTip::showText(QCursor::pos(), url.toString(), this, rect(), kTooltipHideMs);
        return;
    }
    if (event->timerId() == hoverTimer.timerId()) {
        hoverTimer.stop();
        if (!pressed && !PointerOverUs()) {
            hover = false;
            update();
        }
        return;
    }
    QWidget::timerEvent(event);
}

void CHyperLink::Press()
{
    if (disabled)
        return;
    setCursor(Qt::PointingHandCursor);
    cursorReplaced = true;
    pressed = true;
    update();
    pressRect = QRect(mapToGlobal(QPoint(0, 0)), size());
}

void CHyperLink::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Press();
    QWidget::mousePressEvent(event);
}

void CHyperLink::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Press();
    QWidget::mouseDoubleClickEvent(event);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || disabled) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    pressed = false;
    // Edges included, so a release on the last pixel still counts.
    const QPoint global = event->globalPosition().toPoint();
    hover = global.x() >= pressRect.left() && global.x() <= pressRect.right() + 1 && global.y() >= pressRect.top() &&
            global.y() <= pressRect.bottom() + 1;
    update();
    if (!hover)
        return;
    if (!url.isEmpty() && openOnClick && urlOpener)
        urlOpener(url);
    if (id != 0)
        emit clicked(id);
}

void CHyperLink::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        disabled = !isEnabled();
    QWidget::changeEvent(event);
}
