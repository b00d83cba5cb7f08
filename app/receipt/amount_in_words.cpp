#include "app/receipt/amount_in_words.h"

#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/number_format.h"

#include <array>
#include <cmath>

namespace quittung::app {

namespace {

// 1-19, the tens 20-90 from index 20, one of a group from 28, the plural group names from 31.
const std::array<QString, 34> ZahlWorte = {
    QStringLiteral("null"), QStringLiteral("eins"), QStringLiteral("zwei"), QStringLiteral("drei"),
    QStringLiteral("vier"), QStringLiteral("fünf"), QStringLiteral("sechs"), QStringLiteral("sieben"),
    QStringLiteral("acht"), QStringLiteral("neun"), QStringLiteral("zehn"), QStringLiteral("elf"),
    QStringLiteral("zwölf"), QStringLiteral("dreizehn"), QStringLiteral("vierzehn"), QStringLiteral("fünfzehn"),
    QStringLiteral("sechzehn"), QStringLiteral("siebzehn"), QStringLiteral("achtzehn"), QStringLiteral("neunzehn"),
    QStringLiteral("zwanzig"), QStringLiteral("dreißig"), QStringLiteral("vierzig"), QStringLiteral("fünfzig"),
    QStringLiteral("sechzig"), QStringLiteral("siebzig"), QStringLiteral("achtzig"), QStringLiteral("neunzig"),
    QStringLiteral("einemilliarde"), QStringLiteral("einemillion"), QStringLiteral("eintausend"),
    QStringLiteral("milliarden"), QStringLiteral("millionen"), QStringLiteral("tausend"),
};

constexpr qint64 kLargestEuros = 999999999999;

int digitValue(QChar c)
{
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        throw ConvertError(formatMessage(msg::SInvalidInteger, {QString(c)}));
    return c.unicode() - '0';
}

} // namespace

QString groupInWords(const QString& group)
{
    if (group.size() != 3)
        throw ConvertError(formatMessage(msg::SInvalidInteger, {group}));
    const int h = digitValue(group[0]);
    const int t = digitValue(group[1]);
    const int u = digitValue(group[2]);

    QString words;
    if (h == 1)
        words = QStringLiteral("einhundert");
    else if (h > 1)
        words = ZahlWorte[h] + QStringLiteral("hundert");

    const int tensAndUnits = 10 * t + u;
    if (tensAndUnits >= 10 && tensAndUnits <= 19)
        return words + ZahlWorte[tensAndUnits];
    // German puts the units before the tens: einundzwanzig.
    const QString tens = t >= 2 ? ZahlWorte[t + 18] : QString();
    if (u >= 1) {
        if (tens.isEmpty())
            words += ZahlWorte[u];
        else
            words += u == 1 ? QStringLiteral("einund") : ZahlWorte[u] + QStringLiteral("und");
    }
    return words + tens;
}

QString amountInWords(qint64 tenThousandths)
{
    const qint64 euros = tenThousandths / 10000;
    if (euros == 0)
        return QString();
    if (euros < -kLargestEuros || euros > kLargestEuros)
        throw Exception(formatMessage(msg::SAmountTooLarge, {QString::number(euros)}));
    if (euros < 0)
        return QStringLiteral("MINUS ") + amountInWords(-tenThousandths);

    const QString digits = QStringLiteral("%1").arg(euros, 12, 10, QLatin1Char('0'));
    QString words;
    for (int i = 1; i <= 4; ++i) {
        const QString group = digits.mid(3 * i - 3, 3);
        if (group == QLatin1String("000"))
            continue;
        if (i == 4) {
            words += groupInWords(group);
        } else if (group == QLatin1String("001")) {
            words += ZahlWorte[i + 27];
        } else {
            QString groupWords = groupInWords(group);
            // Before a group name one is "ein", as in einundzwanzig: einhunderteintausend.
            if (group.endsWith(QLatin1String("01")))
                groupWords.chop(1);
            words += groupWords + ZahlWorte[i + 30];
        }
    }
    // German capitals: ä becomes Ä and ß becomes SS.
    return words.toUpper();
}

QString amountInWords(const QString& gross, const FormatSettings& settings)
{
    qint64 tenThousandths = 0;
    try {
        tenThousandths = stringToCurrency(gross, settings);
    } catch (const ConvertError&) {
        // The fixed-point value overflows long before a number stops being one.
        const double amount = stringToFloat(gross, settings);
        if (std::fabs(amount) > static_cast<double>(kLargestEuros))
            throw Exception(formatMessage(msg::SAmountTooLarge, {floatToString(amount, settings)}));
        throw;
    }
    return amountInWords(tenThousandths);
}

} // namespace quittung::app
