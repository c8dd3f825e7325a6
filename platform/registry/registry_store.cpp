#include "platform/registry/registry_store.h"

#include "platform/registry/registry_files.h"

#include <QDir>
#include <QFileInfo>

namespace tambolin {

namespace {

constexpr char kHeader[] = "#tamberlo-registry 1";
constexpr Long kAccessDenied = 5;
constexpr Long kWriteFault = 29;

bool needsEscape(unsigned char b) {
    if (b < 0x20 || b > 0x7E)
        return true;
    switch (b) {
    case '%':
    case '=':
    case '[':
    case ']':
    case '#':
    case '\\':
        return true;
    default:
        return false;
    }
}

QByteArray escape(const QByteArray &bytes) {
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (needsEscape(b)) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<QByteArray> unescape(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int hi = hexDigit(text[i + 1]);
        const int lo = hexDigit(text[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

// Parts end in a NUL, which no name holds: a "\" could be the second byte
// of a kanji (表 is 95 5C) and make one key look like the parent of another.
QByteArray foldPath(const KeyPath &path) {
    QByteArray folded;
    for (const QByteArray &part : path) {
        folded += foldAnsi(part);
        folded += '\0';
    }
    return folded;
}

std::optional<KeyPath> parseKeyLine(QByteArrayView inner) {
    KeyPath path;
    if (inner.isEmpty())
        return path; // values stored on the root itself
    qsizetype start = 0;
    while (true) {
        const qsizetype sep = inner.indexOf('\\', start);
        const QByteArrayView part = inner.sliced(start, (sep < 0 ? inner.size() : sep) - start);
        auto name = unescape(part);
        if (!name || name->isEmpty())
            return std::nullopt;
        path.append(*name);
        if (sep < 0)
            return path;
        start = sep + 1;
    }
}

std::optional<RegistryValue> parseValueLine(QByteArrayView line) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    const qsizetype colon = line.indexOf(':', eq + 1);
    if (colon < 0)
        return std::nullopt;
    const QByteArrayView typeText = line.sliced(eq + 1, colon - eq - 1);
    if (typeText.isEmpty() || typeText.size() > 10)
        return std::nullopt;
    std::uint64_t type = 0;
    for (char c : typeText) {
        if (c < '0' || c > '9')
            return std::nullopt;
        type = type * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (type > 0xFFFFFFFFu)
        return std::nullopt;
    auto name = unescape(line.first(eq));
    auto data = unescape(line.sliced(colon + 1));
    if (!name || !data)
        return std::nullopt;
    return RegistryValue{*name, static_cast<std::uint32_t>(type), *data};
}

} // namespace

std::optional<RegistryStore> RegistryStore::parse(const QByteArray &bytes) {
    RegistryStore store;
    if (bytes.isEmpty())
        return store; // nothing there to lose
    const QList<QByteArray> lines = bytes.split('\n');
    Key *current = nullptr;
    bool first = true;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (first) {
            if (line != kHeader)
                return std::nullopt;
            first = false;
            continue;
        }
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            if (!line.endsWith(']') || line.size() < 2)
                return std::nullopt;
            auto path = parseKeyLine(QByteArrayView(line).sliced(1, line.size() - 2));
            if (!path)
                return std::nullopt;
            current = store.find(*path);
            if (!current)
                current = &store.add(*path);
            continue;
        }
        if (!current)
            return std::nullopt;
        auto value = parseValueLine(line);
        if (!value)
            return std::nullopt;
        const QByteArray folded = foldAnsi(value->name);
        bool replaced = false;
        for (RegistryValue &v : current->values) {
            if (foldAnsi(v.name) == folded) {
                v = *value;
                replaced = true;
            }
        }
        if (!replaced)
            current->values.push_back(std::move(*value));
    }
    return store;
}

QByteArray RegistryStore::serialize() const {
    QByteArray out = kHeader;
    out += '\n';
    for (const Key &key : m_keys) {
        out += "\n[";
        for (qsizetype i = 0; i < key.path.size(); ++i) {
            if (i > 0)
                out += '\\';
            out += escape(key.path[i]);
        }
        out += "]\n";
        for (const RegistryValue &v : key.values) {
            out += escape(v.name);
            out += '=';
            out += QByteArray::number(v.type);
            out += ':';
            out += escape(v.data);
            out += '\n';
        }
    }
    return out;
}

RegistryStore::Key *RegistryStore::find(const KeyPath &path) {
    const QByteArray folded = foldPath(path);
    for (Key &key : m_keys) {
        if (key.folded == folded)
            return &key;
    }
    return nullptr;
}

const RegistryStore::Key *RegistryStore::find(const KeyPath &path) const {
    return const_cast<RegistryStore *>(this)->find(path);
}

RegistryStore::Key &RegistryStore::add(const KeyPath &path) {
    m_keys.push_back(Key{path, foldPath(path), {}});
    return m_keys.back();
}

bool RegistryStore::hasKey(const KeyPath &path) const {
    if (path.isEmpty())
        return true; // the root always exists
    const QByteArray folded = foldPath(path);
    for (const Key &key : m_keys) {
        if (key.folded.startsWith(folded))
            return true;
    }
    return false;
}

bool RegistryStore::createKey(const KeyPath &path) {
    bool added = false;
    for (qsizetype n = 1; n <= path.size(); ++n) {
        const KeyPath prefix = path.first(n);
        if (!find(prefix)) {
            add(prefix);
            added = true;
        }
    }
    return added;
}

const RegistryValue *RegistryStore::findValue(const KeyPath &path, const QByteArray &name) const {
    const Key *key = find(path);
    if (!key)
        return nullptr;
    const QByteArray folded = foldAnsi(name);
    for (const RegistryValue &v : key->values) {
        if (foldAnsi(v.name) == folded)
            return &v;
    }
    return nullptr;
}

void RegistryStore::setValue(const KeyPath &path, const QByteArray &name, std::uint32_t type,
                             const QByteArray &data) {
    createKey(path);
    Key *key = find(path);
    if (!key)
        key = &add(path); // values on the root itself
    const QByteArray folded = foldAnsi(name);
    for (RegistryValue &v : key->values) {
        if (foldAnsi(v.name) == folded) {
            v.type = type; // the name keeps its first spelling
            v.data = data;
            return;
        }
    }
    key->values.push_back(RegistryValue{name, type, data});
}

QString registryStorePath(const QString &rootName) {
    return tamberloConfigDir(QStringLiteral("registry")) + QLatin1Char('/') + rootName +
           QStringLiteral(".reg");
}

RegistryStore loadRegistryStore(const QString &path) {
    QByteArray bytes;
    if (readWholeFile(path, bytes) != FileRead::Read)
        return {};
    return RegistryStore::parse(bytes).value_or(RegistryStore{});
}

Long updateRegistryStore(const QString &path, const StoreChange &change) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return kAccessDenied;
    const FileLock lock(path + QStringLiteral(".lock"));
    if (!lock.isLocked())
        return kAccessDenied;

    QByteArray bytes;
    RegistryStore store;
    switch (readWholeFile(path, bytes)) {
    case FileRead::Missing:
        break;
    case FileRead::Read:
        if (auto parsed = RegistryStore::parse(bytes)) {
            store = std::move(*parsed);
            break;
        }
        [[fallthrough]];
    case FileRead::Unreadable:
        if (!keepBackup(path))
            return kAccessDenied; // never write over what we could not read
        break;
    }

    bool modified = false;
    if (const Long rc = change(store, modified); rc != 0)
        return rc;
    if (!modified)
        return 0;
    return writeFileAtomically(path, store.serialize()) ? 0 : kWriteFault;
}

} // namespace tambolin
