#include "platform/registry/private_profile_document.h"

#include "platform/registry/codepage932.h"
#include "platform/registry/registry_files.h"

#include <QSet>
#include <utility>

namespace tambolin {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimmed(QByteArrayView text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.sliced(from, to - from).toByteArray();
}

QByteArray nameKey(const QByteArray &name) {
    return foldAnsi(trimmed(name));
}

} // namespace

ProfileDocument::ProfileDocument(QByteArray bytes) : m_bytes(std::move(bytes)) {
    parse();
}

void ProfileDocument::parse() {
    m_lines.clear();
    int section = -1;
    qsizetype start = 0;
    while (start < m_bytes.size()) {
        Line line;
        line.start = start;
        // A line ends at CR, LF or CR LF, or at the end of the file.
        qsizetype end = start;
        while (end < m_bytes.size() && m_bytes[end] != '\n' && m_bytes[end] != '\r')
            ++end;
        line.end = end;
        line.next = end;
        if (line.next < m_bytes.size() && m_bytes[line.next++] == '\r' &&
            line.next < m_bytes.size() && m_bytes[line.next] == '\n')
            ++line.next;
        qsizetype first = start;
        while (first < line.end && isBlank(m_bytes[first]))
            ++first;
        const QByteArrayView text = QByteArrayView(m_bytes).sliced(first, line.end - first);
        if (text.isEmpty()) {
            line.kind = Kind::Blank;
        } else if (text[0] == '[') {
            line.kind = Kind::Section;
            const qsizetype close = cp932::indexOfChar(text, ']');
            line.name = trimmed(text.sliced(1, (close < 0 ? text.size() : close) - 1));
            section = static_cast<int>(m_lines.size());
        } else if (text[0] == ';') {
            line.kind = Kind::Comment;
        } else if (section < 0) {
            line.kind = Kind::Other; // before the first section: not ours to read
        } else {
            line.kind = Kind::Entry;
            const qsizetype eq = text.indexOf('=');
            line.name = trimmed(eq < 0 ? text : text.first(eq));
            line.valueAt = eq < 0 ? -1 : first + eq + 1;
        }
        line.folded = foldAnsi(line.name);
        line.section = line.kind == Kind::Section ? -1 : section;
        m_lines.push_back(std::move(line));
        start = m_lines.back().next;
    }
}

std::vector<int> ProfileDocument::sectionLines(const QByteArray &folded) const {
    std::vector<int> found;
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        if (m_lines[i].kind == Kind::Section && m_lines[i].folded == folded)
            found.push_back(i);
    }
    return found;
}

int ProfileDocument::sectionEnd(int header) const {
    int i = header + 1;
    while (i < static_cast<int>(m_lines.size()) && m_lines[i].kind != Kind::Section)
        ++i;
    return i;
}

int ProfileDocument::findEntry(const QByteArray &section, const QByteArray &key) const {
    const QByteArray folded = nameKey(key);
    for (int header : sectionLines(nameKey(section))) {
        for (int i = header + 1, end = sectionEnd(header); i < end; ++i) {
            if (m_lines[i].kind == Kind::Entry && m_lines[i].folded == folded)
                return i;
        }
    }
    return -1;
}

QList<QByteArray> ProfileDocument::sectionNames() const {
    QList<QByteArray> names;
    QSet<QByteArray> seen;
    for (const Line &line : m_lines) {
        if (line.kind == Kind::Section && !seen.contains(line.folded)) {
            seen.insert(line.folded);
            names.append(line.name);
        }
    }
    return names;
}

QList<QByteArray> ProfileDocument::keyNames(const QByteArray &section) const {
    QList<QByteArray> names;
    QSet<QByteArray> seen;
    for (int header : sectionLines(nameKey(section))) {
        for (int i = header + 1, end = sectionEnd(header); i < end; ++i) {
            const Line &line = m_lines[i];
            if (line.kind == Kind::Entry && !seen.contains(line.folded)) {
                seen.insert(line.folded);
                names.append(line.name);
            }
        }
    }
    return names;
}

std::optional<QByteArray> ProfileDocument::value(const QByteArray &section,
                                                 const QByteArray &key) const {
    const int i = findEntry(section, key);
    if (i < 0)
        return std::nullopt;
    const Line &line = m_lines[i];
    if (line.valueAt < 0)
        return QByteArray();
    return trimmed(QByteArrayView(m_bytes).sliced(line.valueAt, line.end - line.valueAt));
}

QByteArray ProfileDocument::lineEnding() const {
    for (const Line &line : m_lines) {
        if (line.next > line.end)
            return m_bytes.mid(line.end, line.next - line.end);
    }
    return QByteArrayLiteral("\n");
}

void ProfileDocument::replace(qsizetype from, qsizetype to, const QByteArray &with) {
    m_bytes.replace(from, to - from, with);
}

void ProfileDocument::setValue(const QByteArray &section, const QByteArray &key,
                               const QByteArray &value) {
    const QByteArray eol = lineEnding();
    if (const int i = findEntry(section, key); i >= 0) {
        const Line &line = m_lines[i];
        if (line.valueAt >= 0) {
            qsizetype from = line.valueAt;
            while (from < line.end && isBlank(m_bytes[from]))
                ++from; // keep the file's own spacing after "="
            replace(from, line.end, value);
        } else {
            qsizetype to = line.end;
            while (to > line.start && isBlank(m_bytes[to - 1]))
                --to;
            replace(to, line.end, "=" + value);
        }
    } else if (const std::vector<int> headers = sectionLines(nameKey(section)); !headers.empty()) {
        // After the section's last non-blank line, so a blank separator stays put.
        int last = headers.front();
        for (int j = last + 1, end = sectionEnd(headers.front()); j < end; ++j) {
            if (m_lines[j].kind != Kind::Blank)
                last = j;
        }
        const Line &line = m_lines[last];
        if (line.next == line.end) // the file's last line, without a line ending
            replace(line.next, line.next, eol + key + "=" + value);
        else
            replace(line.next, line.next, key + "=" + value + eol);
    } else {
        QByteArray add;
        if (!m_bytes.isEmpty()) {
            const bool ended = m_bytes.endsWith('\n') || m_bytes.endsWith('\r');
            if (!ended)
                add += eol;
            if (m_lines.back().kind != Kind::Blank || !ended)
                add += eol;
        }
        add += "[" + section + "]" + eol + key + "=" + value + eol;
        replace(m_bytes.size(), m_bytes.size(), add);
    }
    parse();
}

void ProfileDocument::removeKey(const QByteArray &section, const QByteArray &key) {
    const QByteArray folded = nameKey(key);
    std::vector<int> doomed;
    for (int header : sectionLines(nameKey(section))) {
        for (int i = header + 1, end = sectionEnd(header); i < end; ++i) {
            if (m_lines[i].kind == Kind::Entry && m_lines[i].folded == folded)
                doomed.push_back(i);
        }
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        replace(m_lines[*it].start, m_lines[*it].next, {});
    parse();
}

void ProfileDocument::removeSection(const QByteArray &section) {
    const std::vector<int> headers = sectionLines(nameKey(section));
    for (auto it = headers.rbegin(); it != headers.rend(); ++it) {
        const int end = sectionEnd(*it);
        const qsizetype to =
            end < static_cast<int>(m_lines.size()) ? m_lines[end].start : m_bytes.size();
        replace(m_lines[*it].start, to, {});
    }
    parse();
}

} // namespace tambolin
