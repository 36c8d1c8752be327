// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

// `TRoundButton`: the flat, rounded, colour-filled push button of the skinned windows (the
// main window's dictionary-info button is one). It fills with `Color`, or with `OverColor`
// while the pointer is over it; there is no pressed look, and after a click it shows
// `Color` again until the pointer leaves and comes back. The caption is centred in the
// widget's font; its colour is the palette's WindowText, so both come from the parent
// until set. Colours are 0x00BBGGRR values. UI thread only.
namespace quillet {

class TRoundButton : public QWidget {
    Q_OBJECT
public:
    explicit TRoundButton(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void setCaption(const QString& caption);
    quint32 Color() const { return FColor; }
    void setColor(quint32 color);
    // A plain value: takes effect at the next paint.
    quint32 OverColor() const { return FOverColor; }
    void setOverColor(quint32 color) { FOverColor = color; }
    quint32 BorderColor() const { return FBorderColor; }
    void setBorderColor(quint32 color);
    int BorderWidth() const { return FBorderWidth; }
    void setBorderWidth(int width);
    int BorderRadius() const { return FBorderRadius; }
    void setBorderRadius(int radius);
    void setFontColor(quint32 color);

    bool Hovered() const { return FHovered; }

    // Where a caption of `text` pixels is drawn on a button of `button` pixels: half the
    // free room, rounded half to even, and never negative, so a caption larger than the
    // button starts at a positive offset and is cut at the far edge.
    static QPoint CaptionOrigin(QSize button, QSize text);

signals:
    // Press and release of the left button inside the button.
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetHovered(bool hovered);

    QString FCaption;
    quint32 FColor;
    quint32 FOverColor = 0x00000000;
    quint32 FBorderColor;
    int FBorderWidth;
    int FBorderRadius;
    bool FHovered = false;
    bool FPressed = false;
};

} // namespace quillet
