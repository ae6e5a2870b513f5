// The hyperlink control.
#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QUrl>
#include <QWidget>

#include <functional>

// A link drawn by itself: an optional picture per state beside one or more lines of text in the
// state's colour, underlined on hover; it sizes itself to fit and opens its address when a press
// is released over it.
class CHyperLink : public QWidget
{
    Q_OBJECT
public:
    enum State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
    // Per state, 4 bits: shows an image, image left of the text, image right of the text.
    static constexpr quint32 kShowImage = 0x1;
    static constexpr quint32 kImageLeft = 0x2;
    static constexpr quint32 kImageRight = 0x4;
    static constexpr int kTooltipDelayMs = 1200;
    static constexpr int kTooltipHideMs = 1600;

    explicit CHyperLink(QWidget *parent = nullptr, int id = 0);

    // How addresses are opened; tests replace it. Returns whether it opened.
    static std::function<bool(const QUrl &)> urlOpener;

    void SetUrl(const QUrl &address) { url = address; }
    QUrl Url() const { return url; }
    void SetText(const QString &value);
    QString Text() const { return text; }
    void SetMultiLine(bool on) { multiLine = on; }
    void SetUnderline(bool on) { underline = on; }
    void SetOpenOnClick(bool on) { openOnClick = on; }
    void SetAutoDisabledImage(bool on) { autoDisabledImage = on; }
    void SetReserveLargestImage(bool on) { reserveLargestImage = on; }
    void SetImageFlags(quint32 flags) { imageFlags = flags; }
    void SetNormalImage(const QPixmap &image);
    void SetHoverImage(const QPixmap &image);
    void SetPressedImage(const QPixmap &image);
    void SetDisabledImage(const QPixmap &image)
    {
        disabledImage = image;
        disabledImageMade = false;
    }
    void SetBorder(int width, QColor colour, Qt::PenStyle style = Qt::SolidLine);
    void SetLinkFont(const QFont &value) { linkFont = value; }

    State CurrentState() const;
    bool IsHover() const { return hover; }
    bool IsPressed() const { return pressed; }
    bool DisabledImageMade() const { return disabledImageMade; }
    QPixmap DisabledImage() const { return disabledImage; }
    // Lines drawn: cut at line feeds when multi-line, trailing line feeds dropped.
    QStringList Lines() const;
    // The size the control takes for its current state.
    QSize FitSize() const;

    // The grey copy used for the disabled state.
    static QImage GreyImage(const QImage &source);

    QColor normalColour{0, 0, 255};
    QColor hoverColour{255, 0, 0};
    QColor pressedColour{200, 0, 225};
    QColor backgroundColour;

signals:
    void clicked(int id);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void DropMadeDisabledImage();
    QPixmap ImageFor(State state) const;
    quint32 FlagsFor(State state) const { return (imageFlags >> (4 * state)) & 0xF; }
    QSize ImageSize(State state) const;
    bool PointerOverUs() const;
    void Press();

    int id;
    QString text;
    QUrl url;
    bool underline = false;
    bool openOnClick = true;
    bool reserveLargestImage = false;
    bool multiLine = false;
    QFont linkFont;
    QColor borderColour{0, 0, 0};
    int borderWidth = 0;
    Qt::PenStyle borderStyle = Qt::SolidLine;
    QPixmap normalImage, hoverImage, pressedImage, disabledImage;
    quint32 imageFlags = 0x3333;
    bool autoDisabledImage = false;
    bool disabledImageMade = false;
    bool disabled = false;
    bool hover = false;
    bool pressed = false;
    bool inResize = false;
    QRect pressRect;
    QBasicTimer hoverTimer; // checks, 300 ms after the pointer left, whether it went onto the tooltip
    QBasicTimer tooltipTimer;
    bool cursorReplaced = false;
};
