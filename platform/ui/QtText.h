// The system's narrow texts (UTF-8) to and from Qt strings, at the toolkit boundary.
// Threading: any thread.
#pragma once

#include <string>

#include <QString>

QString ToQString(const std::string& text);
std::string FromQString(const QString& text);
