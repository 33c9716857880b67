#pragma once

#include <QString>
#include <string>

// The settings are 8-bit strings in the system's encoding, as file names are.
inline QString ToQString(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) {
    return text.toLocal8Bit().toStdString();
}
