#include "info/shown_text.h"

namespace zorvane::app {

QString ShownText(std::string_view text) {
    QString s = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

}  // namespace zorvane::app
