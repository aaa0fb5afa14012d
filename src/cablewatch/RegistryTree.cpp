#include "cablewatch/RegistryTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace cablewatch {

namespace {

// Characters a folder name may not carry on the file systems a captured tree
// travels through; they and "%" itself are written as %XX.
bool NeedsEscape(QChar c) {
    static const QString kSpecial = QStringLiteral("%/\\:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7f || kSpecial.contains(c);
}

bool IsHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

QString QuoteText(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\\n");
        } else if (c == QLatin1Char('\r')) {
            out += QLatin1String("\\r");
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Reads a quoted text starting at pos (which holds the opening quote); on
// success pos is left after the closing quote.
std::optional<QString> UnquoteText(const QString& line, qsizetype& pos) {
    if (pos >= line.size() || line[pos] != QLatin1Char('"')) return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == QLatin1Char('"')) {
            ++pos;
            return out;
        }
        if (c == QLatin1Char('\\') && pos + 1 < line.size()) {
            const QChar next = line[++pos];
            out += next == QLatin1Char('n')   ? QChar(QLatin1Char('\n'))
                   : next == QLatin1Char('r') ? QChar(QLatin1Char('\r'))
                                              : next;
        } else {
            out += c;
        }
    }
    return std::nullopt;  // no closing quote
}

// One line of a values file: "name"=data or @=data (the default value).
bool ParseValueLine(const QString& line, QString& name, QVariant& data) {
    qsizetype pos = 0;
    if (line.startsWith(QLatin1Char('@'))) {
        name.clear();
        pos = 1;
    } else {
        const auto quoted = UnquoteText(line, pos);
        if (!quoted) return false;
        name = *quoted;
    }
    if (pos >= line.size() || line[pos] != QLatin1Char('=')) return false;
    ++pos;
    static const QLatin1String kDword("dword:");
    if (line.mid(pos, kDword.size()).compare(kDword, Qt::CaseInsensitive) == 0) {
        const QString digits = line.mid(pos + kDword.size()).trimmed();
        bool ok = false;
        const qulonglong number = digits.toULongLong(&ok, 16);
        if (!ok || digits.size() > 8) return false;
        data = QVariant(static_cast<uint>(number));
        return true;
    }
    const auto text = UnquoteText(line, pos);
    if (!text) return false;
    data = QVariant(*text);
    return true;
}

// Reads at most this much of a values file: a key holds a handful of short
// values, and a stray huge file must not exhaust memory.
constexpr qint64 kMaxValuesFileSize = 1 << 20;
// Deeper folders than any real device path are not followed.
constexpr int kMaxDepth = 32;

void LoadFolder(RegistryTree& tree, const QString& folder, const QStringList& keyNames, int depth) {
    if (depth > kMaxDepth) return;
    const QString path = RegistryTree::JoinPath(keyNames);
    if (!keyNames.isEmpty()) tree.CreateKey(path);
    QFile values(folder + QLatin1Char('/') + QLatin1String(RegistryTree::kValuesFileName));
    if (!keyNames.isEmpty() && values.open(QIODevice::ReadOnly)) {
        const QString text = QString::fromUtf8(values.read(kMaxValuesFileSize));
        for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
            QString name;
            QVariant data;
            const QString line = rawLine.trimmed();
            if (!ParseValueLine(line, name, data)) continue;
            if (data.typeId() == QMetaType::UInt)
                tree.SetDword(path, name, data.toUInt());
            else
                tree.SetString(path, name, data.toString());
        }
    }
    const QDir dir(folder);
    const QStringList subFolders = dir.entryList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden, QDir::Name);
    for (const QString& sub : subFolders) {
        QStringList names = keyNames;
        names << RegistryTree::UnescapeName(sub);
        LoadFolder(tree, dir.filePath(sub), names, depth + 1);
    }
}

}  // namespace

QStringList RegistryTree::SplitPath(const QString& path) {
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

QString RegistryTree::JoinPath(const QStringList& names) {
    return names.join(QLatin1Char('\\'));
}

QString RegistryTree::Fold(const QString& path) {
    return JoinPath(SplitPath(path)).toLower();
}

QString RegistryTree::EscapeName(const QString& name) {
    QString out;
    for (const QChar c : name) {
        if (NeedsEscape(c))
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    // "." and ".." are not folder names of their own.
    if (out == QLatin1String(".") || out == QLatin1String("..")) out.replace('.', "%2E");
    return out;
}

QString RegistryTree::UnescapeName(const QString& fileName) {
    QString out;
    for (qsizetype i = 0; i < fileName.size(); ++i) {
        if (fileName[i] == QLatin1Char('%') && i + 2 < fileName.size() &&
            IsHexDigit(fileName[i + 1]) && IsHexDigit(fileName[i + 2])) {
            bool ok = false;
            const int code = fileName.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 2;
                continue;
            }
        }
        out += fileName[i];
    }
    return out;
}

RegistryTree::Key* RegistryTree::Find(const QString& path) {
    auto it = keys_.find(Fold(path));
    return it == keys_.end() ? nullptr : &it.value();
}

const RegistryTree::Key* RegistryTree::Find(const QString& path) const {
    auto it = keys_.constFind(Fold(path));
    return it == keys_.constEnd() ? nullptr : &it.value();
}

RegistryTree::Key& RegistryTree::Make(const QString& path) {
    const QStringList names = SplitPath(path);
    Key* key = nullptr;
    for (qsizetype n = 1; n <= names.size(); ++n) {
        const QString partial = JoinPath(names.mid(0, n));
        const QString folded = partial.toLower();
        auto it = keys_.find(folded);
        if (it == keys_.end()) {
            Key fresh;
            fresh.path = partial;
            it = keys_.insert(folded, fresh);
        }
        key = &it.value();
    }
    static Key none;  // only for an empty path, which names no key
    return key ? *key : none;
}

void RegistryTree::CreateKey(const QString& path) {
    if (!SplitPath(path).isEmpty()) Make(path);
}

void RegistryTree::SetValue(const QString& path, const QString& name, const QVariant& data) {
    if (SplitPath(path).isEmpty()) return;
    Key& key = Make(path);
    const QString folded = name.toLower();
    if (!key.values.contains(folded)) key.order << folded;
    key.values.insert(folded, NamedValue{name, data});
}

void RegistryTree::SetString(const QString& path, const QString& name, const QString& text) {
    SetValue(path, name, QVariant(text));
}

void RegistryTree::SetDword(const QString& path, const QString& name, quint32 number) {
    SetValue(path, name, QVariant(static_cast<uint>(number)));
}

bool RegistryTree::KeyExists(const QString& path) const {
    return Find(path) != nullptr;
}

QStringList RegistryTree::SubKeyNames(const QString& path) const {
    QStringList names;
    const QString folded = Fold(path);
    if (!folded.isEmpty() && !keys_.contains(folded)) return names;
    const QString prefix = folded.isEmpty() ? QString() : folded + QLatin1Char('\\');
    for (auto it = keys_.lowerBound(prefix); it != keys_.end(); ++it) {
        if (!it.key().startsWith(prefix)) break;
        const QString rest = it.key().mid(prefix.size());
        if (rest.isEmpty() || rest.contains(QLatin1Char('\\'))) continue;
        names << SplitPath(it.value().path).constLast();
    }
    // The folded map orders "a\b" after "a-" and so on; the registry lists
    // sub-keys alphabetically by name alone.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QString RegistryTree::KeyName(const QString& path) const {
    const Key* key = Find(path);
    return key ? SplitPath(key->path).constLast() : QString();
}

QStringList RegistryTree::ValueNames(const QString& path) const {
    QStringList names;
    if (const Key* key = Find(path))
        for (const QString& folded : key->order) names << key->values.value(folded).name;
    return names;
}

std::optional<QVariant> RegistryTree::Value(const QString& path, const QString& name) const {
    const Key* key = Find(path);
    if (!key) return std::nullopt;
    auto it = key->values.constFind(name.toLower());
    if (it == key->values.constEnd()) return std::nullopt;
    return it->data;
}

std::optional<QString> RegistryTree::StringValue(const QString& path, const QString& name) const {
    const auto data = Value(path, name);
    if (!data || data->typeId() != QMetaType::QString) return std::nullopt;
    return data->toString();
}

std::optional<quint32> RegistryTree::DwordValue(const QString& path, const QString& name) const {
    const auto data = Value(path, name);
    if (!data) return std::nullopt;
    if (data->typeId() == QMetaType::UInt) return data->toUInt();
    bool ok = false;
    const uint number = data->toString().trimmed().toUInt(&ok);
    if (!ok) return std::nullopt;
    return number;
}

RegistryTree RegistryTree::LoadFromDirectory(const QString& folder) {
    RegistryTree tree;
    if (QFileInfo(folder).isDir()) LoadFolder(tree, folder, {}, 0);
    return tree;
}

bool RegistryTree::SaveToDirectory(const QString& folder) const {
    bool ok = true;
    for (const Key& key : keys_) {
        QStringList parts;
        for (const QString& name : SplitPath(key.path)) parts << EscapeName(name);
        const QString keyFolder = folder + QLatin1Char('/') + parts.join(QLatin1Char('/'));
        if (!QDir().mkpath(keyFolder)) {
            ok = false;
            continue;
        }
        if (key.order.isEmpty()) continue;
        QString text;
        for (const QString& folded : key.order) {
            const NamedValue& value = key.values.value(folded);
            text += value.name.isEmpty() ? QStringLiteral("@") : QuoteText(value.name);
            text += QLatin1Char('=');
            if (value.data.typeId() == QMetaType::UInt)
                text +=
                    QStringLiteral("dword:%1").arg(value.data.toUInt(), 8, 16, QLatin1Char('0'));
            else
                text += QuoteText(value.data.toString());
            text += QLatin1Char('\n');
        }
        QSaveFile file(keyFolder + QLatin1Char('/') + QLatin1String(kValuesFileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
            ok = false;
    }
    return ok;
}

}  // namespace cablewatch
