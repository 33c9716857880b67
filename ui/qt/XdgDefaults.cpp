#include "ui/qt/XdgDefaults.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

namespace xdg {
namespace {

QStringList ConfigDirs() {
    return QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
}

QStringList ApplicationDirs() {
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

// The mimeapps.list files in falling precedence, the current desktop's own before each
// directory's common one.
QStringList MimeAppsLists() {
    QStringList names;
    for (const QString& desktop : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(':'))
        if (!desktop.isEmpty())
            names += desktop.toLower() + "-mimeapps.list";
    names += "mimeapps.list";
    QStringList lists;
    for (const QString& dir : ConfigDirs() + ApplicationDirs())
        for (const QString& name : names)
            lists += dir + '/' + name;
    for (const QString& dir : ApplicationDirs())
        lists += dir + "/defaults.list";
    return lists;
}

// The value of key in [group] of a desktop-entry style file; a null string when absent.
QString ReadKey(const QString& fileName, const QString& group, const QString& key) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    const QString header = '[' + group + ']';
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('['))
            inGroup = line == header;
        else if (inGroup && line.section('=', 0, 0).trimmed() == key)
            return line.section('=', 1).trimmed();
    }
    return {};
}

QString FindDesktopFile(const QString& id) {
    for (const QString& dir : ApplicationDirs()) {
        const QString path = dir + '/' + id;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

// Decodes the escapes that every string value of a desktop entry may hold.
QString DecodeValue(const QString& value) {
    QString decoded;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            decoded += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == 's')
            decoded += ' ';
        else if (next == 'n')
            decoded += '\n';
        else if (next == 't')
            decoded += '\t';
        else if (next == 'r')
            decoded += '\r';
        else
            decoded += next;
    }
    return decoded;
}

// Appends what the field code stands for to word: file for the file codes, '%' for "%%",
// nothing for the codes that have no meaning here (icon, name, location).
void AppendFieldCode(QChar code, const QString& file, QString& word, bool& usedFile) {
    if (code == '%') {
        word += '%';
    } else if (QStringLiteral("fFuU").contains(code)) {
        word += file;
        usedFile = true;
    }
}

// ExecCommand for an Exec value whose escapes are decoded.
QStringList ExpandExec(const QString& exec, const QString& file) {
    QStringList arguments;
    bool usedFile = false;
    for (qsizetype i = 0; i < exec.size();) {
        if (exec[i].isSpace()) {
            ++i;
            continue;
        }
        QString word;
        bool quoted = false;
        bool hadQuotes = false;
        for (; i < exec.size() && (quoted || !exec[i].isSpace()); ++i) {
            const QChar c = exec[i];
            const bool hasNext = i + 1 < exec.size();
            if (c == '"') {
                quoted = !quoted;
                hadQuotes = true;
            } else if (quoted && c == '\\' && hasNext) {
                word += exec[++i];
            } else if (!quoted && c == '%' && hasNext) {
                AppendFieldCode(exec[++i], file, word, usedFile);
            } else {
                word += c;
            }
        }
        // A word that was only a dropped field code vanishes; a quoted empty word stays.
        if (!word.isEmpty() || hadQuotes)
            arguments += word;
    }
    if (!usedFile)
        arguments += file;
    return arguments;
}

} // namespace

QString DefaultApplication(const QString& mimeType) {
    for (const QString& list : MimeAppsLists()) {
        const QString ids = ReadKey(list, "Default Applications", mimeType);
        for (const QString& id : ids.split(';', Qt::SkipEmptyParts))
            if (const QString path = FindDesktopFile(id.trimmed()); !path.isEmpty())
                return path;
    }
    return {};
}

QStringList ExecCommand(const QString& desktopFile, const QString& file) {
    if (ReadKey(desktopFile, "Desktop Entry", "Terminal") == "true")
        return {};
    const QString exec = ReadKey(desktopFile, "Desktop Entry", "Exec");
    return exec.isEmpty() ? QStringList{} : ExpandExec(DecodeValue(exec), file);
}

} // namespace xdg
