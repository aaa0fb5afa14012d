#include "base/CaptionRules.h"

#include <QLocale>

std::optional<int> WholeNumberId(const QString& text) {
    bool ok = false;
    const int id = text.trimmed().toInt(&ok);
    if (!ok || id < -32768 || id > 32767) return std::nullopt;
    return id;
}

int LeadingNumberId(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    while (end < trimmed.size() && trimmed.at(end).isDigit() && end < 6) ++end;
    const int value = trimmed.left(end).toInt();
    return value > 32767 ? 0 : value;
}

FontRule FontRuleForLocale(int localeId) {
    switch (localeId) {
        case 1042:
            return {129, QString::fromUtf16(u"\uAD74\uB9BC"), 9};
        case 1028:
            return {136, QString::fromUtf16(u"\u65B0\u7D30\u660E\u9AD4"), 9};
        case 1041:
            return {128, QString::fromUtf16(u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"), 9};
        case 2052:
            return {134, QString::fromUtf16(u"\u5B8B\u4F53"), 9};
        default:
            return {1, QString(), 8};
    }
}

int WindowsLocaleId(const QLocale& locale) {
    switch (locale.language()) {
        case QLocale::Korean:
            return 1042;
        case QLocale::Japanese:
            return 1041;
        case QLocale::Chinese:
            return locale.territory() == QLocale::Taiwan ||
                           locale.script() == QLocale::TraditionalChineseScript
                       ? 1028
                       : 2052;
        case QLocale::Swedish:
            return 1053;
        case QLocale::Finnish:
            return 1035;
        case QLocale::German:
            return 1031;
        default:
            return 1033;
    }
}
