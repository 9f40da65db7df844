// The system's narrow texts (UTF-8) to and from Qt strings, at the toolkit boundary.
// Threading: any thread.
#pragma once

#include <string>

#include <QString>

#include "platform/WinTypes.h"

QString ToQString(const std::string& text);
std::string FromQString(const QString& text);
// A text handed over as a message parameter (a narrow string's address, 0 for none).
QString ParamText(LPARAM text);
