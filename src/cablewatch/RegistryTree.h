#pragma once
// A registry-shaped view of the device tree: keys addressed by paths such as
// "\HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\USB\Vid_2A6F&Pid_0200",
// each holding named values that are either text or 32-bit numbers (DWORD).
// Key and value names compare ignoring case, as the registry does, and keep
// the spelling they were created with.
//
// A tree can be written to and read from a folder: one sub-folder per key
// (names percent-escaped where a file system would object) and, in each, a
// file "%values" with one line per value in the registry editor's export form:
//     "PortName"="COM5"
//     "ConfigFlags"=dword:00000000

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace cablewatch {

class RegistryTree {
public:
    // Name of the file that holds a key's values inside its folder.
    static constexpr const char* kValuesFileName = "%values";

    // Creates the key and every key above it; harmless when it exists.
    void CreateKey(const QString& path);
    // Creates the key when needed. text is stored as text.
    void SetString(const QString& path, const QString& name, const QString& text);
    void SetDword(const QString& path, const QString& name, quint32 number);

    bool KeyExists(const QString& path) const;
    // Names of the direct sub-keys, in the registry's order (alphabetical,
    // ignoring case); empty when the key does not exist.
    QStringList SubKeyNames(const QString& path) const;
    // The key's own name as spelled when created ("" for a missing key).
    QString KeyName(const QString& path) const;
    // Names of the key's values, in the order they were first set.
    QStringList ValueNames(const QString& path) const;
    // A value: QString for text, uint for a DWORD; nullopt when missing.
    std::optional<QVariant> Value(const QString& path, const QString& name) const;
    // A text value; nullopt when missing or not text.
    std::optional<QString> StringValue(const QString& path, const QString& name) const;
    // A number: a DWORD, or a text holding a number; nullopt when missing or
    // not a number.
    std::optional<quint32> DwordValue(const QString& path, const QString& name) const;

    int KeyCount() const { return keys_.size(); }

    // Reads a tree written by SaveToDirectory (or by hand). A missing folder
    // gives an empty tree; unreadable files and malformed lines are skipped.
    static RegistryTree LoadFromDirectory(const QString& folder);
    // Writes the tree below folder; false when a folder or file could not be
    // written.
    bool SaveToDirectory(const QString& folder) const;

    // The path split into its key names (empty names dropped).
    static QStringList SplitPath(const QString& path);
    static QString JoinPath(const QStringList& names);
    // A key name as a folder name, and back.
    static QString EscapeName(const QString& name);
    static QString UnescapeName(const QString& fileName);

private:
    struct NamedValue {
        QString name;
        QVariant data;
    };
    struct Key {
        QString path;                      // as spelled, without leading "\"
        QMap<QString, NamedValue> values;  // by lower-case name
        QStringList order;                 // lower-case names, first-set order
    };
    static QString Fold(const QString& path);
    Key* Find(const QString& path);
    const Key* Find(const QString& path) const;
    Key& Make(const QString& path);
    void SetValue(const QString& path, const QString& name, const QVariant& data);

    QMap<QString, Key> keys_;  // by folded path
};

}  // namespace cablewatch
