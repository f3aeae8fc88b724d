// A small reader for INI files written by people (the translation file): section headers in
// square brackets, "key = value" lines below them. It only reads, and any bytes at all give a
// result: texts, or nothing where nothing can be made of them.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// A file's bytes as text: UTF-8 with or without byte-order mark, UTF-16 little or big endian
// with a byte-order mark; bytes that are not valid UTF-8 are read as Windows-1252.
QString IniTextDekodieren(const QByteArray &bytes);

class IniDatei
{
public:
    // The longest value returned, in UTF-16 units.
    static constexpr int MaxWertLaenge = 2047;

    IniDatei() = default;
    explicit IniDatei(QStringView text);
    static IniDatei ausBytes(const QByteArray &bytes) { return IniDatei(IniTextDekodieren(bytes)); }

    // The value of `key` in the section `section`, both compared without regard to case; the
    // first one where a key or a section appears more than once. A value runs from the equals
    // sign to the end of its line, without the blanks around it and without one pair of
    // enclosing quotation marks, and is cut after MaxWertLaenge units.
    std::optional<QString> wert(const QString &section, const QString &key) const;
    QString wert(const QString &section, const QString &key, const QString &vorgabe) const
    {
        return wert(section, key).value_or(vorgabe);
    }

private:
    // Values by case-folded section and key names.
    QHash<QString, QHash<QString, QString>> m_abschnitte;
};
