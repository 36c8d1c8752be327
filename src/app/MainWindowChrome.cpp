// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's own chrome: the caption bar and status bar, the rounded shape and the
// painted frame (skinned, or flat with Flat_Skin), resizing from the right margin, the
// banner line and the about window.
#include "MainWindow.h"

#include "AboutForm.h"
#include "DrawTools.h"
#include "FormCaption.h"
#include "FormStatusbar.h"
#include "MainWindowPainting.h"
#include "PaintBoxEx.h"
#include "ProjectLinks.h"
#include "RoundButton.h"
#include "SkinPalette.h"
#include "Translations.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace quillet {
namespace {

constexpr quint32 kBannerColor = 0x00000080;      // maroon
constexpr quint32 kBannerHoverColor = 0x00FF0000; // blue

} // namespace

void TMainForm::CreateChrome() {
    // Borderless: the caption bar and the status bar are the window's own. The hints tell
    // the caption bar which buttons to show.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowContextHelpButtonHint |
                   Qt::WindowMinMaxButtonsHint);
    setWindowIcon(ProgramIcon());

    FFormCaption = new TFormCaption(this);
    FFormCaption->setObjectName(QStringLiteral("FormCaption"));
    FFormCaption->setCaption(QStringLiteral("Quillet Dictionary"));
    FFormCaption->setColor(PlatformColor(skin::AccentOrange));
    FFormCaption->setFont(PixelFont(QStringLiteral("Trebuchet MS"), 15, true));
    FFormCaption->setFormColor(PlatformColor(skin::WindowBackground));
    FFormCaption->setIconBitmap(QImage(QStringLiteral(":/logo/logo16.png")));
    FFormCaption->setWindowBitmap(QImage(QStringLiteral(":/skin/frame_skin.png")));
    FFormCaption->setWindowRadius(9);
    connect(FFormCaption, &TFormCaption::closeClicked, this, &TMainForm::FormCaptionCloseForm);
    connect(FFormCaption, &TFormCaption::minimizeClicked, this, [this] { HideToTray(); });
    connect(FFormCaption, &TFormCaption::maximizeClicked, this, [this] {
        showMaximized();
        update();
    });
    connect(FFormCaption, &TFormCaption::restoreClicked, this, [this] {
        showNormal();
        update();
    });
    connect(this, &QWidget::windowTitleChanged, FFormCaption, &TFormCaption::setCaption);

    FStatusbar = new TFormStatusbar(this);
    FStatusbar->setObjectName(QStringLiteral("FormStatusbar"));
    FStatusbar->setColor(PlatformColor(skin::WindowBackground));
    FStatusbar->setFont(PixelFont(QStringLiteral("Trebuchet MS"), 13, false));
    FStatusbar->setSkinBitmap(QImage(QStringLiteral(":/skin/status_skin.png")));

    FAdPaintBox = new TPaintBoxEx(this);
    FAdPaintBox->setObjectName(QStringLiteral("AdPaintBox"));
    FAdPaintBox->setCursor(Qt::PointingHandCursor);
    FAdPaintBox->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
    FAdPaintBox->setFontColor(kBannerColor);
    FAdPaintBox->setToolTip(kIssueTracker.toString());
    FBannerHouse = QPixmap(QStringLiteral(":/icons/home.png"));
    connect(FAdPaintBox, &TPaintBoxEx::OnPaint, this, &TMainForm::AdPaintBoxPaint);
    connect(FAdPaintBox, &TPaintBoxEx::OnMouseEnter, this, &TMainForm::AdPaintBoxMouseEnter);
    connect(FAdPaintBox, &TPaintBoxEx::OnMouseLeave, this, &TMainForm::AdPaintBoxMouseLeave);
    connect(FAdPaintBox, &TPaintBoxEx::OnClick, this, &TMainForm::AdPaintBoxClick);

    FAboutForm = new TAboutForm(this);
    connect(FBtnDictInfo, &TRoundButton::OnClick, this, &TMainForm::miAboutClick);
}

void TMainForm::ApplySkin() {
    // Decided once at start-up: the flat look has no frame skin and a smaller radius.
    if (FSettings.FlatSkin) {
        FFormCaption->setWindowBitmap(QImage());
        FFormCaption->setWindowRadius(8);
        FStatusbar->setSkinBitmap(QImage());
        FAboutForm->FormCaption->setWindowBitmap(QImage());
        FAboutForm->FormCaption->setWindowRadius(8);
    }
    FormResize();
}

void TMainForm::FormResize() {
    // The grid splits its client width into its columns itself; the shape follows here.
    SetRoundWindowRegion(*this, FFormCaption->WindowRadius());
    update();
}

void TMainForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor color = PlatformColor(skin::WindowBackground);
    const QImage skin = FFormCaption->WindowBitmap();
    if (!skin.isNull())
        PaintSkinFrame(painter, size(), FFormCaption->WindowRadius(), color, skin);
    else
        PaintFlatFrame(painter, size(), FFormCaption->WindowRadius(), color);
}

void TMainForm::mousePressEvent(QMouseEvent* event) {
    // Presses on the margins around the panels, the window's own surface.
    const QPoint at = event->position().toPoint();
    FDownX = at.x();
    FDownY = at.y();
    if (event->button() == Qt::LeftButton && at.x() < 5)
        resize(800, 600);
    QWidget::mousePressEvent(event);
}

void TMainForm::mouseMoveEvent(QMouseEvent* event) {
    // The right margin drags the width; the status bar's grip resizes in both directions.
    const QPoint at = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) && at.x() > width() - 5) {
        resize(qMax(TFormStatusbar::MinimumOwnerSize.width(), width() + at.x() - FDownX), height());
        FDownX = at.x();
        FDownY = at.y();
    }
    QWidget::mouseMoveEvent(event);
}

QString TMainForm::BannerText() const {
    return Translate(kSiteNameDe.toString()) + QStringLiteral(" ... ") +
           Translate(kSloganDe.toString());
}

void TMainForm::AdPaintBoxPaint(QPainter& canvas) {
    PaintBanner(canvas, FAdPaintBox->size(), BannerText(), FAdPaintBox->font().underline(),
                FBannerHouse);
}

void TMainForm::AdPaintBoxMouseEnter() {
    QFont font = FAdPaintBox->font();
    font.setUnderline(true);
    FAdPaintBox->setFont(font);
    FAdPaintBox->setFontColor(kBannerHoverColor);
    FAdPaintBox->update();
}

void TMainForm::AdPaintBoxMouseLeave() {
    QFont font = FAdPaintBox->font();
    font.setUnderline(false);
    FAdPaintBox->setFont(font);
    FAdPaintBox->setFontColor(kBannerColor);
    FAdPaintBox->update();
}

void TMainForm::AdPaintBoxClick() {
    // The banner advertises the project itself: a word missing goes to its tracker.
    QDesktopServices::openUrl(QUrl(kIssueTracker.toString()));
}

void TMainForm::miAboutClick() {
    // The folder only once a set is open: before, it would name a folder without one.
    FAboutForm->Open(QStringLiteral(QUILLET_VERSION), QStringLiteral(QUILLET_BUILD),
                     FDict ? FDict->Meta() : TMetaData(),
                     FDict && FDict->IsOpen() ? FDict->AppDir() : QString());
}

} // namespace quillet
