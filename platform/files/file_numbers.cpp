#include "platform/files/file_numbers.h"

#include <QFile>
#include <array>
#include <cstdio>
#include <memory>
#include <mutex>

namespace tambolin {

namespace {

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

struct OpenFile {
    std::unique_ptr<std::FILE, FileCloser> handle;
    FileAccess access = FileAccess::Read;
    bool writeFailed = false;
};

// File numbers belong to the process, like the handles behind them.
struct FileTable {
    std::mutex lock;
    std::array<std::unique_ptr<OpenFile>, MaxFileNumber + 1> entries; // slot 0 unused
};

FileTable &table() {
    static FileTable t;
    return t;
}

bool validNumber(Integer n) {
    return n >= 1 && n <= MaxFileNumber;
}

OpenFile *lookup(FileTable &t, Integer n) {
    return validNumber(n) ? t.entries[static_cast<std::size_t>(n)].get() : nullptr;
}

} // namespace

Integer FreeFile() {
    FileTable &t = table();
    std::lock_guard guard(t.lock);
    for (Integer n = 1; n <= MaxFileNumber; ++n)
        if (!t.entries[static_cast<std::size_t>(n)])
            return n;
    failStep();
}

void Open(const QString &path, FileAccess access, Integer fileNumber) {
    if (!validNumber(fileNumber) || path.isEmpty())
        failStep();
    FileTable &t = table();
    std::lock_guard guard(t.lock);
    auto &slot = t.entries[static_cast<std::size_t>(fileNumber)];
    if (slot)
        failStep();
    const QByteArray native = QFile::encodeName(path);
    std::FILE *f = std::fopen(native.constData(), access == FileAccess::Read ? "rb" : "wb");
    if (!f)
        failStep();
    auto file = std::make_unique<OpenFile>();
    file->handle.reset(f);
    file->access = access;
    slot = std::move(file);
}

bool IsOpen(Integer fileNumber) {
    FileTable &t = table();
    std::lock_guard guard(t.lock);
    return lookup(t, fileNumber) != nullptr;
}

bool Eof(Integer fileNumber) {
    FileTable &t = table();
    std::lock_guard guard(t.lock);
    OpenFile *f = lookup(t, fileNumber);
    if (!f || f->access != FileAccess::Read)
        return true;
    const int c = std::fgetc(f->handle.get());
    if (c == EOF)
        return true; // a read error ends the file as well: nothing more can come
    std::ungetc(c, f->handle.get());
    return false;
}

bool GetByte(Integer fileNumber, Byte &value) {
    FileTable &t = table();
    std::lock_guard guard(t.lock);
    OpenFile *f = lookup(t, fileNumber);
    if (!f || f->access != FileAccess::Read)
        return false;
    const int c = std::fgetc(f->handle.get());
    if (c == EOF)
        return false;
    value = static_cast<Byte>(c);
    return true;
}

void PutByte(Integer fileNumber, Byte value) {
    FileTable &t = table();
    std::lock_guard guard(t.lock);
    OpenFile *f = lookup(t, fileNumber);
    if (!f || f->access != FileAccess::Write)
        return;
    if (std::fputc(value, f->handle.get()) == EOF) {
        f->writeFailed = true;
        failStep();
    }
}

void Close(Integer fileNumber) {
    std::unique_ptr<OpenFile> file;
    {
        FileTable &t = table();
        std::lock_guard guard(t.lock);
        if (!validNumber(fileNumber))
            return;
        file = std::move(t.entries[static_cast<std::size_t>(fileNumber)]);
    }
    if (!file)
        return;
    bool failed = file->writeFailed;
    std::FILE *f = file->handle.release();
    if (std::fclose(f) != 0 && file->access == FileAccess::Write)
        failed = true;
    if (failed)
        failStep();
}

} // namespace tambolin
