#include "runtime/messages.h"

namespace quittung {

QString formatMessage(const char* pattern, std::initializer_list<QString> args)
{
    return formatMessage(QString::fromUtf8(pattern), args);
}

QString formatMessage(const QString& pattern, std::initializer_list<QString> args)
{
    QString result;
    result.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('%') && i + 1 < pattern.size()) {
            const QChar kind = pattern[i + 1];
            if (kind == QLatin1Char('%')) {
                result += c;
                ++i;
                continue;
            }
            if ((kind == QLatin1Char('s') || kind == QLatin1Char('d')) && next != args.end()) {
                result += *next++;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

} // namespace quittung
