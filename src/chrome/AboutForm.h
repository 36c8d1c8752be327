// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DictFormat.h"

#include <functional>
#include <QDialog>
#include <QUrl>
#include <vector>

class QGroupBox;
class QLabel;

// `TAboutForm`: the about window. Borderless and skinned like the main window (its own
// caption bar with only a close button, rounded corners, a painted frame), it shows the
// program's name and version, the program's two web addresses and, in a group box, the
// open dictionary's meta data and the folder it lies in. It is created once and shown modally each
// time it is opened; Escape closes it.
//
// The components are public so that the main window can put its texts into them when the
// interface language changes; Open fills the rest. UI thread only.
namespace quillet {

class TFormCaption;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // Shows the program's version and the dictionary's meta data, then the window,
    // modally; returns when it is closed.
    void Open(const QString& appVersion, const QString& appBuild, const TMetaData& meta,
              const QString& folder = {});
    void ShowProgramVersion(const QString& appVersion, const QString& appBuild);
    void ShowMetaData(const TMetaData& meta);
    // The dictionary's folder; a long path loses its middle, the tooltip has it whole.
    void ShowFolder(const QString& folder);

    // Puts the texts of the current interface language into the window; `translate`
    // maps a German text to it. Texts set here and by Open keep their labels sized to
    // them, so links react to the pointer over their text only.
    void ApplyUILanguage(const std::function<QString(const QString&)>& translate);

    // Radius of the corners: 7 with the frame skin, 8 when the caption bar's skin is empty.
    int FrameRadius() const;

    TFormCaption* FormCaption = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* LabelAppName = nullptr;
    QLabel* LabelAppVersion = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QGroupBox* WordlistGroupBox = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* LabelName = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* LabelEditor = nullptr;
    QLabel* LabelLicense = nullptr;
    QLabel* LabelURL = nullptr;
    QLabel* LabelFolder = nullptr;

    // The web address a link label's text opens: http and https addresses, and host
    // names without a scheme (as http). Anything else, such as a file or a program path
    // in a dictionary's meta data, gives an empty URL and is not opened.
    static QUrl LinkTarget(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddLabel(QWidget* parent, int x, int y, const QString& text, const QFont& font);
    QLabel* AddLinkLabel(QWidget* parent, int x, int y, const QString& text, const QFont& font);
    void LabelURLMouseEnter(QLabel* label);
    void LabelURLMouseLeave(QLabel* label);
    void LabelURLClick(QLabel* label);

    void SetAutoSizedText(QLabel* label, const QString& text);

    std::vector<QLabel*> FAutoSized;
    QLabel* FPressedLink = nullptr;
};

} // namespace quillet
