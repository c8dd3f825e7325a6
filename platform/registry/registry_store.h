#pragma once
// One registry root as kept on disk: its keys (case-insensitive, spelled as
// first created) and their typed values, and the text file that holds them.
//
// File layout (ASCII, one item per line):
//   #tamberlo-registry 1
//   [SOFTWARE\Tamberlo Player]
//   midiport=1:0%00
// A key line holds the key path, components separated by "\"; a value line
// holds name=type:data, type in decimal. Names and data are bytes with
// control bytes, bytes above 0x7E and the characters % = [ ] # \ written as
// %XX, so any name and any binary data survive unchanged.

#include <QByteArray>
#include <QList>
#include <QString>

#include "platform/runtime/basic_runtime.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tambolin {

using KeyPath = QList<QByteArray>;

struct RegistryValue final {
    QByteArray name;
    std::uint32_t type = 0;
    QByteArray data;
};

class RegistryStore final {
public:
    // nullopt when the text is not a store we wrote.
    static std::optional<RegistryStore> parse(const QByteArray &bytes);
    QByteArray serialize() const;

    // A key exists when it was created or when any key below it exists.
    bool hasKey(const KeyPath &path) const;
    // Creates path and every missing key above it; true when anything was added.
    bool createKey(const KeyPath &path);
    const RegistryValue *findValue(const KeyPath &path, const QByteArray &name) const;
    // Creates the key if needed; replaces a value of the same name.
    void setValue(const KeyPath &path, const QByteArray &name, std::uint32_t type,
                  const QByteArray &data);

private:
    struct Key {
        KeyPath path;
        QByteArray folded;
        std::vector<RegistryValue> values;
    };
    Key *find(const KeyPath &path);
    const Key *find(const KeyPath &path) const;
    Key &add(const KeyPath &path);

    std::vector<Key> m_keys;
};

// The file that holds a root's store.
QString registryStorePath(const QString &rootName);

// The store in the file; a missing, unreadable or corrupt file reads as empty.
RegistryStore loadRegistryStore(const QString &path);

// Runs change on the current store under the store's lock and writes the result
// back atomically when change reports a modification. A file that cannot be
// read or parsed is kept as a backup before being replaced. Returns a system
// error code (0 on success, or change's own non-zero code).
using StoreChange = std::function<Long(RegistryStore &store, bool &modified)>;
Long updateRegistryStore(const QString &path, const StoreChange &change);

} // namespace tambolin
