// SPDX-License-Identifier: GPL-2.0-or-later
#include "Settings.h"

#include "ConfigFolder.h"

#include "Ansi.h"
#include "Collation.h"
#include "TextTools.h"

#include <algorithm>
#include <climits>
#include <QDir>
#include <QStandardPaths>

namespace quillet {
namespace {

int readInt(const TIniFile& ini, const char* section, const char* key, int defaultValue,
            int min = INT_MIN, int max = INT_MAX) {
    const int value = ini.ReadInteger(section, key, defaultValue);
    return value < min || value > max ? defaultValue : value;
}

bool readBool(const TIniFile& ini, const char* section, const char* key, bool defaultValue) {
    return ini.ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

// Names of dictionaries and fonts; an empty one would leave nothing to open or draw with.
QString readName(const TIniFile& ini, const char* section, const char* key,
                 const QString& defaultValue) {
    const QString value = FromAnsi(ini.ReadString(section, key));
    return Trim(value).isEmpty() ? defaultValue : value;
}

// The search box's history rule, appending instead of inserting at the top so that the
// stored order (key "0" topmost) survives: short texts are not worth keeping, and a word
// stays once, under the spelling first seen.
void addHistory(QStringList& history, const QString& text) {
    if (history.size() >= kMaxHistory || Trim(text).size() < 3)
        return;
    for (const QString& item : history) {
        if (SameText(item, text))
            return;
    }
    history.append(text);
}

// Writes until the first failure and then only remembers it.
class TWriter {
public:
    explicit TWriter(TIniFile& ini) : FIni(ini) {}
    void Int(const char* section, const char* key, int value) {
        if (FStatus.ok())
            FStatus = FIni.WriteInteger(section, key, value);
    }
    void Text(const char* section, const char* key, const QByteArray& value) {
        if (FStatus.ok())
            FStatus = FIni.WriteString(section, key, value);
    }
    const TStatus& Status() const { return FStatus; }

private:
    TIniFile& FIni;
    TStatus FStatus;
};

} // namespace

void TSettings::Load(const TIniFile& ini) {
    const TSettings d;
    Direction = readInt(ini, "Dictionary", "Direction", d.Direction, 0, 1);
    Name = readName(ini, "Dictionary", "Name", d.Name);
    Left = readInt(ini, "Window", "Left", d.Left);
    Top = readInt(ini, "Window", "Pos", d.Top);
    Width = readInt(ini, "Window", "Width", d.Width, 1);
    Height = readInt(ini, "Window", "Height", d.Height, 1);
    LeftPanel = readInt(ini, "Window", "LeftPanel", d.LeftPanel, 0); // 0: snapped closed
    GridFontName = readName(ini, "Font", "Grid_Name", d.GridFontName);
    GridFontSize = readInt(ini, "Font", "Grid_Size", d.GridFontSize, 1);
    ListFontName = readName(ini, "Font", "List_Name", d.ListFontName);
    ListFontSize = readInt(ini, "Font", "List_Size", d.ListFontSize, 1);
    HotKeyChar = quint16(readInt(ini, "HotKey", "Char", d.HotKeyChar, 0, 0xFFFF));
    HotKeyMod = quint16(readInt(ini, "HotKey", "Mod", d.HotKeyMod, 0, 0xFFFF));
    CopyDelay1 = readInt(ini, "HotKey", "Copy_Delay_1", d.CopyDelay1, 0, kMaxDelayMs);
    CopyDelay2 = readInt(ini, "HotKey", "Copy_Delay_2", d.CopyDelay2, 0, kMaxDelayMs);
    CopyDelay3 = readInt(ini, "HotKey", "Copy_Delay_3", d.CopyDelay3, 0, kMaxDelayMs);
    PronFontName = readName(ini, "Font", "Pron_Name", d.PronFontName);
    PronFontSize = readInt(ini, "Font", "Pron_Size", d.PronFontSize, 1);
    ReverseLanguage = readBool(ini, "Dictionary", "Reverse_Language", d.ReverseLanguage);
    CloseQuestion = readBool(ini, "Dictionary", "Close_Question", d.CloseQuestion);
    AutoSearch = readBool(ini, "Dictionary", "Auto_Search", d.AutoSearch);
    AutoSearchDelay =
        readInt(ini, "Dictionary", "Auto_Search_Delay", d.AutoSearchDelay, 0, kMaxDelayMs);
    LastWord = QString::fromUtf8(ini.ReadString("Dictionary", "Last_Word"));
    History.clear();
    for (int i = 0; i < kMaxHistory; ++i) {
        const QByteArray key = QByteArray::number(i);
        if (ini.ValueExists("History", key))
            addHistory(History, QString::fromUtf8(ini.ReadString("History", key)));
    }
    FlatSkin = readBool(ini, "Window", "Flat_Skin", d.FlatSkin);
    CheckUpdate = readBool(ini, kIniDictionary, kIniCheckUpdate, d.CheckUpdate);
    UILanguage = ReadUILanguage(ini);
}

int ReadUILanguage(const TIniFile& ini) {
    return readInt(ini, kIniGui, kIniLanguage, TSettings().UILanguage, 0, 1);
}

TStatus TSettings::SaveAtClose(TIniFile& ini) const {
    TWriter w(ini);
    w.Text("Dictionary", "Name", ToAnsi(Name));
    w.Int("Dictionary", "Direction", Direction);
    w.Int("Dictionary", "Reverse_Language", ReverseLanguage);
    w.Int("Dictionary", "Close_Question", CloseQuestion);
    w.Int("Dictionary", "Auto_Search", AutoSearch);
    w.Int("Dictionary", "Auto_Search_Delay", AutoSearchDelay);
    // User text is one line in the file; the search box never holds a line break, and a
    // text set some other way must not end the sequence here.
    w.Text("Dictionary", "Last_Word", LineBreaksToBlanks(LastWord).toUtf8());
    w.Int("Window", "Left", Left);
    w.Int("Window", "Pos", Top);
    w.Int("Window", "Width", Width);
    w.Int("Window", "Height", Height);
    w.Int("Window", "LeftPanel", LeftPanel);
    w.Text("Font", "Grid_Name", ToAnsi(GridFontName));
    w.Int("Font", "Grid_Size", GridFontSize);
    w.Text("Font", "Pron_Name", ToAnsi(PronFontName));
    w.Int("Font", "Pron_Size", PronFontSize);
    w.Int("HotKey", "Char", HotKeyChar);
    w.Int("HotKey", "Mod", HotKeyMod);
    w.Int("HotKey", "Copy_Delay_1", CopyDelay1);
    w.Int("HotKey", "Copy_Delay_2", CopyDelay2);
    w.Int("HotKey", "Copy_Delay_3", CopyDelay3);
    // Only keys "0" to "9" are read back.
    for (int i = 0; i < History.size() && i < kMaxHistory; ++i)
        w.Text("History", QByteArray::number(i).constData(),
               LineBreaksToBlanks(History[i]).toUtf8());
    return w.Status();
}

QRect FitWindowToScreen(int left, int top, int width, int height, const QRect& available) {
    if (available.isEmpty()) {
        const TSettings d;
        return {d.Left, d.Top, d.Width, d.Height};
    }
    // In 64 bits: the stored values may be anything an int holds.
    const auto fit = [](qint64 start, qint64 length, qint64 minimum, qint64 areaStart,
                        qint64 areaLength) {
        length = std::min(std::max(length, minimum), areaLength);
        start = std::clamp(start, areaStart, areaStart + areaLength - length);
        return std::pair(int(start), int(length));
    };
    const auto [x, w] = fit(left, width, kMinWindowWidth, available.x(), available.width());
    const auto [y, h] = fit(top, height, kMinWindowHeight, available.y(), available.height());
    return {x, y, w, h};
}

QString SettingsFilePath(const QString& programFolder) {
    // Qt's test mode keeps the tests away from the user's own settings on every platform.
    const QString base =
        QStandardPaths::isTestModeEnabled()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            : QString::fromStdString(UserConfigFolder());
    if (!base.isEmpty()) {
        const QString folder = QDir(base).filePath(QStringLiteral("Quillet/Dictionary"));
        if (QDir().mkpath(folder))
            return QDir(folder).filePath(QStringLiteral("options.ini"));
    }
    return QDir(programFolder).filePath(QStringLiteral("options.ini"));
}

} // namespace quillet
