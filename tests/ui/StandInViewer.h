#pragma once

#include "tests/support/TempDir.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>

// Points the desktop's settings (XDG folders, PATH) into a temporary folder for the lifetime of
// the object, so that no real editor is ever found, and installs the recording viewer
// (RecordingViewer.cpp) there under the names a test gives it.
class StandInViewer {
public:
    StandInViewer() {
        for (const char* name : Variables)
            saved_[name] = qgetenv(name);
        Set("XDG_CONFIG_HOME", *this / "config");
        Set("XDG_CONFIG_DIRS", *this / "etc-xdg");
        Set("XDG_DATA_HOME", *this / "share");
        Set("XDG_DATA_DIRS", *this / "usr-share");
        Set("XDG_CURRENT_DESKTOP", "");
        Set("PATH", *this / "bin");
        Set("RECORDING_VIEWER_OUT", Out());
        Set("RECORDING_VIEWER_STATUS", "0");
    }
    ~StandInViewer() {
        for (auto it = saved_.cbegin(); it != saved_.cend(); ++it)
            qputenv(it.key().constData(), it.value());
    }

    std::string operator/(const std::string& name) const { return dir_ / name; }
    static void Set(const char* name, const std::string& value) {
        qputenv(name, QByteArray::fromStdString(value));
    }

    // The recording viewer on PATH under the name of a known editor.
    void InstallEditor(const std::string& name) const {
        std::filesystem::create_directories(dir_.path() / "bin");
        std::filesystem::create_symlink(RECORDING_VIEWER, dir_.path() / "bin" / name);
    }
    // A desktop entry below one of the data folders ("share" or "usr-share").
    void WriteEntry(const std::string& dataDir, const std::string& id,
                    const std::string& body) const {
        const auto folder = dir_.path() / dataDir / "applications";
        std::filesystem::create_directories(folder);
        testsupport::WriteFile(folder / id, "[Desktop Entry]\nType=Application\n" + body);
    }
    // Names the default applications for text/plain in a mimeapps.list below the folder.
    void WriteDefaults(const std::string& list, const std::string& ids) const {
        std::filesystem::create_directories((dir_.path() / list).parent_path());
        testsupport::WriteFile(*this / list, "[Added Associations]\ntext/plain=other.desktop;\n\n"
                                             "[Default Applications]\ntext/plain=" +
                                                 ids + "\n");
    }

    std::string Out() const { return *this / "viewer.out"; }
    bool Started() const { return std::filesystem::exists(Out()); }
    // The arguments the viewer got, its own path first.
    QStringList Arguments() const {
        const std::string text = testsupport::ReadFile(Out());
        QStringList arguments;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find('\0', start);
            arguments += QString::fromStdString(text.substr(start, end - start));
            start = end + 1;
        }
        return arguments;
    }

private:
    static constexpr const char* Variables[] = {"XDG_CONFIG_HOME",      "XDG_CONFIG_DIRS",
                                                "XDG_DATA_HOME",        "XDG_DATA_DIRS",
                                                "XDG_CURRENT_DESKTOP",  "PATH",
                                                "RECORDING_VIEWER_OUT", "RECORDING_VIEWER_STATUS"};
    testsupport::TempDir dir_;
    QHash<QByteArray, QByteArray> saved_;
};
