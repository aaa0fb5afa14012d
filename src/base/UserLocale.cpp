#include "base/UserLocale.h"

#include "base/TextHelpers.h"

namespace {

struct LocaleState {
    bool initialised = false;
    QLocale locale = QLocale::c();
    QString decimalSeparator = QStringLiteral(".");
    bool pointNotDecimal = false;
    QString listSeparatorOverride;
    QString shortDateFormat;
    QString longTimeFormat;
    UserTextEncoding encoding = UserTextEncoding::Windows1252;
};

LocaleState& State() {
    static LocaleState state;
    return state;
}

// The time-zone field ('t') removed from a time format, with the blank that
// set it apart. The user's "Long Time" is a wall-clock time: the instrument
// and the documents know no zones.
QString WithoutTimeZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (ch == u'\'') {
            quoted = !quoted;
            result.append(ch);
            continue;
        }
        if (!quoted && ch == u't') {
            while (i + 1 < format.size() && format[i + 1] == u't') ++i;
            if (!result.trimmed().isEmpty()) {
                while (!result.isEmpty() && result.back().isSpace()) result.chop(1);
            } else {
                // The zone came first: drop the blanks that follow it instead.
                result.clear();
                while (i + 1 < format.size() && format[i + 1].isSpace()) ++i;
            }
            continue;
        }
        result.append(ch);
    }
    return result.trimmed();
}

// The encoding of the environment's locale: the first of LC_ALL, LC_CTYPE and
// LANG that is set decides, as it does for the C library's character type.
UserTextEncoding EnvironmentEncoding() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) return UserLocale::EncodingOfLocaleName(value);
    }
    return UserTextEncoding::Windows1252;
}

LocaleState& Ready() {
    LocaleState& state = State();
    if (!state.initialised) UserLocale::Init(QLocale::system());
    return state;
}

}  // namespace

void UserLocale::Init(const QLocale& locale, std::optional<UserTextEncoding> encoding) {
    LocaleState& state = State();
    state.initialised = true;
    state.encoding = encoding ? *encoding : EnvironmentEncoding();
    state.locale = locale;
    state.decimalSeparator = locale.decimalPoint();
    if (state.decimalSeparator.isEmpty()) state.decimalSeparator = QStringLiteral(".");
    bool numeric = false;
    const double value = locale.toDouble(QStringLiteral("100.01"), &numeric);
    state.pointNotDecimal = !numeric || value != 100.01;
    state.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    state.longTimeFormat = WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
}

const QLocale& UserLocale::Locale() {
    return Ready().locale;
}

QString UserLocale::DecimalSeparator() {
    return Ready().decimalSeparator;
}

bool UserLocale::PointNotDecimal() {
    return Ready().pointNotDecimal;
}

QString UserLocale::ListSeparator() {
    const LocaleState& state = Ready();
    if (!state.listSeparatorOverride.isEmpty()) return state.listSeparatorOverride;
    return state.decimalSeparator == QStringLiteral(",") ? QStringLiteral(";")
                                                         : QStringLiteral(",");
}

void UserLocale::SetListSeparatorOverride(const QString& separator) {
    State().listSeparatorOverride = separator;
}

QString UserLocale::ShortDateFormat() {
    return Ready().shortDateFormat;
}

QString UserLocale::LongTimeFormat() {
    return Ready().longTimeFormat;
}

UserTextEncoding UserLocale::EncodingOfLocaleName(const QString& name) {
    // language_TERRITORY.codeset@modifier
    const qsizetype dot = name.indexOf(u'.');
    if (dot < 0) return UserTextEncoding::Windows1252;
    QString codeset = name.mid(dot + 1);
    codeset.truncate(codeset.indexOf(u'@') < 0 ? codeset.size() : codeset.indexOf(u'@'));
    codeset = codeset.toLower().remove(u'-').remove(u'_');
    return codeset == QStringLiteral("utf8") ? UserTextEncoding::Utf8
                                             : UserTextEncoding::Windows1252;
}

UserTextEncoding UserLocale::TextEncoding() {
    return Ready().encoding;
}

QByteArray UserLocale::EncodeText(const QString& text) {
    return TextEncoding() == UserTextEncoding::Utf8 ? text.toUtf8() : EncodeInstrumentText(text);
}
