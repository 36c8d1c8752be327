// SPDX-License-Identifier: GPL-2.0-or-later
#include "AboutForm.h"

#include "../app/ProjectLinks.h"
#include "DrawTools.h"
#include "FormCaption.h"
#include "SkinPalette.h"

#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace quillet {
namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 384;
constexpr int kCaptionHeight = 27;
constexpr quint32 kLinkColor = 0x00FF0000;      // blue
constexpr quint32 kLinkHoverColor = 0x00008000; // green

void SetTextColor(QLabel* label, quint32 color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, PlatformColor(color));
    label->setPalette(palette);
}

} // namespace

TAboutForm::TAboutForm(QWidget* parent)
    // Frameless and nothing else: with a system-menu or close-button hint, X11 window
    // managers draw their own frame around the window's caption bar.
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(kClientWidth, kClientHeight);
    setPalette(SkinPalette(palette()));
    setFont(PixelFont(QStringLiteral("Trebuchet MS"), 11));

    // The window has only the system menu icon, so the bar shows the close button alone;
    // with nobody connected to it, the close button closes this window.
    FormCaption = new TFormCaption(this);
    FormCaption->setGeometry(0, 0, kClientWidth, kCaptionHeight);
    FormCaption->setCaption(QStringLiteral("...über Quillet Dictionary"));
    FormCaption->setColor(PlatformColor(skin::AccentOrange));
    FormCaption->setFormColor(PlatformColor(skin::WindowBackground));
    FormCaption->setFont(PixelFont(QStringLiteral("Trebuchet MS"), 15, true));
    FormCaption->setWindowBitmap(QImage(QStringLiteral(":/skin/frame_skin.png")));
    FormCaption->setWindowRadius(9);

    Image1 = new QLabel(this);
    Image1->setGeometry(20, 45, 63, 63);
    Image1->setPixmap(QPixmap(QStringLiteral(":/logo/logo63.png")));

    const QFont text13 = PixelFont(QStringLiteral("Trebuchet MS"), 13);
    LabelAppName =
        AddLabel(this, 99, 43, QString(), PixelFont(QStringLiteral("Verdana"), 20, true));
    LabelAppVersion = AddLabel(this, 100, 70, QString(), text13);
    Label1 = AddLabel(this, 100, 94, QStringLiteral("Deutsch ↔ English, offline"),
                      PixelFont(QStringLiteral("Trebuchet MS"), 13, true));
    Label10 =
        AddLabel(this, 20, 128, QStringLiteral("Informationen und Updates zum Programm:"), font());
    Label11 = AddLinkLabel(this, 20, 146, kProductPageDe.toString(), font());
    Label12 = AddLabel(this, 20, 174, QStringLiteral("Forum für Kommentare und Fehler:"), font());
    Label13 = AddLinkLabel(this, 20, 192, kForumDe.toString(), font());

    WordlistGroupBox = new QGroupBox(QStringLiteral(" Wortschatz Info "), this);
    WordlistGroupBox->setGeometry(16, 216, 366, 156);
    WordlistGroupBox->setFont(PixelFont(QStringLiteral("Trebuchet MS"), 13, true));

    // One row per meta data field: the name label, then its value 264 pixels wide.
    const QFont nameFont = PixelFont(QStringLiteral("Tahoma"), 11, true);
    const QFont valueFont = font();
    const auto row = [&](int y, const QString& name, QLabel*& nameLabel, QLabel*& value) {
        nameLabel = AddLabel(WordlistGroupBox, 12, y, name, nameFont);
        value = new QLabel(WordlistGroupBox);
        value->setTextFormat(Qt::PlainText);
        value->setFont(valueFont);
        value->setGeometry(96, y, 264, QFontMetrics(valueFont).height());
    };
    row(28, QStringLiteral("Name:"), Label3, LabelName);
    row(46, QStringLiteral("Version:"), Label4, LabelVersion);
    row(64, QStringLiteral("Erstellt von:"), Label5, LabelEditor);
    row(82, QStringLiteral("Lizenz:"), Label6, LabelLicense);
    LabelLicense->setGeometry(96, 82, 264, 31);
    LabelLicense->setWordWrap(true);
    LabelLicense->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label7 = AddLabel(WordlistGroupBox, 12, 114, QStringLiteral("Webseite:"), nameFont);
    LabelURL =
        AddLinkLabel(WordlistGroupBox, 96, 114, QString(), PixelFont(QStringLiteral("Tahoma"), 11));
    row(132, QStringLiteral("Ordner:"), Label8, LabelFolder);

    SetRoundWindowRegion(*this, FrameRadius());
}

QLabel* TAboutForm::AddLabel(QWidget* parent, int x, int y, const QString& text,
                             const QFont& font) {
    auto* label = new QLabel(parent);
    // Plain text: meta data from a dictionary's files is shown as written, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->move(x, y);
    FAutoSized.push_back(label);
    SetAutoSizedText(label, text);
    return label;
}

QLabel* TAboutForm::AddLinkLabel(QWidget* parent, int x, int y, const QString& text,
                                 const QFont& font) {
    QFont underlined = font;
    underlined.setUnderline(true);
    QLabel* label = AddLabel(parent, x, y, text, underlined);
    SetTextColor(label, kLinkColor);
    label->setCursor(Qt::PointingHandCursor);
    // Reachable with Tab and opened with Enter or Space; the focused link looks hovered.
    label->setFocusPolicy(Qt::TabFocus);
    label->installEventFilter(this);
    return label;
}

void TAboutForm::SetAutoSizedText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

void TAboutForm::ShowProgramVersion(const QString& appVersion, const QString& appBuild) {
    SetAutoSizedText(LabelAppName, QStringLiteral("Quillet-Dictionary"));
    SetAutoSizedText(LabelAppVersion, QStringLiteral("Version ") + appVersion +
                                          QStringLiteral(" (Build ") + appBuild + u')');
}

void TAboutForm::ShowMetaData(const TMetaData& meta) {
    LabelName->setText(meta.Name);
    LabelVersion->setText(meta.Version + QStringLiteral(" (") + meta.Date + u')');
    LabelEditor->setText(meta.Editor);
    LabelLicense->setText(meta.License);
    SetAutoSizedText(LabelURL, meta.Url);
}

void TAboutForm::ShowFolder(const QString& folder) {
    const QString path = QDir::toNativeSeparators(QDir::cleanPath(folder));
    LabelFolder->setText(folder.isEmpty() ? QString()
                                          : LabelFolder->fontMetrics().elidedText(
                                                path, Qt::ElideMiddle, LabelFolder->width()));
    LabelFolder->setToolTip(folder.isEmpty() ? QString() : path);
}

void TAboutForm::Open(const QString& appVersion, const QString& appBuild, const TMetaData& meta,
                      const QString& folder) {
    ShowProgramVersion(appVersion, appBuild);
    ShowMetaData(meta);
    ShowFolder(folder);
    exec();
}

void TAboutForm::ApplyUILanguage(const std::function<QString(const QString&)>& translate) {
    FormCaption->setCaption(translate(QStringLiteral("... über Quillet-Dictionary")));
    SetAutoSizedText(Label10, translate(QStringLiteral("Informationen und Updates zum Programm:")));
    SetAutoSizedText(Label12, translate(QStringLiteral("Forum für Kommentare und Fehler:")));
    SetAutoSizedText(Label11, translate(kProductPageDe.toString()));
    SetAutoSizedText(Label13, translate(kForumDe.toString()));
    WordlistGroupBox->setTitle(u' ' + translate(QStringLiteral("Wortschatz Info")) + u' ');
    SetAutoSizedText(Label5, translate(QStringLiteral("Erstellt von:")));
    SetAutoSizedText(Label6, translate(QStringLiteral("Lizenz:")));
    SetAutoSizedText(Label7, translate(QStringLiteral("Webseite:")));
    SetAutoSizedText(Label8, translate(QStringLiteral("Ordner:")));
}

int TAboutForm::FrameRadius() const {
    return FormCaption->WindowBitmap().isNull() ? 8 : 7;
}

QUrl TAboutForm::LinkTarget(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const QChar c : trimmed)
        if (c.isSpace() || c == u'\\')
            return {};
    if (trimmed.isEmpty() || trimmed.startsWith(u'/') || trimmed.startsWith(u'.'))
        return {};
    const bool hasScheme = trimmed.contains(QStringLiteral("://"));
    const QUrl url(hasScheme ? trimmed : QStringLiteral("http://") + trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return {};
    if (!hasScheme && !url.host().contains(u'.'))
        return {};
    return url;
}

void TAboutForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor color = PlatformColor(skin::WindowBackground);
    const QImage skinImage = FormCaption->WindowBitmap();
    if (!skinImage.isNull())
        PaintSkinFrame(painter, size(), FrameRadius(), color, skinImage);
    else
        PaintFlatFrame(painter, size(), FrameRadius(), color);
}

void TAboutForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The bar docks itself to the full width; this window's bar is 27 pixels high.
    FormCaption->setGeometry(0, 0, width(), kCaptionHeight);
    SetRoundWindowRegion(*this, FrameRadius());
}

void TAboutForm::showEvent(QShowEvent* event) {
    // The skin may have been emptied (flat look) since the window was made, and labels
    // may have been given texts directly.
    FormCaption->setGeometry(0, 0, width(), kCaptionHeight);
    SetRoundWindowRegion(*this, FrameRadius());
    for (QLabel* label : FAutoSized)
        label->adjustSize();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
    // Escape closes the window when it is released, not when it goes down.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutForm::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat()) {
        close();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label && (label == Label11 || label == Label13 || label == LabelURL)) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::FocusIn:
            LabelURLMouseEnter(label);
            break;
        case QEvent::Leave:
        case QEvent::FocusOut:
            if (!label->hasFocus() || event->type() == QEvent::FocusOut)
                LabelURLMouseLeave(label);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                LabelURLClick(label);
                return true;
            }
            break;
        }
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                FPressedLink = label;
            break;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool click = FPressedLink == label && mouse->button() == Qt::LeftButton &&
                               label->rect().contains(mouse->position().toPoint());
            if (mouse->button() == Qt::LeftButton)
                FPressedLink = nullptr;
            if (click)
                LabelURLClick(label);
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::LabelURLMouseEnter(QLabel* label) {
    SetTextColor(label, kLinkHoverColor);
}

void TAboutForm::LabelURLMouseLeave(QLabel* label) {
    SetTextColor(label, kLinkColor);
}

void TAboutForm::LabelURLClick(QLabel* label) {
    // A failing open is not reported: the address stays readable on the label.
    const QUrl url = LinkTarget(label->text());
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

} // namespace quillet
