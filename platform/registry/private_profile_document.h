#pragma once
// An INI file held as its bytes, with just enough structure to find sections
// and entries and to change one entry, one section, without touching any
// other byte of the file: comments, blank lines, spacing, line endings and
// unknown lines all stay as they were.
//
// Reading rules: a line whose first non-blank character is "[" starts a
// section named by the text up to "]"; ";" starts a comment; any other
// non-blank line in a section is an entry "name=value" (a line without "="
// is a name with an empty value). Names and values are trimmed of blanks;
// names compare case-insensitively.

#include <QByteArray>
#include <QList>

#include <optional>
#include <vector>

namespace tambolin {

class ProfileDocument final {
public:
    explicit ProfileDocument(QByteArray bytes);

    const QByteArray &bytes() const { return m_bytes; }

    // Section names in file order, each once, spelled as first seen.
    QList<QByteArray> sectionNames() const;
    // Entry names of every section of that name, each once.
    QList<QByteArray> keyNames(const QByteArray &section) const;
    // The first entry's value as written (trimmed, quotes kept).
    std::optional<QByteArray> value(const QByteArray &section, const QByteArray &key) const;

    // Replaces the first entry's value, or adds the entry at the end of the
    // first section of that name, or adds the section at the end of the file.
    void setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    // Removes every entry of that name in every section of that name.
    void removeKey(const QByteArray &section, const QByteArray &key);
    // Removes every section of that name with all its lines.
    void removeSection(const QByteArray &section);

private:
    enum class Kind { Blank, Comment, Section, Entry, Other };
    struct Line {
        qsizetype start = 0; // first byte of the line
        qsizetype end = 0;   // end of the text, before the line ending
        qsizetype next = 0;  // start of the following line
        Kind kind = Kind::Other;
        QByteArray name;        // section or entry name, trimmed
        QByteArray folded;      // name for comparing
        qsizetype valueAt = -1; // where an entry's value starts (-1: no "=")
        int section = -1;       // index of the section line this line belongs to
    };

    void parse();
    std::vector<int> sectionLines(const QByteArray &folded) const;
    int sectionEnd(int header) const; // one past the section's last line
    int findEntry(const QByteArray &section, const QByteArray &key) const;
    QByteArray lineEnding() const;
    void replace(qsizetype from, qsizetype to, const QByteArray &with);

    QByteArray m_bytes;
    std::vector<Line> m_lines;
};

} // namespace tambolin
