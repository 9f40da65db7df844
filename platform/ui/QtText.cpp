#include "platform/ui/QtText.h"

#include <QByteArray>

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQString(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString ParamText(LPARAM text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}
